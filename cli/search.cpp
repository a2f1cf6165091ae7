// @brief Find's arguments and results in automation types.
#include "cli/search.h"

#include "cli/app_folder.h"
#include "winport/owners.h"

namespace zvv {
namespace {

constexpr VARTYPE kVariantVector = VT_ARRAY | VT_VARIANT;
constexpr LONG kRowFields = 3;

// The elements of a vector of VARIANTs, read in place.
HRESULT VectorBounds(SAFEARRAY* vector, LONG& lower, LONG& upper) {
  if (!vector || SafeArrayGetDim(vector) != 1) return E_UNEXPECTED;
  HRESULT hr = SafeArrayGetLBound(vector, 1, &lower);
  if (SUCCEEDED(hr)) hr = SafeArrayGetUBound(vector, 1, &upper);
  return hr;
}

std::string TextOf(const VARIANT& value) {
  if (V_VT(&value) != VT_BSTR || !V_BSTR(&value)) return {};
  return winport::OleToUtf8(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
}

HRESULT ReadRow(const VARIANT& element, const std::string& helpFolder, Hit& hit) {
  if (V_VT(&element) != kVariantVector) return E_UNEXPECTED;
  LONG lower = 0;
  LONG upper = -1;
  HRESULT hr = VectorBounds(V_ARRAY(&element), lower, upper);
  if (FAILED(hr)) return hr;
  if (upper - lower + 1 < kRowFields) return E_UNEXPECTED;
  winport::SafeArrayDataLock<VARIANT> fields(V_ARRAY(&element));
  if (FAILED(fields.Status())) return fields.Status();
  hit.m_score = TextOf(fields.Data()[0]);
  hit.m_key = TextOf(fields.Data()[1]);
  hit.m_title = TextOf(fields.Data()[2]);
  hit.m_path = PathInHelp(hit.m_key, helpFolder);
  return S_OK;
}

}  // namespace

HRESULT MakeFolderList(const std::vector<std::string>& dirs, VARIANT* list) {
  if (!list) return E_POINTER;
  winport::SafeArray vector =
      winport::SafeArray::Vector(VT_VARIANT, 0, static_cast<ULONG>(dirs.size()));
  if (!vector) return E_OUTOFMEMORY;
  for (LONG i = 0; i < static_cast<LONG>(dirs.size()); ++i) {
    winport::Variant folder(winport::Bstr::FromUtf8(dirs[i]));
    const HRESULT hr = SafeArrayPutElement(vector.Get(), &i, folder.Get());
    if (FAILED(hr)) return hr;
  }
  VariantInit(list);
  V_VT(list) = kVariantVector;
  V_ARRAY(list) = vector.Detach();
  return S_OK;
}

HRESULT ReadResults(const VARIANT& results, const std::string& helpFolder, std::vector<Hit>& hits) {
  hits.clear();
  if (V_VT(&results) == VT_EMPTY) return S_OK;
  if (V_VT(&results) != kVariantVector) return E_UNEXPECTED;
  LONG lower = 0;
  LONG upper = -1;
  HRESULT hr = VectorBounds(V_ARRAY(&results), lower, upper);
  if (FAILED(hr)) return hr;
  winport::SafeArrayDataLock<VARIANT> elements(V_ARRAY(&results));
  if (FAILED(elements.Status())) return elements.Status();
  for (LONG i = 0; i <= upper - lower; ++i) {
    const VARIANT& element = elements.Data()[i];
    if (V_VT(&element) == VT_EMPTY) continue;  // outside the requested folders
    Hit hit;
    hr = ReadRow(element, helpFolder, hit);
    if (FAILED(hr)) return hr;
    hits.push_back(std::move(hit));
  }
  return S_OK;
}

HRESULT Search(IViveviVadiro* component, const SearchRequest& request,
               const std::string& helpFolder, std::vector<Hit>& hits) {
  hits.clear();
  if (!component) return E_POINTER;
  winport::Bstr query = winport::Bstr::FromUtf8(request.m_query);
  if (query.IsNull()) return E_OUTOFMEMORY;
  winport::Variant folders;
  if (!request.m_dirs.empty()) {
    const HRESULT hr = MakeFolderList(request.m_dirs, folders.Put());
    if (FAILED(hr)) return hr;
  }
  winport::Variant results;
  const HRESULT hr = component->Find(query.Get(), request.m_dirs.empty() ? nullptr : folders.Get(),
                                     request.m_titleOnly ? 1 : 0, results.Put());
  if (FAILED(hr)) return hr;
  return ReadResults(*results.Get(), helpFolder, hits);
}

}  // namespace zvv
