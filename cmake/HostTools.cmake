# A cross build needs the tools built for the build machine first; they are
# an external project compiled with the host's own compilers.
include(ExternalProject)

set(CRATEWISE_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/hosttools)
set(CRATEWISE_PACKER ${CRATEWISE_HOST_TOOLS_DIR}/packer/packer)

ExternalProject_Add(hosttools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools
    BINARY_DIR ${CRATEWISE_HOST_TOOLS_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${CRATEWISE_PACKER}
    USES_TERMINAL_BUILD OFF)
