// @brief A merge walk over two ordered sets.
#include "component/index/set_difference.h"

void SetDifference(const DocumentSet& first, const DocumentSet& second, DocumentSet& out) {
  auto a = first.begin();
  auto b = second.begin();
  while (a != first.end() && b != second.end()) {
    if (*a < *b) {
      out.insert(out.end(), *a++);
    } else if (*b < *a) {
      ++b;
    } else {
      ++a;
      ++b;
    }
  }
  out.insert(a, first.end());
}
