# Runtime arrangement of the Windows builds (32-bit and 64-bit editions).
#
# Every executable and DLL lands in one folder (bin/) so that the component,
# the stand-in shared.dll, the reference host and the test hosts sit beside
# each other. Modules that throw into each other (the host throws its
# cancellation error into the component) must share libgcc's unwinder, so
# they link libstdc++ statically but libgcc's DLL (libgcc_s_dw2-1.dll in the
# 32-bit edition, libgcc_s_seh-1.dll in the 64-bit one) and its
# libwinpthread-1.dll dynamically; both DLLs are copied into bin/. Test
# executables that load no component link fully static.

set(POOLSCOPE_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${POOLSCOPE_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${POOLSCOPE_BIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(POOLSCOPE_MINGW_TRIPLE x86_64-w64-mingw32)
    set(POOLSCOPE_LIBGCC_NAME libgcc_s_seh-1.dll)
else()
    set(POOLSCOPE_MINGW_TRIPLE i686-w64-mingw32)
    set(POOLSCOPE_LIBGCC_NAME libgcc_s_dw2-1.dll)
endif()
find_file(POOLSCOPE_LIBGCC_DLL ${POOLSCOPE_LIBGCC_NAME}
          PATHS /usr/lib/gcc/${POOLSCOPE_MINGW_TRIPLE}/12-posix NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_file(POOLSCOPE_WINPTHREAD_DLL libwinpthread-1.dll
          PATHS /usr/${POOLSCOPE_MINGW_TRIPLE}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT POOLSCOPE_LIBGCC_DLL OR NOT POOLSCOPE_WINPTHREAD_DLL)
    message(FATAL_ERROR "mingw runtime DLLs not found (run scripts/bootstrap.sh)")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/host_thrower.cmake)

add_custom_target(win32_runtime_dlls ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${POOLSCOPE_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${POOLSCOPE_LIBGCC_DLL} ${POOLSCOPE_WINPTHREAD_DLL}
            ${POOLSCOPE_BIN_DIR}
    COMMENT "Copying the shared libgcc runtime beside the modules")

# A module that exchanges exceptions with other modules (component, shared.dll,
# reference host, component test hosts).
function(poolscope_component_link target)
    target_link_options(${target} PRIVATE -static-libstdc++)
    add_dependencies(${target} win32_runtime_dlls)
endfunction()

# A test or tool executable that loads no component.
function(poolscope_static_link target)
    target_link_options(${target} PRIVATE -static)
endfunction()

# A 32-bit executable that hosts a component gets the whole 4 GB a 32-bit
# process can have on a 64-bit system (a large library needs more than 2 GB).
# A 64-bit one has the address space anyway.
function(poolscope_large_address_aware target)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(${target} ${ARGN} -Wl,--large-address-aware)
    endif()
endfunction()

# Wine runs the Windows tests, each edition with its own loader and prefix
# (see scripts/wine-edition.sh): POOLSCOPE_WINE, POOLSCOPE_WINESERVER and
# POOLSCOPE_WINEARCH come from the toolchain file. Its services are started once by a setup fixture
# with all output discarded (otherwise ctest waits on the pipe they hold open)
# and stopped by a cleanup fixture.
set(POOLSCOPE_WINE_ENV
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEARCH=${POOLSCOPE_WINEARCH}"
    "WINE=${POOLSCOPE_WINE}")
if(DEFINED ENV{WINEPREFIX})
    list(APPEND POOLSCOPE_WINE_ENV "WINEPREFIX=$ENV{WINEPREFIX}")
else()
    list(APPEND POOLSCOPE_WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix")
endif()

function(poolscope_wine_fixtures)
    get_property(defined GLOBAL PROPERTY POOLSCOPE_WINE_FIXTURES_DEFINED)
    if(defined)
        return()
    endif()
    set_property(GLOBAL PROPERTY POOLSCOPE_WINE_FIXTURES_DEFINED ON)
    add_test(NAME wine_start COMMAND sh -c
        "${POOLSCOPE_WINESERVER} -p </dev/null >/dev/null 2>&1; ${POOLSCOPE_WINE} cmd /c exit </dev/null >/dev/null 2>&1; exit 0")
    set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${POOLSCOPE_WINE_ENV}")
    add_test(NAME wine_stop COMMAND sh -c "${POOLSCOPE_WINESERVER} -k </dev/null >/dev/null 2>&1; exit 0")
    set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${POOLSCOPE_WINE_ENV}")
endfunction()

# Under wine64 the heaps and VirtualAlloc stay below 4 GB, where a pointer cut
# to 32 bits would still work: every 64-bit test host reserves that space
# before anything else runs (tests/win32/high_addresses_at_start.cpp).
function(poolscope_high_addresses target)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/win32/high_addresses_at_start.cpp)
        target_link_libraries(${target} PRIVATE refhost_low_address_space)
    endif()
endfunction()

# Adds a test that runs an executable of bin/ under wine with the fixtures
# (the executable's memory above 4 GB in the 64-bit edition). DISPLAY is
# inherited from the caller (the test script starts Xvfb).
function(poolscope_add_wine_test name target)
    poolscope_wine_fixtures()
    poolscope_high_addresses(${target})
    add_test(NAME ${name} COMMAND ${POOLSCOPE_WINE} $<TARGET_FILE:${target}> ${ARGN}
             WORKING_DIRECTORY ${POOLSCOPE_BIN_DIR})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
                         ENVIRONMENT "${POOLSCOPE_WINE_ENV}" TIMEOUT 600)
endfunction()
