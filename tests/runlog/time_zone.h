#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace moravik::runlog {

// The machine's time zone for one test, as TZ names it.
class TimeZone {
public:
    explicit TimeZone(const char* zone) : old_(std::getenv("TZ") ? std::getenv("TZ") : "") {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone() {
        old_.empty() ? ::unsetenv("TZ") : ::setenv("TZ", old_.c_str(), 1);
        ::tzset();
    }

private:
    std::string old_;
};

}  // namespace moravik::runlog
