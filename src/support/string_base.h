// The string interface through which text is written into our strings, by our
// own code and by the host's shared utility library. The order of the virtual
// operations is a binary interface shared with the host: never reorder, never
// add a virtual destructor, never overload.
#pragma once

#include <cstdint>

// Receives text; the one operation of every text sink.
class string_receiver {
public:
    // Adds the bytes of text before its first NUL, at most max_bytes of them
    // (0xFFFFFFFF: up to the NUL). A null text adds nothing.
    virtual void append(const char* text, std::uint32_t max_bytes) = 0;

protected:
    ~string_receiver() = default;
};

class string_base : public string_receiver {
public:
    // NUL-terminated contents; a static empty text when the length is 0.
    virtual const char* chars() const = 0;
    // Replaces the contents (same length rules as append).
    virtual void assign(const char* text, std::uint32_t max_bytes) = 0;
    // Cuts the contents to the first n bytes; a larger n changes nothing.
    virtual void shorten(std::uint32_t n) = 0;
    virtual std::uint32_t byte_length() const = 0;
    // Makes room for n bytes plus a NUL, zeroes it and returns it for writing.
    virtual char* open_buffer(std::uint32_t n) = 0;
    // Takes the length from the first NUL after the caller wrote into the buffer.
    virtual void close_buffer() = 0;

    static constexpr std::uint32_t until_nul = 0xFFFFFFFFu;

protected:
    ~string_base() = default;
};
