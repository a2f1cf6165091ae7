#include "text/token_positions.h"

namespace dizode::text {
namespace {

// Walks the starts of the text's positions in order, answering each offset as it is passed.
class PositionCounter {
 public:
  PositionCounter(const std::vector<uint32_t>& offsets, std::vector<uint32_t>& out)
      : m_offsets(offsets), m_out(out) {}

  void Position(uint32_t begin) {
    Answer(begin);
    ++m_count;
  }
  void Finish() { Answer(UINT32_MAX); }

 private:
  // Every offset at or before `begin` lies before the position that starts there.
  void Answer(uint32_t begin) {
    while (m_out.size() < m_offsets.size() && m_offsets[m_out.size()] <= begin)
      m_out.push_back(m_count);
  }

  const std::vector<uint32_t>& m_offsets;
  std::vector<uint32_t>& m_out;
  uint32_t m_count = 0;
};

}  // namespace

std::vector<uint32_t> PositionsAt(std::string_view text, const PreparedTokens& tokens,
                                  const std::vector<uint32_t>& offsets, Analysis& scratch) {
  std::vector<uint32_t> out;
  out.reserve(offsets.size());
  PositionCounter counter(offsets, out);
  if (tokens.prepared()) {
    tokens.Replay([&counter](std::string_view, bool colocated, int begin, int) {
      if (!colocated) counter.Position(static_cast<uint32_t>(begin));
      return 0;
    });
  } else {
    scratch.Run(text);
    for (const Range part : scratch.parts())
      counter.Position(scratch.units()[part.begin].sourceBegin);
  }
  counter.Finish();
  return out;
}

}  // namespace dizode::text
