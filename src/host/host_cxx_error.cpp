#include "host/host_cxx_error.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD msvc_cxx_exception = 0xE06D7363;
constexpr ULONG_PTR first_magic = 0x19930520;
constexpr ULONG_PTR last_magic = 0x19930522;
constexpr std::uint32_t max_types = 64;
#ifdef _WIN64
constexpr DWORD cxx_parameters = 4;
#else
constexpr DWORD cxx_parameters = 3;
#endif

// Microsoft's records of a thrown type; every reference is an offset from
// the image base (0 in 32-bit, where they are addresses).
struct throw_info {
    std::uint32_t attributes;
    std::int32_t destructor;
    std::int32_t forward_compat;
    std::int32_t catchable_types;
};

struct catchable_type_array {
    std::int32_t count;
    std::int32_t types[1];
};

struct catchable_type {
    std::uint32_t properties;
    std::int32_t type;
    std::int32_t this_offset;  // of the base within the object
    std::int32_t vbase_table;  // -1: not a virtual base
    std::int32_t vbase_offset; // within the virtual base table
    std::int32_t size;
    std::int32_t copy;
};

struct type_descriptor {
    const void* table;
    void* spare;
    char name[1];
};

#ifdef _WIN64
using what_function = const char* (*)(const void* self);
using destructor_function = void (*)(void* self);
#else
using what_function = const char*(__attribute__((thiscall)) *)(const void* self);
using destructor_function = void(__attribute__((thiscall)) *)(void* self);
#endif

template <typename T> const T* at(const host_cxx_error& error, std::int32_t offset) {
    return reinterpret_cast<const T*>(error.image_base + static_cast<std::uint32_t>(offset));
}

// The address of the base that a catchable type describes within the object.
const void* base_within(const catchable_type& type, void* object) {
    char* base = static_cast<char*>(object);
    if (type.vbase_table >= 0) {
        base += type.vbase_table;
        const char* table = *reinterpret_cast<char* const*>(base);
        base += *reinterpret_cast<const std::int32_t*>(table + type.vbase_offset);
    }
    return base + type.this_offset;
}

char* copy_of(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const std::size_t bytes = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(bytes));
    if (copy != nullptr) {
        std::memcpy(copy, text, bytes);
    }
    return copy;
}

} // namespace

bool read_host_cxx_error(const EXCEPTION_RECORD& record, host_cxx_error& error) noexcept {
    if (record.ExceptionCode != msvc_cxx_exception || record.NumberParameters != cxx_parameters) {
        return false;
    }
    const ULONG_PTR magic = record.ExceptionInformation[0];
    if (magic < first_magic || magic > last_magic || record.ExceptionInformation[2] == 0) {
        return false;
    }
    error.object = reinterpret_cast<void*>(record.ExceptionInformation[1]);
    error.info = reinterpret_cast<const void*>(record.ExceptionInformation[2]);
#ifdef _WIN64
    error.image_base = record.ExceptionInformation[3];
#else
    error.image_base = 0;
#endif
    return true;
}

void capture_host_cxx_error(const host_cxx_error& error, host_error_capture& capture) noexcept {
    const auto& info = *static_cast<const throw_info*>(error.info);
    const char* names[max_types] = {};
    std::uint32_t count = 0;
    const catchable_type* standard = nullptr;
    if (info.catchable_types != 0) {
        const auto& types = *at<catchable_type_array>(error, info.catchable_types);
        for (std::int32_t i = 0; i < types.count && count < max_types; ++i) {
            const catchable_type* type = at<catchable_type>(error, types.types[i]);
            names[count] = at<type_descriptor>(error, type->type)->name;
            if (std::strcmp(names[count], ".?AVexception@std@@") == 0) {
                standard = type;
            }
            ++count;
        }
    }
    capture.kind = classify_host_error(names, count);
    if (standard != nullptr && error.object != nullptr) {
        const void* base = base_within(*standard, error.object);
        const auto* table = *static_cast<const what_function* const*>(base);
        capture.message = copy_of(table[1](base));
        if (capture.message == nullptr) {
            capture.kind = host_error_kind::out_of_memory;
        }
    }
    capture.object = error.object;
    capture.destroy =
        info.destructor != 0 ? const_cast<void*>(at<void>(error, info.destructor)) : nullptr;
}

void destroy_host_object(host_error_capture& capture) noexcept {
    if (capture.object != nullptr && capture.destroy != nullptr) {
        reinterpret_cast<destructor_function>(capture.destroy)(capture.object);
    }
    capture.object = nullptr;
}
