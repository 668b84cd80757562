// The commands that set an effect's technique and parameters. Parameter and
// technique names go to the effect as they are: D3DX looks a string up by name.
#include "effects/effect_commands.h"
#include "effects/effect_slots.h"
#include "effects/host_string.h"
#include "host/failure.h"
#include "host/host_link.h"

using namespace tessaly;

namespace {

// The host has no vector module when the program uses no vector command, and
// then has no vectors or matrices to give. Without a slot there is nothing to
// set and the command returns as it would anyway; with one, the command
// cannot do its work, and says why as the host's other missing modules do.
[[noreturn]] void fatalNoVectorModule(const char* caption) {
  fatalError("Vector DLL could not be loaded. Please include a vector command in your source code.",
             caption);
}

}  // namespace

extern "C" void SetEffectFloat(int effect, char* name, float value) {
  EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  slot->effect->SetFloat(hostString(name), value);
}

extern "C" void SetEffectVector4(int effect, char* name, int vector) {
  EffectSlot* slot = loadedEffectSlot(effect);
  if (hostLink.getVector4 == nullptr) {
    if (slot != nullptr) fatalNoVectorModule("TS Set Effect Vector4 - Error");
    return;
  }
  // Asked for even without a slot, as the host may count on the call.
  const D3DXVECTOR4 value = hostLink.getVector4(vector);
  if (slot == nullptr) return;
  slot->effect->SetVector(hostString(name), &value);
}

extern "C" void SetEffectMatrix(int effect, char* name, int matrix) {
  EffectSlot* slot = loadedEffectSlot(effect);
  if (hostLink.getMatrix == nullptr) {
    if (slot != nullptr) fatalNoVectorModule("TS Set Effect Matrix4 - Error");
    return;
  }
  const D3DXMATRIX value = hostLink.getMatrix(matrix);
  if (slot == nullptr) return;
  slot->effect->SetMatrix(hostString(name), &value);
}

extern "C" void SetEffectTexture(int effect, char* name, int image) {
  EffectSlot* slot = loadedEffectSlot(effect);
  // Not through the image lock: a missing image is no error here, it sets
  // the parameter to no texture.
  IDirect3DTexture9* texture = hostLink.getPointer(image);
  if (slot == nullptr) return;
  slot->effect->SetTexture(hostString(name), texture);
}

extern "C" void SetEffectTechnique(int effect, char* name) {
  EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  // A technique that does not validate leaves the slot's technique as it was.
  if (SUCCEEDED(slot->effect->ValidateTechnique(hostString(name)))) {
    slot->technique = slot->effect->GetTechniqueByName(hostString(name));
  }
}
