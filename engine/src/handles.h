// @brief Handle tables: 32-bit handles with a kind tag and a generation count per slot.
//
// Layout of a handle: bits 28..31 the table's kind (so a session handle given where a search
// is expected is refused), bits 16..27 the slot's generation, bits 0..15 the slot index plus 1
// (so 0 is never a handle). Freeing a slot bumps its generation: the old handle goes stale and
// is refused instead of reaching whatever lives in the slot later. Not thread-safe on its own;
// the registry (registry.h) locks around it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace dizode {

enum class HandleKind : uint32_t { kSession = 1, kCollection = 2, kSearch = 3, kReply = 4 };

template <typename T>
class HandleTable {
 public:
  static constexpr uint32_t kMaxSlots = 0xFFFF;

  explicit HandleTable(HandleKind kind) : m_kind(static_cast<uint32_t>(kind)) {}

  // Stores the object and returns its handle, or 0 when every slot is taken.
  uint32_t Add(std::shared_ptr<T> object) {
    uint32_t index;
    if (!m_free.empty()) {
      index = m_free.back();
      m_free.pop_back();
    } else if (m_slots.size() < kMaxSlots) {
      index = static_cast<uint32_t>(m_slots.size());
      m_slots.emplace_back();
    } else {
      return 0;
    }
    m_slots[index].object = std::move(object);
    return Encode(index, m_slots[index].generation);
  }

  // The live object of a handle, or null for a stale, foreign or malformed one.
  std::shared_ptr<T> Get(uint32_t handle) const {
    const Slot* slot = Find(handle);
    return slot ? slot->object : nullptr;
  }

  // Removes and returns the object; null when the handle is not live.
  std::shared_ptr<T> Remove(uint32_t handle) {
    Slot* slot = const_cast<Slot*>(Find(handle));
    if (!slot) return nullptr;
    std::shared_ptr<T> object = std::move(slot->object);
    slot->generation = (slot->generation + 1) & 0xFFF;
    m_free.push_back((handle & 0xFFFF) - 1);
    return object;
  }

 private:
  struct Slot {
    std::shared_ptr<T> object;
    uint32_t generation = 1;
  };

  uint32_t Encode(uint32_t index, uint32_t generation) const {
    return (m_kind << 28) | (generation << 16) | (index + 1);
  }

  const Slot* Find(uint32_t handle) const {
    if ((handle >> 28) != m_kind) return nullptr;
    uint32_t index = handle & 0xFFFF;
    if (index == 0 || index > m_slots.size()) return nullptr;
    const Slot& slot = m_slots[index - 1];
    if (!slot.object || slot.generation != ((handle >> 16) & 0xFFF)) return nullptr;
    return &slot;
  }

  uint32_t m_kind;
  std::vector<Slot> m_slots;
  std::vector<uint32_t> m_free;
};

}  // namespace dizode
