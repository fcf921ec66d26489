# Cross build for the receiver: Linux on the architecture that the including
# file names in VOMAXEL_DEBIAN_ARCH (Debian's name, a row of architectures.txt).
# Programs built here run on the build machine under qemu-user, so CTest and
# GoogleTest's test discovery work as in a native build.
include(${CMAKE_CURRENT_LIST_DIR}/Architecture.cmake)
vomaxel_architecture(debian "${VOMAXEL_DEBIAN_ARCH}")
set(CMAKE_SYSTEM_PROCESSOR ${VOMAXEL_ARCH_processor})
set(VOMAXEL_CROSS_TRIPLET ${VOMAXEL_ARCH_triplet})
set(VOMAXEL_QEMU ${VOMAXEL_ARCH_emulator})
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
