// What the stand-in host takes from the platform it runs on: its Direct3D 9
// device and the modules through which the plug-in reaches it. Two builds:
// over the software stand-ins (host_platform_standin.cpp: Linux, and the
// Windows test programs) and over real Windows and a real Direct3D 9
// (host_platform_windows.cpp: tessaly-run.exe).
#pragma once

#include "host/d3d9_api.h"
#include "host/win32_api.h"

#include <string>

namespace standin {

struct HostOptions;

struct HostDevice {
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  HWND window = nullptr;  // the device's window (hidden); null on the stand-ins
};

// The presentation both platforms ask for: windowed, a back buffer of the
// screen size (A8R8G8B8) and a D24S8 depth surface.
inline D3DPRESENT_PARAMETERS hostPresentation(UINT screenWidth, UINT screenHeight, HWND window) {
  D3DPRESENT_PARAMETERS parameters{};
  parameters.BackBufferWidth = screenWidth;
  parameters.BackBufferHeight = screenHeight;
  parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = window;
  parameters.Windowed = TRUE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
  return parameters;
}

// A device with hostPresentation, vertices processed in software. On failure nothing is
// left behind and error says why.
HostDevice createHostDevice(UINT screenWidth, UINT screenHeight, std::string& error);
void destroyHostDevice(HostDevice& device);

struct HostModules {
  HMODULE core = nullptr;
  HMODULE setup = nullptr;
  HMODULE image = nullptr;   // the handles written into the host core data record
  HMODULE vector = nullptr;
};

// Makes the entries of host_entries.h reachable as the plug-in looks for
// them: "DBProCore.dll" and "DBProSetupDebug.dll" by file name, the image and
// vector modules by handle. A module the options leave out is not offered.
HostModules publishHostModules(const HostOptions& options);
void withdrawHostModules(const HostModules& modules);

}  // namespace standin
