# Runtime arrangement of the Windows builds (32-bit and 64-bit editions).
#
# Every executable and DLL lands in one folder (bin/) so that the component,
# the stand-in shared.dll, the reference host and the test hosts sit beside
# each other. Every module links its runtime (libgcc, libstdc++, winpthread)
# statically: poolscope.dll must load in a host that ships no mingw runtime,
# so bin/ holds none, and no module may count on sharing one. Errors cross
# between modules only as the platform's C++ exceptions: our hosts raise
# theirs through the host thrower (cmake/host_thrower.cmake), and the
# component's guard (src/host/host_guard_win64.cpp, host_guard_win32.cpp)
# turns them into its own.

set(POOLSCOPE_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${POOLSCOPE_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${POOLSCOPE_BIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(POOLSCOPE_MINGW_TRIPLE x86_64-w64-mingw32)
else()
    set(POOLSCOPE_MINGW_TRIPLE i686-w64-mingw32)
endif()
# Builds made before the runtime was linked statically copied it here; a
# test passes only without it.
file(REMOVE ${POOLSCOPE_BIN_DIR}/libgcc_s_dw2-1.dll ${POOLSCOPE_BIN_DIR}/libgcc_s_seh-1.dll
     ${POOLSCOPE_BIN_DIR}/libwinpthread-1.dll)

include(${CMAKE_CURRENT_LIST_DIR}/host_thrower.cmake)

# A module that hosts or is a component, or exchanges errors with one
# (component, shared.dll, reference host, component test hosts).
function(poolscope_component_link target)
    target_link_options(${target} PRIVATE -static)
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
# POOLSCOPE_WINEARCH come from the toolchain file. Wine's services are started
# once by a setup fixture with all output discarded (otherwise ctest waits on
# the pipe they hold open) and stopped by a cleanup fixture.
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
