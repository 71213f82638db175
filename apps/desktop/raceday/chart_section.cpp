#include "chart_section.h"

#include <QPainter>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <array>
#include <charconv>

#include "chart_file.h"
#include "moravik/raceday/jet_chart.h"
#include "quantity_field.h"
#include "services.h"
#include "ui_ChartSection.h"

namespace moravik::raceday_window {
namespace {

const InputTexts initialTexts;

// The shortest text that reads back as the same double, as the pass reads it.
std::string shortestText(double value) {
    std::array<char, 32> digits{};
    return {digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr};
}

}  // namespace

ChartSection::ChartSection(FileChooser& files, QWidget* parent)
    : Section(parent), ui(new Ui::ChartSection), files_(files) {
    ui->setupUi(this);
    enginePower_ = new QuantityField(ui->enginePower, ui->enginePowerUnit, Quantity::Power,
                                     QStringLiteral("engine power"));
    weight_ =
        new QuantityField(ui->weight, ui->weightUnit, Quantity::Weight, QStringLiteral("weight"));
    enginePower_->setText(toQString(initialTexts.draghp));
    weight_->setText(toQString(initialTexts.vweight));
    for (const FormulaConstants& formula : formulaTable) {
        ui->formula->addItem(toQString(formula.name));
    }
    ui->jetFrom->setText(QStringLiteral(".020"));
    ui->jetTo->setText(QStringLiteral(".080"));
    ui->jetStep->setText(QStringLiteral(".005"));

    // The view owns its chart; a chart set in its place would orphan this one.
    chart_ = ui->chartView->chart();
    chart_->setTitle(tr("ET and trap speed with nitrous"));
    etSeries_ = new QLineSeries(chart_);
    speedSeries_ = new QLineSeries(chart_);
    jetAxis_ = new QValueAxis(chart_);
    etAxis_ = new QValueAxis(chart_);
    speedAxis_ = new QValueAxis(chart_);
    chart_->addSeries(etSeries_);
    chart_->addSeries(speedSeries_);
    chart_->addAxis(jetAxis_, Qt::AlignBottom);
    chart_->addAxis(etAxis_, Qt::AlignLeft);
    chart_->addAxis(speedAxis_, Qt::AlignRight);
    for (auto* series : {etSeries_, speedSeries_}) series->attachAxis(jetAxis_);
    etSeries_->attachAxis(etAxis_);
    speedSeries_->attachAxis(speedAxis_);
    jetAxis_->setLabelFormat(QStringLiteral("%.3f"));
    ui->chartView->setRenderHint(QPainter::Antialiasing);

    for (QuantityField* field : {enginePower_, weight_}) {
        field->requirePositive();
        connect(field, &QuantityField::edited, this, &ChartSection::update);
    }
    for (QLineEdit* jet : {ui->jetFrom, ui->jetTo, ui->jetStep}) {
        connect(jet, &QLineEdit::textChanged, this, &ChartSection::update);
    }
    connect(ui->nozzles, &QSpinBox::valueChanged, this, &ChartSection::update);
    connect(ui->formula, &QComboBox::currentIndexChanged, this, &ChartSection::update);
    connect(ui->saveChart, &QPushButton::clicked, this, &ChartSection::chooseFileAndSave);
    update();
}

ChartSection::~ChartSection() = default;

std::optional<InputTexts> ChartSection::carTexts(FirstProblem& problem) {
    const Reading power = enginePower_->read();
    const Reading weight = weight_->read();
    const auto powerSi = enginePower_->readMarked();
    const auto weightSi = weight_->readMarked();
    problem.note(powerSi);
    problem.note(weightSi);
    if (!valueOf(powerSi) || !valueOf(weightSi)) return std::nullopt;
    // The pass reads horsepower and pounds, so the typed numbers go in as
    // typed when they are in those units.
    InputTexts texts;
    texts.draghp =
        shortestText(std::get<std::optional<Measured>>(power)->in(raceday::horsepowerUnit));
    texts.vweight = shortestText(std::get<std::optional<Measured>>(weight)->in(raceday::poundUnit));
    texts.jtn = shortestText(ui->nozzles->value());
    return texts;
}

void ChartSection::update() {
    FirstProblem problem;
    auto texts = carTexts(problem);
    const std::array<QLineEdit*, 3> jetFields{ui->jetFrom, ui->jetTo, ui->jetStep};
    std::array<std::string, 3> typed;
    for (std::size_t i = 0; i < jetFields.size(); ++i) {
        clearProblem(jetFields[i]);
        typed[i] = jetFields[i]->text().trimmed().toStdString();
    }
    const auto read = raceday::readJetRange({typed[0], typed[1], typed[2]});
    const auto* range = std::get_if<raceday::JetRange>(&read);
    // A part still empty is no mistake yet: the chart waits for it.
    if (const auto* refusal = std::get_if<raceday::JetRangeRefusal>(&read);
        refusal && !typed[static_cast<std::size_t>(refusal->part)].empty()) {
        static const std::array<QString, 3> names{
            QStringLiteral("jets from"), QStringLiteral("jets to"), QStringLiteral("jet step")};
        const auto part = static_cast<std::size_t>(refusal->part);
        const QString message = names[part] + ": " + toQString(refusal->sentence);
        markProblem(jetFields[part], message);
        problem.note(message);
    }
    setProblem(problem.text());
    std::vector<raceday::JetChartPoint> points;
    if (!problem.any() && texts && range) {
        const auto formula = static_cast<Formula>(std::max(0, ui->formula->currentIndex()));
        points = raceday::jetChartPoints(raceday::jetChart(*range, *texts), formula);
    }
    plot(points);
}

void ChartSection::plot(const std::vector<raceday::JetChartPoint>& points) {
    const Unit& speedUnit = raceday::displayUnit(Quantity::Speed, system_);
    QList<QPointF> ets;
    QList<QPointF> speeds;
    for (const raceday::JetChartPoint& point : points) {
        ets.append({point.jetInches, point.etSeconds});
        speeds.append({point.jetInches, Measured{point.mph, &raceday::mphUnit}.in(speedUnit)});
    }
    etSeries_->replace(ets);
    speedSeries_->replace(speeds);
    const QString speedSymbol = toQString(speedUnit.symbol);
    etSeries_->setName(tr("ET (s)"));
    speedSeries_->setName(tr("Trap speed (%1)").arg(speedSymbol));
    jetAxis_->setTitleText(tr("Nitrous jet (in)"));
    etAxis_->setTitleText(tr("ET with nitrous (s)"));
    speedAxis_->setTitleText(tr("Trap speed with nitrous (%1)").arg(speedSymbol));
    if (points.empty()) return;
    jetAxis_->setRange(points.front().jetInches, points.back().jetInches);
    const auto fit = [](QValueAxis* axis, const QList<QPointF>& points) {
        const auto [low, high] = std::minmax_element(
            points.begin(), points.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
        axis->setRange(low->y(), high->y());
        axis->applyNiceNumbers();
    };
    fit(etAxis_, ets);
    fit(speedAxis_, speeds);
}

void ChartSection::setUnitSystem(raceday::UnitSystem system) {
    system_ = system;
    enginePower_->setUnitSystem(system);
    weight_->setUnitSystem(system);
    update();
}

QString ChartSection::savedTitle() const {
    const auto withUnit = [](const QuantityField* field) {
        return field->edit()->text().trimmed() + QLatin1Char(' ') +
               toQString(raceday::shownSymbol(field->unit()));
    };
    return tr("ET and trap speed by nitrous jet: %1, %2 engine, %3")
        .arg(ui->formula->currentText(), withUnit(enginePower_), withUnit(weight_));
}

void ChartSection::chooseFileAndSave() {
    const auto message = chooseFileAndSaveChart(files_, *ui->chartView, this,
                                                QStringLiteral("jet-chart.png"), savedTitle());
    if (message) emit saved(*message);
}

}  // namespace moravik::raceday_window
