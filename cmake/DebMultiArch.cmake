# CPack post-build step: adds the Multi-Arch field, which CPack's DEB generator
# cannot write, from CPACK_VOMAXEL_MULTIARCH (PACKAGE=VALUE for every package).
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND dpkg-deb -f ${deb} Package
    OUTPUT_VARIABLE package OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(NOT "${CPACK_VOMAXEL_MULTIARCH}" MATCHES "(^|;)${package}=([^;]+)")
    message(FATAL_ERROR "no Multi-Arch value for ${package}")
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${tree}/DEBIAN/control control)
  string(STRIP "${control}" control)
  file(WRITE ${tree}/DEBIAN/control "${control}\nMulti-Arch: ${CMAKE_MATCH_2}\n")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b ${tree} ${deb}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
