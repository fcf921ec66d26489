# Reads cmake/architectures.txt: one row per architecture under a header of
# column names (debian, processor, triplet, emulator, openssl, abi, layout).

# Sets NAMES to the column names and COLUMN_VALUES to COLUMN's value in each row.
function(vomaxel_architecture_table names column column_values)
  file(STRINGS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/architectures.txt rows REGEX "^[^#]")
  list(POP_FRONT rows header)
  string(REGEX REPLACE "[ \t]+" ";" header "${header}")
  list(FIND header ${column} index)
  set(values "")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t]+" ";" fields "${row}")
    list(GET fields ${index} field)
    list(APPEND values ${field})
  endforeach()
  set(${names} ${header} PARENT_SCOPE)
  set(${column_values} ${values} PARENT_SCOPE)
endfunction()

# Sets VAR to the list of COLUMN's values, one per row.
function(vomaxel_architecture_column var column)
  vomaxel_architecture_table(names ${column} values)
  set(${var} ${values} PARENT_SCOPE)
endfunction()

# vomaxel_architecture(COLUMN VALUE [OPTIONAL]) sets VOMAXEL_ARCH_<column> for
# every column of the row whose COLUMN is VALUE, and fails when no row has
# it; with OPTIONAL, leaves them unset instead.
function(vomaxel_architecture column value)
  vomaxel_architecture_table(names ${column} keys)
  list(FIND keys "${value}" row)
  if(row EQUAL -1)
    if(NOT ARGV2 STREQUAL "OPTIONAL")
      message(FATAL_ERROR "cmake/architectures.txt has no row whose ${column} is '${value}'")
    endif()
    return()
  endif()
  foreach(name IN LISTS names)
    vomaxel_architecture_table(unused ${name} values)
    list(GET values ${row} field)
    set(VOMAXEL_ARCH_${name} ${field} PARENT_SCOPE)
  endforeach()
endfunction()
