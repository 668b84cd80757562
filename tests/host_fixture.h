// A stand-in host with the plug-in constructed and linked to it. At teardown
// it checks what the runtime error slot holds and that nothing was left locked
// or leaked, and that no write went past the end of a row.
#pragma once

#include "d3d9/device_control.h"
#include "host/lifecycle.h"
#include "image_pixels.h"
#include "stand_in_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    swd3d::resetPaddingViolations();
    swd3d::clearFailures();
    host = std::make_unique<standin::StandInHost>(hostOptions());
    Constructor();
    ReceiveCoreDataPtr(host->coreData());
  }

  void TearDown() override {
    EXPECT_EQ(host->runtimeError(), expectedRuntimeError) << "runtime error slot";
    EXPECT_EQ(swd3d::liveObjects().lockedSurfaces, 0) << "a surface was left locked";
    Destructor();
    host.reset();
    const swd3d::LiveObjects live = swd3d::liveObjects();
    EXPECT_EQ(live.textures, 0) << "leaked textures";
    EXPECT_EQ(live.surfaces, 0) << "leaked surfaces";
    EXPECT_EQ(live.devices, 0) << "leaked devices";
    EXPECT_EQ(swd3d::paddingViolations(), 0) << "a write went past the end of a row";
    swd3d::clearFailures();
  }

  virtual standin::HostOptions hostOptions() const { return {}; }

  // A plain image of the given size filled from words (row by row), or with
  // one colour when words holds a single value.
  void makePlain(int number, UINT width, UINT height, const std::vector<std::uint32_t>& words) {
    IDirect3DTexture9* texture = host->makeImage(number, static_cast<int>(width),
                                                 static_cast<int>(height));
    ASSERT_NE(texture, nullptr);
    standin::ImagePixels pixels{width, height, words};
    if (words.size() == 1) pixels.words.assign(std::size_t{width} * height, words[0]);
    ASSERT_TRUE(standin::writePixels(texture, pixels));
  }

  void makeRenderTarget(int number, UINT width, UINT height) {
    ASSERT_NE(host->makeImageFormat(number, static_cast<int>(width), static_cast<int>(height),
                                    D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET),
              nullptr);
  }

  std::vector<std::uint32_t> pixels(int number) const {
    auto read = standin::readPixels(host->device(), host->image(number));
    return read ? read->words : std::vector<std::uint32_t>{};
  }

  std::unique_ptr<standin::StandInHost> host;
  std::int32_t expectedRuntimeError = 0;
};

// Death tests: the fatal path's stderr shows CloseDisplay, Quit, then the box.
inline std::string fatalOutput(const std::string& message, const std::string& caption) {
  return "host: CloseDisplay\nhost: Quit\nMessageBox \\[" + caption + "\\]: " + message;
}

// The whole of a child's stderr: exactly this text and a final newline.
inline std::string wholeOutput(const std::string& text) {
  std::string pattern("^");
  pattern.append(text).append("\n$");
  return pattern;
}
