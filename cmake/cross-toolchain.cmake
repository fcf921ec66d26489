# Cross build for the receiver: Linux on the architecture that the preset (or
# an including file) names in VOMAXEL_DEBIAN_ARCH, a row of architectures.txt.
# Programs built here run on the build machine under qemu-user, on the row's
# CPU model, so CTest and GoogleTest's test discovery work as in a native build.
include(${CMAKE_CURRENT_LIST_DIR}/Architecture.cmake)
vomaxel_architecture(debian "${VOMAXEL_DEBIAN_ARCH}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VOMAXEL_DEBIAN_ARCH)
set(CMAKE_SYSTEM_PROCESSOR ${VOMAXEL_ARCH_processor})
set(VOMAXEL_CROSS_TRIPLET ${VOMAXEL_ARCH_triplet})
set(VOMAXEL_QEMU ${VOMAXEL_ARCH_emulator} -cpu ${VOMAXEL_ARCH_cpu})
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${VOMAXEL_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VOMAXEL_CROSS_TRIPLET}-g++)
# g++ notes every argument whose passing changed between GCC releases (on
# armhf each std::string by value, GCC 7.1); the library is built with one
# compiler, so the notes are noise.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")
# An x86 object records the instruction sets it uses (linkage.cpu reads them):
# its linked files, unlike x86-64's, state none.
if(VOMAXEL_ARCH_processor MATCHES "^i.86$")
  string(APPEND CMAKE_CXX_FLAGS_INIT " -Wa,-mx86-used-note=yes")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${VOMAXEL_CROSS_TRIPLET})
# Without this pkg-config reports the build machine's libraries, and
# FindOpenSSL (which asks pkg-config first) links the native libcrypto. The
# multiarch folder is not always named for the triplet (i386-linux-gnu).
execute_process(COMMAND ${CMAKE_C_COMPILER} -print-multiarch OUTPUT_VARIABLE multiarch
  OUTPUT_STRIP_TRAILING_WHITESPACE)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${multiarch}/pkgconfig:/usr/share/pkgconfig")

# The dynamic loader comes from the cross C library under the -L prefix; the C
# library must come from there too. The loader's default search would pick the
# multiarch package's libc.so.6, another build of glibc, and every fork()ed
# child (GoogleTest's death tests) would then crash. (A library built from
# source for the target, such as a jsoncpp of another release, joins this
# path: cmake/FromSource.cmake.)
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${VOMAXEL_QEMU} -L /usr/${VOMAXEL_CROSS_TRIPLET} -E LD_LIBRARY_PATH=/usr/${VOMAXEL_CROSS_TRIPLET}/lib)
