# The portable engine and support library as a 32-bit Linux program (g++ -m32),
# so that their 32-bit data layout is tested where no 32-bit program runs
# natively: the tests and the native benchmark run under qemu-i386-static,
# called explicitly (no system-wide binfmt registration is needed or made).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-i386-static)
