// The error types of the system. Every failure travels as an exception derived
// from std::exception whose what() is a UTF-8 text.
#pragma once

#include <cstddef>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <utility>

// An error's own copy of a message it did not make (the text of an error the
// host raised), shared between the copies of the error so that copying an
// error never allocates or fails.
class error_text {
public:
    error_text() noexcept = default; // no text: c_str() is empty
    // Copies length bytes of text and a terminating NUL; raises std::bad_alloc.
    error_text(const char* text, std::size_t length)
        : m_bytes(new char[length + 1], std::default_delete<char[]>()) {
        if (length != 0) {
            std::memcpy(m_bytes.get(), text, length);
        }
        m_bytes.get()[length] = '\0';
    }
    const char* c_str() const noexcept { return m_bytes ? m_bytes.get() : ""; }

private:
    std::shared_ptr<char> m_bytes;
};

// An error the host raised that the component knows only as an error: its
// what() is the host's message, or a fixed text when the host's error carried
// none the component can read.
class exception_host_error : public std::exception {
public:
    explicit exception_host_error(error_text text) noexcept : m_text(std::move(text)) {}
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    error_text m_text;
};

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
// streams, cancellation) and the component only catches them; the component's
// own exceptions of these types stand for the host's, with the host's message.
class exception_io : public std::exception {
public:
    exception_io() noexcept : m_text("I/O error") {}
    // text is static: never owned.
    explicit exception_io(const char* text) noexcept : m_text(text ? text : "") {}
    explicit exception_io(error_text text) noexcept
        : m_text(text.c_str()), m_owned(std::move(text)) {}
    const char* what() const noexcept override { return m_text; }

private:
    const char* m_text; // static text, or the owned copy's
    error_text m_owned;
};

// Data missing or malformed in a stream (reading past its end included).
class exception_io_data : public exception_io {
public:
    exception_io_data() noexcept : exception_io("Unsupported format or corrupted file") {}
    explicit exception_io_data(const char* text) noexcept : exception_io(text) {}
    explicit exception_io_data(error_text text) noexcept : exception_io(std::move(text)) {}
};

// The host's cancellation error: ends a refresh without a message.
class exception_aborted : public std::exception {
public:
    const char* what() const noexcept override { return "User abort"; }
};

} // namespace auvia_io
