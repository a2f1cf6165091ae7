// @brief Program identifiers and registered type libraries, kept in the
// registry (HKEY_CLASSES_ROOT and friends), for POSIX builds.
//
// Included only through winport/win32.h. The registry lives in one text file
// in the .reg format: the path comes from ZVV_REGISTRY_FILE, else from the
// user's data folder ($XDG_DATA_HOME, else ~/.local/share, then
// "/zovivevivadiro/registry.reg"). Every change is a read-modify-write of the
// whole file under an exclusive lock on a lock file beside it, and the new
// file replaces the old one by a rename, so two processes never lose each
// other's keys and a reader never sees half a file. Names of keys and values
// compare without regard to case and keep the case they were created with.
#pragma once

#include "winport/api/base.h"
#include "winport/api/com.h"
#include "winport/api/dispatch.h"

// The kinds of value the registry file keeps.
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4

#ifndef ERROR_BADDB
#define ERROR_BADDB 1009L
#endif

// Not a system function: the path of the registry file, copied to lpBuffer as
// GetEnvironmentVariableA copies a value: the characters copied, without the
// terminating NUL, or, when nSize is too small, the size needed with it. So
// that a host can name the file when the registry cannot be read.
extern "C" DWORD WinportGetRegistryFileA(LPSTR lpBuffer, DWORD nSize);

// --- Program identifiers -------------------------------------------------------

// ProgID\CLSID of the program identifier; a version-independent identifier
// without its own CLSID key follows its CurVer. CO_E_CLASSSTRING when the
// identifier is not registered.
extern "C" HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);

// --- Registered type libraries -------------------------------------------------

typedef enum tagREGKIND { REGKIND_DEFAULT = 0, REGKIND_REGISTER, REGKIND_NONE } REGKIND;

// Loads the type library of a module (its "TYPELIB" resource 1) or of a file.
// On this platform a type library is kept as interface definition text, read
// for the library, its interfaces (with dispatch ids, parameters and method
// table order) and its classes. TYPE_E_CANTLOADLIBRARY when the path names
// neither a module with such a resource nor a readable definition.
extern "C" HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib);
// TypeLib\{libid}\<major>.<minor>\<lcid>\win32; a library registered for the
// language-neutral locale 0 serves every locale, and a higher minor version
// of the same major one serves a lower request. TYPE_E_LIBNOTREGISTERED when
// nothing fits.
extern "C" HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                                  ITypeLib** pptlib);
// Writes TypeLib\{libid}\<version> (the library's help string), its FLAGS,
// HELPDIR and <lcid>\win32 = szFullPath, and Interface\{iid} for each of its
// interfaces.
extern "C" HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir);
