// @brief Running a modal dialog of the sample table with a test's own
// procedure, recording every message it receives.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "winport/tests/ui/sample_resources.h"
#include "winport/ui_driver.h"

namespace harness {

// Tests never draw on whatever terminal runs them: without a script, the
// display is the headless one.
// NOLINTNEXTLINE(cert-err58-cpp): choosing the display throws nothing
inline const bool kHeadlessByDefault = (WinportSetDisplay(WinportDisplayKind::kHeadless), true);

struct Event {
  UINT m_message;
  WPARAM m_wParam;
  LPARAM m_lParam;
  bool operator==(const Event&) const = default;
};

using Handler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

inline thread_local Handler* t_handler = nullptr;
inline thread_local std::vector<Event>* t_events = nullptr;

inline INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (t_events != nullptr) t_events->push_back({message, wParam, lParam});
  return t_handler != nullptr ? (*t_handler)(dialog, message, wParam, lParam) : FALSE;
}

struct Run {
  INT_PTR m_result;
  DWORD m_error;
  std::vector<Event> m_events;
  HWND m_dialog = nullptr;

  // The recorded messages among `wanted`, in order.
  std::vector<Event> Only(const std::vector<UINT>& wanted) const {
    std::vector<Event> kept;
    for (const Event& event : m_events) {
      for (UINT message : wanted) {
        if (event.m_message == message) kept.push_back(event);
      }
    }
    return kept;
  }
};

// The sample dialog's name is its number, as resource names are.
inline Run RunDialog(Handler handler, LPARAM parameter = 0,
                     // NOLINTNEXTLINE(performance-no-int-to-ptr)
                     LPCSTR name = MAKEINTRESOURCEA(sample::kDialog), HWND owner = nullptr) {
  Run run{};
  Handler wrapped = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    run.m_dialog = dialog;
    return handler(dialog, message, wParam, lParam);
  };
  Handler* previousHandler = t_handler;
  std::vector<Event>* previousEvents = t_events;
  t_handler = &wrapped;
  t_events = &run.m_events;
  SetLastError(0);
  run.m_result = DialogBoxParamA(sample::Module(), name, owner, RecordingProc, parameter);
  run.m_error = GetLastError();
  t_handler = previousHandler;
  t_events = previousEvents;
  return run;
}

// A procedure shaped like a progress dialog: the first paint posts the start
// message, whose handler runs `work` and ends the dialog with its result;
// IDOK and IDCANCEL end it with 0.
inline Handler ProgressLike(const std::function<INT_PTR(HWND)>& work) {
  auto painted = std::make_shared<bool>(false);
  return [painted, work](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        return TRUE;
      case WM_PAINT:
        if (*painted) return FALSE;
        *painted = true;
        PostMessageA(dialog, sample::kStartWork, 0, 0);
        return TRUE;
      case sample::kStartWork:
        EndDialog(dialog, work(dialog));
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
          EndDialog(dialog, 0);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  };
}

}  // namespace harness
