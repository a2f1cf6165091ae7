// @brief Filling session and collection records.
#include "component/session/session_args.h"

#include "component/toolkit/records.h"
#include "component/ui/indexing_progress.h"

TkSessionArgs MakeSessionArgs(const std::string& sCommonDir, ViveviVadiro* pProgressContext) {
  TkSessionArgs args = MakeRecord<TkSessionArgs>();
  args.commonDir = sCommonDir.c_str();
  if (pProgressContext) {
    args.callback = &IndexingProgressCallback;
    args.callbackContext = pProgressContext;
    args.messageMask = kMessageMaskAll;
  }
  return args;
}

TkCollectionArgs MakeOpenCollectionArgs(const std::string& sCollectionPath) {
  TkCollectionArgs args = MakeRecord<TkCollectionArgs>();
  args.path = sCollectionPath.c_str();
  args.mode = kModeOpenCollection;
  return args;
}

TkCollectionArgs MakeCreateCollectionArgs(const std::string& sCollectionPath,
                                          const std::string& sStyleDir) {
  TkCollectionArgs args = MakeRecord<TkCollectionArgs>();
  args.path = sCollectionPath.c_str();
  args.styleDir = sStyleDir.c_str();
  args.createParam = kCreateParam;
  args.mode = kModeCreateCollection;
  return args;
}
