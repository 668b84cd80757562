#include "host/lifecycle.h"

#include "draw/draw_state.h"
#include "effects/effect_slots.h"
#include "host/core_data.h"
#include "host/failure.h"
#include "host/host_link.h"

using namespace tessaly;

extern "C" void Constructor() {
  // Both loads are attempted before either result is tested.
  hostLink.coreModule = LoadLibraryA("DBProCore.dll");
  hostLink.setupModule = LoadLibraryA("DBProSetupDebug.dll");

  if (hostLink.coreModule == nullptr) fatalError("Core DLL could not be loaded.", "Error");
  resolveEntry(hostLink.coreModule, "?Quit@@YAKXZ", hostLink.quit);
  resolveEntry(hostLink.coreModule, "?CloseDisplay@@YAKXZ", hostLink.closeDisplay);

  if (hostLink.setupModule == nullptr) fatalError("Setup Debug DLL could not be loaded.", "Error");
  resolveEntry(hostLink.setupModule, "?GetDirect3DDevice@@YAPAUIDirect3DDevice9@@XZ",
               hostLink.getDirect3DDevice);

  resetSamplingState();
  releaseAllEffectSlots();
}

extern "C" void ReceiveCoreDataPtr(void* record) {
  hostLink.coreData = record;

  const auto imageModule = core_data::read<HMODULE>(record, core_data::imageModule);
  if (imageModule == nullptr) {
    fatalError(
        "Image DLL could not be loaded. Please include an image command in your source code.",
        "Error");
  }
  resolveEntry(imageModule, "?GetExist@@YA_NH@Z", hostLink.getExist);
  resolveEntry(imageModule, "?GetPointer@@YAPAUIDirect3DTexture9@@H@Z", hostLink.getPointer);
  resolveEntry(imageModule, "?Make@@YAPAUIDirect3DTexture9@@HHH@Z", hostLink.make);
  resolveEntry(imageModule, "?MakeFormat@@YAPAUIDirect3DTexture9@@HHHW4_D3DFORMAT@@K@Z",
               hostLink.makeFormat);
  resolveEntry(imageModule, "?Delete@@YAXH@Z", hostLink.deleteImage);

  // A missing vector module is no error here; only the effect setters need it.
  const auto vectorModule = core_data::read<HMODULE>(record, core_data::vectorModule);
  if (vectorModule != nullptr) {
    resolveEntry(vectorModule, "?GetMatrix@@YA?AUD3DXMATRIX@@H@Z", hostLink.getMatrix);
    resolveEntry(vectorModule, "?GetVector4@@YA?AUD3DXVECTOR4@@H@Z", hostLink.getVector4);
  }
}

extern "C" void Destructor() {
  if (hostLink.coreModule != nullptr) FreeLibrary(hostLink.coreModule);
  if (hostLink.setupModule != nullptr) FreeLibrary(hostLink.setupModule);
  releaseAllEffectSlots();
  hostLink = HostLink{};  // nothing of the host may be called once it unloads us
}

extern "C" void ResetTessaly() { releaseAllEffectSlots(); }
