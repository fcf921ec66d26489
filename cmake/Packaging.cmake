# A Debian package of each component (`cpack` writes them to packages/), each
# with LICENSE as its copyright file and the changelog: the same bytes on every
# architecture, as Multi-Arch: same packages must be.
set(VOMAXEL_PACKAGE_MAINTAINER "Vomaxel developers <vomaxel@vomaxel.example>" CACHE STRING
  "Maintainer field of the Debian packages")

file(READ ${PROJECT_SOURCE_DIR}/LICENSE VOMAXEL_LICENSE_TEXT)
string(REGEX REPLACE "\n+$" "" VOMAXEL_LICENSE_TEXT "${VOMAXEL_LICENSE_TEXT}")
string(REPLACE "\n\n" "\n.\n" VOMAXEL_LICENSE_TEXT "${VOMAXEL_LICENSE_TEXT}")
string(REPLACE "\n" "\n " VOMAXEL_LICENSE_TEXT " ${VOMAXEL_LICENSE_TEXT}")
configure_file(packaging/copyright.in copyright @ONLY)

# The changelog's latest entry names the version; gzip -n leaves out name and time.
set(VOMAXEL_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VOMAXEL_CHANGELOG})
execute_process(COMMAND dpkg-parsechangelog -l ${VOMAXEL_CHANGELOG} -S Version
  OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
if(NOT version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog's latest entry is ${version}, the project ${PROJECT_VERSION}")
endif()
execute_process(COMMAND gzip -9n -c ${VOMAXEL_CHANGELOG}
  OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGE_CONTACT ${VOMAXEL_PACKAGE_MAINTAINER})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL plugin dev acrhost)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# CPack asks dpkg for the build machine's architecture; a cross build names its own.
if(CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VOMAXEL_DEBIAN_ARCH})
endif()

set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME libvomaxel)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_RECOMMENDS libssl3)
set(CPACK_DEBIAN_PLUGIN_DESCRIPTION "ACR plug-in for television receivers
libVomaxel.so decrypts the recognition server's answers, reads and writes
match info JSON and builds the reports that a receiver's ACR service uploads.
The service loads it with dlopen. It uses OpenSSL's libcrypto without linking
it: the host process must have libcrypto loaded and must export the texts and
the log framework that the plug-in expects.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvomaxel-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS libssl-dev)
set(CPACK_COMPONENT_DEV_DEPENDS plugin)
set(CPACK_DEBIAN_DEV_DESCRIPTION "ACR plug-in for television receivers: host development files
IVomaxel.h and Dravlog.h (under include/vomaxel), a pkg-config file (vomaxel)
and a CMake package (find_package(Vomaxel CONFIG)) for hosts that load
libVomaxel.so; both give the plug-in's installed path. The smallest host is
an example, built against them.")

set(CPACK_DEBIAN_ACRHOST_PACKAGE_NAME acrhost)
set(CPACK_DEBIAN_ACRHOST_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_ACRHOST_DEPENDS plugin)
set(CPACK_DEBIAN_ACRHOST_DESCRIPTION "ACR plug-in for television receivers: host simulator
acrhost loads libVomaxel.so as a receiver's ACR service does and runs each of
its operations from the command line, on its samples or on a host's data.")

foreach(component plugin dev acrhost)
  string(TOUPPER ${component} name)
  install(FILES ${CMAKE_BINARY_DIR}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${name}_PACKAGE_NAME}
    COMPONENT ${component})
endforeach()

# The plug-in and its development files are co-installable for several
# architectures; acrhost behaves the same on every one.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebMultiArch.cmake)
set(CPACK_VOMAXEL_MULTIARCH libvomaxel=same libvomaxel-dev=same acrhost=foreign)

include(CPack)
