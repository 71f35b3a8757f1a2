# How the installer is compiled and linked, and how a product's setup
# executable is put together from it.

# Small and self-contained: no exceptions, no RTTI, the GCC runtime linked in,
# only system DLLs imported.
add_library(cratewise_flags INTERFACE)
target_compile_options(cratewise_flags INTERFACE
    -Os -Wall -Wextra -Werror
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>
    -fno-asynchronous-unwind-tables -ffunction-sections -fno-ident
    # 32-bit Windows keeps its stack 4-byte aligned; asking for more costs
    # code in every function and buys nothing without SSE. Arguments are
    # pushed rather than stored, which is smaller; that needs no stack probes,
    # which no frame below a page needs, and none may grow past one.
    $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-mpreferred-stack-boundary=2>
    $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-fomit-frame-pointer>
    $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-mno-stack-arg-probe>
    $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-mno-accumulate-outgoing-args>
    $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-Wframe-larger-than=4000>)
# The same inputs make the same bytes, wherever and whenever they are built:
# no link time in the header, no build folder in the code.
target_compile_options(cratewise_flags INTERFACE
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
target_link_options(cratewise_flags INTERFACE
    -static-libgcc -static-libstdc++ -mwindows -Wl,--gc-sections -s -Wl,--no-insert-timestamp)

# What every program of ours (the setup executables, the uninstaller) links:
# its own entry point instead of the C runtime's start-up. The entry symbol
# is decorated on i686 only; a wrong one would only be warned about, and the
# program would start at the first byte of its code.
add_library(cratewise_program INTERFACE)
target_sources(cratewise_program INTERFACE ${PROJECT_SOURCE_DIR}/platform/entry.cpp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(entry_symbol WinMainCRTStartup)
else()
    set(entry_symbol _WinMainCRTStartup)
endif()
target_link_options(cratewise_program INTERFACE -nostartfiles -Wl,-e,${entry_symbol} -Wl,--fatal-warnings)
target_link_libraries(cratewise_program INTERFACE cratewise_flags)

# lz32, comctl32 and shell32 are not imported: platform/syslibs.cpp loads
# them from the system folder.
set(CRATEWISE_SYSTEM_LIBS advapi32 gdi32 user32 kernel32)

add_library(cratewise_installer OBJECT
    ${PROJECT_SOURCE_DIR}/platform/state.cpp
    ${PROJECT_SOURCE_DIR}/shell/main.cpp
    ${PROJECT_SOURCE_DIR}/shell/mainwindow.cpp
    ${PROJECT_SOURCE_DIR}/shell/sequence.cpp
    ${PROJECT_SOURCE_DIR}/shell/backdrop.cpp
    ${PROJECT_SOURCE_DIR}/shell/picture.cpp
    ${PROJECT_SOURCE_DIR}/pages/pagekit.cpp
    ${PROJECT_SOURCE_DIR}/pages/splash.cpp
    ${PROJECT_SOURCE_DIR}/pages/agreement.cpp
    ${PROJECT_SOURCE_DIR}/pages/location.cpp
    ${PROJECT_SOURCE_DIR}/pages/copy.cpp
    ${PROJECT_SOURCE_DIR}/pages/meter.cpp
    ${PROJECT_SOURCE_DIR}/pages/group.cpp
    ${PROJECT_SOURCE_DIR}/pages/completion.cpp
    ${PROJECT_SOURCE_DIR}/platform/dde.cpp
    ${PROJECT_SOURCE_DIR}/platform/hardening.cpp
    ${PROJECT_SOURCE_DIR}/platform/registry.cpp
)
target_link_libraries(cratewise_installer PRIVATE cratewise_flags)

add_library(cratewise_syslibs OBJECT ${PROJECT_SOURCE_DIR}/platform/syslibs.cpp)
target_link_libraries(cratewise_syslibs PRIVATE cratewise_flags cratewise_logic)

# cratewise_setup(<target> MANIFEST <source> RESOURCES <dir> [DEPENDS ...])
# <dir> holds the product's product.rc, which names its icon, bitmaps,
# agreement and payload.
function(cratewise_setup target)
    cmake_parse_arguments(ARG "" "MANIFEST;RESOURCES;OUTPUT_NAME" "DEPENDS" ${ARGN})
    add_executable(${target} WIN32
        $<TARGET_OBJECTS:cratewise_installer>
        $<TARGET_OBJECTS:cratewise_syslibs>
        ${ARG_MANIFEST}
        ${PROJECT_SOURCE_DIR}/resources/cratewise.rc)
    # windres's includes are not scanned: name them, or a changed template
    # would not rebuild the executable.
    set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/cratewise.rc PROPERTIES
        OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/resources/pages.rc;${PROJECT_SOURCE_DIR}/resources/resource.h;${PROJECT_SOURCE_DIR}/resources/cratewise.manifest;${ARG_DEPENDS}")
    target_include_directories(${target} PRIVATE ${ARG_RESOURCES} ${PROJECT_SOURCE_DIR}/resources)
    target_link_libraries(${target} PRIVATE cratewise_program cratewise_logic ${CRATEWISE_SYSTEM_LIBS})
    if(ARG_OUTPUT_NAME)
        set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
    endif()
endfunction()
