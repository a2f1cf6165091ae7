// @brief Submission records: a set of document keys as the toolkit takes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "component/index/document_set.h"
#include "dizode/dizode.h"

// Owns a submission record and the key buffers it points at for one scope;
// they are freed at the end whatever the submission's outcome.
class SubmitRecord {
 public:
  SubmitRecord();
  SubmitRecord(const SubmitRecord&) = delete;
  SubmitRecord& operator=(const SubmitRecord&) = delete;

  // Fills the record (zeroed first) for operation nOperation with every key of
  // docs, in the set's order, each in a buffer of its own, and 10 at offset
  // 16. The record changes only once every buffer is allocated: a failed
  // allocation leaves it as it was.
  bool Fill(uint32_t nOperation, const DocumentSet& docs);
  // Frees the key buffers and forgets them: no keys, count zero.
  void Clear();

  TkSubmitArgs& Args() { return m_args; }

 private:
  std::vector<std::string> m_keys;
  std::vector<char*> m_keyPointers;  // one per key and a final null
  TkSubmitArgs m_args;
};
