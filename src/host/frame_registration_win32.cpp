// The component's unwind tables registered with its own unwinder (32-bit
// edition). poolscope.dll links libgcc statically, and its throws are
// unwound by that copy, which finds a frame only in the tables registered
// with it. The registration that libgcc's start-up code (crtbegin.o) makes
// goes elsewhere when the process has loaded "libgcc_s_dw2-1.dll" before us
// (another plug-in built with mingw, say): crtbegin finds that DLL by name
// and hands our .eh_frame to ITS __register_frame_info. Our own unwinder then
// knows none of our frames, and every throw of ours ends in std::terminate.
// Here the DLL registers its tables with its own unwinder when that one
// cannot find them.
//
// Rules of this code:
// - The tables start at poolscope_eh_frame_start (eh_frame_start_win32.cpp).
//   That object must stay the first object of the DLL that contributes to
//   .eh_frame: poolscope_frame_registration is the first library that
//   src/CMakeLists.txt links into poolscope.dll, and the marker its first
//   source. Frames in front of the label (the start-up objects') are not
//   registered; no exception passes through them.
//   tests/win32/component/eh_frame_order_check.sh checks the built DLL.
// - register_own_frames runs at constructor priority 101: after crtbegin's
//   registration (crtend.o runs it at the reserved priority 0) and before
//   every constructor of ours at a lower priority or none, any of which may
//   throw.
// - It registers only when the static _Unwind_Find_FDE finds no FDE for its
//   own code, that is when crtbegin registered with another module's
//   unwinder: the same tables are never registered twice with one unwinder.
// - The record libgcc keeps for a registration (its struct object: six words
//   in GCC 12) is static, zeroed, and lives until it is deregistered.
// - Deregistration runs through atexit, registered right after the
//   registration: the DLL's exit handlers run in reverse order, so it comes
//   after the destructors of every static object of ours (those constructed
//   later), which may still throw and catch. A destructor function would run
//   too early: mingw runs the .dtors list before the exit handlers. If atexit
//   fails, the registration stays; the registry is in this DLL and is
//   unmapped with it.
// - The foreign unwinder keeps crtbegin's registration; crtbegin
//   deregisters that itself when the DLL unloads.
// - 32-bit only: the 64-bit edition unwinds through the .pdata/.xdata tables,
//   which the system finds for every module.
#include <cstdlib>

namespace {

// libgcc's struct dwarf_eh_bases, which _Unwind_Find_FDE fills.
struct unwind_bases {
    void* text_base;
    void* data_base;
    void* function;
};

// Room for libgcc's struct object, with a margin.
struct registration_record {
    void* words[8];
};

registration_record g_record;
bool g_registered = false;

} // namespace

extern "C" {
extern const char poolscope_eh_frame_start[];
const void* _Unwind_Find_FDE(void* pc, unwind_bases* bases);
void __register_frame_info(const void* begin, void* object);
void* __deregister_frame_info(const void* begin);
}

namespace {

void deregister_own_frames() {
    if (g_registered) {
        __deregister_frame_info(poolscope_eh_frame_start);
        g_registered = false;
    }
}

__attribute__((constructor(101))) void register_own_frames() {
    unwind_bases bases{};
    void* own_code = reinterpret_cast<void*>(&register_own_frames);
    if (_Unwind_Find_FDE(own_code, &bases) != nullptr) {
        return; // crtbegin registered with our own unwinder
    }
    __register_frame_info(poolscope_eh_frame_start, &g_record);
    g_registered = true;
    std::atexit(&deregister_own_frames);
}

} // namespace
