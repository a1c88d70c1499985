// The start of poolscope.dll's own unwind tables (32-bit edition): an empty
// contribution to .eh_frame with a label at its start. This object holds no
// code, and it is the first object of the DLL that contributes to .eh_frame
// (src/CMakeLists.txt links it first), so the label is where the CIEs and
// FDEs of the component's objects and of the static runtime begin; crtend.o,
// linked last, closes the list with its zero word. frame_registration_win32.cpp
// says who reads it and why.
asm(R"(
    .section .eh_frame,"dr"
    .p2align 2
    .globl _poolscope_eh_frame_start
_poolscope_eh_frame_start:
    .text
)");
