#include "day_sheet.h"

#include <QFileInfo>
#include <QLocale>
#include <QObject>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "quantity_field.h"

namespace moravik::raceday_window {
namespace {

constexpr int dotsPerInch = 300;
constexpr double marginMillimetres = 12;
constexpr int dialInPoints = 80;  // read through a side window from the lanes
constexpr int headingPoints = 12;
constexpr int textPoints = 10;
constexpr int chartPoints = 9;

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

void setFont(QPainter& painter, int points, bool bold) {
    QFont font = painter.font();
    font.setPointSize(points);
    font.setBold(bold);
    painter.setFont(font);
}

// Writes lines top down from a cursor, each font's own line height apart.
class Page {
public:
    Page(QPainter& painter, const QRect& area) : painter_(painter), area_(area), y_(area.top()) {}

    void line(const QString& shown, int points, bool bold = false, int indent = 0) {
        row({shown}, points, bold, indent);
    }
    void row(const QStringList& cells, int points, bool bold = false, int indent = 0) {
        setFont(painter_, points, bold);
        const int height = painter_.fontMetrics().lineSpacing();
        const int width =
            (area_.width() - indent) / static_cast<int>(std::max<qsizetype>(1, cells.size()));
        for (int column = 0; column < cells.size(); ++column) {
            painter_.drawText(QRect(area_.left() + indent + column * width, y_, width, height),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cells[column]);
        }
        y_ += height;
    }
    // Wrapped at the area's width, as a long reason may need.
    void paragraph(const QString& shown, int points) {
        setFont(painter_, points, false);
        QRect bounds;
        painter_.drawText(QRect(area_.left(), y_, area_.width(), area_.bottom() - y_),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown, &bounds);
        y_ += bounds.height();
    }
    void gap() { y_ += painter_.fontMetrics().lineSpacing() / 2; }
    int y() const { return y_; }
    void moveTo(int y) { y_ = y; }
    QRect rest() const { return QRect(area_.left(), y_, area_.width(), area_.bottom() - y_); }

private:
    QPainter& painter_;
    QRect area_;
    int y_;
};

void drawChart(QPainter& painter, QRect area, const DaySheet& sheet, const DaySheetPage& page) {
    setFont(painter, chartPoints, false);
    const QFontMetrics metrics = painter.fontMetrics();
    if (page.chart.empty()) {
        painter.drawText(area, Qt::AlignCenter, QObject::tr("No runs on this jet to chart yet."));
        return;
    }
    std::vector<DaySheetPoint> all = page.chart;
    all.insert(all.end(), page.line.begin(), page.line.end());
    if (page.today) all.push_back(*page.today);
    const auto [lowX, highX] = std::minmax_element(
        all.begin(), all.end(), [](const DaySheetPoint& a, const DaySheetPoint& b) {
            return a.densityAltitude < b.densityAltitude;
        });
    const auto [lowY, highY] = std::minmax_element(
        all.begin(), all.end(),
        [](const DaySheetPoint& a, const DaySheetPoint& b) { return a.etSeconds < b.etSeconds; });
    // One run, or runs in one air, still get an axis of some width.
    const double xMiddle = (lowX->densityAltitude + highX->densityAltitude) / 2;
    const double xHalf = std::max((highX->densityAltitude - lowX->densityAltitude) / 2, 100.0);
    const double yMiddle = (lowY->etSeconds + highY->etSeconds) / 2;
    const double yHalf = std::max((highY->etSeconds - lowY->etSeconds) / 2, 0.05);

    const int line = metrics.lineSpacing();
    const int yLabelWidth = metrics.horizontalAdvance(QStringLiteral("00.000"));
    const QRect frame(QPoint(area.left() + yLabelWidth + line, area.top() + 2 * line),
                      QPoint(area.right() - line, area.bottom() - 5 * line / 2));
    // Labels at least a label and a half apart, so none overlaps the next.
    const int xLabelWidth = metrics.horizontalAdvance(QStringLiteral("-00000"));
    const Ticks xTicks = roundTicks(xMiddle - xHalf * 1.1, xMiddle + xHalf * 1.1,
                                    std::max(1, frame.width() * 2 / (3 * xLabelWidth)));
    const Ticks yTicks = roundTicks(yMiddle - yHalf * 1.1, yMiddle + yHalf * 1.1,
                                    std::max(1, frame.height() / (3 * line)));
    const double x0 = xTicks.first;
    const double xWidth = xTicks.step * xTicks.count;
    const double y0 = yTicks.first;
    const double yHeight = yTicks.step * yTicks.count;
    const auto at = [&](double x, double y) {
        return QPointF(frame.left() + (x - x0) / xWidth * frame.width(),
                       frame.bottom() - (y - y0) / yHeight * frame.height());
    };

    painter.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft,
                     QObject::tr("ET (s)"));
    // ♦, not ◆: Liberation Sans, the one font the package asks for, has no ◆.
    painter.drawText(
        QRect(area.left(), area.top(), area.width() - line, line), Qt::AlignRight,
        QObject::tr("● runs on this jet    ♦ today's dial-in prediction    — prediction"));
    painter.save();
    painter.setPen(QPen(Qt::lightGray, 1));
    for (int tick = 0; tick <= xTicks.count; ++tick) {
        const double x = x0 + xTicks.step * tick;
        painter.drawLine(at(x, y0), at(x, y0 + yHeight));
    }
    for (int tick = 0; tick <= yTicks.count; ++tick) {
        const double y = y0 + yTicks.step * tick;
        painter.drawLine(at(x0, y), at(x0 + xWidth, y));
    }
    painter.restore();
    painter.drawRect(frame);
    for (int tick = 0; tick <= xTicks.count; ++tick) {
        const QPointF bottom = at(x0 + xTicks.step * tick, y0);
        // A third of a line below the frame, clear of the lowest ET label.
        painter.drawText(
            QRectF(bottom.x() - xLabelWidth, frame.bottom() + line / 3.0, 2 * xLabelWidth, line),
            Qt::AlignHCenter | Qt::AlignTop,
            fixedText(x0 + xTicks.step * tick + 0.0, xTicks.decimals));
    }
    for (int tick = 0; tick <= yTicks.count; ++tick) {
        const QPointF left = at(x0, y0 + yTicks.step * tick);
        painter.drawText(QRectF(area.left(), left.y() - line / 2.0, yLabelWidth + line / 2.0, line),
                         Qt::AlignRight | Qt::AlignVCenter,
                         fixedText(y0 + yTicks.step * tick + 0.0, yTicks.decimals));
    }
    painter.drawText(QRect(frame.left(), frame.bottom() + line * 4 / 3, frame.width(), line),
                     Qt::AlignHCenter,
                     QObject::tr("Density altitude (%1)").arg(text(sheet.altitudeUnit)));

