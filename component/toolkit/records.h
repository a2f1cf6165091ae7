// @brief Filling the toolkit's argument records: zero bytes, then the
// record's own size and the interface version first.
#pragma once

#include <cstdint>
#include <cstring>

#include "dizode/dizode.h"

template <typename Record>
Record MakeRecord() {
  Record record;
  std::memset(&record, 0, sizeof record);
  record.size = static_cast<uint16_t>(sizeof record);
  record.version = TK_VERSION;
  return record;
}

// The toolkit's magic values, set as every caller sets them.
inline constexpr uint16_t kModeOpenCollection = 35;
inline constexpr uint16_t kModeCreateCollection = 547;
inline constexpr uint32_t kCreateParam = 11;
inline constexpr uint16_t kMessageMaskAll = 63;
inline constexpr uint32_t kRefreshRequest = 11;
inline constexpr uint32_t kSubmitParam = 10;
inline constexpr int32_t kSearchParam48 = -1;
inline constexpr uint32_t kSubmitAdd = 2;
inline constexpr uint32_t kSubmitDelete = 3;
