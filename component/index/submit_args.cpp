// @brief Building and freeing submission records.
#include "component/index/submit_args.h"

#include <cstring>

#include "component/toolkit/records.h"

bool BuildSubmitArgs(TkSubmitArgs& args, uint32_t nOperation, const DocumentSet& docs) {
  args = MakeRecord<TkSubmitArgs>();
  args.keys = new char*[docs.size()];
  args.operation = nOperation;
  args.count = static_cast<int32_t>(docs.size());
  args.param16 = kSubmitParam;
  size_t i = 0;
  for (const std::string& key : docs) {
    char* buffer = new char[key.size() + 1];
    std::memcpy(buffer, key.c_str(), key.size() + 1);
    args.keys[i++] = buffer;
  }
  return true;
}

void FreeSubmitArgs(TkSubmitArgs& args) {
  if (!args.keys) {
    return;
  }
  for (int32_t i = 0; i < args.count; ++i) {
    delete[] args.keys[i];
  }
  delete[] args.keys;
  args.keys = nullptr;
  args.count = 0;
}

SubmitRecord::SubmitRecord() : m_args(MakeRecord<TkSubmitArgs>()) {}
