// @brief RegCreateKeyExA and the other key and value functions over the
// registry file.
//
// A key handle holds the path of its key from the root (the root's full name
// first). Each call reads the file (and, to change it, writes it back under
// the writers' lock), so a handle sees what other processes did meanwhile; a
// key deleted under an open handle gives ERROR_KEY_DELETED.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "winport/src/registry/registry_file.h"
#include "winport/win32.h"

namespace {

using winport::registry::ChangeRegistry;
using winport::registry::Key;
using winport::registry::ReadRegistry;
using winport::registry::Value;
using Path = std::vector<std::string>;

struct OpenKey {
  Path m_path;
};

struct Handles {
  std::mutex m_lock;
  std::unordered_set<OpenKey*> m_live;
};

Handles& LiveHandles() {
  static Handles* handles = new Handles;  // keys may be closed from static destructors
  return *handles;
}

// The path of hKey followed by the names of subKey.
LONG ResolvePath(HKEY hKey, LPCSTR subKey, Path* path) {
  if (const char* root = winport::registry::RootName(hKey)) {
    *path = {root};
  } else {
    Handles& handles = LiveHandles();
    std::lock_guard<std::mutex> hold(handles.m_lock);
    auto* key = reinterpret_cast<OpenKey*>(hKey);
    if (!handles.m_live.count(key)) {
      return ERROR_INVALID_HANDLE;
    }
    *path = key->m_path;
  }
  Path names;
  if (!winport::registry::SplitPath(subKey ? subKey : "", &names)) {
    return ERROR_BAD_PATHNAME;
  }
  path->insert(path->end(), names.begin(), names.end());
  return ERROR_SUCCESS;
}

// The key at path, or null; root keys always exist.
Key* FindKey(Key& top, const Path& path) {
  Key* key = top.Find(path[0]);
  if (!key) {
    return path.size() == 1 ? &top.Ensure(path[0]) : nullptr;
  }
  return winport::registry::Walk(*key, Path(path.begin() + 1, path.end()));
}

LONG ReadKey(HKEY hKey, LPCSTR subKey, LONG missing, const std::function<LONG(const Key&)>& read) {
  Path path;
  LONG error = ResolvePath(hKey, subKey, &path);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  return ReadRegistry([&](const Key& top) {
    Key copy;  // roots that the file does not hold yet are empty
    const Key* key = top.Find(path[0]);
    if (!key) {
      key = path.size() == 1 ? &copy : nullptr;
    }
    if (key) {
      key = winport::registry::Walk(*key, Path(path.begin() + 1, path.end()));
    }
    return key ? read(*key) : missing;
  });
}

LONG ChangeKey(HKEY hKey, const std::function<LONG(Key&, bool*)>& change) {
  Path path;
  LONG error = ResolvePath(hKey, nullptr, &path);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  return ChangeRegistry([&](Key& top, bool* modified) {
    Key* key = FindKey(top, path);
    return key ? change(*key, modified) : ERROR_KEY_DELETED;
  });
}

LONG NewHandle(Path path, PHKEY phkResult) {
  auto* key = new (std::nothrow) OpenKey{std::move(path)};
  if (!key) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  Handles& handles = LiveHandles();
  std::lock_guard<std::mutex> hold(handles.m_lock);
  handles.m_live.insert(key);
  *phkResult = reinterpret_cast<HKEY>(key);
  return ERROR_SUCCESS;
}

const char* ValueName(LPCSTR name) { return name ? name : ""; }

}  // namespace

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                        REGSAM samDesired, const LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                        PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult) {
    return ERROR_INVALID_PARAMETER;
  }
  *phkResult = nullptr;
  Path base;
  Path path;
  LONG error = ResolvePath(hKey, nullptr, &base);
  if (error == ERROR_SUCCESS) {
    error = ResolvePath(hKey, lpSubKey, &path);
  }
  if (error != ERROR_SUCCESS) {
    return error;
  }
  bool created = false;
  error = ChangeRegistry([&](Key& top, bool* modified) {
    Key* key = FindKey(top, base);
    if (!key) {
      return ERROR_KEY_DELETED;
    }
    for (size_t i = base.size(); i < path.size(); ++i) {
      bool made = false;
      key = &key->Ensure(path[i], &made);
      created = created || made;
    }
    *modified = created;
    return ERROR_SUCCESS;
  });
  if (error != ERROR_SUCCESS) {
    return error;
  }
  if (lpdwDisposition) {
    *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  }
  return NewHandle(std::move(path), phkResult);
}

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                      PHKEY phkResult) {
  if (!phkResult) {
    return ERROR_INVALID_PARAMETER;
  }
  *phkResult = nullptr;
  Path path;
  LONG error = ResolvePath(hKey, lpSubKey, &path);
  if (error == ERROR_SUCCESS) {
    error = ReadKey(hKey, lpSubKey, ERROR_FILE_NOT_FOUND, [](const Key&) { return ERROR_SUCCESS; });
  }
  if (error != ERROR_SUCCESS) {
    return error;
  }
  return NewHandle(std::move(path), phkResult);
}

