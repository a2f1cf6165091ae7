// @brief Progress message texts and their delivery through the session's mask.
#include "progress.h"

namespace dizode {

void Progress::Start(size_t documents) {
  Send(TK_MSG_START, "Starting indexing of " + std::to_string(documents) +
                         (documents == 1 ? " document" : " documents"));
}

void Progress::StartRemoval(size_t documents) {
  Send(TK_MSG_START,
       "Removing " + std::to_string(documents) + (documents == 1 ? " document" : " documents"));
}

void Progress::Document(size_t number, std::string_view name) {
  Send(TK_MSG_DOCUMENT, "Document " + std::to_string(number) + " (" + std::string(name) + ")");
}

void Progress::Skipped(std::string_view name, std::string_view reason) {
  Send(TK_MSG_WARNING, "Skipped " + std::string(name) + ": " + std::string(reason));
}

void Progress::Update(std::string_view what) {
  Send(TK_MSG_UPDATE, "Updating " + std::string(what));
}

void Progress::Error(std::string_view what) { Send(TK_MSG_ERROR, "Error: " + std::string(what)); }

void Progress::Send(uint32_t kind, const std::string& text) {
  if (!m_sink.callback || (m_sink.mask & kind) == 0) return;
  auto message = MakeRecord<TkStatusMessage>();
  message.kind = kind;
  message.sequence = ++m_sequence;
  message.text = text.c_str();
  m_sink.callback(m_sink.context, &message);
}

}  // namespace dizode
