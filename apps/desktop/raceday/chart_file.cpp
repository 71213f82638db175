#include "chart_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QtCharts/QChartView>
#include <algorithm>

#include "services.h"

namespace moravik::raceday_window {

namespace {

// Wide enough to read on a big screen or in print, whatever the window's size.
constexpr int leastSavedWidth = 1600;

bool savePicture(QChartView& view, const QString& fileName) {
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
    // Drawn at a higher pixel ratio: the same layout, sharper, not stretched.
    const qreal scale = std::max(1.0, static_cast<qreal>(leastSavedWidth) / view.width());
    QPixmap picture(view.size() * scale);
    picture.setDevicePixelRatio(scale);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    view.render(&painter, QRectF(QPointF(0, 0), view.size()), view.rect());
    painter.end();
    return picture.save(fileName, "PNG");
}

}  // namespace

bool saveChartView(QChartView& view, const QString& fileName, const QString& title) {
    QChart* chart = view.chart();
    const QString shownTitle = chart->title();
    // The title is laid out on the next layout pass; run it now, before drawing.
    const auto retitle = [chart](const QString& text) {
        chart->setTitle(text);
        if (chart->layout() != nullptr) chart->layout()->activate();
        QCoreApplication::sendPostedEvents(chart, QEvent::LayoutRequest);
    };
    retitle(title);
    const bool saved = savePicture(view, fileName);
    retitle(shownTitle);
    return saved;
}

std::optional<QString> chooseFileAndSaveChart(FileChooser& files, QChartView& view, QWidget* parent,
                                              const QString& suggestedName, const QString& title) {
    QString fileName = files.saveFileName(parent, QObject::tr("Save chart"), suggestedName,
                                          QObject::tr("PNG image (*.png);;SVG drawing (*.svg)"));
    if (fileName.isEmpty()) return std::nullopt;
    if (QFileInfo(fileName).suffix().isEmpty()) fileName += QStringLiteral(".png");
    return saveChartView(view, fileName, title)
               ? QObject::tr("Chart saved to %1").arg(fileName)
               : QObject::tr("The chart could not be saved to %1").arg(fileName);
}

}  // namespace moravik::raceday_window
