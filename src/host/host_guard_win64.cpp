// The guard of the 64-bit Windows build. A host built with Microsoft's
// compiler raises its C++ errors as the structured exception 0xE06D7363; our
// frames neither catch nor unwind it. The guard is a small routine whose
// unwind data names guard_handler: the platform's dispatcher asks it about
// every exception that reaches it from the host calls the routine makes.
//
// Rules of the guard, beyond those of host_guard.h:
// - The handler takes only the host's C++ errors: code 0xE06D7363, four
//   parameters, the magic 0x19930520, 0x19930521 or 0x19930522 in the first.
//   Every other exception (an access violation, another runtime's error)
//   passes on untouched to whoever handles it further up.
// - It reads the error while the host's frames still stand: the decorated
//   names of the types it can be caught as (the ThrowInfo's catchable-type
//   array; on x64 every field there is an offset from the thrower's image
//   base, the fourth parameter) and, when one of them is std::exception, a
//   copy of what() (slot 1 of the table of Microsoft's std::exception).
// - It then unwinds every frame between the throw and the guard with
//   RtlUnwindEx, so that the host's destructors run, and is called once more
//   as the target of that unwind, with those frames unwound but their stack
//   still intact: there it destroys the host's object, exactly once, through
//   the ThrowInfo's destructor. The unwind resumes the routine after its call
//   with 1 in RAX, and run_guarded raises the component's own equivalent
//   error (host_error_translation) outside every host frame.
// - Nothing the handler does may raise: it allocates the copy of the message
//   with malloc, and an error whose message does not fit in memory becomes
//   out of memory.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "host/host_error_translation.h"
#include "host/host_guard.h"

namespace {

// What the handler learned of a host error, kept in run_guarded's frame; the
// routine holds its address at 32 bytes above its stack pointer.
struct host_error_capture {
    host_error_kind kind;
    char* message; // malloc'd copy of what(), or null
    void* object;  // the host's object, until it has been destroyed
    void (*destroy)(void* object);
};

} // namespace

extern "C" {
int poolscope_guarded_call(host_guard_detail::body_function body_fn, void* body,
                           host_error_capture* capture);
void poolscope_guard_resume();
EXCEPTION_DISPOSITION poolscope_guard_handler(EXCEPTION_RECORD* record, void* frame,
                                              CONTEXT* context, DISPATCHER_CONTEXT* dispatch);
}

// poolscope_guarded_call(body_fn, body, capture): stores capture in its frame,
// calls body_fn(body) and answers 0; after a host error the unwind resumes at
// poolscope_guard_resume with 1 in RAX.
asm(R"(
    .text
    .p2align 4
    .globl poolscope_guarded_call
    .def poolscope_guarded_call; .scl 2; .type 32; .endef
    .seh_proc poolscope_guarded_call
poolscope_guarded_call:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_handler poolscope_guard_handler, @except, @unwind
    .seh_endprologue
    movq %r8, 32(%rsp)
    movq %rcx, %rax
    movq %rdx, %rcx
    call *%rax
    xorl %eax, %eax
    .globl poolscope_guard_resume
poolscope_guard_resume:
    addq $40, %rsp
    ret
    .seh_endproc
)");

namespace {

constexpr DWORD msvc_cxx_exception = 0xE06D7363;
constexpr std::uintptr_t first_magic = 0x19930520;
constexpr std::uintptr_t last_magic = 0x19930522;
constexpr std::uint32_t max_types = 64;

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

// A host C++ error, read from an exception record.
struct host_cxx_error {
    void* object;
    const throw_info* info;
    std::uintptr_t image_base;

