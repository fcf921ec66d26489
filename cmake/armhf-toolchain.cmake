# Cross build for 32-bit ARM, hard-float (Debian armhf).
set(VOMAXEL_DEBIAN_ARCH armhf)
include(${CMAKE_CURRENT_LIST_DIR}/cross-toolchain.cmake)
