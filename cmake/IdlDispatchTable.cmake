# zvv_write_dispatch_table(<definition.idl> <interface> <ids.h> <methods.inc>)
#
# Reads one interface of an interface definition and writes what dispatch
# needs of it when no type library is at hand:
#   <ids.h>        the library's version and a DISPID constant kDispId<Name>
#                  for every member name;
#   <methods.inc>  the member table for CreateDispTypeInfo: kInterface, an
#                  INTERFACEDATA over the members in the order of the text, with
#                  their names, dispatch ids, method-table slots, kinds, result
#                  and parameter types and parameter names.
# The text read is the one the type library is compiled from: members are
# "[attributes] type Name([attributes] type name, ...)", every parameter with
# its attribute list.

# The automation types a member may take or return, and their VARTYPEs. One
# further "*" makes a reference (VT_BYREF).
set(ZVV_IDL_VARTYPES
    BSTR=VT_BSTR VARIANT=VT_VARIANT VARIANT_BOOL=VT_BOOL long=VT_I4 short=VT_I2 double=VT_R8
    HRESULT=VT_HRESULT)

function(zvv_idl_vartype type out)
  string(REGEX REPLACE "[ \t\r\n]+" "" type "${type}")
  set(byref "")
  if(type MATCHES "^(.*)\\*$")
    set(type "${CMAKE_MATCH_1}")
    set(byref " | VT_BYREF")
  endif()
  foreach(pair IN LISTS ZVV_IDL_VARTYPES)
    if(pair MATCHES "^${type}=(.*)$")
      set(${out} "${CMAKE_MATCH_1}${byref}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "Dispatch table: no automation type for '${type}'")
endfunction()

# One OLECHAR array per distinct member or parameter name, in the caller's
# names and name_lines.
macro(zvv_idl_add_name name)
  if(NOT "${name}" IN_LIST names)
    list(APPEND names "${name}")
    string(APPEND name_lines "OLECHAR kName_${name}[] = OLESTR(\"${name}\");\n")
  endif()
endmacro()

function(zvv_write_dispatch_table idl interface ids_header methods_inc)
  file(READ "${idl}" text)
  get_filename_component(idl_name "${idl}" NAME)
  string(REGEX REPLACE "//[^\n]*" "" text "${text}")
  string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" text "${text}")

  set(ws "[ \t\r\n]*")
  set(ident "[A-Za-z_][A-Za-z_0-9]*")
  set(sep "[ \t\r\n,]")
  if(NOT text MATCHES "\\[([^]]*)\\]${ws}library[ \t\r\n]"
     OR NOT CMAKE_MATCH_1 MATCHES "version\\(([0-9]+)\\.([0-9]+)\\)")
    message(FATAL_ERROR "Dispatch table: ${idl_name} has no library with a version")
  endif()
  set(major "${CMAKE_MATCH_1}")
  set(minor "${CMAKE_MATCH_2}")

  if(NOT text MATCHES "interface[ \t\r\n]+${interface}${ws}:${ws}(${ident})${ws}{([^}]*)}")
    message(FATAL_ERROR "Dispatch table: ${idl_name} defines no interface ${interface}")
  endif()
  set(base "${CMAKE_MATCH_1}")
  set(body "${CMAKE_MATCH_2}")
  # The interface's own members follow those of its base in the method table.
  if(base STREQUAL "IDispatch")
    set(slot 7)
  elseif(base STREQUAL "IUnknown")
    set(slot 3)
  else()
    message(FATAL_ERROR "Dispatch table: ${interface} derives from ${base}")
  endif()

  string(REGEX MATCHALL "\\[[^]]*\\][^;]*" members "${body}")
  set(names "")
  set(name_lines "")
  set(dispids "")
  set(dispid_lines "")
  set(params "")
  set(rows "")
  set(index 0)
  foreach(member IN LISTS members)
    if(NOT member MATCHES "^\\[([^]]*)\\]${ws}(${ident})${ws}(${ident})${ws}\\((.*)\\)${ws}$")
      message(FATAL_ERROR "Dispatch table: cannot read the member '${member}'")
    endif()
    set(attributes "${CMAKE_MATCH_1}")
    set(result "${CMAKE_MATCH_2}")
    set(name "${CMAKE_MATCH_3}")
    set(arguments "${CMAKE_MATCH_4}")
    if(NOT attributes MATCHES "(^|${sep})id\\(([0-9]+)\\)")
      message(FATAL_ERROR "Dispatch table: ${name} has no id")
    endif()
    set(id "${CMAKE_MATCH_2}")
    set(kind DISPATCH_METHOD)
    foreach(property GET PUT PUTREF)
      string(TOLOWER "prop${property}" attribute)
      if(attributes MATCHES "(^|${sep})${attribute}(${sep}|$)")
        set(kind DISPATCH_PROPERTY${property})
      endif()
    endforeach()
    zvv_idl_vartype("${result}" result_vt)

    if(NOT "kDispId${name}" IN_LIST dispids)
      list(APPEND dispids "kDispId${name}")
      string(APPEND dispid_lines "inline constexpr DISPID kDispId${name} = ${id};\n")
    endif()
    zvv_idl_add_name("${name}")

    string(REGEX MATCHALL "\\[[^]]*\\][^,]*" arguments "${arguments}")
    set(param_items "")
    set(count 0)
    foreach(argument IN LISTS arguments)
      if(NOT argument MATCHES "^\\[[^]]*\\]${ws}(${ident}[ \t\r\n*]*[ \t\r\n*])(${ident})${ws}$")
        message(FATAL_ERROR "Dispatch table: cannot read the parameter '${argument}' of ${name}")
      endif()
      set(param "${CMAKE_MATCH_2}")
      zvv_idl_vartype("${CMAKE_MATCH_1}" param_vt)
      zvv_idl_add_name("${param}")
      list(APPEND param_items "{kName_${param}, ${param_vt}}")
      math(EXPR count "${count} + 1")
    endforeach()
    if(count EQUAL 0)
      set(param_array "nullptr")
    else()
      list(JOIN param_items ", " param_items)
      string(APPEND params "PARAMDATA kParams${index}[] = {${param_items}};\n")
      set(param_array "kParams${index}")
    endif()
    string(APPEND rows "    {kName_${name}, ${param_array}, ${id}, ${slot}, CC_STDCALL, ${count}, "
                       "${kind}, ${result_vt}},\n")
    math(EXPR slot "${slot} + 1")
    math(EXPR index "${index} + 1")
  endforeach()
  if(index EQUAL 0)
    message(FATAL_ERROR "Dispatch table: ${interface} has no members")
  endif()

  set(banner "// Generated from ${idl_name} at configure time; edit the definition instead.\n")
  string(CONCAT ids "${banner}#pragma once\n\n"
                "inline constexpr WORD kTypeLibMajorVersion = ${major};\n"
                "inline constexpr WORD kTypeLibMinorVersion = ${minor};\n\n${dispid_lines}")
  file(WRITE "${ids_header}" "${ids}")
  string(CONCAT methods "${banner}${name_lines}\n${params}\n"
                "METHODDATA kMethods[] = {\n${rows}};\n\n"
                "INTERFACEDATA kInterface = {kMethods, ${index}};\n")
  file(WRITE "${methods_inc}" "${methods}")
endfunction()
