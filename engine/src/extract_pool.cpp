// @brief Bounded, ordered parallel page extraction.
#include "extract_pool.h"

#include <algorithm>

#include "charset.h"
#include "text/token_positions.h"

namespace dizode {
namespace {

// How far the extraction threads may run ahead of the writer. Page costs vary a lot, on both
// sides; a window of a few pages left each side waiting on the other's large pages, while a few
// dozen let them even out. Each page ahead holds its text and its tokens in memory.
constexpr size_t kPagesAheadPerThread = 32;
constexpr size_t kMaxPagesAhead = 64;

// Where the sections' byte offsets fall among the index positions of the headings and body.
std::vector<SectionBounds> LocateSections(const ExtractedPage& page) {
  const std::vector<PageSection>& sections = page.text.sections;
  if (sections.empty()) return {};
  std::vector<uint32_t> headsOffsets;
  std::vector<uint32_t> bodyOffsets;
  headsOffsets.reserve(sections.size() * 2);
  bodyOffsets.reserve(sections.size());
  for (const PageSection& section : sections) {
    headsOffsets.push_back(section.headsBegin);
    headsOffsets.push_back(section.headsEnd);
    bodyOffsets.push_back(section.bodyBegin);
  }
  text::Analysis scratch;
  const std::vector<uint32_t> heads =
      text::PositionsAt(page.text.heads, page.headsTokens, headsOffsets, scratch);
  const std::vector<uint32_t> body =
      text::PositionsAt(page.text.body, page.bodyTokens, bodyOffsets, scratch);
  std::vector<SectionBounds> out(sections.size());
  for (size_t i = 0; i < sections.size(); ++i) out[i] = {heads[2 * i], heads[2 * i + 1], body[i]};
  return out;
}

}  // namespace

ExtractedPage ExtractPage(const std::string& key, text::TokenPreparer* preparer) {
  ExtractedPage page;
  PageFile file = ReadPageFile(key, kMaxInputBytes);
  page.stamp = file.stamp;
  if (!file.error.empty()) {
    page.problem = "cannot be read (" + file.error + ")";
    page.transient = file.transient;
    return page;
  }
  page.hash = ContentHash(file.bytes);
  if (LooksBinary(file.bytes)) {
    page.problem = "cannot be parsed (binary content)";
    return page;
  }
  page.text = ExtractHtml(file.bytes, FileNameOf(key));
  if (preparer != nullptr) {
    preparer->Prepare(page.text.title, page.titleTokens);
    preparer->Prepare(page.text.heads, page.headsTokens);
    preparer->Prepare(page.text.body, page.bodyTokens);
  }
  page.sections = LocateSections(page);
  return page;
}

ExtractPool::ExtractPool(const std::vector<std::string>& keys, size_t threads, std::string language)
    : m_keys(keys),
      m_language(std::move(language)),
      m_window(
          std::clamp<size_t>(threads * kPagesAheadPerThread, kPagesAheadPerThread, kMaxPagesAhead)),
      m_ring(m_window) {
  threads = std::min(threads, keys.size());
  for (size_t i = 0; i < threads; ++i) m_workers.emplace_back([this] { Work(); });
}

ExtractPool::~ExtractPool() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  for (std::thread& worker : m_workers) worker.join();
}

text::TokenPreparer* ExtractPool::PreparerIn(std::optional<text::TokenPreparer>& slot) const {
  if (m_language.empty()) return nullptr;
  if (!slot) slot.emplace(m_language);
  return &*slot;
}

void ExtractPool::Work() {
  // The thread's own: it ends with the thread, never kept in thread-local storage.
  std::optional<text::TokenPreparer> preparer;
  for (;;) {
    size_t index;
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [&] {
        return m_stop || m_claimed >= m_keys.size() || m_claimed < m_consumed + m_window;
      });
      if (m_stop || m_claimed >= m_keys.size()) return;
      index = m_claimed++;
    }
    std::optional<ExtractedPage> page;
    bool outOfMemory = false;
    try {
      page = ExtractPage(m_keys[index], PreparerIn(preparer));
    } catch (const std::bad_alloc&) {
      outOfMemory = true;
      page.emplace();
    }
    {
      std::lock_guard lock(m_mutex);
      m_outOfMemory = m_outOfMemory || outOfMemory;
      m_ring[index % m_window] = std::move(page);
    }
    m_changed.notify_all();
  }
}

ExtractedPage ExtractPool::Next() {
  if (m_workers.empty()) return ExtractPage(m_keys[m_consumed++], PreparerIn(m_ownPreparer));
  std::unique_lock lock(m_mutex);
  std::optional<ExtractedPage>& slot = m_ring[m_consumed % m_window];
  m_changed.wait(lock, [&] { return slot.has_value() || m_outOfMemory; });
  if (m_outOfMemory) throw std::bad_alloc();
  ExtractedPage page = std::move(*slot);
  slot.reset();
  ++m_consumed;
  lock.unlock();
  m_changed.notify_all();
  return page;
}

}  // namespace dizode
