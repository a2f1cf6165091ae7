// @brief Building and freeing submission records.
#include "component/index/submit_args.h"

#include <utility>

SubmitRecord::SubmitRecord() : m_args(dizode::MakeRecord<TkSubmitArgs>()) {}

bool SubmitRecord::Fill(uint32_t nOperation, const DocumentSet& docs) {
  std::vector<std::string> keys(docs.begin(), docs.end());
  std::vector<char*> pointers;
  pointers.reserve(keys.size() + 1);
  for (std::string& key : keys) {
    pointers.push_back(key.data());
  }
  // The key array is never null, an empty one included.
  pointers.push_back(nullptr);

  m_keys = std::move(keys);
  m_keyPointers = std::move(pointers);
  m_args = dizode::MakeRecord<TkSubmitArgs>();
  m_args.keys = m_keyPointers.data();
  m_args.operation = nOperation;
  m_args.count = static_cast<int32_t>(m_keys.size());
  m_args.param16 = TK_SUBMIT_PARAM16;
  return true;
}

void SubmitRecord::Clear() {
  m_args.keys = nullptr;
  m_args.count = 0;
  m_keyPointers.clear();
  m_keys.clear();
}
