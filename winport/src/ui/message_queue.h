// @brief A thread's queue of posted messages and input.
//
// Posted messages and keys share one queue in arrival order, so a key that
// arrives before a message is posted is handled first. Another thread may
// post; the owner waits on WakeFd() (readable while the queue is not empty)
// together with its input.
#pragma once

#include <deque>
#include <memory>
#include <mutex>

#include "winport/api/base.h"

namespace winport::ui {

struct QueuedMessage {
  HWND m_window;
  UINT m_message;
  WPARAM m_wParam;
  LPARAM m_lParam;
};

class MessageQueue {
 public:
  MessageQueue();
  ~MessageQueue();
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  // False when the queue holds kMaxMessages already (ERROR_NOT_ENOUGH_QUOTA on Windows).
  bool Post(const QueuedMessage& message);
  bool Pop(QueuedMessage* message);
  bool Empty() const;
  int WakeFd() const { return m_wakeFd; }

  static constexpr std::size_t kMaxMessages = 10000;

 private:
  mutable std::mutex m_mutex;
  std::deque<QueuedMessage> m_messages;
  int m_wakeFd;
};

// The calling thread's queue, created on first use and kept alive by the
// windows of the thread as long as they exist.
std::shared_ptr<MessageQueue> ThreadQueue();

}  // namespace winport::ui
