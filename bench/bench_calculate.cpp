// One Calculate pass from the seven input texts to the 31 result texts.
#include <benchmark/benchmark.h>

#include "moravik/calculate.h"

namespace {

void BM_CalculateInitialTexts(benchmark::State& state) {
    const moravik::InputTexts inputs;
    for (auto _ : state) benchmark::DoNotOptimize(moravik::calculate(inputs));
}
BENCHMARK(BM_CalculateInitialTexts);

void BM_CalculateWithTrack(benchmark::State& state) {
    moravik::InputTexts inputs;
    inputs.njt = "0.0625";
    inputs.jtn = "4";
    inputs.altitudeDD = "Tucson, AZ  3000";
    for (auto _ : state) benchmark::DoNotOptimize(moravik::calculate(inputs));
}
BENCHMARK(BM_CalculateWithTrack);

void BM_CalculateFault(benchmark::State& state) {
    moravik::InputTexts inputs;
    inputs.flp.clear();
    for (auto _ : state) benchmark::DoNotOptimize(moravik::calculate(inputs));
}
BENCHMARK(BM_CalculateFault);

}  // namespace
