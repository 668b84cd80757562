// "TS Delete Effect" and "TS Effect Exist": the slot table seen from scripts.
#include "effects/effect_commands.h"
#include "effects/effect_slots.h"
#include "host/failure.h"

using namespace tessaly;

extern "C" void DeleteEffectTS(int effect) {
  std::unique_ptr<EffectSlot>* entry = effectSlotEntry(effect);
  if (entry == nullptr) {
    setRuntimeError(runtime_error::kEffectOutOfRange);
    return;
  }
  deleteEffectSlot(*entry);  // an empty slot stays empty, with no error
}

extern "C" DWORD EffectExist(int effect) {
  const std::unique_ptr<EffectSlot>* entry = effectSlotEntry(effect);
  if (entry == nullptr) {
    setRuntimeError(runtime_error::kEffectOutOfRange);
    return 0;
  }
  return *entry != nullptr ? 1 : 0;
}
