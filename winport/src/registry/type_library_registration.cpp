// @brief LoadTypeLib, LoadRegTypeLib and RegisterTypeLib over interface
// definitions and the registry file.
#include <cstdio>
#include <string>
#include <vector>

#include "winport/owners.h"
#include "winport/src/registry/registry_file.h"
#include "winport/src/registry/registry_objects.h"
#include "winport/src/registry/type_library.h"

namespace {

using winport::registry::Key;

// Interfaces that automation can reach are marshalled by the standard
// automation marshaller.
constexpr char kAutomationProxy[] = "{00020424-0000-0000-C000-000000000046}";

std::string Narrow(LPCOLESTR text) {
  size_t length = 0;
  while (text[length]) {
    ++length;
  }
  return winport::OleToUtf8(text, length);
}

std::string Hex(unsigned long n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%lx", n);
  return buffer;
}

std::string VersionText(WORD major, WORD minor) { return Hex(major) + "." + Hex(minor); }

// The definition text of a module's "TYPELIB" resource 1, or of a file.
bool ReadDefinition(const std::string& path, std::string* text) {
  if (winport::registry::ReadWholeFile(path, text) != ERROR_SUCCESS) {
    return false;
  }
  if (text->compare(0, 4,
                    "\x7f"
                    "ELF") != 0) {
    return true;
  }
  // A module: the definition is its resource. The executable and modules
  // already loaded are found by name; others are loaded for the read.
  char self[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  HMODULE loaded = nullptr;
  HMODULE module = n > 0 && path == std::string(self, n) ? GetModuleHandleA(nullptr)
                                                         : GetModuleHandleA(path.c_str());
  if (!module) {
    module = loaded = LoadLibraryA(path.c_str());
  }
  bool found = false;
  if (HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(1), "TYPELIB") : nullptr) {
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    found = data != nullptr;
    if (found) {
      text->assign(data, SizeofResource(module, resource));
    }
  }
  if (loaded) {
    FreeLibrary(loaded);
  }
  return found;
}

// The registered path for the library, trying the locale, its primary
// language and the neutral locale, with the requested version or a higher
// minor one of the same major version.
bool FindRegisteredPath(const Key& top, REFGUID libid, WORD major, WORD minor, LCID lcid,
                        std::string* path) {
  const Key* library = winport::registry::Lookup(
      top, "HKEY_CLASSES_ROOT\\TypeLib\\" + winport::registry::GuidText(libid));
  if (!library) {
    return false;
  }
  const Key* version = library->Find(VersionText(major, minor));
  if (!version) {
    long bestMinor = -1;
    for (const auto& [name, key] : library->m_subkeys) {
      unsigned keyMajor = 0, keyMinor = 0;
      if (std::sscanf(name.c_str(), "%x.%x", &keyMajor, &keyMinor) == 2 && keyMajor == major &&
          keyMinor >= minor && static_cast<long>(keyMinor) > bestMinor) {
        bestMinor = keyMinor;
        version = key.get();
      }
    }
  }
  if (!version) {
    return false;
  }
  for (const LCID candidate : {lcid, lcid & 0x3ffu, LCID{0}}) {
    const Key* locale = version->Find(Hex(candidate));
    const Key* platform = locale ? locale->Find("win32") : nullptr;
    if (!platform) {
      continue;
    }
    auto value = platform->m_values.find("");
    if (value != platform->m_values.end()) {
      *path = winport::registry::ValueText(value->second);
      return true;
    }
  }
  return false;
}

struct InterfaceEntry {
  std::string m_iid;
  std::string m_name;
};

// The interfaces of the library that automation reaches.
HRESULT AutomationInterfaces(ITypeLib* library, std::vector<InterfaceEntry>* entries) {
  const UINT count = library->GetTypeInfoCount();
  for (UINT i = 0; i < count; ++i) {
    TYPEKIND kind;
    if (FAILED(library->GetTypeInfoType(i, &kind)) ||
        (kind != TKIND_INTERFACE && kind != TKIND_DISPATCH)) {
      continue;
    }
    winport::ComPtr<ITypeInfo> info;
    HRESULT hr = library->GetTypeInfo(i, info.Put());
    TYPEATTR* attr = nullptr;
    if (SUCCEEDED(hr)) {
      hr = info->GetTypeAttr(&attr);
    }
    if (FAILED(hr)) {
      return hr;
    }
    const bool automation =
        kind == TKIND_DISPATCH || (attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION));
    const GUID iid = attr->guid;
    info->ReleaseTypeAttr(attr);
    if (!automation) {
      continue;
    }
    winport::Bstr name;
    hr = library->GetDocumentation(static_cast<INT>(i), name.Put(), nullptr, nullptr, nullptr);
    if (FAILED(hr)) {
      return hr;
    }
    entries->push_back({winport::registry::GuidText(iid), name.ToUtf8()});
  }
  return S_OK;
}

