# The hardening that Debian's and Yocto's builds turn on by default, for every
# program and library built here: stack protector, fortified libc calls (where
# optimising), format checks, relocations read-only after start-up, and PIE.
#
# A platform's own flags win: each kind of flag that its CMAKE_CXX_FLAGS (or,
# for the linker's, its linker flags) names is left to it, and ours go in
# front of its flags on the command line. VOMAXEL_HARDENING_CHECKS lists the
# kinds applied here, for the linkage test to find in the plug-in.
set(VOMAXEL_HARDENING_CHECKS "")
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
set(platform_flags " ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}} ")
set(platform_link_flags " ${CMAKE_SHARED_LINKER_FLAGS} ${CMAKE_EXE_LINKER_FLAGS} ")
set(hardening_flags "")
set(hardening_link_flags "")

if(NOT platform_flags MATCHES " -f(no-)?stack-protector")
  string(APPEND hardening_flags " -fstack-protector-strong")
  list(APPEND VOMAXEL_HARDENING_CHECKS stack-protector)
endif()
# glibc's checks need an optimised build, and a sanitizer checks the same
# calls itself (ASan's interceptors and the fortified calls conflict).
string(REGEX MATCHALL " -O[^ ]*" optimisations "${platform_flags}")
list(POP_BACK optimisations optimisation)
if(optimisation AND NOT optimisation STREQUAL " -O0" AND NOT platform_flags MATCHES "_FORTIFY_SOURCE| -fsanitize="
   AND NOT VOMAXEL_FUZZ)
  string(APPEND hardening_flags " -D_FORTIFY_SOURCE=2")
  list(APPEND VOMAXEL_HARDENING_CHECKS fortify)
endif()
if(NOT platform_flags MATCHES " -W(no-)?(error=)?format")
  string(APPEND hardening_flags " -Wformat -Werror=format-security")
endif()
if(NOT platform_link_flags MATCHES "relro")
  string(APPEND hardening_link_flags " -Wl,-z,relro")
  list(APPEND VOMAXEL_HARDENING_CHECKS relro)
endif()
if(NOT platform_link_flags MATCHES "[, ](now|lazy)( |,|$)")
  string(APPEND hardening_link_flags " -Wl,-z,now")
  list(APPEND VOMAXEL_HARDENING_CHECKS now)
endif()
if(NOT platform_flags MATCHES " -f(no-)?(pie|PIE) ")
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

string(STRIP "${hardening_flags} ${CMAKE_CXX_FLAGS}" CMAKE_CXX_FLAGS)
foreach(kind SHARED MODULE EXE)
  string(STRIP "${hardening_link_flags} ${CMAKE_${kind}_LINKER_FLAGS}" CMAKE_${kind}_LINKER_FLAGS)
endforeach()
