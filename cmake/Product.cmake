# cratewise_product(<name> DESCRIPTION <file> [OUTPUT_NAME <name>])
#
# Makes the setup executable of the product that <file> describes (the
# format: tools/packer/README.md). The packer checks the description, draws
# its artwork, compresses its rows and writes the manifest and resource
# script into <build>/product/<name>/packed; the executable lands in
# <build>/product/<name>/ (OUTPUT_NAME, default "setup", plus ".exe").
#
# Rows whose source is "@target:NAME" take the file of this build's target
# NAME; "@uninstaller" is this tree's uninstaller, built for this product
# from the names and texts of its description (target <name>_uninstaller).
# The description is scanned for them when CMake runs, and the packer reruns
# whenever the description, a file it names, a target it names or the packer
# changes.
#
# Targets: <name>_packed (the packer's outputs), <name>_uninstaller and
# <name>_setup.
# Code signing (scripts/package.sh sets these): with a PKCS#12 certificate
# and a file holding its password, the uninstaller is signed (SHA-256, with
# osslsigncode) before it goes into the payload; CRATEWISE_SIGN_TIMESTAMP
# names an RFC 3161 time-stamping server, which needs the network.
set(CRATEWISE_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 code-signing certificate; empty: nothing is signed")
set(CRATEWISE_SIGN_PASSWORD_FILE "" CACHE FILEPATH "The file holding the certificate's password")
set(CRATEWISE_SIGN_TIMESTAMP "" CACHE STRING "Time-stamping server; empty: no time stamp")
if(CRATEWISE_SIGN_PKCS12)
    find_program(CRATEWISE_OSSLSIGNCODE osslsigncode REQUIRED)
    set(CRATEWISE_SIGN_COMMAND ${CRATEWISE_OSSLSIGNCODE} sign -pkcs12 ${CRATEWISE_SIGN_PKCS12}
        -readpass ${CRATEWISE_SIGN_PASSWORD_FILE} -h sha256)
    if(CRATEWISE_SIGN_TIMESTAMP)
        list(APPEND CRATEWISE_SIGN_COMMAND -ts ${CRATEWISE_SIGN_TIMESTAMP})
    endif()
endif()

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

    set(folder ${CMAKE_BINARY_DIR}/product/${name})
    set(packed ${folder}/packed)

    # The build targets the rows take their files from.
    file(STRINGS "${description}" rows REGEX "^[ \t]*Row:")
    set(target_args "")
    set(target_deps "")
    foreach(row IN LISTS rows)
        string(REGEX MATCHALL "@(uninstaller|target:[A-Za-z0-9_.+-]+)" sources "${row}")
        foreach(source IN LISTS sources)
            if(source STREQUAL "@uninstaller")
                set(target ${name}_uninstaller)
                if(NOT TARGET ${target})
                    cratewise_product_uninstaller(${name} "${description}" "${row}" ${packed})
                endif()
                if(CRATEWISE_SIGN_PKCS12)
                    # Signed before it is compressed into the payload: the copy
                    # in the Windows directory carries the signature.
                    set(signed ${folder}/uninstaller/signed/$<TARGET_FILE_NAME:${target}>)
                    add_custom_command(
                        OUTPUT ${folder}/uninstaller/signed/.stamp
                        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/uninstaller/signed
                        COMMAND ${CMAKE_COMMAND} -E remove -f ${signed}
                        COMMAND ${CRATEWISE_SIGN_COMMAND} -in $<TARGET_FILE:${target}> -out ${signed}
                        COMMAND ${CMAKE_COMMAND} -E touch ${folder}/uninstaller/signed/.stamp
                        DEPENDS ${target} ${CRATEWISE_SIGN_PKCS12} ${CRATEWISE_SIGN_PASSWORD_FILE}
                        COMMENT "Signing the uninstaller of ${name}"
                        VERBATIM)
                    list(APPEND target_args --target "uninstaller=${signed}")
                    list(APPEND target_deps ${target} ${folder}/uninstaller/signed/.stamp)
                    continue()
                endif()
                list(APPEND target_args --target "uninstaller=$<TARGET_FILE:${target}>")
                list(APPEND target_deps ${target})
                continue()
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

# The uninstaller of one product: the packer writes the product's names and
# texts without sizes (the uninstaller is itself a row), and the uninstaller
# is built from them under row 0's name.
function(cratewise_product_uninstaller name description row packed)
    string(REGEX REPLACE "^[ \t]*Row:[ \t]*([^|]*[^| \t])[ \t]*\\|.*$" "\\1" file_name "${row}")
    string(REGEX REPLACE "\\.[eE][xX][eE]$" "" stem "${file_name}")
    add_custom_command(
        OUTPUT ${packed}/names.cpp
        COMMAND ${CRATEWISE_PACKER} --names ${packed}/names.cpp ${description}
        DEPENDS ${description} ${CRATEWISE_PACKER}
        COMMENT "Writing the names of ${name} for its uninstaller"
        VERBATIM)
    add_custom_target(${name}_names DEPENDS ${packed}/names.cpp)
    add_dependencies(${name}_names hosttools)
    cratewise_uninstaller(${name}_uninstaller MANIFEST ${packed}/names.cpp OUTPUT_NAME ${stem})
    set_target_properties(${name}_uninstaller PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/product/${name}/uninstaller)
    add_dependencies(${name}_uninstaller ${name}_names)
endfunction()