LSTATUS RegCloseKey(HKEY hKey) {
  if (winport::registry::RootName(hKey)) {
    return ERROR_SUCCESS;
  }
  auto* key = reinterpret_cast<OpenKey*>(hKey);
  {
    Handles& handles = LiveHandles();
    std::lock_guard<std::mutex> hold(handles.m_lock);
    if (handles.m_live.erase(key) == 0) {
      return ERROR_INVALID_HANDLE;
    }
  }
  delete key;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                       const BYTE* lpData, DWORD cbData) {
  if (!lpData && cbData != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  if (dwType == REG_DWORD && cbData != sizeof(DWORD)) {
    return ERROR_INVALID_PARAMETER;
  }
  Value value;
  value.m_type = dwType;
  if (cbData) {
    value.m_data.assign(lpData, lpData + cbData);
  }
  if ((dwType == REG_SZ || dwType == REG_EXPAND_SZ) &&
      (value.m_data.empty() || value.m_data.back() != 0)) {
    value.m_data.push_back(0);
  }
  const std::string name = ValueName(lpValueName);
  return ChangeKey(hKey, [&](Key& key, bool* modified) {
    key.m_values[name] = value;
    *modified = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData) {
  if (lpData && !lpcbData) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::string name = ValueName(lpValueName);
  return ReadKey(hKey, nullptr, ERROR_KEY_DELETED, [&](const Key& key) -> LONG {
    auto it = key.m_values.find(name);
    if (it == key.m_values.end()) {
      return ERROR_FILE_NOT_FOUND;
    }
    const Value& value = it->second;
    const DWORD size = static_cast<DWORD>(value.m_data.size());
    if (lpType) {
      *lpType = value.m_type;
    }
    if (!lpcbData) {
      return ERROR_SUCCESS;
    }
    const DWORD room = *lpcbData;
    *lpcbData = size;
    if (!lpData) {
      return ERROR_SUCCESS;
    }
    if (room < size) {
      return ERROR_MORE_DATA;
    }
    std::copy(value.m_data.begin(), value.m_data.end(), lpData);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                      LPSTR lpClass, LPDWORD lpcchClass, LPFILETIME lpftLastWriteTime) {
  if (!lpName || !lpcchName) {
    return ERROR_INVALID_PARAMETER;
  }
  return ReadKey(hKey, nullptr, ERROR_KEY_DELETED, [&](const Key& key) -> LONG {
    if (dwIndex >= key.m_subkeys.size()) {
      return ERROR_NO_MORE_ITEMS;
    }
    const std::string& name = std::next(key.m_subkeys.begin(), dwIndex)->first;
    if (name.size() >= *lpcchName) {
      return ERROR_MORE_DATA;
    }
    std::memcpy(lpName, name.c_str(), name.size() + 1);
    *lpcchName = static_cast<DWORD>(name.size());
    if (lpClass && lpcchClass && *lpcchClass > 0) {
      *lpClass = '\0';
    }
    if (lpcchClass) {
      *lpcchClass = 0;
    }
    if (lpftLastWriteTime) {
      *lpftLastWriteTime = FILETIME{0, 0};
    }
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  if (!lpSubKey || !*lpSubKey) {
    return ERROR_INVALID_PARAMETER;
  }
  Path path;
  LONG error = ResolvePath(hKey, lpSubKey, &path);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  return ChangeRegistry([&](Key& top, bool* modified) -> LONG {
    Key* parent = FindKey(top, Path(path.begin(), path.end() - 1));
    Key* key = parent ? parent->Find(path.back()) : nullptr;
    if (!key) {
      return ERROR_FILE_NOT_FOUND;
    }
    if (!key->m_subkeys.empty()) {
      return ERROR_ACCESS_DENIED;
    }
    parent->Remove(path.back());
    *modified = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  const std::string name = ValueName(lpValueName);
  return ChangeKey(hKey, [&](Key& key, bool* modified) -> LONG {
    if (key.m_values.erase(name) == 0) {
      return ERROR_FILE_NOT_FOUND;
    }
    *modified = true;
    return ERROR_SUCCESS;
  });
}
