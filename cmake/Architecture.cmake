# Reads cmake/architectures.txt. vomaxel_architecture(COLUMN VALUE) sets
# VOMAXEL_ARCH_<column> for every column of the row whose COLUMN is VALUE
# (debian, processor, triplet, emulator, openssl, abi, layout), and fails when
# no row has it; with OPTIONAL, leaves them unset instead.
function(vomaxel_architecture column value)
  file(STRINGS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/architectures.txt rows REGEX "^[^#]")
  list(POP_FRONT rows header)
  string(REGEX REPLACE "[ \t]+" ";" names "${header}")
  list(FIND names ${column} index)
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t]+" ";" fields "${row}")
    list(GET fields ${index} field)
    if(field STREQUAL value)
      foreach(name IN LISTS names)
        list(POP_FRONT fields field)
        set(VOMAXEL_ARCH_${name} ${field} PARENT_SCOPE)
      endforeach()
      return()
    endif()
  endforeach()
  if(NOT ARGV2 STREQUAL "OPTIONAL")
    message(FATAL_ERROR "cmake/architectures.txt has no row whose ${column} is '${value}'")
  endif()
endfunction()
