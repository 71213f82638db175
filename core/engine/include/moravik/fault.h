// Arithmetic faults that end a Calculate pass.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace moravik {

enum class Fault { DivisionByZero, Overflow, InvalidArgument };

// Lower-case name of a fault kind: "division by zero", "overflow",
// "invalid argument".
std::string_view faultName(Fault fault);

// Thrown by the computing sections; calculate() turns it into a Fault.
class ArithmeticFault : public std::runtime_error {
public:
    explicit ArithmeticFault(Fault fault)
        : std::runtime_error(std::string(faultName(fault))), fault_(fault) {}
    Fault fault() const noexcept { return fault_; }

private:
    Fault fault_;
};

}  // namespace moravik
