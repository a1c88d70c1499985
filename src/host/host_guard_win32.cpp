// The guard of the 32-bit Windows build. A host built with Microsoft's
// compiler raises its C++ errors as the structured exception 0xE06D7363; our
// frames (dwarf-2 unwinding) neither catch nor unwind it. The guard is a
// structured-exception record on the fs:0 chain, in the frame of a small
// routine that makes the host calls of one batch.
//
// Rules of the guard, beyond those of host_guard.h:
// - The handler takes only the host's C++ errors: code 0xE06D7363, three
//   parameters, the magic 0x19930520, 0x19930521 or 0x19930522 in the first
//   (host_cxx_error.h). Every other exception, and every unwind passing the
//   record, goes on untouched.
// - It reads the error while the host's frames still stand (the ThrowInfo's
//   fields are addresses in 32-bit), then unwinds the records above its own
//   with RtlUnwind, so that the host's destructors run. RtlUnwind may clobber
//   the callee-saved registers: it is called through a routine that saves
//   them, with the address after the call as its target, as the platform's
//   own global unwind does.
// - Back from RtlUnwind it is still on the dispatcher's stack, below the
//   thrower's frame that holds the object: there it destroys the object,
//   exactly once, through the ThrowInfo's destructor (thiscall). It then
//   resumes the routine with the stack and frame pointer its record saved,
//   the record off the chain, and 1 in EAX; run_guarded raises our
//   equivalent error outside every host frame.
// - The handler realigns its stack: a host enters it through the dispatcher
//   with the 4-byte alignment that is all 32-bit Windows promises.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "host/host_cxx_error.h"
#include "host/host_guard.h"

namespace {

// The guard's record on the fs:0 chain, in poolscope_guarded_call's frame.
struct guard_registration {
    guard_registration* previous;
    void* handler;
    host_error_capture* capture;
    void* stack;         // the routine's stack pointer: the record itself
    void* frame_pointer; // the routine's EBP
};

} // namespace

extern "C" {
int poolscope_guarded_call(host_guard_detail::body_function body_fn, void* body,
                           host_error_capture* capture);
[[noreturn]] void poolscope_guard_resume(guard_registration* registration);
void poolscope_guard_unwind(guard_registration* registration, EXCEPTION_RECORD* record);
__attribute__((force_align_arg_pointer)) EXCEPTION_DISPOSITION
poolscope_guard_handler(EXCEPTION_RECORD* record, void* registration, CONTEXT* context,
                        void* dispatcher);
}

// poolscope_guarded_call(body_fn, body, capture), cdecl: links its record at
// the head of the fs:0 chain, calls body_fn(body), unlinks it and answers 0.
// poolscope_guard_resume(registration) comes back into it after a host error
// and answers 1. poolscope_guard_unwind(registration, record) calls
// RtlUnwind(registration, after the call, record, 0) with EBX, ESI, EDI and
// EBP kept.
asm(R"(
    .text
    .p2align 4
    .globl _poolscope_guarded_call
    .def _poolscope_guarded_call; .scl 2; .type 32; .endef
_poolscope_guarded_call:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $20, %esp
    movl %fs:0, %eax
    movl %eax, 0(%esp)
    movl $_poolscope_guard_handler, 4(%esp)
    movl 16(%ebp), %eax
    movl %eax, 8(%esp)
    movl %esp, 12(%esp)
    movl %ebp, 16(%esp)
    movl %esp, %fs:0
    subl $12, %esp
    movl 12(%ebp), %eax
    movl %eax, 0(%esp)
    call *8(%ebp)
    addl $12, %esp
    xorl %eax, %eax
poolscope_guard_leave:
    movl 0(%esp), %ecx
    movl %ecx, %fs:0
    addl $20, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

    .globl _poolscope_guard_resume
    .def _poolscope_guard_resume; .scl 2; .type 32; .endef
_poolscope_guard_resume:
    movl 4(%esp), %edx
    movl 16(%edx), %ebp
    movl 12(%edx), %esp
    movl $1, %eax
    jmp poolscope_guard_leave

    .globl _poolscope_guard_unwind
    .def _poolscope_guard_unwind; .scl 2; .type 32; .endef
_poolscope_guard_unwind:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl $0
    pushl 12(%ebp)
    pushl $poolscope_guard_unwound
    pushl 8(%ebp)
    call _RtlUnwind@16
poolscope_guard_unwound:
    leal -12(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

EXCEPTION_DISPOSITION poolscope_guard_handler(EXCEPTION_RECORD* record, void* registration,
                                              CONTEXT*, void*) {
    host_cxx_error error{};
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0 ||
        !read_host_cxx_error(*record, error)) {
        return ExceptionContinueSearch;
    }
    auto* guard = static_cast<guard_registration*>(registration);
    capture_host_cxx_error(error, *guard->capture);
    poolscope_guard_unwind(guard, record);
    destroy_host_object(*guard->capture);
    poolscope_guard_resume(guard);
}

void host_guard_detail::run_guarded(body_function body_fn, void* body) {
    host_error_capture capture{host_error_kind::foreign, nullptr, nullptr, nullptr};
    if (poolscope_guarded_call(body_fn, body, &capture) == 0) {
        return;
    }
    const std::unique_ptr<char, decltype(&std::free)> message(capture.message, &std::free);
    raise_host_error(capture.kind, message.get());
}
