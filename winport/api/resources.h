// @brief A module's resources (string table, dialog templates, custom data)
// for POSIX builds.
//
// Included only through winport/win32.h. A module's resources come from its
// resource script, which the build compiles into a resource file embedded in
// the module and registered with winport when the module is loaded (see
// winport/module_resources.h).
// An HINSTANCE or HMODULE names whose resources are meant; it is the module
// handle of winport/api/module.h, so the handle a module finds for itself and
// the one LoadLibraryA returns name the same resources. A null handle names
// the program itself.
#pragma once

#include "winport/api/base.h"

struct HRSRC__;
typedef HRSRC__* HRSRC;

// Resource names and types are either texts or 16-bit integers disguised as
// pointers, as on Windows.
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA

#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_VERSION MAKEINTRESOURCEA(16)

#ifndef ERROR_RESOURCE_TYPE_NOT_FOUND
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#endif
#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

// Copies string uID of the module's string table into lpBuffer, truncated to
// cchBufferMax - 1 characters and always terminated; returns the number of
// characters copied, not counting the terminator. A missing entry returns 0
// and leaves an empty text (ERROR_RESOURCE_NAME_NOT_FOUND). A null buffer or a
// size below 1 returns 0 (ERROR_INVALID_PARAMETER) and writes nothing.
int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

// Any resource of the script, string table blocks and dialog templates
// included: the data stays in the module's image and is valid while the
// module is loaded. FindResourceA fails with
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
