// Identifiers of the component's resources, shared by the resource script and
// the code that loads them.
#ifndef ZOVIVEVIVADIRO_RES_RESOURCE_H_
#define ZOVIVEVIVADIRO_RES_RESOURCE_H_

// String table: the index prompt.
#define IDS_INDEX_CAPTION 101
#define IDS_INDEX_QUESTION 102

// The registration script (resource type "REGISTRY").
#define IDR_VIVEVIVADIRO 101

// The progress dialog and its controls.
#define IDD_PROGRESS 201
#define IDC_HEADING 202
#define IDC_PROGRESS_BAR 204
#define IDC_MESSAGE_PANE 205
#define IDC_COUNT_LINE 206

#endif  // ZOVIVEVIVADIRO_RES_RESOURCE_H_
