// The effect slot table: 64 numbered slots, each empty or holding one
// compiled effect and the technique the paste commands use.
#pragma once

#include "host/d3dx9_api.h"

#include <array>
#include <memory>

namespace tessaly {

struct EffectSlot {
  ID3DXEffect* effect = nullptr;  // the slot's one reference
  D3DXHANDLE technique = nullptr;
};

inline constexpr int kEffectSlotCount = 64;

// Entry n - 1 holds effect number n.
extern std::array<std::unique_ptr<EffectSlot>, kEffectSlotCount> effectSlots;

// The slot of a valid effect number (1 to 64), or null when out of range.
std::unique_ptr<EffectSlot>* effectSlotEntry(int number);

// What the setters and the paste commands do first: the slot of a number
// whose effect is loaded. An out-of-range number sets runtime error 7721 and
// yields null; an empty slot in range sets 7722 and ends the process
// (fatalQuit). A slot only reserved by a load still under way has no effect
// to use and yields null as well.
EffectSlot* loadedEffectSlot(int number);

// Releases the slot's effect and empties the entry.
void deleteEffectSlot(std::unique_ptr<EffectSlot>& entry);

// Empties every slot, releasing each effect once.
void releaseAllEffectSlots();

}  // namespace tessaly
