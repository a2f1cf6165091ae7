// @brief Filling session and collection records.
#include "component/session/session_args.h"

#include "component/ui/indexing_progress.h"
#include "dizode/dizode.h"

TkSessionArgs MakeSessionArgs(const std::string& sCommonDir, ViveviVadiro* pProgressContext) {
  TkSessionArgs args = dizode::MakeRecord<TkSessionArgs>();
  args.commonDir = sCommonDir.c_str();
  if (pProgressContext) {
    args.callback = &IndexingProgressCallback;
    args.callbackContext = pProgressContext;
    args.messageMask = TK_MSG_ALL;
  }
  return args;
}

TkCollectionArgs MakeOpenCollectionArgs(const std::string& sCollectionPath) {
  TkCollectionArgs args = dizode::MakeRecord<TkCollectionArgs>();
  args.path = sCollectionPath.c_str();
  args.mode = TK_COLLECTION_OPEN;
  return args;
}

TkCollectionArgs MakeCreateCollectionArgs(const std::string& sCollectionPath,
                                          const std::string& sStyleDir) {
  TkCollectionArgs args = dizode::MakeRecord<TkCollectionArgs>();
  args.path = sCollectionPath.c_str();
  args.styleDir = sStyleDir.c_str();
  args.createParam = TK_CREATE_PARAM;
  args.mode = TK_COLLECTION_CREATE;
  return args;
}
