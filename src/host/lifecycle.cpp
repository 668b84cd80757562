#include "host/lifecycle.h"

#include "draw/draw_state.h"
#include "effects/effect_slots.h"
#include "host/core_data.h"
#include "host/failure.h"
#include "host/host_link.h"

using namespace tessaly;

namespace {

// Resolves an entry the plug-in will call. A module without it ends the
// process here, naming the entry, rather than later in a call through null.
template <class Fn>
void resolveRequired(HMODULE module, const char* moduleName, const char* decoratedName, Fn*& entry) {
  resolveEntry(module, decoratedName, entry);
  if (entry == nullptr) fatalMissingHostEntry(decoratedName, moduleName);
}

}  // namespace

extern "C" void Constructor() {
  // Both loads are attempted before either result is tested.
  hostLink.coreModule = LoadLibraryA("DBProCore.dll");
  hostLink.setupModule = LoadLibraryA("DBProSetupDebug.dll");

  if (hostLink.coreModule == nullptr) fatalError("Core DLL could not be loaded.", "Error");
  resolveRequired(hostLink.coreModule, "DBProCore.dll", "?Quit@@YAKXZ", hostLink.quit);
  resolveRequired(hostLink.coreModule, "DBProCore.dll", "?CloseDisplay@@YAKXZ", hostLink.closeDisplay);

  if (hostLink.setupModule == nullptr) fatalError("Setup Debug DLL could not be loaded.", "Error");
  resolveRequired(hostLink.setupModule, "DBProSetupDebug.dll", "?GetDirect3DDevice@@YAPAUIDirect3DDevice9@@XZ",
                  hostLink.getDirect3DDevice);

  resetSamplingState();
  releaseAllEffectSlots();
}

extern "C" void ReceiveCoreDataPtr(void* record) {
  if (record == nullptr) fatalError("The host core data record is missing.", "Error");
  hostLink.coreData = record;

  const auto imageModule = core_data::read<HMODULE>(record, core_data::imageModule);
  if (imageModule == nullptr) {
    fatalError(
        "Image DLL could not be loaded. Please include an image command in your source code.",
        "Error");
  }
  constexpr const char* kImageModule = "the image module";
  resolveRequired(imageModule, kImageModule, "?GetExist@@YA_NH@Z", hostLink.getExist);
  resolveRequired(imageModule, kImageModule, "?GetPointer@@YAPAUIDirect3DTexture9@@H@Z", hostLink.getPointer);
  resolveRequired(imageModule, kImageModule, "?Make@@YAPAUIDirect3DTexture9@@HHH@Z", hostLink.make);
  resolveRequired(imageModule, kImageModule, "?MakeFormat@@YAPAUIDirect3DTexture9@@HHHW4_D3DFORMAT@@K@Z",
                  hostLink.makeFormat);
  resolveRequired(imageModule, kImageModule, "?Delete@@YAXH@Z", hostLink.deleteImage);

  // A missing vector module is no error here; only the effect setters need it.
  const auto vectorModule = core_data::read<HMODULE>(record, core_data::vectorModule);
  if (vectorModule != nullptr) {
    constexpr const char* kVectorModule = "the vector module";
    resolveRequired(vectorModule, kVectorModule, "?GetMatrix@@YA?AUD3DXMATRIX@@H@Z", hostLink.getMatrix);
    resolveRequired(vectorModule, kVectorModule, "?GetVector4@@YA?AUD3DXVECTOR4@@H@Z", hostLink.getVector4);
  }
}

extern "C" void Destructor() {
  if (hostLink.coreModule != nullptr) FreeLibrary(hostLink.coreModule);
  if (hostLink.setupModule != nullptr) FreeLibrary(hostLink.setupModule);
  releaseAllEffectSlots();
  hostLink = HostLink{};  // nothing of the host may be called once it unloads us
}

extern "C" void ResetTessaly() { releaseAllEffectSlots(); }
