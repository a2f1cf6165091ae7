# What the build makes of the component's interface definition, the one
# description of its automation interface.
#
# The cross toolchain's IDL compiler comes without the system interface
# definitions, so definitions are compiled against the small declarations in
# typelib/ beside this file.
find_program(ZVV_WIDL NAMES i686-w64-mingw32-widl widl REQUIRED)
set(ZVV_WIDL_DECLS "${CMAKE_CURRENT_LIST_DIR}/typelib")
set(ZVV_WIDL_FLAGS --nostdinc --win32 -I "${ZVV_WIDL_DECLS}")
include(${CMAKE_CURRENT_LIST_DIR}/IdlDispatchTable.cmake)

# zvv_compile_interface(<target> <definition.idl> <interface>)
#
# At configure time, and again whenever the definition changes, writes to
# <build>/interface: the IDL compiler's C++ header (the interface's method
# table and the identifiers of interface, class and library), and the
# dispatch ids, library version and static member table of <interface>
# (IdlDispatchTable.cmake). The folder becomes an include root that <target>
# passes on to what links it, an interface library that the component and the
# hosts built beside it share. Elsewhere than on Windows, winport stands in
# for the system header the IDL compiler's header includes; on Windows the
# identifiers get their one definition from the IDL compiler's identifier
# file, compiled as C++ into what links <target> (a C source would bring the C
# compiler's runtime folders into the link).
function(zvv_compile_interface target idl interface)
  get_filename_component(idl_path "${idl}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(idl_name "${idl}" NAME_WE)
  set(out "${CMAKE_BINARY_DIR}/interface")
  # Everything is written to a staging folder first and copied only when it
  # changed, so that a new configure run recompiles nothing.
  set(staging "${out}/staging")
  file(MAKE_DIRECTORY "${staging}")
  set(files "${idl_name}.h" "${idl_name}_dispids.h" "${idl_name}_methods.inc")
  set(widl_outputs -h -H "${idl_name}.h")
  if(WIN32)
    list(APPEND files "${idl_name}_i.cpp")
    list(APPEND widl_outputs -u -U "${idl_name}_i.cpp")
  else()
    list(APPEND files oaidl.h)
    file(COPY_FILE "${ZVV_WIDL_DECLS}/oaidl.h" "${staging}/oaidl.h")
  endif()
  execute_process(
    COMMAND ${ZVV_WIDL} ${ZVV_WIDL_FLAGS} ${widl_outputs} "${idl_path}"
    WORKING_DIRECTORY "${staging}"
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "Compiling the interface definition ${idl_path} failed")
  endif()
  zvv_write_dispatch_table("${idl_path}" "${interface}" "${staging}/${idl_name}_dispids.h"
                           "${staging}/${idl_name}_methods.inc")
  foreach(file IN LISTS files)
    file(COPY_FILE "${staging}/${file}" "${out}/${file}" ONLY_IF_DIFFERENT)
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${idl_path}"
               "${ZVV_WIDL_DECLS}/oaidl.idl" "${ZVV_WIDL_DECLS}/oaidl.h")
  target_include_directories(${target} INTERFACE "${out}")
  if(WIN32)
    target_sources(${target} INTERFACE "${out}/${idl_name}_i.cpp")
  endif()
endfunction()

# zvv_add_type_library(<target> <definition.idl> <script.rc>)
#
# Compiles an interface definition into a type library that the target's
# resource script names by file name ("<name>.tlb"), and recompiles the
# script whenever the library changes. The definition's import of the
# standard OLE library is resolved against a stand-in built from the
# declarations; the finished library refers to that system library by its
# identifier only.
function(zvv_add_type_library target idl script)
  get_filename_component(idl_path "${idl}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(idl_name "${idl}" NAME_WE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/typelib")
  set(widl_flags ${ZVV_WIDL_FLAGS} -L "${out}")
  add_custom_command(
    OUTPUT "${out}/stdole2.tlb"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out}"
    COMMAND ${ZVV_WIDL} ${widl_flags} -t -o "${out}/stdole2.tlb" "${ZVV_WIDL_DECLS}/stdole2.idl"
    DEPENDS "${ZVV_WIDL_DECLS}/stdole2.idl" "${ZVV_WIDL_DECLS}/oaidl.idl"
    COMMENT "Compiling the standard OLE library's stand-in"
    VERBATIM)
  add_custom_command(
    OUTPUT "${out}/${idl_name}.tlb"
    COMMAND ${ZVV_WIDL} ${widl_flags} -t -o "${out}/${idl_name}.tlb" "${idl_path}"
    DEPENDS "${idl_path}" "${out}/stdole2.tlb" "${ZVV_WIDL_DECLS}/oaidl.idl"
    COMMENT "Compiling type library ${idl_name}.tlb"
    VERBATIM)
  set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS "${out}/${idl_name}.tlb")
  # The resource compiler looks for files named in the script on its
  # include path.
  target_include_directories(${target} PRIVATE "$<$<COMPILE_LANGUAGE:RC>:${out}>")
endfunction()
