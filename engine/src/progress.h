// @brief Status messages of one submission, delivered synchronously to the session's callback.
//
// The first character of a text tells its kind to the receiver: 'D' a document count with "("
// after the count, 'E' a failure of the whole submission, 'I' and 'U' steps only, anything
// else shown as it stands. Texts are built here so that rule is kept in one place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dizode/dizode.h"

namespace dizode {

struct ProgressSink {
  TkProgressCallback callback = nullptr;
  void* context = nullptr;
  uint16_t mask = 0;
};

class Progress {
 public:
  explicit Progress(const ProgressSink& sink) : m_sink(sink) {}

  void Start(size_t documents);                                  // "Starting indexing of ..."
  void StartRemoval(size_t documents);                           // "Removing ..."
  void Document(size_t number, std::string_view name);           // "Document N (name)"
  void Skipped(std::string_view name, std::string_view reason);  // "Skipped name: reason"
  void Update(std::string_view what);                            // "Updating ..."
  void Error(std::string_view what);                             // "Error: ..." (fatal)

 private:
  void Send(uint32_t kind, const std::string& text);
  ProgressSink m_sink;
  uint32_t m_sequence = 0;
};

}  // namespace dizode
