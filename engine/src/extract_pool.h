// @brief Reads and extracts pages on every core, handing results back in submission order.
//
// Workers run at most a window of pages ahead of the consumer, so memory stays bounded by the
// window whatever the batch size; the consumer (the thread that writes the database) takes the
// pages one by one in the order of the keys.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "html_text.h"
#include "page_file.h"
#include "section_bounds.h"
#include "text/prepared_tokens.h"

namespace dizode {

struct ExtractedPage {
  FileStamp stamp;
  uint64_t hash = 0;
  PageText text;
  std::string problem;     // why the page was skipped; empty when it was read and extracted
  bool transient = false;  // the problem lies with this process, not the page (see PageFile)
  // The index tokens of title, heads and body, when a stem language was given.
  text::PreparedTokens titleTokens, headsTokens, bodyTokens;
  // The page's sections (text.sections) among the index positions of its fields.
  std::vector<SectionBounds> sections;
};

// Reads one page and extracts its text; with a `preparer`, works out its index tokens too, so
// the thread that inserts it need not. Never throws but std::bad_alloc.
ExtractedPage ExtractPage(const std::string& key, text::TokenPreparer* preparer);

class ExtractPool {
 public:
  // `language`: the stem language of the tokens to work out; empty for none.
  ExtractPool(const std::vector<std::string>& keys, size_t threads, std::string language);
  ExtractPool(const ExtractPool&) = delete;
  ExtractPool& operator=(const ExtractPool&) = delete;
  ~ExtractPool();

  // The next page in key order. Rethrows a worker's allocation failure.
  ExtractedPage Next();

 private:
  void Work();
  // A preparer of the pool's tokens for the calling thread's `slot`, made on first use; null
  // when the pool works out none.
  text::TokenPreparer* PreparerIn(std::optional<text::TokenPreparer>& slot) const;

  const std::vector<std::string>& m_keys;
  const std::string m_language;
  const size_t m_window;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::optional<ExtractedPage>> m_ring;
  size_t m_claimed = 0;   // pages handed to workers
  size_t m_consumed = 0;  // pages taken by Next
  bool m_stop = false;
  bool m_outOfMemory = false;
  std::vector<std::thread> m_workers;
  std::optional<text::TokenPreparer> m_ownPreparer;  // for Next's own extraction, without workers
};

}  // namespace dizode
