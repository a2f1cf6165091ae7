# Checks CheckExportOrdinals.cmake on export tables of its own: a module passes
# only with every entry of its module-definition file at that file's ordinal
# and nothing else exported, and only when it imports nothing but system DLLs.
#   cmake -DWORK=<scratch folder> -P CheckExportOrdinalsTest.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(checker "${CMAKE_CURRENT_LIST_DIR}/../CheckExportOrdinals.cmake" ABSOLUTE)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# The checker runs "<objdump> -p <module>"; this one prints the module file,
# which holds the dump as the cross objdump would print it.
file(WRITE "${WORK}/objdump" "#!/bin/sh\nexec cat \"$2\"\n")
file(CHMOD "${WORK}/objdump" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(WRITE "${WORK}/module.def" "LIBRARY module\nEXPORTS\n  First @1\n  Second@8 @3 ; decorated\n")

# A dump with the base ordinal 1: one "name@ordinal" per export, an ordinal
# with a zero address standing for an unused one, and the imported DLLs.
function(write_dump path exports imports)
  set(addresses "")
  set(names "")
  foreach(export IN LISTS exports)
    string(REPLACE "@" ";" parts "${export}")
    list(GET parts 0 name)
    list(GET parts 1 ordinal)
    math(EXPR index "${ordinal} - 1")
    string(APPEND addresses "\t[   ${index}] +base[   ${ordinal}] 1${ordinal}00 Export RVA\n")
    string(APPEND names "\t[   ${index}] ${name}\n")
  endforeach()
  set(dlls "")
  foreach(dll IN LISTS imports)
    string(APPEND dlls "\tDLL Name: ${dll}\n")
  endforeach()
  file(WRITE "${path}"
       "Export Address Table -- Ordinal Base 1\n${addresses}\t[   1] +base[   2] 0 Export RVA\n\n"
       "[Ordinal/Name Pointer] Table\n${names}\n${dlls}")
endfunction()

set(system_imports "KERNEL32.dll,msvcrt.dll,api-ms-win-crt-runtime-l1-1-0.dll")
# name | exports | imports | passes; the lists inside separated by commas
set(cases
    "matching|First@1,Second@3|${system_imports}|1"
    "moved ordinal|First@1,Second@4|${system_imports}|0"
    "missing export|First@1|${system_imports}|0"
    "extra export|First@1,Second@3,Third@5|${system_imports}|0"
    "C++ runtime|First@1,Second@3|KERNEL32.dll,libstdc++-6.dll|0"
    "compiler support|First@1,Second@3|KERNEL32.dll,libgcc_s_dw2-1.dll|0"
    "thread runtime|First@1,Second@3|KERNEL32.dll,libwinpthread-1.dll|0"
    "library DLL|First@1,Second@3|KERNEL32.dll,libsqlite3-0.dll|0")

set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 exports)
  list(GET fields 2 imports)
  list(GET fields 3 passes)
  string(REPLACE "," ";" exports "${exports}")
  string(REPLACE "," ";" imports "${imports}")
  write_dump("${WORK}/module.dll" "${exports}" "${imports}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${WORK}/objdump -DDLL=${WORK}/module.dll
                          -DDEF=${WORK}/module.def -P "${checker}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if((result EQUAL 0) AND NOT passes)
    message(SEND_ERROR "${name}: accepted\n${output}")
    math(EXPR failures "${failures} + 1")
  elseif(NOT (result EQUAL 0) AND passes)
    message(SEND_ERROR "${name}: refused\n${output}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
