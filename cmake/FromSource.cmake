# Libraries of other releases than the build machine's packages, made ready
# at configure time, built with this build's own compiler, toolchain file and
# flags, for configurations whose receiver carries them:
#   VOMAXEL_JSONCPP_RELEASE          jsoncpp of that release, from its archive in
#                                    VOMAXEL_JSONCPP_SOURCES (checked against SHA256SUMS)
#   VOMAXEL_GOOGLETEST_FROM_SOURCE   GoogleTest (without GoogleMock) from Debian's
#                                    googletest sources (/usr/src/googletest)
#   VOMAXEL_OPENSSL_RELEASE          OpenSSL of that release for the target's
#                                    architecture, from VOMAXEL_OPENSSL_SOURCES:
#                                    1.1.1 from Debian 11's packages, 1.0.2 and
#                                    3.x built from its archive (with CC and
#                                    CFLAGS from the environment, where set:
#                                    scripts/prepare-openssl.sh)
# Each goes to a folder of its own in VOMAXEL_LIBRARY_CACHE, named for the
# library, its release and the arguments it is built with, and is kept there:
# every build folder (and every clone) that needs the same build shares it.
# A private jsoncpp or libcrypto reaches every test process through the
# loader's search path, as a receiver's does.
set(VOMAXEL_JSONCPP_RELEASE "" CACHE STRING "jsoncpp release to build from its archive (empty: the system's)")
set(VOMAXEL_JSONCPP_SOURCES ${PROJECT_SOURCE_DIR}/../shared/jsoncpp CACHE PATH
  "Folder of jsoncpp's release archives and their SHA256SUMS")
option(VOMAXEL_GOOGLETEST_FROM_SOURCE "Build GoogleTest from /usr/src/googletest with this build's flags" OFF)
set(VOMAXEL_OPENSSL_RELEASE "" CACHE STRING "OpenSSL release to take from VOMAXEL_OPENSSL_SOURCES (empty: the system's)")
set(VOMAXEL_OPENSSL_SOURCES ${PROJECT_SOURCE_DIR}/../shared/openssl CACHE PATH
  "Folder of OpenSSL's source archives and packages and their SHA256SUMS")

if(DEFINED ENV{HOME})
  set(library_cache $ENV{HOME}/.cache/vomaxel)
else()
  set(library_cache ${CMAKE_BINARY_DIR}/libraries)
