# A receiver of 2015: 32-bit ARM (armv6, hard-float) with glibc 2.19 and GCC
# 4.9.3's libstdc++ (the old copy-on-write std::string), from the SDK snapshot
# in VOMAXEL_TOOLCHAIN_ROOT (scripts/presets.py unpacks it there). The SDK's
# compiler programs are not to be had: Clang compiles against its headers,
# start files and libraries, so the language is checked by Clang and the
# library, runtime and loader are the real ones. Programs run under qemu-arm,
# on the row's ARM1176, with the SDK's sysroot. Its packages and OpenSSL are
# Debian's armhf.
set(VOMAXEL_DEBIAN_ARCH armhf)
include(${CMAKE_CURRENT_LIST_DIR}/Architecture.cmake)
vomaxel_architecture(debian receiver-2015)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${VOMAXEL_ARCH_processor})
set(CMAKE_LIBRARY_ARCHITECTURE ${VOMAXEL_ARCH_triplet})
set(CMAKE_SYSROOT ${VOMAXEL_TOOLCHAIN_ROOT}/${VOMAXEL_ARCH_triplet}/sysroot)
if(NOT IS_DIRECTORY "${CMAKE_SYSROOT}")
  message(FATAL_ERROR "VOMAXEL_TOOLCHAIN_ROOT '${VOMAXEL_TOOLCHAIN_ROOT}' holds no SDK "
    "(`python3 scripts/presets.py prepare receiver-2015` unpacks one)")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VOMAXEL_TOOLCHAIN_ROOT)

foreach(lang C CXX)
  set(CMAKE_${lang}_COMPILER_TARGET ${VOMAXEL_ARCH_triplet})
  # Start files, libgcc and libstdc++'s headers come from the SDK's GCC folders.
  set(CMAKE_${lang}_COMPILER_EXTERNAL_TOOLCHAIN ${VOMAXEL_TOOLCHAIN_ROOT})
  # GCC 4.9 for armv6 defines only the 4-byte compare-and-swap macro, and
  # libstdc++.so.6.0.20 was built so: its shared_ptr uses the mutex lock
  # policy. Clang also defines the 1-, 2- and 8-byte ones, which selects the
  # atomic policy in the headers; mixed, std::thread dies at random.
  set(CMAKE_${lang}_FLAGS_INIT "-march=armv6 -mfpu=vfp -mfloat-abi=hard \
-U__GCC_HAVE_SYNC_COMPARE_AND_SWAP_1 -U__GCC_HAVE_SYNC_COMPARE_AND_SWAP_2 \
-U__GCC_HAVE_SYNC_COMPARE_AND_SWAP_8")
endforeach()
# The SDK's libgcc.a is GCC 12's armv7 Thumb-2 code (its PROVENANCE): the
# helper routines (__aeabi_uidiv and kin) come from its libgcc_s.so.1, armv6
# as the receiver's, in C links too (OpenSSL's: cmake/FromSource.cmake).
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT -shared-libgcc)
endforeach()
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)

# Libraries and headers of the target come from the sysroot or from the
# prefixes given (libraries built here); header-only Boost and CLI11 and the
# build machine's programs from the build machine.
set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_SYSROOT}/usr/lib/pkgconfig")
# The sysroot has no loader cache: without a path of its own the loader would
# read the build machine's, which lists its multiarch armhf libraries (GCC
# 12's libstdc++, for one, needing a newer glibc).
set(CMAKE_CROSSCOMPILING_EMULATOR ${VOMAXEL_ARCH_emulator} -cpu ${VOMAXEL_ARCH_cpu} -L ${CMAKE_SYSROOT} -E LD_LIBRARY_PATH=/lib:/usr/lib)
