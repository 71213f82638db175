// The run log's answers in a test that expects them to succeed.
#pragma once

#include <stdexcept>
#include <utility>

#include "moravik/runlog/log_error.h"

namespace moravik::test_support {

// The value of a result the test expects to succeed; the log's message thrown otherwise.
template <typename T>
T valueOf(runlog::LogResult<T> result) {
    if (const runlog::LogError* error = runlog::logErrorOf(result))
        throw std::runtime_error(error->message);
    return std::get<T>(std::move(result));
}

}  // namespace moravik::test_support