endif()
set(VOMAXEL_LIBRARY_CACHE ${library_cache} CACHE PATH
  "Folder of the libraries built from source, shared by every build")

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
# A cross build's toolchain file (in full) and the variables that it reads, as
# its try_compile gets them: for every CMake project built for the target.
set(VOMAXEL_TOOLCHAIN_ARGS "")
if(CMAKE_TOOLCHAIN_FILE)
  get_filename_component(toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  list(APPEND VOMAXEL_TOOLCHAIN_ARGS -DCMAKE_TOOLCHAIN_FILE=${toolchain})
  foreach(var IN LISTS CMAKE_TRY_COMPILE_PLATFORM_VARIABLES)
    list(APPEND VOMAXEL_TOOLCHAIN_ARGS -D${var}=${${var}})
  endforeach()
endif()
list(APPEND vomaxel_from_source_args ${VOMAXEL_TOOLCHAIN_ARGS})
if(CMAKE_CXX_COMPILER_LAUNCHER)
  list(APPEND vomaxel_from_source_args "-DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}"
    "-DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}")
endif()
cmake_host_system_information(RESULT jobs QUERY NUMBER_OF_LOGICAL_CORES)

# The files of this tree that shape a library's build: a cache folder's name
# covers their contents, not where the tree lies. (Toolchain files matter to
# a cross build only; they include each other and read the architectures.)
set(recipe_files ${PROJECT_SOURCE_DIR}/scripts/build-from-source.sh
  ${PROJECT_SOURCE_DIR}/scripts/prepare-openssl.sh ${PROJECT_SOURCE_DIR}/scripts/architecture.sh
  ${PROJECT_SOURCE_DIR}/cmake/architectures.txt ${PROJECT_SOURCE_DIR}/tests/support/LegacyTypeTraits.h)
if(CMAKE_TOOLCHAIN_FILE)
  file(GLOB toolchain_files ${PROJECT_SOURCE_DIR}/cmake/*-toolchain.cmake)
  list(APPEND recipe_files ${toolchain_files} ${PROJECT_SOURCE_DIR}/cmake/Architecture.cmake)
endif()
set(vomaxel_recipe "")
foreach(file IN LISTS recipe_files)
  file(SHA256 ${file} sum)
  string(APPEND vomaxel_recipe ${sum})
endforeach()

# Sets VAR to the cache folder of library NAME built with the arguments ARGN.
# VOMAXEL_FROM_SOURCE lists every such folder (linkage.cpu checks them).
macro(vomaxel_library_folder var name)
  string(REPLACE "${PROJECT_SOURCE_DIR}" "<source>" key "${ARGN};${vomaxel_recipe}")
  string(SHA256 key "${key}")
  string(SUBSTRING ${key} 0 16 key)
  set(${var} ${VOMAXEL_LIBRARY_CACHE}/${name}-${key})
  list(APPEND VOMAXEL_FROM_SOURCE ${${var}})
endmacro()

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
  set(args ${vomaxel_from_source_args} -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF
    -DBUILD_SHARED_LIBS=ON -DBUILD_STATIC_LIBS=OFF -DBUILD_OBJECT_LIBS=OFF)
  vomaxel_library_folder(prefix jsoncpp-${VOMAXEL_JSONCPP_RELEASE} ${args})
  vomaxel_run_or_fail("jsoncpp ${VOMAXEL_JSONCPP_RELEASE} from ${VOMAXEL_JSONCPP_SOURCES} in ${prefix}"
    env JOBS=${jobs} bash ${PROJECT_SOURCE_DIR}/scripts/build-from-source.sh ${prefix}
    ${VOMAXEL_JSONCPP_SOURCES}/jsoncpp-${VOMAXEL_JSONCPP_RELEASE}.tar.gz ${args})
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  vomaxel_private_library_dir(${prefix}/lib)
endif()

if(VOMAXEL_GOOGLETEST_FROM_SOURCE)
  # A library without a trait that GoogleTest needs gets it from a header
  # included first, in GoogleTest and in every test (tests/CMakeLists.txt).
  include(CheckCXXSourceCompiles)
  check_cxx_source_compiles("#include <type_traits>
    int main() { return std::is_trivially_copy_constructible<int>::value; }"
    VOMAXEL_HAS_TRIVIALLY_COPY_CONSTRUCTIBLE)
  set(googletest_args ${vomaxel_from_source_args} -DBUILD_GMOCK=OFF)
  if(NOT VOMAXEL_HAS_TRIVIALLY_COPY_CONSTRUCTIBLE)
    set(VOMAXEL_GOOGLETEST_PRELUDE ${PROJECT_SOURCE_DIR}/tests/support/LegacyTypeTraits.h)
    list(TRANSFORM googletest_args REPLACE "^(-DCMAKE_CXX_FLAGS=.*)$"
      "\\1 -include ${VOMAXEL_GOOGLETEST_PRELUDE}")
  endif()
  vomaxel_library_folder(prefix googletest ${googletest_args})
  vomaxel_run_or_fail("GoogleTest from /usr/src/googletest in ${prefix}"
    env JOBS=${jobs} bash ${PROJECT_SOURCE_DIR}/scripts/build-from-source.sh ${prefix}
    /usr/src/googletest ${googletest_args})
  list(PREPEND CMAKE_PREFIX_PATH ${prefix})
endif()

if(VOMAXEL_OPENSSL_RELEASE)
  if(VOMAXEL_DEBIAN_ARCH)
    set(arch ${VOMAXEL_DEBIAN_ARCH})
  else()
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  # A toolchain file's own C compiler (Clang for a receiver SDK) builds
  # OpenSSL too, with the toolchain's target, sysroot, compile and link flags.
  set(compiler "")
  if(CMAKE_TOOLCHAIN_FILE AND CMAKE_C_COMPILER_TARGET)
    set(compiler "CC=${CMAKE_C_COMPILER} --target=${CMAKE_C_COMPILER_TARGET}")
    if(CMAKE_SYSROOT)
      string(APPEND compiler " --sysroot=${CMAKE_SYSROOT}")
    endif()
    if(CMAKE_C_COMPILER_EXTERNAL_TOOLCHAIN)
      string(APPEND compiler " --gcc-toolchain=${CMAKE_C_COMPILER_EXTERNAL_TOOLCHAIN}")
    endif()
    set(compiler "${compiler}" "CFLAGS=${CMAKE_C_FLAGS_INIT} ${CMAKE_SHARED_LINKER_FLAGS_INIT}")
  endif()
  vomaxel_library_folder(prefix openssl-${VOMAXEL_OPENSSL_RELEASE}-${arch} ${compiler})
  vomaxel_run_or_fail("OpenSSL ${VOMAXEL_OPENSSL_RELEASE} (${arch}) from ${VOMAXEL_OPENSSL_SOURCES} in ${prefix}"
    env JOBS=${jobs} ${compiler} bash ${PROJECT_SOURCE_DIR}/scripts/prepare-openssl.sh
    ${VOMAXEL_OPENSSL_SOURCES} ${VOMAXEL_OPENSSL_RELEASE} ${arch} ${prefix})
  string(REGEX MATCH "OPENSSL_ROOT_DIR=([^\n]*)" line "${output}")
  set(OPENSSL_ROOT_DIR ${CMAKE_MATCH_1})
  string(REGEX MATCH "OPENSSL_LIBRARY_DIR=([^\n]*)" line "${output}")
  vomaxel_private_library_dir(${CMAKE_MATCH_1})
endif()
