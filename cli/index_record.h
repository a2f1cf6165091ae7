// @brief What a help index holds, read from its database without changing it.
//
// A host cannot ask the component which pages it indexed or what changed, so zvv reads the
// collection's own page table: the key, size and modification time recorded for each page,
// and whether its text could be read. Nothing is written, no lock is taken, and an absent
// index is simply absent.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "cli/help_pages.h"

namespace zvv {

struct IndexRecord {
  // Every indexed page with the stamp it had when it was indexed.
  PageStamps m_pages;
  // Keys of the pages that were indexed without their text: the file could not be read.
  std::set<std::string> m_unreadable;
  // Bytes of every file in the collection folder.
  std::uintmax_t m_bytes = 0;
  // When the index last changed, in seconds since 1970, UTC.
  std::int64_t m_updated = 0;
  // The database file as it was just before it was read, when it had no write-ahead log and
  // had not been written for long enough that a later write must show in its time of change.
  struct FileStamp {
    std::uintmax_t m_size = 0;
    std::filesystem::file_time_type m_written;
    bool operator==(const FileStamp&) const = default;
  };
  std::optional<FileStamp> m_settled;
};

// The database of the collection in `collectionFolder`.
std::string IndexDatabase(const std::string& collectionFolder);

// The index in `collectionFolder`, or nullopt when there is none or it cannot be read, with
// the reason in `problem` for the second case.
std::optional<IndexRecord> ReadIndexRecord(const std::string& collectionFolder,
                                           std::string& problem);

// Whether an index exists in `collectionFolder` whose database this process may not write: the
// component searches it as it is and never updates it. (One whose folder alone cannot be
// written is read-only to the component too; its update says so when it is refused.)
bool IndexIsReadOnly(const std::string& collectionFolder);

// Whether the database in `collectionFolder` is still the settled file `record` was read
// from, so that reading it again would find the same pages. False whenever in doubt.
bool IndexUntouched(const IndexRecord& record, const std::string& collectionFolder);

// The folder's bytes and time of change in `record` brought up to date.
void RefreshFolderFacts(IndexRecord& record, const std::string& collectionFolder);

}  // namespace zvv
