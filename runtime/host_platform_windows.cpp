// The stand-in host on real Windows (tessaly-run.exe, run under Wine by the
// tests): a real Direct3D 9 device on a hidden window, and the host's modules
// as the real loader finds them. The program exports every host entry under
// its decorated name (tessaly-run.def), so its own module handle serves as
// the image and vector modules; "DBProCore.dll" and "DBProSetupDebug.dll"
// beside it pass their entries on to the program (host_module_forwarder.cpp).
// Message boxes are watched while the modules are published.
#include "host_platform.h"
#include "message_box_watch.h"
#include "stand_in_host.h"

#include <cstdio>

namespace standin {

namespace {

constexpr char kWindowClass[] = "TessalyStandInHost";

std::string hresultText(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

HWND createHiddenWindow(UINT width, UINT height) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);  // fails harmlessly when a second host registers it again
  // Never shown: the device draws into its back buffer, which the host reads.
  return CreateWindowExA(0, kWindowClass, "tessaly-run", WS_OVERLAPPEDWINDOW, 0, 0,
                         static_cast<int>(width), static_cast<int>(height), nullptr, nullptr,
                         instance, nullptr);
}

HWND hostWindowOfRun = nullptr;

}  // namespace

HostDevice createHostDevice(UINT screenWidth, UINT screenHeight, std::string& error) {
  HostDevice created;
  created.window = createHiddenWindow(screenWidth, screenHeight);
  if (created.window == nullptr) {
    error = "no window for the device (error " + std::to_string(GetLastError()) + ")";
    return created;
  }
  created.d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (created.d3d == nullptr) {
    error = "Direct3DCreate9 gave no object (under Wine: are the i386 OpenGL libraries installed?)";
    destroyHostDevice(created);
    return created;
  }
  D3DPRESENT_PARAMETERS parameters = hostPresentation(screenWidth, screenHeight, created.window);
  const HRESULT result =
      created.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, created.window,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &created.device);
  if (FAILED(result)) {
    created.device = nullptr;
    error = "CreateDevice failed with " + hresultText(result) + " for a " +
            std::to_string(screenWidth) + " x " + std::to_string(screenHeight) + " screen";
    destroyHostDevice(created);
    return created;
  }
  hostWindowOfRun = created.window;
  return created;
}

void destroyHostDevice(HostDevice& device) {
  if (device.device != nullptr) device.device->Release();
  if (device.d3d != nullptr) device.d3d->Release();
  if (device.window != nullptr) DestroyWindow(device.window);
  if (hostWindowOfRun == device.window) hostWindowOfRun = nullptr;
  device = {};
}

// The options that leave modules out serve the in-process tests of the
// stand-ins; the program always offers every module.
HostModules publishHostModules(const HostOptions&) {
  startMessageBoxWatch(hostWindowOfRun);
  HostModules modules;
  modules.image = GetModuleHandleA(nullptr);
  modules.vector = modules.image;
  return modules;
}

void withdrawHostModules(const HostModules&) { stopMessageBoxWatch(); }

}  // namespace standin
