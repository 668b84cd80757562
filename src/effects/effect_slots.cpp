#include "effects/effect_slots.h"

#include "host/failure.h"

namespace tessaly {

std::array<std::unique_ptr<EffectSlot>, kEffectSlotCount> effectSlots;

std::unique_ptr<EffectSlot>* effectSlotEntry(int number) {
  // (n - 1) as unsigned is at most 63 only for 1..64; 0 and negatives fall out.
  const auto index = static_cast<unsigned>(number) - 1u;
  if (index >= static_cast<unsigned>(kEffectSlotCount)) return nullptr;
  return &effectSlots[index];
}

EffectSlot* loadedEffectSlot(int number) {
  std::unique_ptr<EffectSlot>* entry = effectSlotEntry(number);
  if (entry == nullptr) {
    setRuntimeError(runtime_error::kEffectOutOfRange);
    return nullptr;
  }
  if (*entry == nullptr) {
    setRuntimeError(runtime_error::kEffectSlotEmpty);
    fatalQuit();
  }
  return (*entry)->effect != nullptr ? entry->get() : nullptr;
}

void deleteEffectSlot(std::unique_ptr<EffectSlot>& entry) {
  if (!entry) return;
  if (entry->effect != nullptr) entry->effect->Release();
  entry.reset();
}

void releaseAllEffectSlots() {
  for (auto& entry : effectSlots) deleteEffectSlot(entry);
}

}  // namespace tessaly
