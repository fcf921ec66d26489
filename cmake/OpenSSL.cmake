# The one OpenSSL that every target compiles and links against. The plug-in
# meets whichever libcrypto its host has loaded, so headers of one release and
# libcrypto of another would test nothing a receiver runs: the headers are
# found first (in OPENSSL_ROOT_DIR only, where given; else pkg-config's
# libcrypto folder, then the usual search), libcrypto only beside them
# (lib/<triplet>/NAME for headers in include/NAME, as Debian's BoringSSL), and
# a build whose two differ stops here. OPENSSL_INCLUDE_DIR and
# OPENSSL_CRYPTO_LIBRARY given by hand are checked like found ones.
# Gives OpenSSL::Crypto, OPENSSL_VERSION ("1.1.1w", "3.5.7", "BoringSSL") and
# OPENSSL_INCLUDE_DIR: every include folder of the release.

# Configured again with another OpenSSL named, search again; hand-given values stay.
set(ssl_search "${OPENSSL_ROOT_DIR}|${CMAKE_PREFIX_PATH}|$ENV{PKG_CONFIG_PATH}|${CMAKE_SYSROOT}")
foreach(var OPENSSL_INCLUDE_DIR OPENSSL_CRYPTO_LIBRARY)
  if(NOT ssl_search STREQUAL "${VOMAXEL_OPENSSL_SEARCH}" AND "${${var}}" STREQUAL "${VOMAXEL_FOUND_${var}}")
    unset(${var} CACHE)
  endif()
endforeach()

if(OPENSSL_ROOT_DIR)
  find_path(OPENSSL_INCLUDE_DIR openssl/opensslv.h PATHS ${OPENSSL_ROOT_DIR}/include NO_DEFAULT_PATH)
else()
  pkg_check_modules(VOMAXEL_PC_LIBCRYPTO QUIET libcrypto)
  find_path(OPENSSL_INCLUDE_DIR openssl/opensslv.h HINTS ${VOMAXEL_PC_LIBCRYPTO_INCLUDE_DIRS})
endif()
if(NOT OPENSSL_INCLUDE_DIR)
  message(FATAL_ERROR "OpenSSL's headers (openssl/opensslv.h) not found (OPENSSL_ROOT_DIR '${OPENSSL_ROOT_DIR}'): "
    "install libssl-dev, or set OPENSSL_ROOT_DIR to the prefix of an OpenSSL installation")
endif()
# Debian's multiarch layout keeps opensslconf.h in include/<triplet>/: that
# folder is taken too, so that no other release's copy fills the gap.
set(ssl_includes ${OPENSSL_INCLUDE_DIR})
if(CMAKE_LIBRARY_ARCHITECTURE AND EXISTS ${OPENSSL_INCLUDE_DIR}/${CMAKE_LIBRARY_ARCHITECTURE}/openssl/opensslconf.h)
  list(APPEND ssl_includes ${OPENSSL_INCLUDE_DIR}/${CMAKE_LIBRARY_ARCHITECTURE})
elseif(NOT EXISTS ${OPENSSL_INCLUDE_DIR}/openssl/opensslconf.h)
  message(FATAL_ERROR "OpenSSL's headers in ${OPENSSL_INCLUDE_DIR} lack openssl/opensslconf.h (nor is it "
    "in its ${CMAKE_LIBRARY_ARCHITECTURE}/): the compiler would take another release's; give a complete one")
endif()

get_filename_component(ssl_prefix ${OPENSSL_INCLUDE_DIR} DIRECTORY)
set(ssl_own "")
if(ssl_prefix MATCHES "/include$")
  get_filename_component(ssl_own ${OPENSSL_INCLUDE_DIR} NAME)
  set(ssl_own /${ssl_own})
  get_filename_component(ssl_prefix ${ssl_prefix} DIRECTORY)
endif()
set(ssl_libs ${ssl_prefix}/lib/${CMAKE_LIBRARY_ARCHITECTURE}${ssl_own} ${ssl_prefix}/lib${ssl_own} ${ssl_prefix}/lib64${ssl_own})
find_library(OPENSSL_CRYPTO_LIBRARY crypto PATHS ${ssl_libs} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT OPENSSL_CRYPTO_LIBRARY)
  message(FATAL_ERROR "no libcrypto beside OpenSSL's headers in ${OPENSSL_INCLUDE_DIR} (looked in "
    "${ssl_libs}): set OPENSSL_CRYPTO_LIBRARY to the headers' own libcrypto")
