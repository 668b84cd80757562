// The paste commands under the stand-in host, with effect files of the test's
// own: images by number, the draw state put back after each test, and the
// device's call log.
#pragma once

#include "effects/effect_fixture.h"
#include "recording_effect.h"

#include "draw/draw_state.h"
#include "draw/paste/paste_commands.h"

#include <string>
#include <vector>

class PasteCommandTest : public EffectCommands {
 protected:
  void TearDown() override {
    swd3d::setCallLog(false);
    tessaly::drawState = tessaly::DrawState{};
    EffectCommands::TearDown();
  }

  // Replace blending and point sampling: what lands is exactly the texels.
  static void replaceWithPointSampling() {
    SetBlendMode(20);
    SetFilters(D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE);
    SetAddressUV(D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP);
  }

  // A render target holding the words, row by row (one word: every pixel).
  void makeTarget(int number, UINT width, UINT height, const std::vector<std::uint32_t>& words) {
    makeRenderTarget(number, width, height);
    standin::ImagePixels content{width, height, words};
    if (words.size() == 1) content.words.assign(std::size_t{width} * height, words[0]);
    ASSERT_TRUE(standin::writeTargetPixels(host->device(), host->image(number), content));
  }

  std::vector<std::uint32_t> screenPixels() const {
    auto read = standin::readSurfacePixels(host->device(), host->screenSurface());
    return read ? read->words : std::vector<std::uint32_t>{};
  }

  // Starts the call log (and the log the recording effects write into).
  void startLog() {
    log.clear();
    swd3d::setCallLog(true);
  }
  std::vector<std::string> takeLog() {
    for (std::string& call : swd3d::takeCallLog()) log.push_back(std::move(call));
    swd3d::setCallLog(false);
    return std::move(log);
  }

  std::vector<std::string> log;
};

// Words 0xFF000000 | index, so that every pixel says where it came from.
inline std::vector<std::uint32_t> numberedWords(UINT width, UINT height) {
  std::vector<std::uint32_t> words(std::size_t{width} * height);
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = 0xFF000000u | static_cast<std::uint32_t>(i + 1);
  return words;
}
