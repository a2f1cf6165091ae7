// @brief Per-thread message queues.
#include "winport/src/ui/message_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace winport::ui {

MessageQueue::MessageQueue() : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

MessageQueue::~MessageQueue() {
  if (m_wakeFd >= 0) close(m_wakeFd);
}

bool MessageQueue::Post(const QueuedMessage& message) {
  std::lock_guard lock(m_mutex);
  if (m_messages.size() >= kMaxMessages) return false;
  m_messages.push_back(message);
  if (m_wakeFd >= 0) {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(m_wakeFd, &one, sizeof one);
  }
  return true;
}

bool MessageQueue::Pop(QueuedMessage* message) {
  std::lock_guard lock(m_mutex);
  if (m_messages.empty()) return false;
  *message = m_messages.front();
  m_messages.pop_front();
  if (m_messages.empty() && m_wakeFd >= 0) {
    uint64_t count = 0;
    [[maybe_unused]] ssize_t drained = read(m_wakeFd, &count, sizeof count);
  }
  return true;
}

bool MessageQueue::Empty() const {
  std::lock_guard lock(m_mutex);
  return m_messages.empty();
}

std::shared_ptr<MessageQueue> ThreadQueue() {
  thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
  return queue;
}

}  // namespace winport::ui
