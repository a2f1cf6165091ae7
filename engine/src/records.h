// @brief Records as every party fills them: zero bytes, then the record's own size and the
// interface version (the engine for the records it hands out, callers for their arguments).
#pragma once

#include <cstring>

#include "dizode/dizode.h"

namespace dizode {

template <typename Record>
Record MakeRecord() {
  Record record;
  std::memset(&record, 0, sizeof record);
  record.size = sizeof record;
  record.version = TK_VERSION;
  return record;
}

}  // namespace dizode
