#include "chart_section.h"

#include <moravik/cli/jet_chart.h>
#include <moravik/number_reading.h>

#include <QPainter>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <array>
#include <charconv>
#include <cmath>

#include "chart_file.h"
#include "quantity_field.h"
#include "services.h"
#include "ui_ChartSection.h"

namespace moravik::raceday_window {
namespace {

using raceday::Error;

// More points than this would not be told apart on a screen.
constexpr std::int64_t mostChartedJets = 1000;
constexpr double thousandthsPerInch = 1000;
// A typed jet is in whole thousandths when it is this close to one.
constexpr double thousandthTolerance = 1e-6;
constexpr std::int64_t largestJetThousandths = 32767;

const InputTexts initialTexts;

// The shortest text that reads back as the same double, as the pass reads it.
std::string shortestText(double value) {
    std::array<char, 32> digits{};
    return {digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr};
}

Error jetError(const QString& name) {
    const std::string field = name.toStdString();
    return Error{field, field +
                            ": give a jet size in inches with at most three decimals, "
                            "such as .025"};
}

// A jet field in whole thousandths of an inch, nothing while empty.
raceday::Outcome<std::optional<std::int64_t>> readJet(QLineEdit* field, const QString& name) {
    clearProblem(field);
    const std::string text = field->text().trimmed().toStdString();
    if (text.empty()) return std::nullopt;
    const auto parts = raceday::splitQuantity(text);
    const double thousandths = parts ? parts->number * thousandthsPerInch : -1;
    const double whole = std::round(thousandths);
    if (!parts || !(parts->symbol.empty() || parts->symbol == "in") || whole < 0 ||
        whole > largestJetThousandths || std::fabs(thousandths - whole) > thousandthTolerance) {
        const Error error = jetError(name);
        markProblem(field, toQString(error.message));
        return error;
    }
    return static_cast<std::int64_t>(whole);
}

std::optional<std::int64_t> jetOf(const raceday::Outcome<std::optional<std::int64_t>>& read) {
    const auto* value = std::get_if<std::optional<std::int64_t>>(&read);
    return value != nullptr ? *value : std::nullopt;
}

void refuse(QLineEdit* field, const QString& message, FirstProblem& problem) {
    markProblem(field, message);
    problem.note(message);
}

double chartValue(const ResultTexts& results, Formula formula, Column column) {
    return readNumber(results[resultIndex(formula, column)].view()).value_or(0);
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
    texts.draghp = shortestText(std::get<std::optional<Measured>>(power)->in(
        *raceday::findUnit("hp", raceday::Dimension::Power)));
    texts.vweight = shortestText(std::get<std::optional<Measured>>(weight)->in(
        *raceday::findUnit("lb", raceday::Dimension::Mass)));
    texts.jtn = shortestText(ui->nozzles->value());
    return texts;
}

void ChartSection::update() {
    FirstProblem problem;
    auto texts = carTexts(problem);
    const auto from = readJet(ui->jetFrom, QStringLiteral("jets from"));
    const auto to = readJet(ui->jetTo, QStringLiteral("jets to"));
    const auto step = readJet(ui->jetStep, QStringLiteral("jet step"));
    for (const auto* jet : {&from, &to, &step}) problem.note(*jet);
    if (!problem.any() && jetOf(from) && jetOf(to) && jetOf(step)) {
        if (*jetOf(step) == 0) {
            refuse(ui->jetStep, tr("jet step must be above 0"), problem);
        } else if (*jetOf(to) < *jetOf(from)) {
            refuse(ui->jetTo, tr("jets to must not be smaller than jets from"), problem);
        } else if ((*jetOf(to) - *jetOf(from)) / *jetOf(step) >= mostChartedJets) {
            refuse(ui->jetStep,
                   tr("jet step: the chart shows at most %1 jets; take a larger step")
                       .arg(mostChartedJets),
                   problem);
        }
    }
    setProblem(problem.text());
    std::vector<std::pair<double, ResultTexts>> passes;
    if (!problem.any() && texts && jetOf(from) && jetOf(to) && jetOf(step)) {
        const cli::JetRange range{*jetOf(from), *jetOf(to), *jetOf(step)};
        std::int64_t thousandths = range.from;
        for (const cli::JetChartRow& row : cli::jetChart(range, *texts).rows) {
            // A jet whose pass faults has no point.
            if (const auto* results = std::get_if<ResultTexts>(&row.outcome)) {
                passes.emplace_back(static_cast<double>(thousandths) / thousandthsPerInch,
                                    *results);
            }
            thousandths += range.step;
        }
    }
    plot(passes);
}

void ChartSection::plot(const std::vector<std::pair<double, ResultTexts>>& passes) {
    const auto formula = static_cast<Formula>(std::max(0, ui->formula->currentIndex()));
    const Unit& mph = *raceday::findUnit("mph", raceday::Dimension::Speed);
    const Unit& speedUnit = raceday::displayUnit(Quantity::Speed, system_);
    QList<QPointF> ets;
    QList<QPointF> speeds;
    for (const auto& [jet, results] : passes) {
        ets.append({jet, chartValue(results, formula, Column::EtNitrous)});
        speeds.append(
            {jet, Measured{chartValue(results, formula, Column::MphNitrous), &mph}.in(speedUnit)});
    }
    etSeries_->replace(ets);
    speedSeries_->replace(speeds);
    const QString speedSymbol = toQString(speedUnit.symbol);
    etSeries_->setName(tr("ET (s)"));
    speedSeries_->setName(tr("Trap speed (%1)").arg(speedSymbol));
    jetAxis_->setTitleText(tr("Nitrous jet (in)"));
    etAxis_->setTitleText(tr("ET with nitrous (s)"));
    speedAxis_->setTitleText(tr("Trap speed with nitrous (%1)").arg(speedSymbol));
    if (passes.empty()) return;
    jetAxis_->setRange(passes.front().first, passes.back().first);
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

bool ChartSection::saveChart(const QString& fileName) {
    return saveChartView(*ui->chartView, fileName, savedTitle());
}

void ChartSection::chooseFileAndSave() {
    const QString message = chooseFileAndSaveChart(files_, *ui->chartView, this,
                                                   QStringLiteral("jet-chart.png"), savedTitle());
    if (!message.isEmpty()) emit saved(message);
}

}  // namespace moravik::raceday_window
