# The one OpenSSL that every target compiles and links against. The plug-in
# meets whichever libcrypto its host has loaded, so a build that takes headers
# from one release and libcrypto from another tests nothing a receiver runs:
# the headers are found first, libcrypto only beside them, and a build whose
# two differ stops here.
#
# Where the headers are looked for, first that applies:
#  - OPENSSL_ROOT_DIR: that prefix only (inside the sysroot or find root path
#    of a cross build, as any search there);
#  - CMake's usual search: CMAKE_PREFIX_PATH, then the folder that pkg-config's
#    libcrypto names, then the system's.
# OPENSSL_INCLUDE_DIR and OPENSSL_CRYPTO_LIBRARY, given by hand, replace the
# search and are checked like found ones. In Debian's multiarch layout, which
# many SDKs and sysroots share, opensslconf.h lies under include/<triplet>/:
# that folder is taken too, so that no other release's copy fills the gap.
# Headers in a folder of their own under include/ (OPENSSL_INCLUDE_DIR
# .../include/android for Debian's BoringSSL) have libcrypto in the folder of
# that name under lib/ (lib/<triplet>/android).
#
# BoringSSL, the libcrypto of Android-based receivers, is taken as what it is:
# its headers declare OPENSSL_IS_BORINGSSL in place of a release, and only
# its libcrypto goes with them.
#
# Gives OpenSSL::Crypto, OPENSSL_VERSION (as "1.1.1w", "3.5.7", "BoringSSL")
# and, for targets that compile against the headers without linking
# libcrypto, OPENSSL_INCLUDE_DIR: every include folder of the release.

# A build folder configured again with another OpenSSL named searches again;
# values given by hand stay.
set(vomaxel_openssl_search "${OPENSSL_ROOT_DIR}|${CMAKE_PREFIX_PATH}|$ENV{PKG_CONFIG_PATH}|${CMAKE_SYSROOT}")
if(NOT vomaxel_openssl_search STREQUAL "${VOMAXEL_OPENSSL_SEARCH}")
  foreach(var OPENSSL_INCLUDE_DIR OPENSSL_CRYPTO_LIBRARY)
    if("${${var}}" STREQUAL "${VOMAXEL_FOUND_${var}}")
      unset(${var} CACHE)
    endif()
  endforeach()
endif()

if(OPENSSL_ROOT_DIR)
  find_path(OPENSSL_INCLUDE_DIR openssl/opensslv.h PATHS ${OPENSSL_ROOT_DIR}/include NO_DEFAULT_PATH)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(VOMAXEL_PC_LIBCRYPTO QUIET libcrypto)
  find_path(OPENSSL_INCLUDE_DIR openssl/opensslv.h HINTS ${VOMAXEL_PC_LIBCRYPTO_INCLUDE_DIRS})
endif()
if(NOT OPENSSL_INCLUDE_DIR AND OPENSSL_ROOT_DIR)
  message(FATAL_ERROR "no openssl/opensslv.h in ${OPENSSL_ROOT_DIR}/include: OPENSSL_ROOT_DIR must "
    "be the prefix of an OpenSSL installation (its include and lib folders)")
elseif(NOT OPENSSL_INCLUDE_DIR)
  message(FATAL_ERROR "OpenSSL's headers (openssl/opensslv.h) not found: install libssl-dev, "
    "or set OPENSSL_ROOT_DIR to the prefix of the OpenSSL to build against")
endif()
get_filename_component(vomaxel_openssl_prefix ${OPENSSL_INCLUDE_DIR} DIRECTORY)
set(vomaxel_openssl_own "")
get_filename_component(vomaxel_openssl_parent ${vomaxel_openssl_prefix} NAME)
if(vomaxel_openssl_parent STREQUAL "include")
  get_filename_component(vomaxel_openssl_own ${OPENSSL_INCLUDE_DIR} NAME)
  set(vomaxel_openssl_own /${vomaxel_openssl_own})
  get_filename_component(vomaxel_openssl_prefix ${vomaxel_openssl_prefix} DIRECTORY)
endif()

