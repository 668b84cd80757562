#include "d3dx9/effect/effect_control.h"

namespace swd3dx {

namespace {
LiveEffectObjects live;
}  // namespace

LiveEffectObjects liveEffectObjects() { return live; }

namespace hooks {
void countEffects(int delta) { live.effects += delta; }
void countBuffers(int delta) { live.buffers += delta; }
}  // namespace hooks

}  // namespace swd3dx
