// @brief Where the component's scans report the folders they leave out.
#pragma once

#include "component/index/folder_scan.h"

class ViveviVadiro;

// Shows each line in the progress display the way the toolkit's own
// informational messages are shown; nothing shows while no dialog is open.
ScanReport ProgressScanReport(ViveviVadiro* pComponent);
