// @brief IndexingError: the first error the toolkit reports while a
// collection is built, which fails the build even when the submission itself
// succeeds.
#pragma once

#include <string>

class IndexingError {
 public:
  // A creation starts clean: only an error of its own run may fail it.
  void Clear() { m_sText.clear(); }
  // Keeps the first error of a run; later ones add nothing.
  void Record(const std::string& sText) {
    if (m_sText.empty()) {
      m_sText = sText;
    }
  }
  bool Empty() const { return m_sText.empty(); }
  const std::string& Text() const { return m_sText; }

 private:
  std::string m_sText;
};
