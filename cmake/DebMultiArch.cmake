# CPack post-build step: adds the Multi-Arch field that CPack's DEB generator
# cannot write to each package it made. CPACK_VOMAXEL_MULTIARCH holds
# PACKAGE=VALUE pairs; every package made must have one.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND dpkg-deb -f ${deb} Package
    OUTPUT_VARIABLE package OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(value "")
  foreach(pair IN LISTS CPACK_VOMAXEL_MULTIARCH)
    if(pair MATCHES "^${package}=(.+)$")
      set(value ${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(NOT value)
    message(FATAL_ERROR "no Multi-Arch value for ${package}")
  endif()

  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${tree}/DEBIAN/control control)
  string(STRIP "${control}" control)
  file(WRITE ${tree}/DEBIAN/control "${control}\nMulti-Arch: ${value}\n")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b ${tree} ${deb}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
