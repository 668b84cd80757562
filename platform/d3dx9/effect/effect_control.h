// Stand-in only: what tests can see of the D3DX stand-in's objects.
#pragma once

namespace swd3dx {

// Effects and buffers alive right now: a leaked one fails a test.
struct LiveEffectObjects {
  int effects = 0;
  int buffers = 0;
};
LiveEffectObjects liveEffectObjects();

namespace hooks {
void countEffects(int delta);
void countBuffers(int delta);
}  // namespace hooks

}  // namespace swd3dx
