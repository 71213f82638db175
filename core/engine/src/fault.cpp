#include "moravik/fault.h"

namespace moravik {

std::string_view faultName(Fault fault) {
    switch (fault) {
        case Fault::DivisionByZero:
            return "division by zero";
        case Fault::Overflow:
            return "overflow";
        case Fault::InvalidArgument:
            return "invalid argument";
    }
    return "unknown fault";
}

}  // namespace moravik
