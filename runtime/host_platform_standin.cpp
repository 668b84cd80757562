// The stand-in host over the software stand-ins: a software device, and the
// host's modules registered in-process under their Windows file names, so the
// plug-in finds them by file name and decorated entry name as it would in the
// real host.
#include "host_entries.h"
#include "host_platform.h"
#include "stand_in_host.h"

#include "win32/module_registry.h"

namespace standin {

HostDevice createHostDevice(UINT screenWidth, UINT screenHeight, std::string& error) {
  HostDevice created;
  created.d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS parameters = hostPresentation(screenWidth, screenHeight, nullptr);
  if (FAILED(created.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                       &created.device))) {
    error = "the software device refused a " + std::to_string(screenWidth) + " x " +
            std::to_string(screenHeight) + " screen";
    destroyHostDevice(created);
  }
  return created;
}

void destroyHostDevice(HostDevice& device) {
  if (device.device != nullptr) device.device->Release();
  if (device.d3d != nullptr) device.d3d->Release();
  device = {};
}

HostModules publishHostModules(const HostOptions& options) {
  HostModules modules;
  if (options.coreModule) {
    modules.core = registerModule("DBProCore.dll", {{"?Quit@@YAKXZ", entry(standinQuit)},
                                                    {"?CloseDisplay@@YAKXZ", entry(standinCloseDisplay)}});
  }
  if (options.setupModule) {
    modules.setup = registerModule(
        "DBProSetupDebug.dll",
        {{"?GetDirect3DDevice@@YAPAUIDirect3DDevice9@@XZ", entry(standinGetDirect3DDevice)}});
  }
  // The image and vector modules are the host's own: reached only through the
  // handles in the record, so they are registered under names of their own.
  if (options.imageModule) {
    modules.image = registerModule(
        "DBProImageDebug.dll",
        {{"?GetExist@@YA_NH@Z", entry(standinGetExist)},
         {"?GetPointer@@YAPAUIDirect3DTexture9@@H@Z", entry(standinGetPointer)},
         {"?Make@@YAPAUIDirect3DTexture9@@HHH@Z", entry(standinMake)},
         {"?MakeFormat@@YAPAUIDirect3DTexture9@@HHHW4_D3DFORMAT@@K@Z", entry(standinMakeFormat)},
         {"?Delete@@YAXH@Z", entry(standinDelete)}});
  }
  if (options.vectorModule) {
    modules.vector = registerModule("DBProVectorsDebug.dll",
                                    {{"?GetMatrix@@YA?AUD3DXMATRIX@@H@Z", entry(standinGetMatrix)},
                                     {"?GetVector4@@YA?AUD3DXVECTOR4@@H@Z", entry(standinGetVector4)}});
  }
  return modules;
}

void withdrawHostModules(const HostModules& modules) {
  for (HMODULE module : {modules.core, modules.setup, modules.image, modules.vector}) {
    if (module != nullptr) unregisterModule(module);
  }
}

}  // namespace standin
