// @brief Recording and reading back a session's last failure.
#include "last_error.h"

#include <algorithm>
#include <cstring>

namespace dizode {
namespace {

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Appends as much of `piece` as fits into `buffer`; `used` counts what is there already.
void Append(char* buffer, size_t capacity, size_t& used, std::string_view piece) {
  size_t take = std::min(piece.size(), capacity - used);
  std::memcpy(buffer + used, piece.data(), take);
  used += take;
}

}  // namespace

void CopyUtf8Cut(std::string_view text, char* out, size_t size) noexcept {
  if (size == 0) return;
  size_t keep = text.size();
  if (keep >= size) {
    keep = size - 1;
    // A character is at most four bytes: back up over at most three continuation bytes, so
    // that text which is not UTF-8 at all is still cut near the limit rather than emptied.
    for (int step = 0; step < 3 && keep > 0 && IsContinuation(text[keep]); ++step) --keep;
  }
  std::memcpy(out, text.data(), keep);
  out[keep] = '\0';
}

int32_t CharacterColumn(std::string_view text, size_t offset) noexcept {
  offset = std::min(offset, text.size());
  int32_t column = 1;
  for (size_t i = 0; i < offset; ++i)
    if (!IsContinuation(text[i])) ++column;
  return column;
}

void LastError::Set(int32_t status, int32_t column, std::string_view doing,
                    std::string_view detail) noexcept {
  // One byte more than the record holds, so that the cut sees the character that straddles it.
  char composed[TK_ERROR_TEXT_SIZE + 4];
  size_t used = 0;
  if (!doing.empty()) {
    Append(composed, sizeof composed, used, doing);
    Append(composed, sizeof composed, used, ": ");
  }
  Append(composed, sizeof composed, used, detail);
  std::lock_guard lock(m_mutex);
  m_status = status;
  m_column = column;
  CopyUtf8Cut(std::string_view(composed, used), m_text, sizeof m_text);
}

void LastError::Clear() noexcept {
  std::lock_guard lock(m_mutex);
  m_status = TK_OK;
  m_column = 0;
  m_text[0] = '\0';
}

void LastError::CopyTo(TkErrorInfo& info) const noexcept {
  std::lock_guard lock(m_mutex);
  info.status = m_status;
  info.column = m_column;
  std::memcpy(info.text, m_text, sizeof info.text);
}

}  // namespace dizode
