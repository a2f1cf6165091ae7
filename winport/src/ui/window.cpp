// @brief The process-wide handle table of windows.
#include "winport/src/ui/window.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "winport/api/errors.h"

namespace winport::ui {
namespace {

struct Table {
  std::mutex m_mutex;
  std::unordered_map<uintptr_t, Window> m_windows;
  // Handles start high and step by 16 so that they never look like the
  // HWND_TOP/BOTTOM/TOPMOST/NOTOPMOST markers or a small integer.
  uintptr_t m_next = 0x10000;
};

Table& WindowTable() {
  static auto* table = new Table();  // windows may outlive static destruction
  return *table;
}

uintptr_t Key(HWND handle) { return reinterpret_cast<uintptr_t>(handle); }

void RemoveLocked(Table& table, HWND handle) {
  auto found = table.m_windows.find(Key(handle));
  if (found == table.m_windows.end()) return;
  std::vector<HWND> children = std::move(found->second.m_children);
  auto parent = table.m_windows.find(Key(found->second.m_parent));
  if (parent != table.m_windows.end()) std::erase(parent->second.m_children, handle);
  table.m_windows.erase(found);
  for (HWND child : children) RemoveLocked(table, child);
}

}  // namespace

HWND AddWindow(Window window) {
  Table& table = WindowTable();
  std::lock_guard lock(table.m_mutex);
  HWND handle = reinterpret_cast<HWND>(table.m_next);
  table.m_next += 16;
  window.m_handle = handle;
  if (window.m_parent != nullptr && window.m_kind != WindowKind::kDialog) {
    auto parent = table.m_windows.find(Key(window.m_parent));
    if (parent != table.m_windows.end()) parent->second.m_children.push_back(handle);
  }
  table.m_windows.emplace(Key(handle), std::move(window));
  return handle;
}

void RemoveWindow(HWND handle) {
  Table& table = WindowTable();
  std::lock_guard lock(table.m_mutex);
  RemoveLocked(table, handle);
}

bool WithWindowImpl(HWND handle, void (*thunk)(Window&, void*), void* access) {
  Table& table = WindowTable();
  {
    std::lock_guard lock(table.m_mutex);
    auto found = handle != nullptr ? table.m_windows.find(Key(handle)) : table.m_windows.end();
    if (found != table.m_windows.end()) {
      thunk(found->second, access);
      return true;
    }
  }
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return false;
}

std::size_t WindowCount() {
  Table& table = WindowTable();
  std::lock_guard lock(table.m_mutex);
  return table.m_windows.size();
}

}  // namespace winport::ui
