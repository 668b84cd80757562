// The call log records every call on the device and its objects, in order,
// in the documented format.
#include "d3d9_test_device.h"

#include <string>

namespace {

using CallLogTest = DeviceTest;

TEST_F(CallLogTest, RecordsCallsInOrderWithNamedObjects) {
  swd3d::setCallLog(true);
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                  D3DPOOL_DEFAULT, &texture, nullptr),
            D3D_OK);
  IDirect3DSurface9* level = nullptr;
  texture->GetSurfaceLevel(0, &level);
  device->SetRenderTarget(0, level);
  device->SetTexture(0, texture);
  const D3DRECT rect{1, 2, 3, 4};
  device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF0000FFu, 0.5f, 0);
  const RECT fill{0, 0, 2, 2};
  device->ColorFill(level, &fill, 0x00000001u);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  D3DLOCKED_RECT locked{};
  level->LockRect(&locked, nullptr, 0);  // refused, and logged all the same
  device->SetTexture(0, nullptr);
  level->Release();
  texture->Release();
  IDirect3DSurface9* backBuffer = nullptr;
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
  device->SetRenderTarget(0, backBuffer);
  backBuffer->Release();

  const std::vector<std::string> expected = {
      "CreateTexture(8, 4, 1, 1, 21, 0)",
      "GetSurfaceLevel(tex1, 0)",
      "SetRenderTarget(0, tex1.level0)",
      "SetTexture(0, tex1)",
      "Clear(1, [{1,2,3,4}], 1, 0xFF0000FF, 0.5, 0)",
      "ColorFill(tex1.level0, {0,0,2,2}, 0x00000001)",
      "SetSamplerState(0, 6, 2)",
      "LockRect(tex1.level0, null, 0)",
      "SetTexture(0, null)",
      "Release(tex1.level0)",
      "Release(tex1)",
      "GetBackBuffer(0, 0, 0)",
      "SetRenderTarget(0, backbuffer)",
      "Release(backbuffer)",
  };
  EXPECT_EQ(swd3d::takeCallLog(), expected);
  EXPECT_TRUE(swd3d::takeCallLog().empty()) << "taking the log empties it";
}

TEST_F(CallLogTest, RecordsNothingWhileOff) {
  swd3d::setCallLog(true);
  device->BeginScene();
  swd3d::setCallLog(false);
  device->EndScene();
  EXPECT_EQ(swd3d::takeCallLog(), std::vector<std::string>{"BeginScene()"});
  swd3d::setCallLog(true);
  EXPECT_TRUE(swd3d::takeCallLog().empty()) << "enabling starts an empty log";
}

}  // namespace
