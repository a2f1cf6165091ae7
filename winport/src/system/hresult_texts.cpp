// @brief The names and texts of the HRESULTs that winport and its callers return.
#include "winport/api/errors.h"
#include "winport/api/registry.h"

namespace {

constexpr WinportHresultText kHresults[] = {
    {S_OK, "S_OK", "the operation succeeded"},
    {S_FALSE, "S_FALSE", "the operation succeeded and answered no"},
    {E_NOTIMPL, "E_NOTIMPL", "the operation is not provided"},
    {E_NOINTERFACE, "E_NOINTERFACE", "the object does not offer the interface asked for"},
    {E_POINTER, "E_POINTER", "a required pointer was missing"},
    {E_ABORT, "E_ABORT", "the operation was aborted"},
    {E_FAIL, "E_FAIL", "unspecified failure"},
    {E_UNEXPECTED, "E_UNEXPECTED", "unexpected failure"},
    {E_ACCESSDENIED, "E_ACCESSDENIED", "access denied"},
    {E_HANDLE, "E_HANDLE", "the handle is not valid"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY", "out of memory"},
    {E_INVALIDARG, "E_INVALIDARG", "an argument was refused"},
    {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION", "the component cannot be aggregated"},
    {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE",
     "the module does not provide the component"},
    {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG", "the component is not registered"},
    {REGDB_E_READREGDB, "REGDB_E_READREGDB", "the registry could not be read"},
    {REGDB_E_WRITEREGDB, "REGDB_E_WRITEREGDB", "the registry could not be written"},
    {HRESULT_FROM_WIN32(ERROR_BADDB), "ERROR_BADDB", "the registry file is damaged"},
    {CO_E_NOTINITIALIZED, "CO_E_NOTINITIALIZED", "the component runtime is not initialized"},
    {CO_E_CLASSSTRING, "CO_E_CLASSSTRING", "the class name or identifier is not valid"},
    {CO_E_DLLNOTFOUND, "CO_E_DLLNOTFOUND", "the component module was not found"},
    {CO_E_ERRORINDLL, "CO_E_ERRORINDLL", "the component module could not be loaded"},
    {RPC_E_CHANGED_MODE, "RPC_E_CHANGED_MODE",
     "the thread's apartment was already set up differently"},
    {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND", "the member was not found"},
    {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND", "a named argument was not found"},
    {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH", "a value has the wrong type"},
    {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME", "the name is unknown"},
    {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS", "named arguments are not accepted"},
    {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE", "the variant type is not valid"},
    {DISP_E_EXCEPTION, "DISP_E_EXCEPTION", "the member raised an exception"},
    {DISP_E_OVERFLOW, "DISP_E_OVERFLOW", "a value does not fit its type"},
    {DISP_E_BADINDEX, "DISP_E_BADINDEX", "the index is out of range"},
    {DISP_E_ARRAYISLOCKED, "DISP_E_ARRAYISLOCKED", "the array is locked"},
    {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT", "the number of arguments is wrong"},
    {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL", "a required argument is missing"},
    {TYPE_E_ELEMENTNOTFOUND, "TYPE_E_ELEMENTNOTFOUND", "the type library has no such element"},
    {TYPE_E_LIBNOTREGISTERED, "TYPE_E_LIBNOTREGISTERED", "the type library is not registered"},
    {TYPE_E_CANTLOADLIBRARY, "TYPE_E_CANTLOADLIBRARY", "the type library could not be loaded"},
};

}  // namespace

const WinportHresultText* WinportFindHresult(HRESULT hr) {
  for (const WinportHresultText& entry : kHresults) {
    if (entry.code == hr) return &entry;
  }
  return nullptr;
}
