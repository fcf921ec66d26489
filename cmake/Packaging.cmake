# Debian packages of the installed components, for the architecture built
# (`cpack` in the build folder writes them to packages/ there):
#   libvomaxel      the plug-in
#   libvomaxel-dev  headers, pkg-config file and CMake package for hosts
#   acrhost         the host simulator
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGE_CONTACT "Vomaxel developers <vomaxel@localhost>")
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
libVomaxel.so; both give the plug-in's installed path.")

set(CPACK_DEBIAN_ACRHOST_PACKAGE_NAME acrhost)
set(CPACK_DEBIAN_ACRHOST_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_ACRHOST_DEPENDS plugin)
set(CPACK_DEBIAN_ACRHOST_DESCRIPTION "ACR plug-in for television receivers: host simulator
acrhost loads libVomaxel.so as a receiver's ACR service does and runs each of
its operations from the command line.")

include(CPack)
