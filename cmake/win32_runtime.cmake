# Runtime arrangement of the 32-bit Windows build.
#
# Every executable and DLL lands in one folder (bin/) so that the component,
# the stand-in shared.dll, the reference host and the test hosts sit beside
# each other. Modules that throw into each other (the host throws its
# cancellation error into the component) must share libgcc's dw2 unwinder, so
# they link libstdc++ statically but libgcc_s_dw2-1.dll (and its
# libwinpthread-1.dll) dynamically; both DLLs are copied into bin/. Test
# executables that load no component link fully static.

set(POOLSCOPE_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${POOLSCOPE_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${POOLSCOPE_BIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

find_file(POOLSCOPE_LIBGCC_DLL libgcc_s_dw2-1.dll
          PATHS /usr/lib/gcc/i686-w64-mingw32/12-posix NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_file(POOLSCOPE_WINPTHREAD_DLL libwinpthread-1.dll
          PATHS /usr/i686-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT POOLSCOPE_LIBGCC_DLL OR NOT POOLSCOPE_WINPTHREAD_DLL)
    message(FATAL_ERROR "mingw runtime DLLs not found (run scripts/bootstrap.sh)")
endif()

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

# Wine runs the win32 tests. Its services are started once by a setup fixture
# with all output discarded (otherwise ctest waits on the pipe they hold open)
# and stopped by a cleanup fixture.
set(POOLSCOPE_WINE_ENV
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "WINEARCH=win32")
if(DEFINED ENV{WINEPREFIX})
    list(APPEND POOLSCOPE_WINE_ENV "WINEPREFIX=$ENV{WINEPREFIX}")
else()
    list(APPEND POOLSCOPE_WINE_ENV "WINEPREFIX=$ENV{HOME}/.wine-poolscope")
endif()

function(poolscope_wine_fixtures)
    get_property(defined GLOBAL PROPERTY POOLSCOPE_WINE_FIXTURES_DEFINED)
    if(defined)
        return()
    endif()
    set_property(GLOBAL PROPERTY POOLSCOPE_WINE_FIXTURES_DEFINED ON)
    add_test(NAME wine_start COMMAND sh -c
        "wineserver -p </dev/null >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1; exit 0")
    set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${POOLSCOPE_WINE_ENV}")
    add_test(NAME wine_stop COMMAND sh -c "wineserver -k </dev/null >/dev/null 2>&1; exit 0")
    set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${POOLSCOPE_WINE_ENV}")
endfunction()

# Adds a test that runs an executable of bin/ under wine with the fixtures.
# DISPLAY is inherited from the caller (the test script starts Xvfb).
function(poolscope_add_wine_test name target)
    poolscope_wine_fixtures()
    add_test(NAME ${name} COMMAND wine $<TARGET_FILE:${target}> ${ARGN}
             WORKING_DIRECTORY ${POOLSCOPE_BIN_DIR})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
                         ENVIRONMENT "${POOLSCOPE_WINE_ENV}" TIMEOUT 600)
endfunction()
