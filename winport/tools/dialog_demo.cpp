// @brief dialog_demo: the index prompt and the progress dialog on this
// terminal, driven the way the component drives them, for trying the dialog
// manager by hand.
//
//   dialog_demo [--documents N] [--delay-ms M] [--error-at K]
//
// Asks the yes/no question of string 102; on Yes, runs dialog 201: the first
// paint posts the start message, whose handler "indexes" N documents, one
// every M milliseconds, updating the count line and stepping the bar, with a
// forced repaint after each. --error-at K shows "Flushing Errors . . ." from
// the K-th document on. Enter, Escape or Ctrl-C before the work starts end
// the dialog with 0. Prints the end code.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "component/res/resource.h"
#include "winport/win32.h"

namespace {

constexpr UINT kStartWork = WM_USER + 0x80;

struct Options {
  int m_documents = 40;
  int m_delayMs = 60;
  int m_errorAt = 0;
  bool m_painted = false;
};

void Pause(int milliseconds) {
  timespec delay{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  nanosleep(&delay, nullptr);
}

void Show(HWND dialog, int shown, int hidden) {
  ShowWindow(GetDlgItem(dialog, hidden), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, shown), SW_SHOW);
}

INT_PTR RunWork(HWND dialog, const Options& options) {
  HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
  ShowWindow(bar, SW_SHOW);
  SetDlgItemTextA(dialog, IDC_MESSAGE_PANE, "Initializing . . .");
  SendMessageA(bar, PBM_SETSTEP, 1, 0);
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 1024));
  UpdateWindow(dialog);
  for (int document = 1; document <= options.m_documents; ++document) {
    Pause(options.m_delayMs);
    Show(dialog, IDC_COUNT_LINE, IDC_MESSAGE_PANE);
    std::string line = options.m_errorAt > 0 && document >= options.m_errorAt
                           ? "Flushing Errors . . ."
                           : "Document " + std::to_string(document) + "  of " +
                                 std::to_string(options.m_documents);
    SetDlgItemTextA(dialog, IDC_COUNT_LINE, line.c_str());
    // A few steps per document, so that the bar visibly moves across its range.
    for (int step = 0; step < 1024 / options.m_documents; ++step) {
      SendMessageA(bar, PBM_STEPIT, 0, 0);
    }
    UpdateWindow(dialog);
  }
  Show(dialog, IDC_MESSAGE_PANE, IDC_COUNT_LINE);
  SetDlgItemTextA(dialog, IDC_MESSAGE_PANE, "Indexing finished.");
  UpdateWindow(dialog);
  Pause(options.m_delayMs * 5);
  return options.m_errorAt > 0 ? 0 : 1;
}

INT_PTR CALLBACK DemoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static Options* options = nullptr;
  switch (message) {
    case WM_INITDIALOG:
      options = reinterpret_cast<Options*>(lParam);
      return TRUE;
    case WM_PAINT:
      if (options->m_painted) return FALSE;
      options->m_painted = true;
      PostMessageA(dialog, kStartWork, 0, 0);
      return TRUE;
    case kStartWork:
      EndDialog(dialog, RunWork(dialog, *options));
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
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    int* target = std::strcmp(argv[i], "--documents") == 0  ? &options->m_documents
                  : std::strcmp(argv[i], "--delay-ms") == 0 ? &options->m_delayMs
                  : std::strcmp(argv[i], "--error-at") == 0 ? &options->m_errorAt
                                                            : nullptr;
    if (target == nullptr || i + 1 >= argc) return false;
    *target = std::atoi(argv[++i]);
  }
  return options->m_documents > 0 && options->m_documents <= 1024 && options->m_delayMs >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: dialog_demo [--documents 1..1024] [--delay-ms M] [--error-at K]\n");
    return 2;
  }
  char caption[512];
  char question[512];
  LoadStringA(nullptr, IDS_INDEX_CAPTION, caption, sizeof caption);
  LoadStringA(nullptr, IDS_INDEX_QUESTION, question, sizeof question);
  if (MessageBoxA(nullptr, question, caption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    std::printf("Not indexing.\n");
    return 0;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  INT_PTR result = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, DemoProc,
                                   reinterpret_cast<LPARAM>(&options));
  std::printf("The dialog ended with %ld.\n", static_cast<long>(result));
  return 0;
}