set(vomaxel_openssl_includes ${OPENSSL_INCLUDE_DIR})
if(CMAKE_LIBRARY_ARCHITECTURE AND
   EXISTS ${OPENSSL_INCLUDE_DIR}/${CMAKE_LIBRARY_ARCHITECTURE}/openssl/opensslconf.h)
  list(APPEND vomaxel_openssl_includes ${OPENSSL_INCLUDE_DIR}/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
set(vomaxel_openssl_conf "")
foreach(dir IN LISTS vomaxel_openssl_includes)
  if(EXISTS ${dir}/openssl/opensslconf.h)
    set(vomaxel_openssl_conf ${dir}/openssl/opensslconf.h)
  endif()
endforeach()
if(NOT vomaxel_openssl_conf)
  message(FATAL_ERROR "OpenSSL's headers in ${OPENSSL_INCLUDE_DIR} lack openssl/opensslconf.h "
    "(nor is it in ${OPENSSL_INCLUDE_DIR}/${CMAKE_LIBRARY_ARCHITECTURE}): the compiler would take "
    "another release's copy; give the prefix of a complete installation")
endif()

set(vomaxel_openssl_libs "")
foreach(dir lib/${CMAKE_LIBRARY_ARCHITECTURE} lib lib64)
  list(APPEND vomaxel_openssl_libs ${vomaxel_openssl_prefix}/${dir}${vomaxel_openssl_own})
endforeach()
find_library(OPENSSL_CRYPTO_LIBRARY NAMES crypto PATHS ${vomaxel_openssl_libs}
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT OPENSSL_CRYPTO_LIBRARY)
  string(REPLACE ";" ", " vomaxel_openssl_libs "${vomaxel_openssl_libs}")
  message(FATAL_ERROR "no libcrypto beside OpenSSL's headers in ${OPENSSL_INCLUDE_DIR} "
    "(looked in ${vomaxel_openssl_libs}): set OPENSSL_CRYPTO_LIBRARY to the headers' own libcrypto")
endif()

# The headers' release. BoringSSL's opensslv.h declares none, and the
# OPENSSL_VERSION_NUMBER of its base.h is the OpenSSL it imitates: it names
# itself with OPENSSL_IS_BORINGSSL and counts its interface in
# BORINGSSL_API_VERSION. OpenSSL's from OPENSSL_VERSION_NUMBER: 0xMNNFFPPSL up
# to 1.1.1, built from OPENSSL_VERSION_MAJOR, _MINOR and _PATCH from 3.0 on.
set(vomaxel_openssl_release "")
set(vomaxel_boringssl "")
if(EXISTS ${OPENSSL_INCLUDE_DIR}/openssl/base.h)
  file(STRINGS ${OPENSSL_INCLUDE_DIR}/openssl/base.h vomaxel_boringssl
    REGEX "^#[ \t]*define[ \t]+(OPENSSL_IS_BORINGSSL|BORINGSSL_API_VERSION)([ \t]|$)")
endif()
file(STRINGS ${OPENSSL_INCLUDE_DIR}/openssl/opensslv.h vomaxel_opensslv
  REGEX "^#[ \t]*define[ \t]+OPENSSL_VERSION_(NUMBER|MAJOR|MINOR|PATCH)[ \t]")
if(vomaxel_boringssl MATCHES "OPENSSL_IS_BORINGSSL")
  set(OPENSSL_VERSION BoringSSL)
  set(vomaxel_openssl_series BoringSSL)
  if(vomaxel_boringssl MATCHES "BORINGSSL_API_VERSION[ \t]+([0-9]+)")
    set(vomaxel_openssl_release "BoringSSL (API version ${CMAKE_MATCH_1})")
  endif()
elseif(vomaxel_opensslv MATCHES "OPENSSL_VERSION_MAJOR[ \t]+([0-9]+).*_MINOR[ \t]+([0-9]+).*_PATCH[ \t]+([0-9]+)")
  set(OPENSSL_VERSION ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3})
  set(vomaxel_openssl_series ${CMAKE_MATCH_1})
elseif(vomaxel_opensslv MATCHES "OPENSSL_VERSION_NUMBER[ \t]+(0x[0-9a-fA-F]+)")
  set(number ${CMAKE_MATCH_1})
  math(EXPR major "(${number} >> 28) & 0xf")
  math(EXPR minor "(${number} >> 20) & 0xff")
  math(EXPR fix "(${number} >> 12) & 0xff")
  math(EXPR letter "(${number} >> 4) & 0xff")
  set(OPENSSL_VERSION ${major}.${minor}.${fix})
  if(letter GREATER 0)
    math(EXPR letter "${letter} + 96")  # 1 is 'a'
    string(ASCII ${letter} letter)
    string(APPEND OPENSSL_VERSION ${letter})
  endif()
  set(vomaxel_openssl_series ${major}.${minor})
else()
  message(FATAL_ERROR "no OPENSSL_VERSION_NUMBER in ${OPENSSL_INCLUDE_DIR}/openssl/opensslv.h, "
    "nor OPENSSL_IS_BORINGSSL in its base.h")
endif()
if(NOT vomaxel_openssl_release)
  set(vomaxel_openssl_release "OpenSSL ${OPENSSL_VERSION}")
endif()

