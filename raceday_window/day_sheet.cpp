#include "day_sheet.h"

#include <QFileInfo>
#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "quantity_field.h"

namespace moravik::raceday_window {
namespace {

constexpr int dotsPerInch = 300;
constexpr double marginMillimetres = 15;
constexpr int chartTicks = 4;  // intervals along each axis
constexpr int altitudeDecimals = 0;
constexpr int etDecimals = 2;

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Writes lines top down from a cursor, each font's own line height apart.
class Page {
public:
    Page(QPainter& painter, const QRect& area) : painter_(painter), area_(area), y_(area.top()) {}

    void line(const QString& shown, int points, bool bold = false, int indent = 0) {
        QFont font = painter_.font();
        font.setPointSize(points);
        font.setBold(bold);
        painter_.setFont(font);
        const int height = painter_.fontMetrics().lineSpacing();
        painter_.drawText(QRect(area_.left() + indent, y_, area_.width() - indent, height),
                          Qt::AlignLeft | Qt::AlignVCenter, shown);
        y_ += height;
    }
    void row(const QStringList& cells, int points, bool bold = false) {
        QFont font = painter_.font();
        font.setPointSize(points);
        font.setBold(bold);
        painter_.setFont(font);
        const int height = painter_.fontMetrics().lineSpacing();
        const int width = area_.width() / static_cast<int>(std::max<qsizetype>(1, cells.size()));
        for (int column = 0; column < cells.size(); ++column) {
            painter_.drawText(QRect(area_.left() + column * width, y_, width, height),
                              Qt::AlignLeft | Qt::AlignVCenter, cells[column]);
        }
        y_ += height;
    }
    void gap() { y_ += painter_.fontMetrics().lineSpacing() / 2; }
    QRect rest() const { return QRect(area_.left(), y_, area_.width(), area_.bottom() - y_); }

private:
    QPainter& painter_;
    QRect area_;
    int y_;
};

void drawChart(QPainter& painter, QRect area, const DaySheet& sheet, const DaySheetPage& page) {
    const QString xTitle = QObject::tr("Density altitude (%1)").arg(text(sheet.altitudeUnit));
    const QString yTitle = QObject::tr("ET (s)");
    QFont font = painter.font();
    font.setPointSize(9);
    font.setBold(false);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    if (page.chart.empty()) {
        painter.drawText(area, Qt::AlignCenter, QObject::tr("No runs to chart yet."));
        return;
    }
    const auto [lowX, highX] = std::minmax_element(
        page.chart.begin(), page.chart.end(), [](const DaySheetPoint& a, const DaySheetPoint& b) {
            return a.densityAltitude < b.densityAltitude;
        });
    const auto [lowY, highY] = std::minmax_element(
        page.chart.begin(), page.chart.end(),
        [](const DaySheetPoint& a, const DaySheetPoint& b) { return a.etSeconds < b.etSeconds; });
    // One run, or runs in one air, still get an axis of some width.
    const double xSpan = std::max(highX->densityAltitude - lowX->densityAltitude, 100.0);
    const double ySpan = std::max(highY->etSeconds - lowY->etSeconds, 0.1);
    const double x0 = lowX->densityAltitude - xSpan * 0.1;
    const double y0 = lowY->etSeconds - ySpan * 0.1;
    const double xWidth = xSpan * 1.2;
    const double yHeight = ySpan * 1.2;

    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00.00 "));
    const int line = metrics.lineSpacing();
    const QRect plot(area.left() + labelWidth + line, area.top() + 2 * line, 0, 0);
    const QRect frame(plot.topLeft(), QPoint(area.right() - line, area.bottom() - 2 * line));
    painter.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft, yTitle);
    painter.drawRect(frame);
    const auto at = [&](double x, double y) {
        return QPointF(frame.left() + (x - x0) / xWidth * frame.width(),
                       frame.bottom() - (y - y0) / yHeight * frame.height());
    };
    for (int tick = 0; tick <= chartTicks; ++tick) {
        const double x = x0 + xWidth * tick / chartTicks;
        const double y = y0 + yHeight * tick / chartTicks;
        const QPointF bottom = at(x, y0);
        painter.drawText(QRectF(bottom.x() - labelWidth, frame.bottom(), 2 * labelWidth, line),
                         Qt::AlignHCenter | Qt::AlignTop, fixedText(x, altitudeDecimals));
        const QPointF left = at(x0, y);
        painter.drawText(QRectF(area.left(), left.y() - line / 2.0, labelWidth + line / 2.0, line),
                         Qt::AlignRight | Qt::AlignVCenter, fixedText(y, etDecimals));
    }
    painter.drawText(QRect(frame.left(), frame.bottom() + line, frame.width(), line),
                     Qt::AlignHCenter, xTitle);
    painter.save();
    painter.setBrush(Qt::black);
    const double radius = line / 5.0;
    for (const DaySheetPoint& point : page.chart) {
        painter.drawEllipse(at(point.densityAltitude, point.etSeconds), radius, radius);
    }
    painter.restore();
}

void drawPage(QPainter& painter, const QRect& area, const DaySheet& sheet,
              const DaySheetPage& page) {
    Page out(painter, area);
    out.line(text(sheet.title), 11);
    out.line(text(page.vehicle), 18, true);
    out.gap();
    out.line(QObject::tr("Today's air"), 12, true);
    for (const std::string& figure : sheet.air) out.line(text(figure), 10, false, 40);
    out.gap();
    out.line(QObject::tr("Dial-in"), 12, true);
    for (const std::string& figure : page.dialIn) out.line(text(figure), 10, false, 40);
    out.gap();
    out.line(QObject::tr("Last runs"), 12, true);
    if (page.runs.empty()) {
        out.line(QObject::tr("No runs in the log yet."), 10, false, 40);
    } else {
        out.row({QObject::tr("Date"), QObject::tr("ET (s)"), QObject::tr("Corrected ET (s)")}, 10,
                true);
        for (const DaySheetRun& run : page.runs)
            out.row({text(run.when), text(run.et), text(run.correctedEt)}, 10);
    }
    out.gap();
    out.line(QObject::tr("ET against density altitude"), 12, true);
    drawChart(painter, out.rest(), sheet, page);
}

}  // namespace

DaySheetWritten writeDaySheet(const DaySheet& sheet, const QString& fileName) {
    const QString failed = QObject::tr("The day sheet could not be written to %1").arg(fileName);
    if (sheet.pages.empty())
        return {false, QObject::tr("No day sheet: the run log has no vehicle yet.")};
    QPdfWriter writer(fileName);
    writer.setResolution(dotsPerInch);
    writer.setTitle(QString::fromStdString(sheet.title));
    writer.setCreator(QStringLiteral("Moravik Race Day"));
    writer.setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(marginMillimetres, marginMillimetres, marginMillimetres, marginMillimetres),
        QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) return {false, failed};
    const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
    const QRect page(QPoint(0, 0), area.size());
    for (std::size_t index = 0; index < sheet.pages.size(); ++index) {
        if (index > 0 && !writer.newPage()) return {false, failed};
        drawPage(painter, page, sheet, sheet.pages[index]);
    }
    if (!painter.end() || QFileInfo(fileName).size() == 0) return {false, failed};
    return {true, QObject::tr("Day sheet saved to %1").arg(fileName)};
}

}  // namespace moravik::raceday_window
