# The module through which our hosts raise their errors (refhost/thrower/):
# built with clang for the Microsoft C++ ABI, as a Windows host is, so that
# the errors reach a component as the platform's C++ exceptions. CMake knows
# only the mingw compilers here, so custom commands build it:
#   1. an import library of the system's msvcrt.dll from a .def file
#      (llvm-dlltool; it holds _CxxThrowException, __CxxFrameHandler3 and the
#      structured-exception handler the module needs),
#   2. the object (clang-14 --target=<arch>-pc-windows-msvc),
#   3. bin/host_thrower.dll and its import library (lld-link),
#   4. an import library for the mingw linker (the mingw dlltool).
# Modules link the imported target host_thrower.

find_program(POOLSCOPE_CLANG clang-14 REQUIRED)
find_program(POOLSCOPE_LLD_LINK lld-link REQUIRED)
find_program(POOLSCOPE_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
find_program(POOLSCOPE_MINGW_DLLTOOL ${POOLSCOPE_MINGW_TRIPLE}-dlltool REQUIRED)

set(thrower_dir ${PROJECT_SOURCE_DIR}/refhost/thrower)
set(thrower_out ${CMAKE_BINARY_DIR}/host_thrower)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(thrower_target x86_64-pc-windows-msvc)
    set(thrower_machine i386:x86-64)
    set(thrower_lld_machine x64)
    set(thrower_msvcrt_def ${thrower_dir}/msvcrt_x64.def)
else()
    set(thrower_target i686-pc-windows-msvc)
    set(thrower_machine i386)
    set(thrower_lld_machine x86)
    set(thrower_msvcrt_def ${thrower_dir}/msvcrt_i686.def)
endif()

add_custom_command(
    OUTPUT ${thrower_out}/msvcrt.lib
    COMMAND ${CMAKE_COMMAND} -E make_directory ${thrower_out}
    COMMAND ${POOLSCOPE_LLVM_DLLTOOL} -m ${thrower_machine} -k -d ${thrower_msvcrt_def}
            -l ${thrower_out}/msvcrt.lib
    DEPENDS ${thrower_msvcrt_def}
    COMMENT "Import library of msvcrt.dll for the host thrower")
add_custom_command(
    OUTPUT ${thrower_out}/host_thrower.obj
    COMMAND ${CMAKE_COMMAND} -E make_directory ${thrower_out}
    COMMAND ${POOLSCOPE_CLANG} --target=${thrower_target} -O2 -fms-extensions -fexceptions
            -fcxx-exceptions -Wall -Wextra -Werror -c ${thrower_dir}/host_thrower.cpp
            -o ${thrower_out}/host_thrower.obj
    DEPENDS ${thrower_dir}/host_thrower.cpp ${thrower_dir}/host_thrower.h
    COMMENT "Compiling the host thrower for the Microsoft C++ ABI")
add_custom_command(
    OUTPUT ${POOLSCOPE_BIN_DIR}/host_thrower.dll ${thrower_out}/libhost_thrower.dll.a
    COMMAND ${CMAKE_COMMAND} -E make_directory ${POOLSCOPE_BIN_DIR}
    COMMAND ${POOLSCOPE_LLD_LINK} /nologo /dll /noentry /nodefaultlib
            /machine:${thrower_lld_machine} /def:${thrower_dir}/host_thrower.def
            /out:${POOLSCOPE_BIN_DIR}/host_thrower.dll /implib:${thrower_out}/host_thrower.lib
            ${thrower_out}/host_thrower.obj ${thrower_out}/msvcrt.lib
    COMMAND ${POOLSCOPE_MINGW_DLLTOOL} -d ${thrower_dir}/host_thrower.def -D host_thrower.dll
            -l ${thrower_out}/libhost_thrower.dll.a
    DEPENDS ${thrower_out}/host_thrower.obj ${thrower_out}/msvcrt.lib
            ${thrower_dir}/host_thrower.def
    COMMENT "Linking host_thrower.dll")
add_custom_target(host_thrower_module
    DEPENDS ${POOLSCOPE_BIN_DIR}/host_thrower.dll ${thrower_out}/libhost_thrower.dll.a)

add_library(host_thrower INTERFACE)
target_include_directories(host_thrower INTERFACE ${PROJECT_SOURCE_DIR})
target_link_libraries(host_thrower INTERFACE ${thrower_out}/libhost_thrower.dll.a)
add_dependencies(host_thrower host_thrower_module)
