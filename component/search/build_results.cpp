// @brief Filtering hits by folder and building the result rows.
#include "component/search/build_results.h"

#include <cstdio>
#include <string>
#include <vector>

#include "component/search/text_conversion.h"
#include "winport/owners.h"

namespace {

// The folder list, read element by element as documents need it: a document
// passes at the first folder text in its key, so an element after that one
// is never read for it, and a bad element fails only a document that reaches
// it. Elements already read are kept, since the list cannot change meanwhile.
class FolderFilter {
 public:
  explicit FolderFilter(VARIANT* pSearchDirs) : m_pSearchDirs(pSearchDirs) {}

  // The list's shape and bounds; checked once, before the first document.
  HRESULT Open() {
    if (V_VT(m_pSearchDirs) != (VT_ARRAY | VT_VARIANT)) {
      return E_INVALIDARG;
    }
    m_psa = V_ARRAY(m_pSearchDirs);
    if (!m_psa || SafeArrayGetDim(m_psa) != 1) {
      return E_INVALIDARG;
    }
    HRESULT hr = SafeArrayGetUBound(m_psa, 1, &m_upper);
    if (FAILED(hr)) {
      return hr;
    }
    hr = SafeArrayGetLBound(m_psa, 1, &m_lower);
    if (FAILED(hr)) {
      return hr;
    }
    m_bDone = m_upper < m_lower;
    return S_OK;
  }

  // Whether one of the folder texts occurs in sKey; the code of the first
  // element that cannot be read before one does.
  HRESULT Passes(const std::string& sKey, bool& bPasses) {
    bPasses = false;
    for (size_t i = 0;; ++i) {
      if (i == m_folders.size()) {
        if (m_bDone) {
          return S_OK;
        }
        HRESULT hr = ReadNext();
        if (FAILED(hr)) {
          return hr;
        }
      }
      if (sKey.find(m_folders[i]) != std::string::npos) {
        bPasses = true;
        return S_OK;
      }
    }
  }

 private:
  HRESULT ReadNext() {
    LONG index = m_lower + static_cast<LONG>(m_folders.size());
    winport::Variant folder;
    HRESULT hr = SafeArrayGetElement(m_psa, &index, folder.Put());
    if (FAILED(hr)) {
      return hr;
    }
    if (V_VT(folder.Get()) != VT_BSTR) {
      return E_FAIL;
    }
    m_folders.push_back(WideToNarrow(V_BSTR(folder.Get())));
    m_bDone = index == m_upper;  // an upper bound of LONG_MAX must not wrap
    return S_OK;
  }

  VARIANT* m_pSearchDirs;
  SAFEARRAY* m_psa = nullptr;
  LONG m_lower = 0;
  LONG m_upper = -1;
  bool m_bDone = true;
  std::vector<std::string> m_folders;
};

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
  // A list of the wrong shape is reported before the first row, and not at
  // all when nothing was found.
  FolderFilter filter(pSearchDirs);
  if (pSearchDirs) {
    HRESULT hr = filter.Open();
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
    if (pSearchDirs) {
      bool bPasses = false;
      HRESULT hr = filter.Passes(texts[1], bPasses);
      if (FAILED(hr)) {
        return hr;
      }
      if (!bPasses) {
        continue;
      }
    }
    HRESULT hr = StoreRow(psaResults, static_cast<LONG>(i), texts);
    if (FAILED(hr)) {
      return hr;
    }
  }
  return S_OK;
}

std::string FolderListFailureText(HRESULT hr) {
  if (hr == E_INVALIDARG) {
    return "The folder list is not a one-dimensional array of VARIANTs.";
  }
  if (hr == E_FAIL) {
    return "A folder in the folder list is not a text.";
  }
  char sText[96];
  std::snprintf(sText, sizeof sText,
                "The folder list or the results could not be handled (0x%08X).",
                static_cast<unsigned>(hr));
  return sText;
}
