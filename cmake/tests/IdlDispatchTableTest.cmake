# Checks zvv_write_dispatch_table on definitions of its own: what it writes for
# each kind of member and type, that comments hide what they contain, and
# that it stops on text it cannot describe.
#   cmake -DWORK=<scratch folder> -P IdlDispatchTableTest.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(generator "${CMAKE_CURRENT_LIST_DIR}/../IdlDispatchTable.cmake" ABSOLUTE)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

# Runs the generator in a separate CMake, since it stops with FATAL_ERROR;
# sets result (0 on success), error, ids and methods in the caller.
function(generate name interface idl)
  set(folder "${WORK}/${name}")
  file(MAKE_DIRECTORY "${folder}")
  file(WRITE "${folder}/in.idl" "${idl}")
  file(WRITE "${folder}/run.cmake"
       "cmake_minimum_required(VERSION 3.25)\ninclude(\"${generator}\")\n"
       "zvv_write_dispatch_table(\"${folder}/in.idl\" ${interface} "
       "\"${folder}/ids.h\" \"${folder}/methods.inc\")\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -P "${folder}/run.cmake" RESULT_VARIABLE result
                  ERROR_VARIABLE error)
  set(ids "")
  set(methods "")
  if(result EQUAL 0)
    file(READ "${folder}/ids.h" ids)
    file(READ "${folder}/methods.inc" methods)
  endif()
  set(result "${result}" PARENT_SCOPE)
  set(error "${error}" PARENT_SCOPE)
  set(ids "${ids}" PARENT_SCOPE)
  set(methods "${methods}" PARENT_SCOPE)
endfunction()

macro(expect_contains case text expected)
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "${case}: expected\n  ${expected}\nin\n${text}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

macro(expect_lacks case text unexpected)
  string(FIND "${text}" "${unexpected}" at)
  if(NOT at EQUAL -1)
    message(SEND_ERROR "${case}: did not expect\n  ${unexpected}\nin\n${text}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()

set(library "[uuid(E47FE2BC-A57B-11D2-BE8E-00C04F990001), version(3.2)]\nlibrary L { };\n")

# Every kind of member, a reference of each kind of type, a member without
# parameters, and members hidden in comments.
generate(kinds IFlag "[object, uuid(E47FE2CB-A57B-11D2-BE8E-00C04F990001)]
interface IFlag : IUnknown
{
    // [id(9)] HRESULT Ghost([in] long a);
    [propget, id(5), helpstring(\"property Flag\")] HRESULT Flag([out, retval] VARIANT_BOOL* pOn);
    [propput, id(5)] HRESULT Flag([in] VARIANT_BOOL on);
    [propputref, id(6)] HRESULT Ref([in] VARIANT* pRef);
    /* [id(10)] HRESULT Hidden();
       spread over lines */
    [id(7)]
    HRESULT Scale([in] double factor,
                  [in] short steps, [out] BSTR* pText);
    [id(8)] HRESULT Reset();
};
${library}")
expect_contains(kinds "${result}" "0")
expect_contains(kinds "${ids}" "kTypeLibMajorVersion = 3;")
expect_contains(kinds "${ids}" "kTypeLibMinorVersion = 2;")
foreach(line "kDispIdFlag = 5;" "kDispIdRef = 6;" "kDispIdScale = 7;" "kDispIdReset = 8;")
  expect_contains(kinds "${ids}" "${line}")
endforeach()
foreach(line "PARAMDATA kParams0[] = {{kName_pOn, VT_BOOL | VT_BYREF}};"
             "PARAMDATA kParams1[] = {{kName_on, VT_BOOL}};"
             "PARAMDATA kParams2[] = {{kName_pRef, VT_VARIANT | VT_BYREF}};"
             "{{kName_factor, VT_R8}, {kName_steps, VT_I2}, {kName_pText, VT_BSTR | VT_BYREF}}"
             "{kName_Flag, kParams0, 5, 3, CC_STDCALL, 1, DISPATCH_PROPERTYGET, VT_HRESULT}"
             "{kName_Flag, kParams1, 5, 4, CC_STDCALL, 1, DISPATCH_PROPERTYPUT, VT_HRESULT}"
             "{kName_Ref, kParams2, 6, 5, CC_STDCALL, 1, DISPATCH_PROPERTYPUTREF, VT_HRESULT}"
             "{kName_Scale, kParams3, 7, 6, CC_STDCALL, 3, DISPATCH_METHOD, VT_HRESULT}"
             "{kName_Reset, nullptr, 8, 7, CC_STDCALL, 0, DISPATCH_METHOD, VT_HRESULT}"
             "INTERFACEDATA kInterface = {kMethods, 5};")
  expect_contains(kinds "${methods}" "${line}")
endforeach()
foreach(hidden Ghost Hidden)
  expect_lacks(kinds "${ids}${methods}" "${hidden}")
endforeach()
# A name used twice is written once.
string(REGEX MATCHALL "OLECHAR kName_Flag\\[\\]" flags "${methods}")
list(LENGTH flags count)
expect_contains(kinds "${count}" "1")

# A dispatch interface's members start after the seven IDispatch slots.
generate(dispatch IRun "[object, uuid(E47FE2CB-A57B-11D2-BE8E-00C04F990001), dual]
interface IRun : IDispatch { [id(1)] HRESULT Run([in] long n); };
${library}")
expect_contains(dispatch "${methods}" "{kName_Run, kParams0, 1, 7, CC_STDCALL, 1")

# Text the generator cannot describe stops the configure run, saying why.
function(expect_failure label message idl)
  generate("${label}" I "${idl}\n${library}")
  if(result EQUAL 0)
    message(SEND_ERROR "${label}: the generator accepted\n${idl}")
    math(EXPR failures "${failures} + 1")
  else()
    expect_contains("${label}" "${error}" "${message}")
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()
expect_failure(unknown-type "no automation type for 'float'"
               "interface I : IUnknown { [id(1)] HRESULT F([in] float f); };")
expect_failure(no-id "F has no id" "interface I : IUnknown { [helpstring(\"f\")] HRESULT F(); };")
expect_failure(other-base "derives from IFoo" "interface I : IFoo { [id(1)] HRESULT F(); };")
expect_failure(no-members "has no members" "interface I : IUnknown { };")
expect_failure(absent "defines no interface I" "interface J : IUnknown { [id(1)] HRESULT F(); };")
expect_failure(bare-parameter "cannot read the parameter"
               "interface I : IUnknown { [id(1)] HRESULT F([in] long); };")
set(library "[uuid(E47FE2BC-A57B-11D2-BE8E-00C04F990001)] library L { };")
expect_failure(no-version "no library with a version"
               "interface I : IUnknown { [id(1)] HRESULT F(); };")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} expectation(s) failed")
endif()
