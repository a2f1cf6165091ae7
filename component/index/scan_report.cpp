// @brief Scan reports go through the indexing progress callback, so that they
// reach the same dialog as the toolkit's messages.
#include "component/index/scan_report.h"

#include <string>

#include "component/ui/indexing_progress.h"
#include "dizode/dizode.h"

ScanReport ProgressScanReport(ViveviVadiro* pComponent) {
  return [pComponent](const std::string& sText) {
    TkStatusMessage message = dizode::MakeRecord<TkStatusMessage>();
    message.kind = TK_MSG_WARNING;
    message.text = sText.c_str();
    IndexingProgressCallback(pComponent, &message);
  };
}
