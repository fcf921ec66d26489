# Cross build for the receiver: 32-bit ARM Linux, hard-float (Debian armhf).
# Programs built here run on the build machine under qemu-user, so CTest and
# GoogleTest's test discovery work as in a native build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
# g++ notes every std::string passed by value that GCC 7.1 changed the
# passing of; the library is built with one compiler, so the note is noise.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")

set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf)
# Without this pkg-config reports the build machine's libraries, and
# FindOpenSSL (which asks pkg-config first) links the amd64 libcrypto.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/arm-linux-gnueabihf/pkgconfig:/usr/share/pkgconfig")

# The dynamic loader comes from the cross C library under the -L prefix; the C
# library must come from there too. The loader's default search would pick the
# armhf package's libc.so.6, another build of glibc, and every fork()ed child
# (GoogleTest's death tests) would then crash.
set(CMAKE_CROSSCOMPILING_EMULATOR
  qemu-arm -L /usr/arm-linux-gnueabihf -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib)
