// @brief The yes/no question that precedes building the help index.
#include "component/com/vivevi_vadiro.h"
#include "component/ui/indexing_dialog.h"
#include "component/ui/progress_dialog.h"

namespace {

constexpr int kStringBufferSize = 512;
constexpr UINT kPromptType = MB_YESNO | MB_ICONQUESTION;

}  // namespace

bool PromptAndCreate(ViveviVadiro* pComponent) {
  char sCaption[kStringBufferSize] = {};
  char sQuestion[kStringBufferSize] = {};
  // A missing entry leaves its buffer empty, which still asks the question.
  LoadStringA(ComponentInstance(), IDS_INDEX_CAPTION, sCaption, kStringBufferSize);
  LoadStringA(ComponentInstance(), IDS_INDEX_QUESTION, sQuestion, kStringBufferSize);
  HWND hwndOwner = pComponent ? pComponent->HostWindow() : nullptr;
  if (MessageBoxA(hwndOwner, sQuestion, sCaption, kPromptType) != IDYES) return false;
  // Only a completed creation ends the dialog with 1; -1 (not shown) and 0
  // (cancelled or failed) both mean no index.
  return RunIndexingDialog(pComponent, IndexingMode::kCreate) == 1;
}
