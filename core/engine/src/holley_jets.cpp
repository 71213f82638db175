#include "moravik/holley_jets.h"

#include <array>
#include <limits>

namespace moravik {
namespace {

struct JetRange {
    double from;   // belongs to the range
    double below;  // does not
    std::int16_t number;
};

constexpr double noUpperBound = std::numeric_limits<double>::infinity();

// Ranges overlap in places; every range is tested and the last match wins,
// so 0.093 gives 82 and 0.104 gives 90.
constexpr std::array<JetRange, 62> jetRanges{{
    {0.040, 0.041, 40},  {0.041, 0.042, 41},         {0.042, 0.043, 42},  {0.043, 0.044, 43},
    {0.044, 0.045, 44},  {0.045, 0.046, 45},         {0.046, 0.047, 46},  {0.047, 0.048, 47},
    {0.048, 0.049, 48},  {0.049, 0.050, 49},         {0.050, 0.051, 50},  {0.051, 0.052, 51},
    {0.052, 0.053, 52},  {0.053, 0.054, 53},         {0.054, 0.055, 54},  {0.055, 0.056, 55},
    {0.056, 0.057, 56},  {0.057, 0.058, 57},         {0.058, 0.059, 58},  {0.059, 0.060, 59},
    {0.060, 0.061, 60},  {0.061, 0.062, 61},         {0.062, 0.063, 62},  {0.063, 0.064, 63},
    {0.064, 0.065, 64},  {0.065, 0.067, 65},         {0.067, 0.068, 66},  {0.068, 0.069, 67},
    {0.069, 0.070, 68},  {0.070, 0.073, 69},         {0.073, 0.076, 70},  {0.076, 0.079, 71},
    {0.079, 0.080, 72},  {0.080, 0.081, 73},         {0.081, 0.082, 74},  {0.082, 0.084, 75},
    {0.084, 0.086, 76},  {0.086, 0.089, 77},         {0.089, 0.091, 78},  {0.091, 0.093, 79},
    {0.093, 0.0933, 80}, {0.093, 0.0936, 81},        {0.093, 0.094, 82},  {0.094, 0.099, 83},
    {0.099, 0.100, 84},  {0.100, 0.101, 85},         {0.101, 0.103, 86},  {0.103, 0.1042, 87},
    {0.104, 0.1044, 88}, {0.104, 0.1046, 89},        {0.104, 0.1048, 90}, {0.104, 0.105, 90},
    {0.105, 0.1053, 91}, {0.105, 0.1056, 92},        {0.105, 0.108, 93},  {0.108, 0.118, 94},
    {0.118, 0.1185, 95}, {0.118, 0.125, 96},         {0.125, 0.1253, 97}, {0.125, 0.1256, 98},
    {0.125, 0.128, 99},  {0.128, noUpperBound, 100},
}};

}  // namespace

std::int16_t holleyJetNumber(double standardJetSize) {
    std::int16_t number = 0;
    for (const JetRange& range : jetRanges) {
        if (standardJetSize >= range.from && standardJetSize < range.below) number = range.number;
    }
    return number;
}

}  // namespace moravik
