// A chart of ET and trap speed with nitrous against the nitrous jet, one
// Calculate pass of the main window for each jet of the range.
#pragma once

#include <QScopedPointer>

#include "moravik/raceday/jet_chart.h"
#include "section.h"

class QChart;
class QLineSeries;
class QValueAxis;

namespace Ui {
class ChartSection;
}

namespace moravik::raceday_window {

class FileChooser;
class FirstProblem;
class QuantityField;

class ChartSection final : public Section {
    Q_OBJECT
public:
    ChartSection(FileChooser& files, QWidget* parent = nullptr);
    ~ChartSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;

    // Formula, engine power and weight, to head a saved picture.
    QString savedTitle() const;

signals:
    void saved(const QString& message);

private:
    void update();
    std::optional<InputTexts> carTexts(FirstProblem& problem);
    void plot(const std::vector<raceday::JetChartPoint>& points);
    void chooseFileAndSave();

    const QScopedPointer<Ui::ChartSection> ui;
    FileChooser& files_;
    QuantityField* enginePower_;
    QuantityField* weight_;
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
    QChart* chart_;
    QLineSeries* etSeries_;
    QLineSeries* speedSeries_;
    QValueAxis* jetAxis_;
    QValueAxis* etAxis_;
    QValueAxis* speedAxis_;
};

}  // namespace moravik::raceday_window
