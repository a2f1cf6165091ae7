# cmake -DOBJDUMP=<objdump> -DDLL=<module.dll> -DEXPORTS=<a,b,...>
#       [-DRESOURCES=<type:id,...>] -P CheckWindowsModule.cmake
#
# Fails unless the module's export table holds exactly EXPORTS, by name and
# in that order; each resource named in RESOURCES (a named type, or a number
# for a standard type, with its numeric identifier) is present; and the
# module imports no compiler runtime DLL, since it must load on a system that
# has nothing but the module.
foreach(var OBJDUMP DLL EXPORTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckWindowsModule: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND "${OBJDUMP}" -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "CheckWindowsModule: ${OBJDUMP} -p ${DLL} failed (${rc})")
endif()

# The export name table: a heading, then one "[ n] name" line per export, up
# to the first blank line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "CheckWindowsModule: ${DLL} has no export name table")
endif()
math(EXPR start "${start} + 29")
string(SUBSTRING "${dump}" ${start} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\\] [^\n]+" found "${table}")
string(REPLACE "] " "" found "${found}")
string(REPLACE "," ";" expected "${EXPORTS}")
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "CheckWindowsModule: ${DLL} exports [${found}], expected [${expected}]")
endif()

# The resource tree lists each type, then its name table, then its entries;
# the check reads the first entry after the type, which is enough for types
# that hold one resource.
# objdump prints resource identifiers as six hexadecimal digits.
function(resource_id value out)
  math(EXPR hex "${value}" OUTPUT_FORMAT HEXADECIMAL)
  string(REGEX REPLACE "^0x" "" hex "${hex}")
  string(LENGTH "${hex}" width)
  math(EXPR width "6 - ${width}")
  string(REPEAT "0" ${width} pad)
  set(${out} "0x${pad}${hex}" PARENT_SCOPE)
endfunction()

string(REPLACE "," ";" resources "${RESOURCES}")
foreach(resource IN LISTS resources)
  string(REPLACE ":" ";" parts "${resource}")
  list(GET parts 0 type)
  list(GET parts 1 id)
  if(type MATCHES "^[0-9]+$")
    resource_id(${type} type)
    set(type_pattern "Entry: ID: ${type},")
  else()
    set(type_pattern "\\]: ${type},")
  endif()
  resource_id(${id} id)
  if(NOT dump MATCHES "${type_pattern}[^\n]*\n[^\n]*Name Table[^\n]*\n[^\n]*Entry: ID: ${id},")
    message(FATAL_ERROR "CheckWindowsModule: ${DLL} lacks resource ${resource}")
  endif()
endforeach()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  if(import MATCHES "lib(gcc|stdc\\+\\+|winpthread)")
    message(FATAL_ERROR "CheckWindowsModule: ${DLL} needs a compiler runtime DLL (${import})")
  endif()
endforeach()
