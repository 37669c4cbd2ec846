#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// The framework reports failures with these; programs catch them by type, never with `...`,
// so that a fiber unwound at quit passes through.
class RuntimeException : public std::runtime_error {
public:
    explicit RuntimeException(const std::string& message = "") : std::runtime_error(message) {}
    std::string Message() const { return what(); }
    virtual std::string ClassName() const { return "RuntimeException"; }
};

class NilObjectException final : public RuntimeException {
public:
    explicit NilObjectException(const std::string& message = "This object is nil.") : RuntimeException(message) {}
    std::string ClassName() const override { return "NilObjectException"; }
};

class IOException : public RuntimeException {
public:
    explicit IOException(const std::string& message, int32_t errorNumber = 0)
        : RuntimeException(message), m_errorNumber(errorNumber) {}
    int32_t ErrorNumber() const { return m_errorNumber; }
    std::string ClassName() const override { return "IOException"; }

private:
    int32_t m_errorNumber { 0 };
};

class OutOfBoundsException final : public RuntimeException {
public:
    explicit OutOfBoundsException(const std::string& message = "") : RuntimeException(message) {}
    std::string ClassName() const override { return "OutOfBoundsException"; }
};

// A new file could not take its name because something took that name first; the file was not
// written anywhere, and another name may be tried.
class NameTakenException final : public IOException {
public:
    explicit NameTakenException(const std::string& message, int32_t errorNumber) : IOException(message, errorNumber) {}
    std::string ClassName() const override { return "NameTakenException"; }
};
