# Cross build for 32-bit ARM (Debian armhf) against a sysroot of the target's
# packages, as Yocto and Buildroot build: headers, libraries, pkg-config files
# and CMake packages come from VOMAXEL_SYSROOT only (scripts/make-sysroot.sh
# makes one), programs from the build machine. The compiler and the emulator
# are the multiarch cross build's; its multiarch folders give way to the sysroot.
set(VOMAXEL_DEBIAN_ARCH armhf)
include(${CMAKE_CURRENT_LIST_DIR}/cross-toolchain.cmake)
if(NOT IS_DIRECTORY "${VOMAXEL_SYSROOT}")
  message(FATAL_ERROR "VOMAXEL_SYSROOT '${VOMAXEL_SYSROOT}' is no folder (`make test-sysroot` makes one)")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VOMAXEL_SYSROOT)

set(CMAKE_SYSROOT ${VOMAXEL_SYSROOT})
unset(CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
set(ENV{PKG_CONFIG_LIBDIR}
  "${CMAKE_SYSROOT}/usr/lib/${VOMAXEL_CROSS_TRIPLET}/pkgconfig:${CMAKE_SYSROOT}/usr/share/pkgconfig")
# Debian's cross compiler searches its own tree (/usr/${triplet}: the build
# machine's cross C library and libstdc++) before the sysroot. A sysroot
# compiler takes the target's headers and libraries from the sysroot alone,
# and only its internal headers (stddef.h and the like) from its own folder.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=include
  OUTPUT_VARIABLE compiler_include OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpversion
  OUTPUT_VARIABLE gcc_major OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CMAKE_CXX_FLAGS_INIT "${CMAKE_CXX_FLAGS_INIT} -nostdinc")
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
  ${CMAKE_SYSROOT}/usr/include/c++/${gcc_major}
  ${CMAKE_SYSROOT}/usr/include/${VOMAXEL_CROSS_TRIPLET}/c++/${gcc_major}
  ${CMAKE_SYSROOT}/usr/include/c++/${gcc_major}/backward
  ${compiler_include}
  ${CMAKE_SYSROOT}/usr/include/${VOMAXEL_CROSS_TRIPLET}
  ${CMAKE_SYSROOT}/usr/include)
# Start files, libgcc and libstdc++ (-B), and libgcc_s.so.1, which libgcc_s.so names (-L).
set(linker_flags "-B${CMAKE_SYSROOT}/usr/lib/gcc/${VOMAXEL_CROSS_TRIPLET}/${gcc_major}/ \
-B${CMAKE_SYSROOT}/usr/lib/${VOMAXEL_CROSS_TRIPLET}/ -L${CMAKE_SYSROOT}/lib/${VOMAXEL_CROSS_TRIPLET}")
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT ${linker_flags})
endforeach()

# The sysroot holds one C library and its loader, which serve every program.
set(CMAKE_CROSSCOMPILING_EMULATOR ${VOMAXEL_QEMU} -L ${CMAKE_SYSROOT})