# libcrypto's release, read without running a program, so that cross builds
# are checked too: BoringSSL where its dynamic symbols define
# BORINGSSL_self_test (declared by every BoringSSL's crypto.h, by no
# OpenSSL's); else OpenSSL's series from the soname (libcrypto.so.1.0.0 or
# .1.0.2 for 1.0, .1.1, .3), the release itself from the pkg-config file
# installed beside it, where there is one.
get_filename_component(vomaxel_libcrypto_dir ${OPENSSL_CRYPTO_LIBRARY} DIRECTORY)
get_filename_component(vomaxel_libcrypto_name ${OPENSSL_CRYPTO_LIBRARY} REALPATH)
get_filename_component(vomaxel_libcrypto_name ${vomaxel_libcrypto_name} NAME)
set(vomaxel_libcrypto_dump "")
if(CMAKE_OBJDUMP)
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p -T ${OPENSSL_CRYPTO_LIBRARY}
    OUTPUT_VARIABLE vomaxel_libcrypto_dump ERROR_QUIET)
  if(vomaxel_libcrypto_dump MATCHES "SONAME +([^\n]+)")
    set(vomaxel_libcrypto_name ${CMAKE_MATCH_1})
  endif()
endif()
set(vomaxel_libcrypto_series "")
set(vomaxel_libcrypto_release "")
if(vomaxel_libcrypto_dump MATCHES "[ \t]BORINGSSL_self_test\n")
  set(vomaxel_libcrypto_series BoringSSL)
  set(vomaxel_libcrypto_release "BoringSSL (${vomaxel_libcrypto_name})")
else()
  if(vomaxel_libcrypto_name MATCHES "\\.so\\.([0-9]+)(\\.([0-9]+))?")
    if(CMAKE_MATCH_1 GREATER_EQUAL 3)
      set(vomaxel_libcrypto_series ${CMAKE_MATCH_1})
    else()
      set(vomaxel_libcrypto_series ${CMAKE_MATCH_1}.${CMAKE_MATCH_3})
    endif()
    set(vomaxel_libcrypto_release "OpenSSL ${vomaxel_libcrypto_series} (${vomaxel_libcrypto_name})")
  endif()
  if(EXISTS ${vomaxel_libcrypto_dir}/pkgconfig/libcrypto.pc)
    file(STRINGS ${vomaxel_libcrypto_dir}/pkgconfig/libcrypto.pc vomaxel_libcrypto_pc REGEX "^Version:")
    if(vomaxel_libcrypto_pc MATCHES "^Version: *([^ ]+)")
      set(vomaxel_libcrypto_release "OpenSSL ${CMAKE_MATCH_1} (${vomaxel_libcrypto_name})")
      if(NOT CMAKE_MATCH_1 STREQUAL OPENSSL_VERSION)
        set(vomaxel_openssl_mixed TRUE)
      endif()
    endif()
  endif()
endif()
if(NOT vomaxel_libcrypto_series STREQUAL "" AND
   NOT vomaxel_libcrypto_series STREQUAL vomaxel_openssl_series)
  set(vomaxel_openssl_mixed TRUE)
endif()
if(vomaxel_openssl_mixed)
  message(FATAL_ERROR "OpenSSL's headers and libcrypto are of two releases:\n"
    "  headers:   ${vomaxel_openssl_release} in ${OPENSSL_INCLUDE_DIR}\n"
    "  libcrypto: ${vomaxel_libcrypto_release} at ${OPENSSL_CRYPTO_LIBRARY}\n"
    "Give one release's prefix in OPENSSL_ROOT_DIR, and leave OPENSSL_INCLUDE_DIR and "
    "OPENSSL_CRYPTO_LIBRARY unset (remove them from CMakeCache.txt).")
endif()
message(STATUS "${vomaxel_openssl_release}: headers in ${vomaxel_openssl_includes}, "
  "libcrypto ${OPENSSL_CRYPTO_LIBRARY}")

set(VOMAXEL_OPENSSL_SEARCH "${vomaxel_openssl_search}" CACHE INTERNAL "")
set(VOMAXEL_FOUND_OPENSSL_INCLUDE_DIR "${OPENSSL_INCLUDE_DIR}" CACHE INTERNAL "")
set(VOMAXEL_FOUND_OPENSSL_CRYPTO_LIBRARY "${OPENSSL_CRYPTO_LIBRARY}" CACHE INTERNAL "")

add_library(OpenSSL::Crypto UNKNOWN IMPORTED)
set_target_properties(OpenSSL::Crypto PROPERTIES
  IMPORTED_LOCATION ${OPENSSL_CRYPTO_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES "${vomaxel_openssl_includes}")
set(OPENSSL_INCLUDE_DIR ${vomaxel_openssl_includes})
