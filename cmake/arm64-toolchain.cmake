# Cross build for 64-bit ARM (Debian arm64, aarch64).
set(VOMAXEL_DEBIAN_ARCH arm64)
include(${CMAKE_CURRENT_LIST_DIR}/cross-toolchain.cmake)
