// @brief One search conversation with the toolkit: the search, its summary
// and a batch of its documents, released newest first when the request ends.
#pragma once

#include <cstdint>

#include "dizode/dizode.h"

class SearchRequest {
 public:
  SearchRequest() = default;
  ~SearchRequest();
  SearchRequest(const SearchRequest&) = delete;
  SearchRequest& operator=(const SearchRequest&) = delete;

  // Each step returns the toolkit's return value; test it with ToolkitFailed.
  // sQuery null lists every document of the collection open in the session.
  [[nodiscard]] int32_t Search(TkSession hSession, const char* sQuery);
  [[nodiscard]] int32_t GetInfo();
  // Reads the fields of every document that the summary counts.
  [[nodiscard]] int32_t ReadBatch(TkSession hSession, const char* const* fieldNames,
                                  uint16_t nFields);

  const TkDocBatch* Batch() const { return m_pBatch; }

 private:
  TkSearchHandle m_hSearch = 0;
  TkSearchInfo* m_pInfo = nullptr;
  TkDocBatch* m_pBatch = nullptr;
};

// The refresh request (code 11) that precedes every search and ends every
// update; its status and reply are not looked at.
void RefreshCollection(TkCollection hCollection);
