#pragma once

#include <stdexcept>
#include <string>

namespace zandrel {

/// An error that abandons the command that raised it; its text is shown to the user as it stands.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

/// An integer division whose divisor is 0, as a layout value of 0 causes it.
class DivisionByZero : public Error {
public:
    DivisionByZero() : Error("Division by zero") {}
};

}  // namespace zandrel
