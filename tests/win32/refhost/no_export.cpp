// A DLL that exports something, but not auvia_get_interface.
#include <windows.h>

extern "C" __declspec(dllexport) int __cdecl something_else() {
    return 42;
}
