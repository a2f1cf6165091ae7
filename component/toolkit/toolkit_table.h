// @brief The table of the search toolkit's thirteen operations, and the one
// that reads a session's last failure.
//
// The component never calls the engine's exports directly: every call goes
// through this table, filled from the engine library the first time it is
// needed, so that tests can put a fake toolkit in its place. When the engine
// cannot be loaded, every entry answers TK_E_INTERNAL and the component's
// requests fail like any other toolkit failure.
#pragma once

#include "dizode/dizode.h"

struct ToolkitTable {
  decltype(&::TkOpenSession) TkOpenSession;
  decltype(&::TkCloseSession) TkCloseSession;
  decltype(&::TkOpenCollection) TkOpenCollection;
  decltype(&::TkCloseCollection) TkCloseCollection;
  decltype(&::TkQueryCollection) TkQueryCollection;
  decltype(&::TkFreeCollectionReply) TkFreeCollectionReply;
  decltype(&::TkSubmit) TkSubmit;
  decltype(&::TkSearch) TkSearch;
  decltype(&::TkFreeSearch) TkFreeSearch;
  decltype(&::TkGetSearchInfo) TkGetSearchInfo;
  decltype(&::TkFreeSearchInfo) TkFreeSearchInfo;
  decltype(&::TkReadDocBatch) TkReadDocBatch;
  decltype(&::TkFreeDocBatch) TkFreeDocBatch;
  // Only words a failure: an engine without it leaves the status alone.
  decltype(&::TkGetLastError) TkGetLastError;
};

// The table in use; loads the engine on first use.
const ToolkitTable& Toolkit();

// Puts another table in place (a fake toolkit in tests) and returns the one it
// replaces. Not synchronised: call it while no component is working.
ToolkitTable ReplaceToolkit(const ToolkitTable& table);
