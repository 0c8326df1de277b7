#pragma once
// The program-wide exception base: every error a component raises carries a
// fixed message text (ANSI code page bytes), shown as is by the error report.
#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};
