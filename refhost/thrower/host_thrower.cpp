// Built with clang for the Microsoft C++ ABI against the system's msvcrt.dll,
// without any runtime headers: the standard types the host throws are
// declared here with Microsoft's layout (the table pointer, then the text
// and whether the object owns it), so that their decorated names and their
// tables are what a host built with Microsoft's compiler would throw.
#include "host_thrower.h"

using size_t = decltype(sizeof 0);

extern "C" {
void* malloc(size_t bytes);
void free(void* block);
size_t strlen(const char* text);
void* memcpy(void* to, const void* from, size_t bytes);

// A noexcept function that an exception leaves; nothing here does.
void __std_terminate() {
    __builtin_trap();
}
}

void operator delete(void* block) noexcept {
    free(block);
}
void operator delete(void* block, size_t) noexcept {
    free(block);
}

// The table of type_info, which the type descriptors of the thrown types
// point at; no runtime DLL exports it and nothing here calls through it.
#if defined(__x86_64__)
asm(".section .rdata,\"dr\"\n"
    ".globl \"??_7type_info@@6B@\"\n"
    ".p2align 3\n"
    "\"??_7type_info@@6B@\":\n"
    ".quad 0\n"
    ".text\n");
#else
asm(".section .rdata,\"dr\"\n"
    ".globl \"??_7type_info@@6B@\"\n"
    ".p2align 2\n"
    "\"??_7type_info@@6B@\":\n"
    ".long 0\n"
    ".text\n");
#endif

namespace {

host_thrower_counts g_counts;

char* copy_of(const char* text) {
    const size_t bytes = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(bytes));
    if (copy != nullptr) {
        memcpy(copy, text, bytes);
    }
    return copy;
}

// The frame between the caller and the throw: its cleanup runs when the
// error unwinds it.
struct frame_sentinel {
    ~frame_sentinel() {
        ++g_counts.frames_unwound;
        if (g_counts.destroyed < g_counts.created) {
            ++g_counts.unwound_early;
        }
    }
};

} // namespace

namespace std {

class exception {
public:
    exception() noexcept : m_what(nullptr), m_do_free(false) { ++g_counts.created; }
    explicit exception(const char* text) noexcept : m_what(copy_of(text)), m_do_free(true) {
        ++g_counts.created;
    }
    exception(const exception& other) noexcept
        : m_what(other.m_do_free ? copy_of(other.m_what) : other.m_what),
          m_do_free(other.m_do_free) {
        ++g_counts.created;
    }
    exception& operator=(const exception&) = delete;
    virtual ~exception() noexcept {
        if (m_do_free) {
            free(const_cast<char*>(m_what));
        }
        ++g_counts.destroyed;
    }
    virtual const char* what() const noexcept {
        return m_what != nullptr ? m_what : "Unknown exception";
    }

private:
    const char* m_what;
    bool m_do_free;
};

class bad_alloc : public exception {
public:
    bad_alloc() noexcept : exception("bad allocation") {}
};

class runtime_error : public exception {
public:
    explicit runtime_error(const char* text) noexcept : exception(text) {}
};

} // namespace std

namespace auvia_io {

class exception_aborted : public std::exception {
public:
    exception_aborted() noexcept : std::exception("User abort") {}
};

class exception_io : public std::exception {
public:
    explicit exception_io(const char* text) noexcept : std::exception(text) {}
};

class exception_io_data : public exception_io {
public:
    explicit exception_io_data(const char* text) noexcept : exception_io(text) {}
};

} // namespace auvia_io

// A host error that is no standard exception.
struct host_status {
    explicit host_status(int c) noexcept : code(c) { ++g_counts.created; }
    host_status(const host_status& other) noexcept : code(other.code) { ++g_counts.created; }
    ~host_status() { ++g_counts.destroyed; }
    int code;
};

namespace {

[[noreturn]] __attribute__((noinline)) void throw_error(unsigned kind, const char* message) {
    switch (kind) {
    case host_thrower_aborted:
        throw auvia_io::exception_aborted();
    case host_thrower_io_data:
        throw auvia_io::exception_io_data(message != nullptr ? message : "Unexpected end of file");
    case host_thrower_bad_alloc:
        throw std::bad_alloc();
    case host_thrower_runtime_error:
        throw std::runtime_error(message != nullptr ? message : "Host failure");
    default:
        throw host_status(static_cast<int>(kind));
    }
}

} // namespace

extern "C" void host_thrower_raise(unsigned kind, const char* message) {
    ++g_counts.thrown;
    frame_sentinel sentinel;
    throw_error(kind, message);
}

extern "C" int host_thrower_call_catching(void (*fn)(void*), void* context) {
    try {
        fn(context);
    } catch (...) {
        ++g_counts.host_catches;
        return 1;
    }
    return 0;
}

extern "C" int host_thrower_call_catching_seh(void (*fn)(void*), void* context,
                                              unsigned long code) {
    __try {
        fn(context);
    } __except (_exception_code() == code ? 1 : 0) {
        return 1;
    }
    return 0;
}

extern "C" void host_thrower_read_counts(host_thrower_counts* counts) {
    *counts = g_counts;
}

extern "C" void host_thrower_reset_counts() {
    g_counts = host_thrower_counts{};
}
