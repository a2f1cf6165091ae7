# zvv_add_type_library(<target> <definition.idl> <script.rc>)
#
# Compiles an interface definition into a type library that the target's
# resource script names by file name ("<name>.tlb"), and recompiles the
# script whenever the library changes. The cross toolchain's
# IDL compiler comes without the system interface definitions, so the
# definition is compiled against the small declarations beside this file,
# and its import of the standard OLE library is resolved against a stand-in
# built from them; the finished library refers to that system library by its
# identifier only.
function(zvv_add_type_library target idl script)
  find_program(ZVV_WIDL NAMES i686-w64-mingw32-widl widl REQUIRED)
  get_filename_component(idl_path "${idl}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(idl_name "${idl}" NAME_WE)
  set(decls "${PROJECT_SOURCE_DIR}/cmake/typelib")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/typelib")
  set(widl_flags --nostdinc --win32 -I "${decls}" -L "${out}")
  add_custom_command(
    OUTPUT "${out}/stdole2.tlb"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out}"
    COMMAND ${ZVV_WIDL} ${widl_flags} -t -o "${out}/stdole2.tlb" "${decls}/stdole2.idl"
    DEPENDS "${decls}/stdole2.idl" "${decls}/oaidl.idl"
    COMMENT "Compiling the standard OLE library's stand-in"
    VERBATIM)
  add_custom_command(
    OUTPUT "${out}/${idl_name}.tlb"
    COMMAND ${ZVV_WIDL} ${widl_flags} -t -o "${out}/${idl_name}.tlb" "${idl_path}"
    DEPENDS "${idl_path}" "${out}/stdole2.tlb" "${decls}/oaidl.idl" "${decls}/ocidl.idl"
    COMMENT "Compiling type library ${idl_name}.tlb"
    VERBATIM)
  set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS "${out}/${idl_name}.tlb")
  # The resource compiler looks for files named in the script on its
  # include path.
  target_include_directories(${target} PRIVATE "$<$<COMPILE_LANGUAGE:RC>:${out}>")
endfunction()
