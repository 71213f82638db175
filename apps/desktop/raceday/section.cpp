#include "section.h"

namespace moravik::raceday_window {

void TodaysAir::set(std::optional<raceday::Air> air, std::optional<raceday::Weather> weather,
                    raceday::Standard standard, std::optional<raceday::MetarReport> metar) {
    air_ = air;
    weather_ = air ? weather : std::nullopt;
    standard_ = standard;
    metar_ = air ? std::move(metar) : std::nullopt;
    emit changed();
}

void Section::setProblem(const QString& problem) {
    if (problem == problem_) return;
    problem_ = problem;
    emit problemChanged(problem_);
}

}  // namespace moravik::raceday_window
