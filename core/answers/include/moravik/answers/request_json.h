// The race-day answers for a front end that speaks JSON, such as the web page:
// one request object of named texts in, one JSON text out.
//
// `command` is air, predict, solve-hp, convert, jet-for-hp, bottle or jet-chart. The
// request's keys are moravik-calc's option names without their dashes
// ("dew-point", "units"), each a text; a missing key is an option not given,
// and the options that need, exclude or require one another do so as on the
// command line. The jet chart's range comes as "from", "to" and "step". The
// answer holds either
//   "error":   the sentence refusing it, which follows the refused fields'
//              labels (moravik-calc's message after its own name puts their
//              options there), and
//   "fields":  the request's keys it refuses (none: the request as a whole,
//              the sentence then moravik-calc's whole message); or
//   "json":    the figures' JSON text, byte for byte as `COMMAND --json`
//              prints it ({"fault": ...} when a figure is not finite), and
//   "report":  [{"heading": ..., "lines": [[label, text], ...]}, ...], its
//              units written in `unitTexts`; or
//   "csv":     the jet chart as `--jet-chart --csv` prints it, and
//   "remarks": what moravik-calc notes beside it on standard error, each as
//              {"note": sentence, "fields": [keys]}, the sentence following the
//              fields' labels as a refusal's does.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "moravik/raceday/units.h"

namespace moravik::raceday {

std::string answerJson(std::string_view command, std::string_view request, UnitTexts unitTexts);

// How options of a command go together, in the order moravik-calc registers
// them: an option that is required, that needs another, or that excludes
// another (both ways).
enum class Relation { Required, Needs, Excludes };

struct OptionRelation {
    std::string_view option;
    Relation relation;
    std::string_view other = {};
};

std::span<const OptionRelation> optionRelations(std::string_view command);

}  // namespace moravik::raceday
