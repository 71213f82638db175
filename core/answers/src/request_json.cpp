#include "moravik/answers/request_json.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "moravik/answers/answers.h"
#include "moravik/answers/jet_chart_texts.h"
#include "moravik/answers/shown_text.h"

namespace moravik::raceday {
namespace {

using R = Relation;

constexpr std::array<OptionRelation, 8> airRelations{{
    {"--pressure", R::Excludes, "--altimeter"},
    {"--pressure", R::Excludes, "--elevation"},
    {"--altimeter", R::Needs, "--elevation"},
    {"--humidity", R::Excludes, "--dew-point"},
    {"--metar", R::Excludes, "--temperature"},
    {"--metar", R::Excludes, "--pressure"},
    {"--metar", R::Excludes, "--altimeter"},
    {"--metar", R::Needs, "--elevation"},
}};
constexpr std::array<OptionRelation, 4> predictRelations{{
    {"--et", R::Required},
    {"--mph", R::Required},
    {"--then", R::Required},
    {"--now", R::Required},
}};
constexpr std::array<OptionRelation, 2> solveHpRelations{{
    {"--weight", R::Required},
    {"--et", R::Excludes, "--mph"},
}};
constexpr std::array<OptionRelation, 5> convertRelations{{
    {"--eighth-et", R::Excludes, "--quarter-et"},
    {"--eighth-et", R::Excludes, "--quarter-mph"},
    {"--quarter-et", R::Excludes, "--eighth-mph"},
    {"--eighth-mph", R::Needs, "--eighth-et"},
    {"--quarter-mph", R::Needs, "--quarter-et"},
}};
constexpr std::array<OptionRelation, 2> jetForHpRelations{{
    {"--target-hp", R::Required},
    {"--bottle-pressure", R::Excludes, "--bottle-temperature"},
}};
constexpr std::array<OptionRelation, 1> bottleRelations{
    {{"--temperature", R::Excludes, "--pressure"}}};

// A request's fields in the order moravik-calc registers its options.
template <typename Request>
struct RequestOption {
    std::string_view option;
    std::string Request::*text;
};

const std::array<RequestOption<AirRequest>, 10> airFields{{
    {"--temperature", &AirRequest::temperature},
    {"--pressure", &AirRequest::pressure},
    {"--altimeter", &AirRequest::altimeter},
    {"--elevation", &AirRequest::elevation},
    {"--humidity", &AirRequest::humidity},
    {"--dew-point", &AirRequest::dewPoint},
    {"--metar", &AirRequest::metar},
    {"--standard", &AirRequest::standard},
    {"--observed-hp", &AirRequest::observedHp},
    {"--units", &AirRequest::units},
}};
const std::array<RequestOption<PredictRequest>, 6> predictFields{{
    {"--et", &PredictRequest::et},
    {"--mph", &PredictRequest::speed},
    {"--then", &PredictRequest::then},
    {"--now", &PredictRequest::now},
    {"--standard", &PredictRequest::standard},
    {"--units", &PredictRequest::units},
}};
const std::array<RequestOption<SolveHpRequest>, 4> solveHpFields{{
    {"--weight", &SolveHpRequest::weight},
    {"--et", &SolveHpRequest::et},
    {"--mph", &SolveHpRequest::speed},
    {"--units", &SolveHpRequest::units},
}};
const std::array<RequestOption<ConvertRequest>, 7> convertFields{{
    {"--eighth-et", &ConvertRequest::eighthEt},
    {"--eighth-mph", &ConvertRequest::eighthSpeed},
    {"--quarter-et", &ConvertRequest::quarterEt},
    {"--quarter-mph", &ConvertRequest::quarterSpeed},
    {"--et-factor", &ConvertRequest::etFactor},
    {"--mph-factor", &ConvertRequest::speedFactor},
    {"--units", &ConvertRequest::units},
}};
const std::array<RequestOption<JetForHpRequest>, 6> jetForHpFields{{
    {"--target-hp", &JetForHpRequest::targetHp},
    {"--fuel-pressure", &JetForHpRequest::fuelPressure},
    {"--bottle-pressure", &JetForHpRequest::bottlePressure},
    {"--bottle-temperature", &JetForHpRequest::bottleTemperature},
    {"--nozzles", &JetForHpRequest::nozzles},
    {"--units", &JetForHpRequest::units},
}};

const std::array<RequestOption<BottleRequest>, 7> bottleFields{{
    {"--temperature", &BottleRequest::temperature},
    {"--pressure", &BottleRequest::pressure},
    {"--outside-pressure", &BottleRequest::outsidePressure},
    {"--nitrous-jet", &BottleRequest::nitrousJet},
    {"--fuel-pressure", &BottleRequest::fuelPressure},
    {"--tune-pressure", &BottleRequest::tunePressure},
    {"--units", &BottleRequest::units},
}};

// The request's texts by option name ("--dew-point"), or why it is not a request.
using Texts = std::vector<std::pair<std::string, std::string>>;

std::variant<Texts, std::string> textsOf(std::string_view request) {
    const auto json = JsonDocument::parse(request, nullptr, false);
    const std::string_view expected = "the request is not a JSON object of texts";
    if (!json.is_object()) return std::string(expected);
    Texts texts;
    for (const auto& [key, value] : json.items()) {
        if (!value.is_string()) return std::string(expected);
        texts.emplace_back("--" + key, value.get<std::string>());
    }
    return texts;
}

const std::string* textOf(const Texts& texts, std::string_view option) {
    const auto found = std::find_if(texts.begin(), texts.end(),
                                    [option](const auto& text) { return text.first == option; });
    return found == texts.end() ? nullptr : &found->second;
}

// What one given option breaks, of one kind: the options it names and why,
// in no front end's words (moravik-calc's own parser words these itself).
std::optional<Refusal> broken(std::span<const OptionRelation> relations, Relation kind,
                              std::string_view option, const Texts& texts) {
    for (const auto& r : relations) {
        if (r.relation != kind) continue;
        if (kind == R::Needs && r.option == option && textOf(texts, r.other) == nullptr)
            return Refusal{"give both", {option, r.other}};
        const auto other = r.option == option ? r.other : r.other == option ? r.option : "";
        if (kind == R::Excludes && !other.empty() && textOf(texts, other) != nullptr)
            return Refusal{"give one of them, not both", {option, other}};
    }
    return std::nullopt;
}

// The first broken relation, found as moravik-calc finds it. The options are
// checked in their order, each for being required, its needs and its
// exclusions; the refusal then names the first option, in that order, that
// breaks one of the kind found.
std::optional<Refusal> relationProblem(std::span<const OptionRelation> relations,
                                       std::span<const std::string_view> order,
                                       const Texts& texts) {
    const auto firstBroken = [&](Relation kind) {
        for (const auto option : order) {
            if (textOf(texts, option) == nullptr) continue;
            if (auto problem = broken(relations, kind, option, texts)) return problem;
        }
        return std::optional<Refusal>();
    };
    for (const auto option : order) {
        const bool given = textOf(texts, option) != nullptr;
        for (const auto& r : relations) {
            if (r.relation == R::Required && r.option == option && !given)
                return Refusal{"required", {option}};
        }
        if (!given) continue;
        for (const auto kind : {R::Needs, R::Excludes}) {
            if (broken(relations, kind, option, texts)) return firstBroken(kind);
        }
    }
    return std::nullopt;
}

// A request refused as a whole: no field of it is to blame.
// A sentence under `key` and the fields it is about by their request keys, so
// that a page marks and labels its own fields.
JsonDocument sentenceJson(const char* key, std::string_view sentence,
                          std::span<const std::string_view> options = {}) {
    JsonDocument json{{key, withoutControls(sentence)}, {"fields", JsonDocument::array()}};
    for (std::string_view option : options) {
        if (option.substr(0, 2) == "--") option.remove_prefix(2);
        json["fields"].push_back(option);
    }
    return json;
}

JsonDocument problemJson(std::string_view message) { return sentenceJson("error", message); }

JsonDocument reportJson(const Report& report) {
    JsonDocument sections = JsonDocument::array();
    for (const auto& section : report) {
        JsonDocument lines = JsonDocument::array();
        for (const auto& line : section.lines) lines.push_back({line.label, line.text});
        sections.push_back({{"heading", section.heading}, {"lines", lines}});
    }
    return sections;
}

// The sentence without any front end's label, and the fields it refuses;
// moravik-calc's message is the same with the options before the sentence
// (Refusal::message).
JsonDocument refusalJson(const Refusal& refusal) {
    return sentenceJson("error", refusal.sentence + refusal.unitsNote(), refusal.options);
}

JsonDocument answerDocument(const Answered<Answer>& answered) {
    if (const auto* refusal = std::get_if<Refusal>(&answered)) return refusalJson(*refusal);
    const auto& answer = std::get<Answer>(answered);
    const auto* fault = std::get_if<Fault>(&answer.json);
    return JsonDocument{{"json", jsonText(fault ? JsonDocument{{"fault", faultName(*fault)}}
                                                : std::get<JsonDocument>(answer.json))},
                        {"report", reportJson(answer.report)}};
}

template <typename Request, std::size_t N, std::size_t M>
JsonDocument answerFields(const std::array<RequestOption<Request>, N>& fields,
                          const std::array<OptionRelation, M>& relations,
                          Answered<Answer> (*answer)(const Request&), const Texts& texts,
                          UnitTexts unitTexts) {
    std::array<std::string_view, N> order{};
    std::transform(fields.begin(), fields.end(), order.begin(),
                   [](const RequestOption<Request>& field) { return field.option; });
    for (const auto& [option, text] : texts) {
        if (std::find(order.begin(), order.end(), option) == order.end())
            return problemJson("there is no field " + quotedText(option.substr(2)));
    }
    if (auto problem = relationProblem(relations, order, texts)) return refusalJson(*problem);
    Request request;
    request.unitTexts = unitTexts;
    for (const auto& field : fields) {
        if (const auto* text = textOf(texts, field.option)) request.*field.text = *text;
    }
    if constexpr (std::is_same_v<Request, AirRequest>)
        request.metarGiven = textOf(texts, "--metar");
    return answerDocument(answer(request));
}

constexpr std::array<std::string_view, 3> rangeParts{"--from", "--to", "--step"};

// The chart's jets, each from a field of its own, or the refusal naming the
// field to mend.
std::variant<JetRange, Refusal> chartRange(const std::array<std::string, 3>& texts) {
    auto range = readJetRange({texts[0], texts[1], texts[2]});
    if (auto* refusal = std::get_if<JetRangeRefusal>(&range)) {
        return Refusal{std::move(refusal->sentence),
                       {rangeParts[static_cast<std::size_t>(refusal->part)]}};
    }
    return std::get<JetRange>(range);
}

JsonDocument chartAnswer(const Texts& texts) {
    InputTexts inputs;
    JsonDocument remarks = JsonDocument::array();
    std::array<std::string, 3> range;
    for (const auto& [option, text] : texts) {
        const std::string_view name = option;
        const auto part = std::find(rangeParts.begin(), rangeParts.end(), name);
        // The chart's own jets stand for --nitrous-jet.
        const auto input = std::find_if(inputOptions.begin() + 1, inputOptions.end(),
                                        [name](const InputOption& o) { return o.name == name; });
        if (part != rangeParts.end()) {
            range[static_cast<std::size_t>(part - rangeParts.begin())] = text;
        } else if (input != inputOptions.end()) {
            inputs.*input->text = text;
        } else {
            return problemJson("there is no field " + quotedText(option.substr(2)));
        }
    }
    const auto jets = chartRange(range);
    if (const auto* refusal = std::get_if<Refusal>(&jets)) return refusalJson(*refusal);
    // A text the pass reads only in part, as the window reads it: "\"43psi\" is
    // read as 43 (reading stops at \"p\")" beside its field.
    for (const auto& input : inputOptions) {
        const auto* text = textOf(texts, input.name);
        if (text == nullptr) continue;
        auto note = readField(input, *text, CommaRule::EndsNumber).note;
        if (!note.empty()) remarks.push_back(sentenceJson("note", note, std::array{input.name}));
    }
    const JetChart chart = jetChart(std::get<JetRange>(jets), inputs);
    if (auto summary = faultedRowsSummary(chart)) remarks.push_back(sentenceJson("note", *summary));
    return JsonDocument{{"csv", jetChartCsv(chart)}, {"remarks", remarks}};
}

}  // namespace

std::span<const OptionRelation> optionRelations(std::string_view command) {
    if (command == "air") return airRelations;
    if (command == "predict") return predictRelations;
    if (command == "solve-hp") return solveHpRelations;
    if (command == "convert") return convertRelations;
    if (command == "jet-for-hp") return jetForHpRelations;
    if (command == "bottle") return bottleRelations;
    return {};
}

std::string answerJson(std::string_view command, std::string_view request, UnitTexts unitTexts) {
    const auto parsed = textsOf(request);
    if (const auto* problem = std::get_if<std::string>(&parsed))
        return jsonText(problemJson(*problem));
    const Texts& texts = std::get<Texts>(parsed);
    if (command == "air")
        return jsonText(answerFields(airFields, airRelations, &answerAir, texts, unitTexts));
    if (command == "predict")
        return jsonText(
            answerFields(predictFields, predictRelations, &answerPredict, texts, unitTexts));
    if (command == "solve-hp")
        return jsonText(
            answerFields(solveHpFields, solveHpRelations, &answerSolveHp, texts, unitTexts));
    if (command == "convert")
        return jsonText(
            answerFields(convertFields, convertRelations, &answerConvert, texts, unitTexts));
    if (command == "jet-for-hp")
        return jsonText(
            answerFields(jetForHpFields, jetForHpRelations, &answerJetForHp, texts, unitTexts));
    if (command == "bottle")
        return jsonText(
            answerFields(bottleFields, bottleRelations, &answerBottle, texts, unitTexts));
    if (command == "jet-chart") return jsonText(chartAnswer(texts));
    return jsonText(problemJson(quotedText(command) +
                                " is not a command; give air, predict, solve-hp, convert, "
                                "jet-for-hp, bottle or jet-chart"));
}

}  // namespace moravik::raceday
