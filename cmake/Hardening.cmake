# The hardening Debian's and Yocto's builds turn on by default, for everything
# built here. A platform's own flags win: a kind its flags name is left to it,
# and ours go in front of its. VOMAXEL_HARDENING_CHECKS lists the kinds applied
# here, for the linkage test to find in the plug-in.
set(VOMAXEL_HARDENING_CHECKS "")
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
set(platform_flags " ${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}} ")
set(platform_link_flags " ${CMAKE_SHARED_LINKER_FLAGS} ${CMAKE_EXE_LINKER_FLAGS} ")

if(NOT platform_flags MATCHES " -f(no-)?stack-protector")
  string(APPEND hardening_flags " -fstack-protector-strong")
  list(APPEND VOMAXEL_HARDENING_CHECKS stack-protector)
endif()
# glibc's checks need optimising; a sanitizer checks the same calls itself.
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
