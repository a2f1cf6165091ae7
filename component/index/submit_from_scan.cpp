// @brief Scanning the help folder straight into an add record.
#include "component/com/vivevi_vadiro.h"
#include "component/index/folder_scan.h"
#include "component/index/scan_report.h"
#include "component/index/submit_args.h"
#include "dizode/dizode.h"

bool ViveviVadiro::ScanIntoSubmitArgs(SubmitRecord& record, std::string sFolder, bool bSubfolders,
                                      uint32_t nParam16) {
  record.Clear();
  // Only what this scan finds is submitted: keys an earlier update listed may
  // name pages that are gone.
  m_docs.clear();
  ScanHelpFolder(std::move(sFolder), m_docs, bSubfolders, ProgressScanReport(this));
  m_nDocTotal = static_cast<int32_t>(m_docs.size());
  record.Fill(TK_SUBMIT_ADD, m_docs);
  record.Args().param16 = nParam16;
  return true;
}
