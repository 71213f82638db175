#include "chart_file.h"

#include <QFileInfo>
#include <QObject>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QChartView>

#include "services.h"

namespace moravik::raceday_window {

bool saveChartView(QChartView& view, const QString& fileName) {
    if (fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(fileName);
        svg.setSize(view.size());
        svg.setViewBox(view.rect());
        svg.setTitle(view.chart()->title());
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        view.render(&painter);
        return painter.end() && QFileInfo(fileName).size() > 0;
    }
    return view.grab().save(fileName, "PNG");
}

QString chooseFileAndSaveChart(FileChooser& files, QChartView& view, QWidget* parent,
                               const QString& suggestedName) {
    QString fileName = files.saveFileName(parent, QObject::tr("Save chart"), suggestedName,
                                          QObject::tr("PNG image (*.png);;SVG drawing (*.svg)"));
    if (fileName.isEmpty()) return {};
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".png");
    return saveChartView(view, fileName)
               ? QObject::tr("Chart saved to %1").arg(fileName)
               : QObject::tr("The chart could not be saved to %1").arg(fileName);
}

}  // namespace moravik::raceday_window
