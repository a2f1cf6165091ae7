// @brief The test host module's entries: the host application's class object,
// configured from the environment, and the module's own registration.
//
//   ZVV_TEST_INSTALL_DIR    the install folder the host names (a separator is
//                           added when it lacks one)
//   ZVV_TEST_DIALOG_LOG     when set, the thread that creates the host also
//                           has its dialogs answered and recorded in this file
//   ZVV_TEST_PROMPT_ANSWER  "no" answers the index prompt with No, else Yes
#include <new>
#include <string>

#include "cli/host_application.h"
#include "tests/wine/host/dialog_answerer.h"
#include "winport/owners.h"

namespace {

HINSTANCE g_hModule = nullptr;

std::wstring Environment(const wchar_t* sName) {
  const DWORD nSize = GetEnvironmentVariableW(sName, nullptr, 0);
  if (nSize == 0) return {};
  std::wstring sValue(nSize, L'\0');
  sValue.resize(GetEnvironmentVariableW(sName, sValue.data(), nSize));
  return sValue;
}

std::string Utf8(const std::wstring& sText) {
  return winport::OleToUtf8(sText.data(), sText.size());
}

zvv::HostSettings SettingsFromEnvironment() {
  zvv::HostSettings settings;
  settings.m_installDir = Utf8(Environment(L"ZVV_TEST_INSTALL_DIR"));
  if (!settings.m_installDir.empty() && settings.m_installDir.back() != '\\') {
    settings.m_installDir += '\\';
  }
  // The screen stands for the host window, so the progress dialog is centred
  // on it.
  settings.m_rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return settings;
}

std::wstring ClassKey() {
  wchar_t sClsid[40] = {};
  StringFromGUID2(CLSID_HostApplication, sClsid, 40);
  return std::wstring(L"CLSID\\") + sClsid;
}

HRESULT SetText(HKEY hKey, const wchar_t* sName, const std::wstring& sValue) {
  const size_t nBytes = (sValue.size() + 1) * sizeof(wchar_t);
  const LSTATUS status =
      RegSetValueExW(hKey, sName, 0, REG_SZ, reinterpret_cast<const BYTE*>(sValue.c_str()),
                     static_cast<DWORD>(nBytes));
  return HRESULT_FROM_WIN32(status);
}

}  // namespace

// The module's entries; TestHost.def exports them.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) g_hModule = hInstance;
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_HostApplication)) return CLASS_E_CLASSNOTAVAILABLE;
  const std::wstring sLog = Environment(L"ZVV_TEST_DIALOG_LOG");
  if (!sLog.empty()) {
    AnswerDialogsOnThisThread(sLog, Environment(L"ZVV_TEST_PROMPT_ANSWER") == L"no" ? IDNO : IDYES);
  }
  auto* pFactory = new (std::nothrow) zvv::TerminalHostFactory(SettingsFromEnvironment());
  if (!pFactory) return E_OUTOFMEMORY;
  const HRESULT hr = pFactory->QueryInterface(riid, ppv);
  pFactory->Release();
  return hr;
}

// A dialog hook may point into the module, so it stays loaded.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t sPath[MAX_PATH] = {};
  if (!GetModuleFileNameW(g_hModule, sPath, MAX_PATH)) return HRESULT_FROM_WIN32(GetLastError());
  HKEY hKey = nullptr;
  const std::wstring sKey = ClassKey() + L"\\InprocServer32";
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, sKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                   nullptr, &hKey, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  HRESULT hr = SetText(hKey, nullptr, sPath);
  if (SUCCEEDED(hr)) hr = SetText(hKey, L"ThreadingModel", L"Apartment");
  RegCloseKey(hKey);
  return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
  return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}
