// @brief The scripted display that tests drive (WinportScript).
#include <deque>
#include <mutex>
#include <utility>

#include "winport/src/ui/display.h"
#include "winport/ui_driver.h"

struct WinportScript::State : winport::ui::Display {
  mutable std::mutex m_mutex;
  std::deque<int> m_answers;
  std::vector<WinportKey> m_before;
  std::vector<WinportKey> m_after;
  std::deque<WinportKey> m_live;
  std::function<void(const WinportPaintSnapshot&)> m_onPaint;
  std::vector<WinportMessageBoxRecord> m_boxes;
  std::vector<WinportPaintSnapshot> m_paints;
  int m_dialogsRun = 0;
  int m_dialogsOpen = 0;
  SIZE_T m_width = 1024;
  SIZE_T m_height = 768;

  int AskMessageBox(const winport::ui::MessageBoxRequest& request) override {
    std::lock_guard lock(m_mutex);
    int answer = 0;
    if (!m_answers.empty()) {
      answer = m_answers.front();
      m_answers.pop_front();
    }
    m_boxes.push_back({request.m_owner, request.m_text, request.m_caption, request.m_type,
                       answer != 0 ? answer : winport::ui::CautiousAnswer(request.m_type)});
    return answer;
  }

  void DialogStarted(HWND) override {
    std::lock_guard lock(m_mutex);
    ++m_dialogsRun;
    ++m_dialogsOpen;
  }

  void DialogEnded(HWND) override {
    std::lock_guard lock(m_mutex);
    if (m_dialogsOpen > 0) --m_dialogsOpen;
  }

  void Paint(const WinportPaintSnapshot& snapshot) override {
    std::function<void(const WinportPaintSnapshot&)> callback;
    {
      std::lock_guard lock(m_mutex);
      m_paints.push_back(snapshot);
      callback = m_onPaint;
    }
    if (callback) callback(snapshot);  // outside the lock: it may call back in
  }

  void TakeKeys(WinportKeyTime when, std::vector<WinportKey>* keys) override {
    std::lock_guard lock(m_mutex);
    std::vector<WinportKey>& source =
        when == WinportKeyTime::kBeforeFirstPaint ? m_before : m_after;
    keys->swap(source);
    source.clear();
  }

  winport::ui::InputEvent WaitInput(int) override {
    std::lock_guard lock(m_mutex);
    if (m_live.empty()) return winport::ui::InputEvent::kNone;
    WinportKey key = m_live.front();
    m_live.pop_front();
    switch (key) {
      case WinportKey::kEnter:
        return winport::ui::InputEvent::kEnter;
      case WinportKey::kEscape:
        return winport::ui::InputEvent::kEscape;
      case WinportKey::kClose:
        return winport::ui::InputEvent::kClose;
    }
    return winport::ui::InputEvent::kNone;
  }

  SIZE_T ScreenWidth() const override {
    std::lock_guard lock(m_mutex);
    return m_width;
  }
  SIZE_T ScreenHeight() const override {
    std::lock_guard lock(m_mutex);
    return m_height;
  }
};

const WinportControlState* WinportPaintSnapshot::Control(int id) const {
  for (const WinportControlState& control : m_controls) {
    if (control.m_id == id) return &control;
  }
  return nullptr;
}

WinportScript::WinportScript() : m_state(new State()) { winport::ui::SetScriptedDisplay(m_state); }

WinportScript::~WinportScript() {
  winport::ui::SetScriptedDisplay(nullptr);
  delete m_state;
}

void WinportScript::AnswerMessageBox(int answer) {
  std::lock_guard lock(m_state->m_mutex);
  m_state->m_answers.push_back(answer);
}

void WinportScript::QueueKey(WinportKey key, WinportKeyTime when) {
  std::lock_guard lock(m_state->m_mutex);
  if (m_state->m_dialogsOpen > 0) {
    m_state->m_live.push_back(key);
  } else if (when == WinportKeyTime::kBeforeFirstPaint) {
    m_state->m_before.push_back(key);
  } else {
    m_state->m_after.push_back(key);
  }
}

void WinportScript::OnPaint(std::function<void(const WinportPaintSnapshot&)> callback) {
  std::lock_guard lock(m_state->m_mutex);
  m_state->m_onPaint = std::move(callback);
}

void WinportScript::SetScreenSize(int cx, int cy) {
  std::lock_guard lock(m_state->m_mutex);
  m_state->m_width = static_cast<SIZE_T>(cx);
  m_state->m_height = static_cast<SIZE_T>(cy);
}

std::vector<WinportMessageBoxRecord> WinportScript::MessageBoxes() const {
  std::lock_guard lock(m_state->m_mutex);
  return m_state->m_boxes;
}

std::vector<WinportPaintSnapshot> WinportScript::Paints() const {
  std::lock_guard lock(m_state->m_mutex);
  return m_state->m_paints;
}

int WinportScript::DialogsRun() const {
  std::lock_guard lock(m_state->m_mutex);
  return m_state->m_dialogsRun;
}
