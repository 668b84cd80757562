// The device calls of one quad drawn by the quad renderer, as the call log
// writes them: the target and texture bound, the fixed states, the fan, then
// the host's screen surfaces and blending off, add and depth on again.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> quadCalls(const std::string& target, const std::string& texture) {
  return {"SetRenderTarget(0, " + target + ")",
          "SetTexture(0, " + texture + ")",
          "SetDepthStencilSurface(null)",
          "SetRenderState(8, 3)",
          "SetRenderState(26, 0)",
          "SetRenderState(137, 0)",
          "SetRenderState(22, 1)",
          "SetRenderState(28, 0)",
          "SetRenderState(14, 0)",
          "SetRenderState(7, 0)",
          "SetTextureStageState(0, 1, 4)",
          "SetTextureStageState(0, 2, 2)",
          "SetTextureStageState(0, 3, 0)",
          "SetTextureStageState(0, 4, 4)",
          "SetTextureStageState(0, 5, 2)",
          "SetTextureStageState(0, 6, 0)",
          "SetFVF(324)",
          "DrawPrimitiveUP(6, 2, 28)",
          "SetRenderTarget(0, backbuffer)",
          "SetDepthStencilSurface(depthstencil)",
          "SetRenderState(27, 0)",
          "SetRenderState(7, 1)",
          "SetRenderState(171, 1)"};
}