endif()
# FindOpenSSL takes the two as they are and reads the headers' release.
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
set_property(TARGET OpenSSL::Crypto PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${ssl_includes}")
set(ssl_series ${OPENSSL_VERSION_MAJOR}.${OPENSSL_VERSION_MINOR})
if(OPENSSL_VERSION_MAJOR GREATER_EQUAL 3)
  set(ssl_series ${OPENSSL_VERSION_MAJOR})
endif()
# BoringSSL's OPENSSL_VERSION_NUMBER is the OpenSSL it imitates; it names itself in base.h.
if(EXISTS ${OPENSSL_INCLUDE_DIR}/openssl/base.h)
  file(STRINGS ${OPENSSL_INCLUDE_DIR}/openssl/base.h ssl_boringssl REGEX "^#[ \t]*define[ \t]+OPENSSL_IS_BORINGSSL")
  if(ssl_boringssl)
    set(OPENSSL_VERSION BoringSSL)
    set(ssl_series BoringSSL)
  endif()
endif()
if(NOT OPENSSL_VERSION)
  message(FATAL_ERROR "no release in ${OPENSSL_INCLUDE_DIR}/openssl/opensslv.h, nor OPENSSL_IS_BORINGSSL in base.h")
endif()

# libcrypto's release, read without running it (cross builds too): BoringSSL
# where it defines BORINGSSL_self_test (as every BoringSSL, no OpenSSL, does);
# else the series from the soname (.so.1.0.0 or .1.0.2 for 1.0, .1.1, .3) and
# the release from a libcrypto.pc beside it.
get_filename_component(ssl_soname ${OPENSSL_CRYPTO_LIBRARY} REALPATH)
get_filename_component(ssl_soname ${ssl_soname} NAME)
execute_process(COMMAND ${CMAKE_OBJDUMP} -p -T ${OPENSSL_CRYPTO_LIBRARY} OUTPUT_VARIABLE ssl_dump ERROR_QUIET)
if(ssl_dump MATCHES "SONAME +([^\n]+)")
  set(ssl_soname ${CMAKE_MATCH_1})
endif()
set(ssl_lib_series "")
if(ssl_dump MATCHES "[ \t]BORINGSSL_self_test\n")
  set(ssl_lib_series BoringSSL)
elseif(ssl_soname MATCHES "\\.so\\.([0-9]+)(\\.([0-9]+))?")
  set(ssl_lib_series ${CMAKE_MATCH_1}.${CMAKE_MATCH_3})
  if(CMAKE_MATCH_1 GREATER_EQUAL 3)
    set(ssl_lib_series ${CMAKE_MATCH_1})
  endif()
endif()
get_filename_component(ssl_dir ${OPENSSL_CRYPTO_LIBRARY} DIRECTORY)
if(EXISTS ${ssl_dir}/pkgconfig/libcrypto.pc AND NOT ssl_lib_series STREQUAL BoringSSL)
  file(STRINGS ${ssl_dir}/pkgconfig/libcrypto.pc ssl_pc_version REGEX "^Version:")
  if(ssl_pc_version MATCHES "^Version: *([^ ]+)" AND NOT CMAKE_MATCH_1 STREQUAL OPENSSL_VERSION)
    set(ssl_lib_series "${CMAKE_MATCH_1}")
  endif()
endif()
if(NOT ssl_lib_series STREQUAL "" AND NOT ssl_lib_series STREQUAL ssl_series)
  message(FATAL_ERROR "OpenSSL's headers and libcrypto are of two releases:\n"
    "  headers:   ${OPENSSL_VERSION} in ${OPENSSL_INCLUDE_DIR}\n"
    "  libcrypto: ${ssl_lib_series} (${ssl_soname}) at ${OPENSSL_CRYPTO_LIBRARY}\n"
    "Give one release's prefix in OPENSSL_ROOT_DIR, and leave OPENSSL_INCLUDE_DIR and "
    "OPENSSL_CRYPTO_LIBRARY unset (remove them from CMakeCache.txt).")
endif()

set(VOMAXEL_OPENSSL_SEARCH "${ssl_search}" CACHE INTERNAL "")
set(VOMAXEL_FOUND_OPENSSL_INCLUDE_DIR "${OPENSSL_INCLUDE_DIR}" CACHE INTERNAL "")
set(VOMAXEL_FOUND_OPENSSL_CRYPTO_LIBRARY "${OPENSSL_CRYPTO_LIBRARY}" CACHE INTERNAL "")
set(OPENSSL_INCLUDE_DIR ${ssl_includes})
