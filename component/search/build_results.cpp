// @brief Filtering hits by folder and building the result rows.
#include "component/search/build_results.h"

#include <string>
#include <vector>

#include "component/search/text_conversion.h"
#include "winport/owners.h"

namespace {

// Reads the folder texts of the list, from its lower to its upper bound.
HRESULT ReadFolders(VARIANT* pSearchDirs, std::vector<std::string>& folders) {
  if (V_VT(pSearchDirs) != (VT_ARRAY | VT_VARIANT)) {
    return E_INVALIDARG;
  }
  SAFEARRAY* psa = V_ARRAY(pSearchDirs);
  if (!psa || SafeArrayGetDim(psa) != 1) {
    return E_INVALIDARG;
  }
  LONG upper = 0;
  LONG lower = 0;
  HRESULT hr = SafeArrayGetUBound(psa, 1, &upper);
  if (FAILED(hr)) {
    return hr;
  }
  hr = SafeArrayGetLBound(psa, 1, &lower);
  if (FAILED(hr)) {
    return hr;
  }
  for (LONG index = lower; index <= upper; ++index) {
    winport::Variant folder;
    hr = SafeArrayGetElement(psa, &index, folder.Put());
    if (FAILED(hr)) {
      return hr;
    }
    if (V_VT(folder.Get()) != VT_BSTR) {
      return E_FAIL;
    }
    folders.push_back(WideToNarrow(V_BSTR(folder.Get())));
    if (index == upper) {
      break;  // an upper bound of LONG_MAX must not wrap
    }
  }
  return S_OK;
}

bool PassesFilter(const std::string& sKey, const std::vector<std::string>& folders) {
  for (const std::string& sFolder : folders) {
    if (sKey.find(sFolder) != std::string::npos) {
      return true;
    }
  }
  return false;
}

// Stores the row of three texts at element nIndex of psaResults.
HRESULT StoreRow(SAFEARRAY* psaResults, LONG nIndex, const char* const texts[3]) {
  winport::SafeArray row = winport::SafeArray::Vector(VT_VARIANT, 0, 3);
  if (!row) {
    return E_OUTOFMEMORY;
  }
  for (LONG column = 0; column < 3; ++column) {
    const WideString sWide = NarrowToWide(texts[column]);
    winport::Variant cell(winport::Bstr(sWide.c_str(), static_cast<UINT>(sWide.size())));
    HRESULT hr = SafeArrayPutElement(row.Get(), &column, cell.Get());
    if (FAILED(hr)) {
      return hr;
    }
  }
  winport::Variant element;
  V_VT(element.Get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(element.Get()) = row.Detach();
  return SafeArrayPutElement(psaResults, &nIndex, element.Get());
}

}  // namespace

HRESULT BuildResults(VARIANT* pSearchDirs, SAFEARRAY* psaResults, const TkDocBatch* pBatch) {
  if (!pBatch || !pBatch->texts || pBatch->documentCount <= 0) {
    return S_OK;
  }
  // The list cannot change while the rows are built, so it is read once; a bad
  // list is still reported before the first row, and not at all for no hits.
  std::vector<std::string> folders;
  if (pSearchDirs) {
    HRESULT hr = ReadFolders(pSearchDirs, folders);
    if (FAILED(hr)) {
      return hr;
    }
  }
  const size_t nFields = pBatch->fieldCount;
  for (int32_t i = 0; i < pBatch->documentCount; ++i) {
    const char* const* fields = pBatch->texts + static_cast<size_t>(i) * nFields;
    const char* texts[3] = {"", "", ""};
    for (size_t f = 0; f < 3 && f < nFields; ++f) {
      texts[f] = fields[f] ? fields[f] : "";
    }
    if (pSearchDirs && !PassesFilter(texts[1], folders)) {
      continue;
    }
    HRESULT hr = StoreRow(psaResults, static_cast<LONG>(i), texts);
    if (FAILED(hr)) {
      return hr;
    }
  }
  return S_OK;
}
