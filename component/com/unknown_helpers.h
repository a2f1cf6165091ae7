// @brief The QueryInterface and reference-count plumbing shared by the
// component object and its class object.
#pragma once

#include <initializer_list>

#include "winport/win32.h"

// Answers riid with pSelf when riid is one of ids (IUnknown is always
// answered): E_POINTER for a null ppv, E_NOINTERFACE otherwise, *ppv cleared
// on failure and AddRef'd on success.
HRESULT AnswerQueryInterface(IUnknown* pSelf, REFIID riid, void** ppv,
                             std::initializer_list<const IID*> ids);

// The module lock count: live component objects plus server locks plus held
// class objects. Interlocked, since any thread may load or lock.
void LockModule();
void UnlockModule();
LONG ModuleLockCount();
