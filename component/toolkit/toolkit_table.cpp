// @brief Loading the engine's operations into the toolkit table.
#include "component/toolkit/toolkit_table.h"

#include <mutex>

#include "component/toolkit/engine_library.h"

namespace {

// Stand-ins while no engine is loaded: every request fails, releases do nothing.
template <typename... Args>
int32_t Unavailable(Args...) {
  return TK_E_INTERNAL;
}

ToolkitTable UnavailableTable() {
  return ToolkitTable{Unavailable, Unavailable, Unavailable, Unavailable, Unavailable,
                      Unavailable, Unavailable, Unavailable, Unavailable, Unavailable,
                      Unavailable, Unavailable, Unavailable, Unavailable};
}

template <typename Fn>
void Fill(Fn& slot, const EngineLibrary& engine, const char* name, int ordinal) {
  if (auto proc = engine.Find(name, ordinal)) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
  }
}

ToolkitTable LoadTable() {
  ToolkitTable table = UnavailableTable();
  EngineLibrary engine;
  if (!engine.Load()) {
    return table;
  }
  Fill(table.TkOpenSession, engine, "TkOpenSession", 10);
  Fill(table.TkCloseSession, engine, "TkCloseSession", 12);
  Fill(table.TkOpenCollection, engine, "TkOpenCollection", 20);
  Fill(table.TkCloseCollection, engine, "TkCloseCollection", 21);
  Fill(table.TkQueryCollection, engine, "TkQueryCollection", 22);
  Fill(table.TkFreeCollectionReply, engine, "TkFreeCollectionReply", 23);
  Fill(table.TkSubmit, engine, "TkSubmit", 25);
  Fill(table.TkSearch, engine, "TkSearch", 30);
  Fill(table.TkFreeSearch, engine, "TkFreeSearch", 31);
  Fill(table.TkGetSearchInfo, engine, "TkGetSearchInfo", 32);
  Fill(table.TkFreeSearchInfo, engine, "TkFreeSearchInfo", 33);
  Fill(table.TkReadDocBatch, engine, "TkReadDocBatch", 52);
  Fill(table.TkFreeDocBatch, engine, "TkFreeDocBatch", 53);
  Fill(table.TkGetLastError, engine, "TkGetLastError", 62);
  return table;
}

std::once_flag g_loadOnce;
ToolkitTable g_table = UnavailableTable();

}  // namespace

const ToolkitTable& Toolkit() {
  std::call_once(g_loadOnce, [] { g_table = LoadTable(); });
  return g_table;
}

ToolkitTable ReplaceToolkit(const ToolkitTable& table) {
  Toolkit();  // so that putting the previous table back restores the engine
  ToolkitTable previous = g_table;
  g_table = table;
  return previous;
}
