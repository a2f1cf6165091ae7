// @brief Current folder, folder listings, folders and file attributes.
//
// Paths are the platform's own: "/" separates components on POSIX.
#pragma once

#include "winport/api/base.h"

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

BOOL SetCurrentDirectoryA(LPCSTR lpPathName);
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// Not a system function: FindFirstFileA whose entries carry only what the
// folder listing itself tells, their name and whether each is a folder
// (dwFileAttributes FILE_ATTRIBUTE_DIRECTORY, else FILE_ATTRIBUTE_NORMAL);
// sizes and times are zero. An entry's status is read only when the listing
// cannot tell: a link, followed as FindFirstFileA follows it, or a file system
// that gives no types. Listing a folder of many pages thus costs no status
// read per page; the price is that an entry deleted after the search started
// may still be found. FindNextFileA continues the search, FindClose ends it.
// The system's own search reads all details with the listing at no extra cost.
HANDLE WinportFindFirstFileNamesA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);

BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
