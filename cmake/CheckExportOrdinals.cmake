# cmake -DOBJDUMP=<objdump> -DDLL=<module.dll> -DDEF=<module.def> -P CheckExportOrdinals.cmake
#
# Fails unless the module exports exactly the entries of its module-definition
# file, each at the ordinal the file fixes (clients may bind by ordinal), and
# unless every DLL it imports is one the system provides.
cmake_minimum_required(VERSION 3.25)
foreach(var OBJDUMP DLL DEF)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckExportOrdinals: ${var} is not set")
  endif()
endforeach()

# "name[@decoration] @ordinal ..." lines after EXPORTS; the decoration of a
# calling convention is not part of the exported name.
file(STRINGS "${DEF}" def_lines)
set(expected "")
set(in_exports FALSE)
foreach(line IN LISTS def_lines)
  string(REGEX REPLACE ";.*" "" line "${line}")
  if(line MATCHES "^[ \t]*EXPORTS")
    set(in_exports TRUE)
  elseif(in_exports AND line MATCHES "^[ \t]*([A-Za-z_][A-Za-z_0-9]*)(@[0-9]+)?[ \t]+@([0-9]+)")
    list(APPEND expected "${CMAKE_MATCH_3}:${CMAKE_MATCH_1}")
  endif()
endforeach()
if(NOT expected)
  message(FATAL_ERROR "CheckExportOrdinals: ${DEF} fixes no ordinals")
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "CheckExportOrdinals: ${OBJDUMP} -p ${DLL} failed (${rc})")
endif()

# The name pointer table lists "[index] name", the index counting from the
# ordinal base; the address table lists "[index] +base[ordinal] rva", an
# unused ordinal between two exports having a zero address.
string(REGEX MATCH "Export Address Table -- Ordinal Base ([0-9]+)\n(([^\n]+\n)*)" _ "${dump}")
set(base "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\] [0-9a-f]*[1-9a-f][0-9a-f]* Export RVA" addresses "${CMAKE_MATCH_2}")
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([^\n]+\n)*)" table "${dump}")
set(table "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${table}")
if(NOT base OR NOT entries)
  message(FATAL_ERROR "CheckExportOrdinals: ${DLL} has no export table")
endif()
set(found "")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "\\[ *([0-9]+)\\] (.+)" _ "${entry}")
  math(EXPR ordinal "${CMAKE_MATCH_1} + ${base}")
  list(APPEND found "${ordinal}:${CMAKE_MATCH_2}")
endforeach()
list(LENGTH addresses address_count)
list(LENGTH expected expected_count)
list(SORT expected)
list(SORT found)
if(NOT found STREQUAL expected OR NOT address_count EQUAL expected_count)
  message(FATAL_ERROR "CheckExportOrdinals: ${DLL} exports [${found}] (${address_count} addresses), "
                      "expected [${expected}]")
endif()

# System DLLs only: a compiler runtime or a library DLL would have to be
# shipped beside the module.
set(system_dlls advapi32 bcrypt comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi
                user32 version ws2_32 rpcrt4 uxtheme)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(names "")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: (.+)\\.[dD][lL][lL]" "\\1" name "${import}")
  string(TOLOWER "${name}" name)
  if(NOT name IN_LIST system_dlls AND NOT name MATCHES "^api-ms-win-")
    message(FATAL_ERROR "CheckExportOrdinals: ${DLL} imports ${import}, which the system does not provide")
  endif()
  list(APPEND names "${name}")
endforeach()
message(STATUS "${DLL}: exports ${found}; imports ${names}")
