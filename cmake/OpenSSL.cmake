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
#
# Gives OpenSSL::Crypto, OPENSSL_VERSION (as "1.1.1w", "3.5.7") and, for
# targets that compile against the headers without linking libcrypto,
# OPENSSL_INCLUDE_DIR: every include folder of the release.

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

find_library(OPENSSL_CRYPTO_LIBRARY NAMES crypto
  PATHS ${vomaxel_openssl_prefix}/lib/${CMAKE_LIBRARY_ARCHITECTURE} ${vomaxel_openssl_prefix}/lib
        ${vomaxel_openssl_prefix}/lib64
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT OPENSSL_CRYPTO_LIBRARY)
  message(FATAL_ERROR "no libcrypto beside OpenSSL's headers in ${OPENSSL_INCLUDE_DIR} "
    "(looked in ${vomaxel_openssl_prefix}/lib/${CMAKE_LIBRARY_ARCHITECTURE}, lib and lib64): "
    "set OPENSSL_CRYPTO_LIBRARY to the headers' own libcrypto")
endif()

# The headers' release, from OPENSSL_VERSION_NUMBER: 0xMNNFFPPSL up to 1.1.1,
# built from OPENSSL_VERSION_MAJOR, _MINOR and _PATCH from 3.0 on.
file(STRINGS ${OPENSSL_INCLUDE_DIR}/openssl/opensslv.h vomaxel_opensslv
  REGEX "^#[ \t]*define[ \t]+OPENSSL_VERSION_(NUMBER|MAJOR|MINOR|PATCH)[ \t]")
if(vomaxel_opensslv MATCHES "OPENSSL_VERSION_MAJOR[ \t]+([0-9]+).*_MINOR[ \t]+([0-9]+).*_PATCH[ \t]+([0-9]+)")
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
  message(FATAL_ERROR "no OPENSSL_VERSION_NUMBER in ${OPENSSL_INCLUDE_DIR}/openssl/opensslv.h")
endif()

# libcrypto's release: the series from its soname (libcrypto.so.1.0.0 or
# .1.0.2 for 1.0, .1.1, .3), the release itself from the pkg-config file
# installed beside it, where there is one. Neither needs to run a program,
# so cross builds are checked too.
get_filename_component(vomaxel_libcrypto_dir ${OPENSSL_CRYPTO_LIBRARY} DIRECTORY)
get_filename_component(vomaxel_libcrypto_name ${OPENSSL_CRYPTO_LIBRARY} REALPATH)
get_filename_component(vomaxel_libcrypto_name ${vomaxel_libcrypto_name} NAME)
if(CMAKE_OBJDUMP)
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${OPENSSL_CRYPTO_LIBRARY}
    OUTPUT_VARIABLE vomaxel_libcrypto_headers ERROR_QUIET)
  if(vomaxel_libcrypto_headers MATCHES "SONAME +([^\n]+)")
    set(vomaxel_libcrypto_name ${CMAKE_MATCH_1})
  endif()
endif()
set(vomaxel_libcrypto_release "")
if(vomaxel_libcrypto_name MATCHES "\\.so\\.([0-9]+)(\\.([0-9]+))?")
  if(CMAKE_MATCH_1 GREATER_EQUAL 3)
    set(vomaxel_libcrypto_series ${CMAKE_MATCH_1})
  else()
    set(vomaxel_libcrypto_series ${CMAKE_MATCH_1}.${CMAKE_MATCH_3})
  endif()
  set(vomaxel_libcrypto_release "OpenSSL ${vomaxel_libcrypto_series} (${vomaxel_libcrypto_name})")
  if(NOT vomaxel_libcrypto_series STREQUAL vomaxel_openssl_series)
    set(vomaxel_openssl_mixed TRUE)
  endif()
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
if(vomaxel_openssl_mixed)
  message(FATAL_ERROR "OpenSSL's headers and libcrypto are of two releases:\n"
    "  headers:   OpenSSL ${OPENSSL_VERSION} in ${OPENSSL_INCLUDE_DIR}\n"
    "  libcrypto: ${vomaxel_libcrypto_release} at ${OPENSSL_CRYPTO_LIBRARY}\n"
    "Give one release's prefix in OPENSSL_ROOT_DIR, and leave OPENSSL_INCLUDE_DIR and "
    "OPENSSL_CRYPTO_LIBRARY unset (remove them from CMakeCache.txt).")
endif()
message(STATUS "OpenSSL ${OPENSSL_VERSION}: headers in ${vomaxel_openssl_includes}, "
  "libcrypto ${OPENSSL_CRYPTO_LIBRARY}")

set(VOMAXEL_OPENSSL_SEARCH "${vomaxel_openssl_search}" CACHE INTERNAL "")
set(VOMAXEL_FOUND_OPENSSL_INCLUDE_DIR "${OPENSSL_INCLUDE_DIR}" CACHE INTERNAL "")
set(VOMAXEL_FOUND_OPENSSL_CRYPTO_LIBRARY "${OPENSSL_CRYPTO_LIBRARY}" CACHE INTERNAL "")

add_library(OpenSSL::Crypto UNKNOWN IMPORTED)
set_target_properties(OpenSSL::Crypto PROPERTIES
  IMPORTED_LOCATION ${OPENSSL_CRYPTO_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES "${vomaxel_openssl_includes}")
set(OPENSSL_INCLUDE_DIR ${vomaxel_openssl_includes})
