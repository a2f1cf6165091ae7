// @brief Windows file attributes and times from POSIX file status.
#pragma once

#include <sys/stat.h>

#include "winport/api/base.h"

namespace winport::detail {

// FILE_ATTRIBUTE_DIRECTORY for a folder; for anything else READONLY when the
// owner may not write it, and NORMAL when no other attribute applies. Names
// that start with a dot are not marked HIDDEN: on POSIX that is a convention
// of listings, not an attribute, and callers would skip such files.
DWORD AttributesFromStat(const struct stat& info);

// A POSIX time as a FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
FILETIME FileTimeFromTimespec(const struct timespec& time);

}  // namespace winport::detail
