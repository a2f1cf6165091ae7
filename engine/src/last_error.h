// @brief A session's record of its last failure, read back through TkGetLastError.
//
// The record is a fixed-size buffer: recording a failure never allocates, so even an
// out-of-memory failure can be described, and reading it back gives the caller nothing to free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "dizode/dizode.h"

namespace dizode {

// Copies `text` into `out` (`size` bytes, the terminating NUL included), cut before the first
// UTF-8 character that does not fit whole.
void CopyUtf8Cut(std::string_view text, char* out, size_t size) noexcept;

// The 1-based character column of the byte at `offset` in the UTF-8 `text`.
int32_t CharacterColumn(std::string_view text, size_t offset) noexcept;

class LastError {
 public:
  // Records a failure as "doing: detail" ("detail" alone when `doing` is empty).
  void Set(int32_t status, int32_t column, std::string_view doing,
           std::string_view detail) noexcept;
  void Clear() noexcept;
  // Fills every field of `info` but its size and version.
  void CopyTo(TkErrorInfo& info) const noexcept;

 private:
  mutable std::mutex m_mutex;
  int32_t m_status = TK_OK;
  int32_t m_column = 0;
  char m_text[TK_ERROR_TEXT_SIZE] = {};
};

}  // namespace dizode
