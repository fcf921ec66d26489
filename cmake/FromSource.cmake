# Libraries of other releases than the build machine's packages, made ready
# at configure time, built with this build's own compiler, toolchain file and
# flags, for configurations whose receiver carries them:
#   VOMAXEL_JSONCPP_RELEASE          jsoncpp of that release, from its archive in
#                                    VOMAXEL_JSONCPP_SOURCES (checked against SHA256SUMS)
#   VOMAXEL_GOOGLETEST_FROM_SOURCE   GoogleTest and GoogleMock from Debian's
#                                    googletest sources (/usr/src/googletest)
#   VOMAXEL_OPENSSL_RELEASE          OpenSSL of that release for the target's
#                                    architecture, from VOMAXEL_OPENSSL_SOURCES:
#                                    1.1.1 from Debian 11's packages, 1.0.2 and
#                                    3.x built from its archive (with CC and
#                                    CFLAGS from the environment, where set:
#                                    scripts/prepare-openssl.sh)
# Each goes to a folder of this build (jsoncpp/, googletest/, openssl/) and is
# kept while its sources and arguments stay the same. A private jsoncpp or
# libcrypto reaches every test process through the loader's search path, as a
# receiver's does.
set(VOMAXEL_JSONCPP_RELEASE "" CACHE STRING "jsoncpp release to build from its archive (empty: the system's)")
set(VOMAXEL_JSONCPP_SOURCES ${PROJECT_SOURCE_DIR}/../shared/jsoncpp CACHE PATH
  "Folder of jsoncpp's release archives and their SHA256SUMS")
option(VOMAXEL_GOOGLETEST_FROM_SOURCE "Build GoogleTest from /usr/src/googletest with this build's flags" OFF)
set(VOMAXEL_OPENSSL_RELEASE "" CACHE STRING "OpenSSL release to take from VOMAXEL_OPENSSL_SOURCES (empty: the system's)")
set(VOMAXEL_OPENSSL_SOURCES ${PROJECT_SOURCE_DIR}/../shared/openssl CACHE PATH
  "Folder of OpenSSL's source archives and packages and their SHA256SUMS")

# The arguments that make a library's build match this one.
# Optimised as Debian builds them, without debug information.
set(vomaxel_from_source_args
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
  -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
  # -w: jsoncpp's -Werror=conversion trips on newer compilers' warnings.
  "-DCMAKE_CXX_FLAGS=${CMAKE_CXX_FLAGS} -w")
if(CMAKE_C_COMPILER)  # the preset's; this project itself compiles no C
  list(APPEND vomaxel_from_source_args -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER})
endif()
if(CMAKE_TOOLCHAIN_FILE)
  get_filename_component(toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  list(APPEND vomaxel_from_source_args -DCMAKE_TOOLCHAIN_FILE=${toolchain})
endif()
cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)

# Adds DIR, a folder of libraries built here for the target, to the loader's
# path of every test: LD_LIBRARY_PATH for CTest's children (written to
# private-libraries.cmake in this build), the emulator's in a cross build.
macro(vomaxel_private_library_dir dir)
  list(APPEND VOMAXEL_PRIVATE_LIBRARY_PATH ${dir})
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(TRANSFORM CMAKE_CROSSCOMPILING_EMULATOR REPLACE "^(LD_LIBRARY_PATH=.*)$" "\\1:${dir}")
  endif()
endmacro()

# Runs COMMAND..., failing the configuration with its output when it fails;
# its standard output in `output`.
function(vomaxel_run_or_fail what)
  message(STATUS "${what}")
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what}: failed\n${output}${errors}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

if(VOMAXEL_JSONCPP_RELEASE)
  set(prefix ${CMAKE_BINARY_DIR}/jsoncpp)
  vomaxel_run_or_fail("jsoncpp ${VOMAXEL_JSONCPP_RELEASE} from ${VOMAXEL_JSONCPP_SOURCES}"
    env JOBS=${jobs} bash ${PROJECT_SOURCE_DIR}/scripts/build-from-source.sh ${prefix}
    ${VOMAXEL_JSONCPP_SOURCES}/jsoncpp-${VOMAXEL_JSONCPP_RELEASE}.tar.gz ${vomaxel_from_source_args}
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DBUILD_SHARED_LIBS=ON
    -DBUILD_STATIC_LIBS=OFF -DBUILD_OBJECT_LIBS=OFF)
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  vomaxel_private_library_dir(${prefix}/lib)
endif()

if(VOMAXEL_GOOGLETEST_FROM_SOURCE)
  set(prefix ${CMAKE_BINARY_DIR}/googletest)
  vomaxel_run_or_fail("GoogleTest from /usr/src/googletest"
    env JOBS=${jobs} bash ${PROJECT_SOURCE_DIR}/scripts/build-from-source.sh ${prefix}
    /usr/src/googletest ${vomaxel_from_source_args})
  list(PREPEND CMAKE_PREFIX_PATH ${prefix})
endif()

if(VOMAXEL_OPENSSL_RELEASE)
  if(VOMAXEL_DEBIAN_ARCH)
    set(arch ${VOMAXEL_DEBIAN_ARCH})
  else()
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  vomaxel_run_or_fail("OpenSSL ${VOMAXEL_OPENSSL_RELEASE} (${arch}) from ${VOMAXEL_OPENSSL_SOURCES}"
    env JOBS=${jobs} bash ${PROJECT_SOURCE_DIR}/scripts/prepare-openssl.sh ${VOMAXEL_OPENSSL_SOURCES}
    ${VOMAXEL_OPENSSL_RELEASE} ${arch} ${CMAKE_BINARY_DIR}/openssl)
  string(REGEX MATCH "OPENSSL_ROOT_DIR=([^\n]*)" line "${output}")
  set(OPENSSL_ROOT_DIR ${CMAKE_MATCH_1})
  string(REGEX MATCH "OPENSSL_LIBRARY_DIR=([^\n]*)" line "${output}")
  vomaxel_private_library_dir(${CMAKE_MATCH_1})
endif()
