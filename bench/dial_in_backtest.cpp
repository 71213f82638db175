// The predicting half of bench/dial_in_backtest.py: reads the runs of generated seasons on
// standard input and, as a racer dials in, predicts each run from the runs logged before it,
// by every method, with the defaults the racer gets (recent runs, interval, margin).
//
// In:  season,index,celsius,station_hpa,humidity_percent,jet_in,et_s,mph   (jet 0: none)
// Out: season,index,method,et_s,et_low_s,et_high_s,mph,mph_low,mph_high,dial_in_s
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "moravik/double_chars.h"
#include "moravik/raceday/units.h"
#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/prediction.h"

namespace {

using namespace moravik;

std::vector<double> fieldsOf(const std::string& line) {
    std::vector<double> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) {
        double value = 0;
        moravik::fromChars(cell.data(), cell.data() + cell.size(), value);
        fields.push_back(value);
    }
    return fields;
}

std::string number(double value) { return raceday::fixedText(value, 5); }

void predictSeason(int season, const std::vector<runlog::Run>& runs) {
    constexpr double mph = raceday::metresPerSecondPerMph;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        const runlog::Run& next = runs[i];
        const std::vector<runlog::Run> before(runs.begin(), runs.begin() + static_cast<long>(i));
        const runlog::PredictionRequest request{.vehicle = 1,
                                                .nitrousJetInches = next.nitrousJetInches,
                                                .today = next.air,
                                                .standard = raceday::Standard::SaeJ607};
        const auto recent = runlog::recentRunsOf(before, request.nitrousJetInches,
                                                 runlog::runsToRead(request.recentRuns));
        const auto prediction = runlog::predictFromRuns(recent, request);
        if (raceday::errorOf(prediction)) continue;  // no run on this jet yet
        for (const auto method : {runlog::DialInMethod::Exponent, runlog::DialInMethod::Scaling,
                                  runlog::DialInMethod::Fit, runlog::DialInMethod::Best}) {
            auto dialed = runlog::dialIn(std::get<runlog::LogPrediction>(prediction), next.air,
                                         method, runlog::defaultIntervalProbability);
            // Where no line can be fitted yet, the fit's racer falls back on scaling.
            if (raceday::errorOf(dialed))
                dialed = runlog::dialIn(std::get<runlog::LogPrediction>(prediction), next.air,
                                        runlog::DialInMethod::Scaling,
                                        runlog::defaultIntervalProbability);
            const auto& dial = std::get<runlog::DialIn>(dialed);
            const auto& f = dial.chosen();
            std::cout << season << ',' << i << ',' << runlog::dialInMethodName(method) << ','
                      << number(f.et.value) << ',' << number(f.et.low) << ',' << number(f.et.high)
                      << ',' << number(f.speed.value / mph) << ',' << number(f.speed.low / mph)
                      << ',' << number(f.speed.high / mph) << ',' << number(dial.dialInSeconds())
                      << '\n';
        }
    }
}

}  // namespace

int main() {
    std::map<int, std::vector<runlog::Run>> seasons;
    for (std::string line; std::getline(std::cin, line);) {
        const auto f = fieldsOf(line);
        if (f.size() != 8) continue;
        runlog::Run run;
        auto& runs = seasons[static_cast<int>(f[0])];
        run.id = static_cast<runlog::RunId>(runs.size() + 1);
        run.vehicleId = 1;
        run.when = runlog::momentOfMilliseconds(1717243200000 + 3600000LL * f[1]);
        run.air = {f[2] + 273.15, raceday::StationPressure{f[3] * 100},
                   raceday::RelativeHumidity{f[4] / 100}};
        if (f[5] > 0) run.nitrousJetInches = f[5];
        run.etSeconds = f[6];
        run.speed = f[7] * raceday::metresPerSecondPerMph;
        runs.push_back(run);
    }
    for (const auto& [season, runs] : seasons) predictSeason(season, runs);
}