void SetText(Key& key, const std::string& name, const std::string& text) {
  key.m_values[name] = winport::registry::TextValue(text);
}

}  // namespace

extern "C" HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib) {
  if (!szFile || !pptlib) {
    return E_INVALIDARG;
  }
  *pptlib = nullptr;
  std::string text;
  winport::registry::IdlLibrary library;
  std::string error;
  if (!ReadDefinition(Narrow(szFile), &text) ||
      !winport::registry::ReadIdl(text, &library, &error)) {
    return TYPE_E_CANTLOADLIBRARY;
  }
  return winport::registry::CreateTypeLibrary(library, pptlib);
}

extern "C" HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid,
                                  ITypeLib** pptlib) {
  if (!pptlib) {
    return E_INVALIDARG;
  }
  *pptlib = nullptr;
  std::string path;
  const LONG status = winport::registry::ReadRegistry([&](const Key& top) -> LONG {
    return FindRegisteredPath(top, rguid, wVerMajor, wVerMinor, lcid, &path) ? ERROR_SUCCESS
                                                                             : ERROR_FILE_NOT_FOUND;
  });
  if (status != ERROR_SUCCESS) {
    return TYPE_E_LIBNOTREGISTERED;
  }
  const std::basic_string<OLECHAR> widePath = winport::Utf8ToOle(path);
  return LoadTypeLib(widePath.c_str(), pptlib);
}

extern "C" HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir) {
  if (!ptlib || !szFullPath) {
    return E_INVALIDARG;
  }
  TLIBATTR* attr = nullptr;
  HRESULT hr = ptlib->GetLibAttr(&attr);
  if (FAILED(hr)) {
    return hr;
  }
  const TLIBATTR libraryAttr = *attr;
  ptlib->ReleaseTLibAttr(attr);
  winport::Bstr help;
  hr = ptlib->GetDocumentation(-1, nullptr, help.Put(), nullptr, nullptr);
  std::vector<InterfaceEntry> interfaces;
  if (SUCCEEDED(hr)) {
    hr = AutomationInterfaces(ptlib, &interfaces);
  }
  if (FAILED(hr)) {
    return hr;
  }
  const std::string libid = winport::registry::GuidText(libraryAttr.guid);
  const std::string version = VersionText(libraryAttr.wMajorVerNum, libraryAttr.wMinorVerNum);
  const std::string path = Narrow(szFullPath);
  const std::string helpDir = szHelpDir ? Narrow(szHelpDir) : std::string();
  const LONG status = winport::registry::ChangeRegistry([&](Key& top, bool* modified) {
    Key& classes = top.Ensure("HKEY_CLASSES_ROOT");
    Key& versionKey = classes.Ensure("TypeLib").Ensure(libid).Ensure(version);
    SetText(versionKey, "", help.ToUtf8());
    SetText(versionKey.Ensure("FLAGS"), "", Hex(libraryAttr.wLibFlags));
    SetText(versionKey.Ensure("HELPDIR"), "", helpDir);
    SetText(versionKey.Ensure(Hex(libraryAttr.lcid)).Ensure("win32"), "", path);
    for (const InterfaceEntry& entry : interfaces) {
      Key& key = classes.Ensure("Interface").Ensure(entry.m_iid);
      SetText(key, "", entry.m_name);
      SetText(key.Ensure("ProxyStubClsid"), "", kAutomationProxy);
      SetText(key.Ensure("ProxyStubClsid32"), "", kAutomationProxy);
      Key& typeLib = key.Ensure("TypeLib");
      SetText(typeLib, "", libid);
      SetText(typeLib, "Version", version);
    }
    *modified = true;
    return ERROR_SUCCESS;
  });
  return status == ERROR_SUCCESS ? S_OK : TYPE_E_REGISTRYACCESS;
}
