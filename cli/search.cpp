// @brief Find's arguments and results in automation types.
#include "cli/search.h"

#include <algorithm>

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

std::size_t KeepInsideDirs(std::vector<Hit>& hits, const std::vector<std::string>& dirs) {
  if (dirs.empty()) return 0;
  const auto outside = [&dirs](const Hit& hit) {
    return std::none_of(dirs.begin(), dirs.end(), [&hit](const std::string& dir) {
      return hit.m_path.find(dir) != std::string::npos;
    });
  };
  const auto kept = std::remove_if(hits.begin(), hits.end(), outside);
  const auto removed = static_cast<std::size_t>(hits.end() - kept);
  hits.erase(kept, hits.end());
  return removed;
}

HRESULT Search(IViveviVadiro* component, const SearchRequest& request,
               const std::string& helpFolder, std::vector<Hit>& hits, std::size_t& hidden) {
  hits.clear();
  hidden = 0;
  if (!component) return E_POINTER;
  winport::Bstr query = winport::Bstr::FromUtf8(request.m_query);
  if (query.IsNull()) return E_OUTOFMEMORY;
  // Find's own folder list matches the full key, folders above Help
  // included, so the filter is applied here to the path the user sees.
  winport::Variant results;
  const HRESULT hr =
      component->Find(query.Get(), nullptr, request.m_titleOnly ? 1 : 0, results.Put());
  if (FAILED(hr)) return hr;
  const HRESULT read = ReadResults(*results.Get(), helpFolder, hits);
  if (FAILED(read)) return read;
  hidden = KeepInsideDirs(hits, request.m_dirs);
  return hr;  // S_FALSE: answered from an index that could not be brought up to date
}

}  // namespace zvv
