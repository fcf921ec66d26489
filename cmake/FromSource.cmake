# C++ libraries built from source at configure time, with this build's own
# compiler, toolchain file and flags, for configurations whose receiver
# carries another build of them than the build machine's packages:
#   VOMAXEL_JSONCPP_RELEASE          jsoncpp of that release, from its archive in
#                                    VOMAXEL_JSONCPP_SOURCES (checked against SHA256SUMS)
#   VOMAXEL_GOOGLETEST_FROM_SOURCE   GoogleTest and GoogleMock from Debian's
#                                    googletest sources (/usr/src/googletest)
# Each goes to a folder of this build (jsoncpp/, googletest/) and is kept
# while its sources and arguments stay the same. The private jsoncpp reaches
# every test process through the loader's search path, as a receiver's does.
set(VOMAXEL_JSONCPP_RELEASE "" CACHE STRING "jsoncpp release to build from its archive (empty: the system's)")
set(VOMAXEL_JSONCPP_SOURCES ${PROJECT_SOURCE_DIR}/../shared/jsoncpp CACHE PATH
  "Folder of jsoncpp's release archives and their SHA256SUMS")
option(VOMAXEL_GOOGLETEST_FROM_SOURCE "Build GoogleTest from /usr/src/googletest with this build's flags" OFF)

# The arguments that make a library's build match this one.
set(vomaxel_from_source_args
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
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

# Runs COMMAND..., failing the configuration with its output when it fails.
function(vomaxel_run_or_fail what)
  message(STATUS "${what}")
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what}: failed\n${output}")
  endif()
endfunction()

if(VOMAXEL_JSONCPP_RELEASE)
  set(prefix ${CMAKE_BINARY_DIR}/jsoncpp)
  vomaxel_run_or_fail("jsoncpp ${VOMAXEL_JSONCPP_RELEASE} from ${VOMAXEL_JSONCPP_SOURCES}"
    env JOBS=${jobs} bash ${PROJECT_SOURCE_DIR}/scripts/build-jsoncpp.sh
    ${VOMAXEL_JSONCPP_SOURCES} ${VOMAXEL_JSONCPP_RELEASE} ${prefix} ${vomaxel_from_source_args})
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  vomaxel_private_library_dir(${prefix}/lib)
endif()

if(VOMAXEL_GOOGLETEST_FROM_SOURCE)
  set(prefix ${CMAKE_BINARY_DIR}/googletest)
  vomaxel_run_or_fail("GoogleTest from /usr/src/googletest"
    env JOBS=${jobs} bash ${PROJECT_SOURCE_DIR}/scripts/build-googletest.sh ${prefix}
    ${vomaxel_from_source_args})
  list(PREPEND CMAKE_PREFIX_PATH ${prefix})
endif()
