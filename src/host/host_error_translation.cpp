#include "host/host_error_translation.h"

#include <cstring>
#include <new>

#include "support/errors.h"

const char* const foreign_host_error_text = "The host raised an error that is not a C++ exception";

namespace {

struct known_type {
    const char* decorated_name;
    host_error_kind kind;
};

// Most specific first: a type derived from several of these is the first.
constexpr known_type known_types[] = {
    {".?AVexception_aborted@auvia_io@@", host_error_kind::cancelled},
    {".?AVexception_io_data@auvia_io@@", host_error_kind::data_error},
    {".?AVexception_io@auvia_io@@", host_error_kind::io_error},
    {".?AVbad_alloc@std@@", host_error_kind::out_of_memory},
    {".?AVexception@std@@", host_error_kind::standard},
};

error_text copied(const char* message) {
    return message != nullptr ? error_text(message, std::strlen(message)) : error_text();
}

} // namespace

host_error_kind classify_host_error(const char* const* type_names, std::uint32_t count) noexcept {
    for (const known_type& known : known_types) {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (type_names[i] != nullptr && std::strcmp(type_names[i], known.decorated_name) == 0) {
                return known.kind;
            }
        }
    }
    return host_error_kind::foreign;
}

void raise_host_error(host_error_kind kind, const char* message) {
    switch (kind) {
    case host_error_kind::cancelled:
        throw auvia_io::exception_aborted();
    case host_error_kind::data_error:
        throw auvia_io::exception_io_data(copied(message));
    case host_error_kind::io_error:
        throw auvia_io::exception_io(copied(message));
    case host_error_kind::out_of_memory:
        throw std::bad_alloc();
    case host_error_kind::standard:
        throw exception_host_error(copied(message));
    case host_error_kind::foreign:
        break;
    }
    throw exception_host_error(copied(foreign_host_error_text));
}
