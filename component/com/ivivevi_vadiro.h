// @brief The automation interface IViveviVadiro: its method table, the
// identifiers of interface, class and library, the dispatch ids of the
// members and the type library's version.
//
// All of it is compiled from the interface definition ZoViveviVadiro.idl,
// which also documents the members; the build writes the headers included
// here.
#pragma once

#include "winport/win32.h"

#ifndef _WIN32
// winport/win32.h has already declared what the IDL compiler's header would
// take from the system headers.
#define COM_NO_WINDOWS_H
#endif
#include "ZoViveviVadiro.h"
#include "ZoViveviVadiro_dispids.h"