    painter.save();
    painter.setClipRect(frame);
    if (page.line.size() > 1) {
        QPainterPath path(at(page.line.front().densityAltitude, page.line.front().etSeconds));
        for (const DaySheetPoint& point : page.line)
            path.lineTo(at(point.densityAltitude, point.etSeconds));
        painter.setPen(QPen(Qt::darkBlue, line / 8.0));
        painter.drawPath(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const double radius = line / 5.0;
    for (const DaySheetPoint& point : page.chart)
        painter.drawEllipse(at(point.densityAltitude, point.etSeconds), radius, radius);
    if (page.today) {
        const QPointF centre = at(page.today->densityAltitude, page.today->etSeconds);
        const double size = radius * 2.5;
        painter.setBrush(Qt::red);
        painter.drawPolygon(QPolygonF({centre + QPointF(0, -size), centre + QPointF(size, 0),
                                       centre + QPointF(0, size), centre + QPointF(-size, 0)}));
    }
    painter.restore();
}

void drawPage(QPainter& painter, const QRect& area, const DaySheet& sheet,
              const DaySheetPage& page) {
    Page out(painter, area);
    out.line(text(sheet.title), textPoints);
    out.line(text(page.vehicle) + QStringLiteral(" · ") + text(page.jet), 20, true);
    out.line(text(page.strip), 11);
    out.gap();

    // The dial-in and what it rests on at the left, the re-dial table at the right.
    const int top = out.y();
    const int half = area.width() / 2;
    Page left(painter, QRect(area.left(), top, half, area.bottom() - top));
    left.line(QObject::tr("Dial-in"), headingPoints, true);
    if (!page.dialIn.empty()) left.line(text(page.dialIn), dialInPoints, true);
    for (const std::string& figure : page.lines) left.paragraph(text(figure), textPoints);
    Page right(painter, QRect(area.left() + half, top, area.width() - half, area.bottom() - top));
    if (!page.redial.empty()) {
        right.line(QObject::tr("Re-dial as the air changes"), headingPoints, true);
        right.row({QObject::tr("Density altitude"), QObject::tr("Dial-in")}, textPoints, true);
        for (const DaySheetRedial& row : page.redial) {
            right.row(
                {text(row.densityAltitude) + (row.today ? QObject::tr("  (today)") : QString()),
                 text(row.dialIn)},
                textPoints, row.today);
        }
    }
    out.moveTo(std::max(left.y(), right.y()));
    out.gap();

    out.line(QObject::tr("Today's air: %1").arg(text(sheet.airSource)), headingPoints, true);
    for (std::size_t index = 0; index < sheet.air.size(); index += 2) {
        QStringList cells{text(sheet.air[index])};
        cells << (index + 1 < sheet.air.size() ? text(sheet.air[index + 1]) : QString());
        out.row(cells, textPoints);
    }
    out.gap();
    out.line(QObject::tr("Last runs"), headingPoints, true);
    if (page.runs.empty()) {
        out.line(QObject::tr("No runs on this jet in the log yet."), textPoints);
    } else {
        out.row({QObject::tr("Date"), QObject::tr("ET (s)"), QObject::tr("Corrected ET (s)")},
                textPoints, true);
        for (const DaySheetRun& run : page.runs)
            out.row({text(run.when), text(run.et), text(run.correctedEt)}, textPoints);
    }
    out.gap();
    out.line(QObject::tr("ET against density altitude"), headingPoints, true);
    drawChart(painter, out.rest(), sheet, page);
}

}  // namespace

Ticks roundTicks(double low, double high, int most) {
    const double rough = (high - low) / std::max(1, most);
    double power = 1;
    int decimals = 0;
    while (power * 10 <= rough) power *= 10;
    while (power > rough) {
        power /= 10;
        ++decimals;
    }
    double step = power;
    for (const double times : {2.0, 5.0, 10.0}) {
        if (step >= rough) break;
        step = power * times;
    }
    if (step >= power * 10) decimals = std::max(0, decimals - 1);
    const double first = std::floor(low / step) * step;
    const int count = std::max(1, static_cast<int>(std::ceil((high - first) / step - 1e-9)));
    return {first, step, count, decimals};
}

QPageSize::PageSizeId localPaper() {
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                      : QPageSize::A4;
}

DaySheetWritten writeDaySheet(const DaySheet& sheet, const QString& fileName) {
    const QString failed = QObject::tr("The day sheet could not be written to %1").arg(fileName);
    if (sheet.pages.empty())
        return {false, QObject::tr("No day sheet: the run log has no vehicle yet.")};
    QPdfWriter writer(fileName);
    writer.setResolution(dotsPerInch);
    writer.setTitle(QString::fromStdString(sheet.title));
    writer.setCreator(QStringLiteral("Moravik Race Day"));
    writer.setPageLayout(QPageLayout(
        QPageSize(sheet.paper), QPageLayout::Portrait,
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
