// The error types of the system. Every failure travels as an exception derived
// from std::exception whose what() is a UTF-8 text.
#pragma once

#include <exception>
#include <new>

// Raised by the single-instance service lookup when the host fails to create
// the one instance it reported.
class exception_bug_check : public std::exception {
public:
    const char* what() const noexcept override { return "Bug check"; }
};

// Raised by the single-instance service lookup when the host has no instance.
class exception_service_not_found : public std::exception {
public:
    const char* what() const noexcept override { return "Service not found"; }
};

// Raised by the single-instance service lookup when the host has several instances.
class exception_service_duplicated : public std::exception {
public:
    const char* what() const noexcept override { return "Service duplicated"; }
};

namespace auvia_io {

// The host's I/O errors. The host raises them into our code (configuration
// streams, cancellation) and the component only catches them; the host and the
// component must agree on these definitions, so they never change shape.
class exception_io : public std::exception {
public:
    exception_io() noexcept : m_text("I/O error") {}
    explicit exception_io(const char* text) noexcept : m_text(text ? text : "") {}
    const char* what() const noexcept override { return m_text; }

private:
    const char* m_text; // static text, never owned
};

// Data missing or malformed in a stream (reading past its end included).
class exception_io_data : public exception_io {
public:
    exception_io_data() noexcept : exception_io("Unsupported format or corrupted file") {}
    explicit exception_io_data(const char* text) noexcept : exception_io(text) {}
};

// The host's cancellation error: ends a refresh without a message.
class exception_aborted : public std::exception {
public:
    const char* what() const noexcept override { return "User abort"; }
};

} // namespace auvia_io
