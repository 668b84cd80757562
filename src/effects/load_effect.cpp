// "TS Load Effect" in both forms: reserve the slot, compile the file into it
// with the host's device, and on failure give the slot back.
#include "effects/compiler_messages_box.h"
#include "effects/effect_commands.h"
#include "effects/effect_slots.h"
#include "effects/host_string.h"
#include "host/failure.h"
#include "host/host_link.h"

#include <sys/stat.h>

#include <new>

using namespace tessaly;

namespace {

// The entry of a free slot, now holding an empty effect slot; null when the
// number is out of range (7721) or the slot cannot be allocated. A slot in
// use ends the process (7723): an effect must be deleted before its number
// is loaded again.
std::unique_ptr<EffectSlot>* reserveSlot(int number) {
  std::unique_ptr<EffectSlot>* entry = effectSlotEntry(number);
  if (entry == nullptr) {
    setRuntimeError(runtime_error::kEffectOutOfRange);
    return nullptr;
  }
  if (*entry != nullptr) {
    setRuntimeError(runtime_error::kEffectSlotInUse);
    fatalQuit();
  }
  entry->reset(new (std::nothrow) EffectSlot);
  return *entry != nullptr ? entry : nullptr;
}

bool loadIntoSlot(EffectSlot& slot, const char* fileName) {
  IDirect3DDevice9* device = hostLink.getDirect3DDevice();
  struct stat status;
  if (stat(fileName, &status) != 0) {
    setRuntimeError(runtime_error::kEffectFileMissing);
    return false;
  }
  ID3DXBuffer* errors = nullptr;
  const HRESULT result = D3DXCreateEffectFromFileA(device, fileName, nullptr, nullptr,
                                                   D3DXSHADER_DEBUG, nullptr, &slot.effect, &errors);
  if (SUCCEEDED(result) && slot.effect != nullptr) {
    slot.effect->FindNextValidTechnique(nullptr, &slot.technique);
    if (errors != nullptr) errors->Release();  // warnings
    return true;
  }
  // A failure that still handed out an effect would leak it.
  if (slot.effect != nullptr) slot.effect->Release();
  slot.effect = nullptr;
  showCompilerMessages(errors, fileName);
  if (errors != nullptr) errors->Release();
  return false;
}

enum class Load { Loaded, NotReserved, Failed };

// Reserves, loads, and frees the slot again if the load fails.
Load loadEffect(const char* fileName, int number) {
  std::unique_ptr<EffectSlot>* entry = reserveSlot(number);
  if (entry == nullptr) return Load::NotReserved;
  if (loadIntoSlot(**entry, fileName)) return Load::Loaded;
  deleteEffectSlot(*entry);
  return Load::Failed;
}

}  // namespace

extern "C" void LoadEffect(char* fileName, int effect) {
  if (loadEffect(hostString(fileName), effect) == Load::Failed) fatalQuit();
}

extern "C" DWORD LoadEffectTry(char* fileName, int effect) {
  return loadEffect(hostString(fileName), effect) == Load::Loaded ? 1 : 0;
}
