// @brief The registry (HKEY_CLASSES_ROOT and friends), program identifiers and
// registered type libraries, for POSIX builds.
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

typedef DWORD REGSAM;
typedef LONG LSTATUS;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4

#define REG_OPTION_NON_VOLATILE 0x0
#define REG_CREATED_NEW_KEY 0x1
#define REG_OPENED_EXISTING_KEY 0x2

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#ifndef ERROR_BADDB
#define ERROR_BADDB 1009L
#endif
#ifndef ERROR_KEY_DELETED
#define ERROR_KEY_DELETED 1018L
#endif
#ifndef ERROR_NO_MORE_ITEMS
#define ERROR_NO_MORE_ITEMS 259L
#endif

// Every function returns a Windows error code (ERROR_SUCCESS on success) and
// does not touch GetLastError. Access masks are accepted and not enforced.
// Divergences: only REG_OPTION_NON_VOLATILE keys exist (everything is kept),
// key classes and security descriptors are ignored, and a key handle names a
// path, so a key deleted and created again under the same name is the same
// key to a handle opened before.
LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                        REGSAM samDesired, const LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                        PHKEY phkResult, LPDWORD lpdwDisposition);
LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                      PHKEY phkResult);
LSTATUS RegCloseKey(HKEY hKey);
// REG_SZ data should include its terminator; one is added when it is missing.
LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                       const BYTE* lpData, DWORD cbData);
// With lpData null only the size is reported. ERROR_MORE_DATA with the needed
// size in *lpcbData when the buffer is too small.
LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData);
// Subkeys in ascending order of their names, case ignored. ERROR_NO_MORE_ITEMS
// past the last one; ERROR_MORE_DATA when the name does not fit.
LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                      LPSTR lpClass, LPDWORD lpcchClass, LPFILETIME lpftLastWriteTime);
// A key that still has subkeys is not deleted (ERROR_ACCESS_DENIED).
LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);

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
