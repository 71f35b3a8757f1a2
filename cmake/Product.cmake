# cratewise_product(<name> DESCRIPTION <file> [OUTPUT_NAME <name>])
#
# Makes the setup executable of the product that <file> describes (the
# format: tools/packer/README.md). The packer checks the description, draws
# its artwork, compresses its rows and writes the manifest and resource
# script into <build>/product/<name>/packed; the executable lands in
# <build>/product/<name>/ (OUTPUT_NAME, default "setup", plus ".exe").
#
# Rows whose source is "@target:NAME" take the file of this build's target
# NAME; "@uninstaller" is the target "uninstaller". The description is
# scanned for them when CMake runs, and the packer reruns whenever the
# description, a file it names, a target it names or the packer changes.
#
# Targets: <name>_packed (the packer's outputs) and <name>_setup.
function(cratewise_product name)
    cmake_parse_arguments(ARG "" "DESCRIPTION;OUTPUT_NAME" "" ${ARGN})
    if(NOT ARG_DESCRIPTION)
        message(FATAL_ERROR "cratewise_product(${name}): DESCRIPTION <file> is needed")
    endif()
    if(NOT ARG_OUTPUT_NAME)
        set(ARG_OUTPUT_NAME setup)
    endif()
    get_filename_component(description "${ARG_DESCRIPTION}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT EXISTS "${description}")
        message(FATAL_ERROR "cratewise_product(${name}): no description at ${description}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${description}")

    # The build targets the rows take their files from.
    file(STRINGS "${description}" rows REGEX "^[ \t]*Row:")
    set(target_args "")
    set(target_deps "")
    foreach(row IN LISTS rows)
        string(REGEX MATCHALL "@(uninstaller|target:[A-Za-z0-9_.+-]+)" sources "${row}")
        foreach(source IN LISTS sources)
            if(source STREQUAL "@uninstaller")
                set(target uninstaller)
            else()
                string(REPLACE "@target:" "" target "${source}")
            endif()
            if(NOT TARGET ${target})
                message(FATAL_ERROR "${description}: a row's source is ${source}, but this build has "
                                    "no target '${target}'")
            endif()
            if(NOT target IN_LIST target_deps)
                list(APPEND target_deps ${target})
                list(APPEND target_args --target "${target}=$<TARGET_FILE:${target}>")
            endif()
        endforeach()
    endforeach()

    set(folder ${CMAKE_BINARY_DIR}/product/${name})
    set(packed ${folder}/packed)
    add_custom_command(
        OUTPUT ${packed}/manifest.cpp ${packed}/product.rc ${packed}/notice.h
        COMMAND ${CRATEWISE_PACKER} --out ${packed} --depfile ${packed}/packer.d
                ${target_args} ${description}
        DEPENDS ${description} ${CRATEWISE_PACKER} ${target_deps}
        DEPFILE ${packed}/packer.d
        COMMENT "Packing ${name} from ${description}"
        VERBATIM)
    add_custom_target(${name}_packed DEPENDS ${packed}/manifest.cpp ${packed}/product.rc ${packed}/notice.h)
    add_dependencies(${name}_packed hosttools)

    cratewise_setup(${name}_setup
        MANIFEST ${packed}/manifest.cpp
        RESOURCES ${packed}
        OUTPUT_NAME ${ARG_OUTPUT_NAME}
        DEPENDS ${packed}/product.rc ${packed}/notice.h)
    set_target_properties(${name}_setup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder})
    add_dependencies(${name}_setup ${name}_packed)
endfunction()
