# Cross build for the receiver: Linux on the ARM architecture that the
# including file names in VOMAXEL_DEBIAN_ARCH (Debian's name: armhf, arm64).
# Programs built here run on the build machine under qemu-user, so CTest and
# GoogleTest's test discovery work as in a native build.
if(VOMAXEL_DEBIAN_ARCH STREQUAL "armhf")  # 32-bit, hard-float
  set(CMAKE_SYSTEM_PROCESSOR arm)
  set(VOMAXEL_CROSS_TRIPLET arm-linux-gnueabihf)
  set(VOMAXEL_QEMU qemu-arm)
elseif(VOMAXEL_DEBIAN_ARCH STREQUAL "arm64")
  set(CMAKE_SYSTEM_PROCESSOR aarch64)
  set(VOMAXEL_CROSS_TRIPLET aarch64-linux-gnu)
  set(VOMAXEL_QEMU qemu-aarch64)
else()
  message(FATAL_ERROR "VOMAXEL_DEBIAN_ARCH is '${VOMAXEL_DEBIAN_ARCH}', not armhf or arm64")
endif()
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${VOMAXEL_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VOMAXEL_CROSS_TRIPLET}-g++)
# g++ notes every argument whose passing changed between GCC releases (on
# armhf each std::string by value, GCC 7.1); the library is built with one
# compiler, so the notes are noise.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")

set(CMAKE_FIND_ROOT_PATH /usr/${VOMAXEL_CROSS_TRIPLET})
# Without this pkg-config reports the build machine's libraries, and
# FindOpenSSL (which asks pkg-config first) links the native libcrypto.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${VOMAXEL_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig")

# The dynamic loader comes from the cross C library under the -L prefix; the C
# library must come from there too. The loader's default search would pick the
# multiarch package's libc.so.6, another build of glibc, and every fork()ed
# child (GoogleTest's death tests) would then crash. (A library built from
# source for the target, such as a jsoncpp of another release, joins this
# path: cmake/FromSource.cmake.)
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${VOMAXEL_QEMU} -L /usr/${VOMAXEL_CROSS_TRIPLET} -E LD_LIBRARY_PATH=/usr/${VOMAXEL_CROSS_TRIPLET}/lib)
