// @brief Submission records: a set of document keys as the toolkit takes them.
#pragma once

#include <cstdint>

#include "component/index/document_set.h"
#include "dizode/dizode.h"

// Fills args (zeroed first) for operation nOperation with every key of docs,
// in the set's order, each in a buffer of its own, and 10 at offset 16.
bool BuildSubmitArgs(TkSubmitArgs& args, uint32_t nOperation, const DocumentSet& docs);

// Frees the key buffers and the key array of a record, if it has one, and
// forgets them.
void FreeSubmitArgs(TkSubmitArgs& args);

// Owns a submission record for one scope; its keys are freed at the end
// whatever the submission's outcome.
class SubmitRecord {
 public:
  SubmitRecord();
  ~SubmitRecord() { FreeSubmitArgs(m_args); }
  SubmitRecord(const SubmitRecord&) = delete;
  SubmitRecord& operator=(const SubmitRecord&) = delete;
  TkSubmitArgs& Args() { return m_args; }

 private:
  TkSubmitArgs m_args;
};
