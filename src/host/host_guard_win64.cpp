// The guard of the 64-bit Windows build. A host built with Microsoft's
// compiler raises its C++ errors as the structured exception 0xE06D7363; our
// frames neither catch nor unwind it. The guard is a small routine whose
// unwind data names poolscope_guard_handler: the platform's dispatcher asks
// it about every exception that reaches it from the host calls the routine
// makes (through body_fn, one batch per guard). The reading of the host's
// error is host_cxx_error's.
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

#include <cstdlib>
#include <memory>

#include "host/host_cxx_error.h"
#include "host/host_guard.h"

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

EXCEPTION_DISPOSITION poolscope_guard_handler(EXCEPTION_RECORD* record, void* frame,
                                              CONTEXT* context, DISPATCHER_CONTEXT* dispatch) {
    auto& capture = **reinterpret_cast<host_error_capture**>(static_cast<char*>(frame) + 32);
    host_cxx_error error{};
    if ((record->ExceptionFlags & EXCEPTION_UNWINDING) != 0) {
        // The target of our own unwind: the host's frames are gone, the
        // object still lies on the stack below.
        if ((record->ExceptionFlags & EXCEPTION_TARGET_UNWIND) != 0 && capture.object != nullptr &&
            read_host_cxx_error(*record, error) && error.object == capture.object) {
            destroy_host_object(capture);
        }
        return ExceptionContinueSearch;
    }
    if (!read_host_cxx_error(*record, error)) {
        return ExceptionContinueSearch;
    }
    capture_host_cxx_error(error, capture);
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