    template <typename T> const T* at(std::int32_t offset) const {
        return reinterpret_cast<const T*>(image_base + static_cast<std::uint32_t>(offset));
    }
};

bool read_host_cxx_error(const EXCEPTION_RECORD& record, host_cxx_error& error) {
    if (record.ExceptionCode != msvc_cxx_exception || record.NumberParameters != 4) {
        return false;
    }
    const std::uintptr_t magic = record.ExceptionInformation[0];
    if (magic < first_magic || magic > last_magic || record.ExceptionInformation[2] == 0) {
        return false;
    }
    error.object = reinterpret_cast<void*>(record.ExceptionInformation[1]);
    error.info = reinterpret_cast<const throw_info*>(record.ExceptionInformation[2]);
    error.image_base = record.ExceptionInformation[3];
    return true;
}

// The address of the base that a catchable type describes within the object.
void* base_within(const catchable_type& type, void* object) {
    char* at = static_cast<char*>(object);
    if (type.vbase_table >= 0) {
        at += type.vbase_table;
        const char* table = *reinterpret_cast<char* const*>(at);
        at += *reinterpret_cast<const std::int32_t*>(table + type.vbase_offset);
    }
    return at + type.this_offset;
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

void capture_error(const host_cxx_error& error, host_error_capture& capture) {
    const char* names[max_types] = {};
    std::uint32_t count = 0;
    const catchable_type* standard = nullptr;
    if (error.info->catchable_types != 0) {
        const auto* types = error.at<catchable_type_array>(error.info->catchable_types);
        for (std::int32_t i = 0; i < types->count && count < max_types; ++i) {
            const auto* type = error.at<catchable_type>(types->types[i]);
            names[count] = error.at<type_descriptor>(type->type)->name;
            if (std::strcmp(names[count], ".?AVexception@std@@") == 0) {
                standard = type;
            }
            ++count;
        }
    }
    capture.kind = classify_host_error(names, count);
    if (standard != nullptr && error.object != nullptr) {
        const void* base = base_within(*standard, error.object);
        using what_function = const char* (*)(const void* self);
        const auto* table = *static_cast<const what_function* const*>(base);
        capture.message = copy_of(table[1](base));
        if (capture.message == nullptr) {
            capture.kind = host_error_kind::out_of_memory;
        }
    }
    capture.object = error.object;
    capture.destroy =
        error.info->destructor != 0
            ? reinterpret_cast<void (*)(void*)>(error.image_base +
                                                static_cast<std::uint32_t>(error.info->destructor))
            : nullptr;
}

} // namespace

EXCEPTION_DISPOSITION poolscope_guard_handler(EXCEPTION_RECORD* record, void* frame,
                                              CONTEXT* context, DISPATCHER_CONTEXT* dispatch) {
    auto& capture = **reinterpret_cast<host_error_capture**>(static_cast<char*>(frame) + 32);
    host_cxx_error error{};
    if ((record->ExceptionFlags & EXCEPTION_UNWINDING) != 0) {
        // The target of our own unwind: the host's frames are gone, the
        // object still lies on the stack below.
        if ((record->ExceptionFlags & EXCEPTION_TARGET_UNWIND) != 0 && capture.object != nullptr &&
            read_host_cxx_error(*record, error) && error.object == capture.object) {
            if (capture.destroy != nullptr) {
                capture.destroy(capture.object);
            }
            capture.object = nullptr;
        }
        return ExceptionContinueSearch;
    }
    if (!read_host_cxx_error(*record, error)) {
        return ExceptionContinueSearch;
    }
    capture_error(error, capture);
    RtlUnwindEx(frame, reinterpret_cast<void*>(&poolscope_guard_resume), record,
                reinterpret_cast<void*>(1), context, dispatch->HistoryTable);
    std::abort(); // RtlUnwindEx does not come back
}

void host_guard_detail::run_guarded(body_function body_fn, void* body) {
    host_error_capture capture{host_error_kind::foreign, nullptr, nullptr, nullptr};
    if (poolscope_guarded_call(body_fn, body, &capture) == 0) {
        return;
    }
    const std::unique_ptr<char, decltype(&std::free)> message(capture.message, &std::free);
    raise_host_error(capture.kind, message.get());
}
