#include "d3d9/raster/texture_stage.h"

#include <algorithm>

namespace swd3d::raster {

namespace {

bool readsTexture(StageOp op, StageArg arg1, StageArg arg2) {
  switch (op) {
    case StageOp::SelectArg1: return arg1 == StageArg::Texture;
    case StageOp::SelectArg2: return arg2 == StageArg::Texture;
    case StageOp::Modulate: return arg1 == StageArg::Texture || arg2 == StageArg::Texture;
  }
  return true;
}

// One channel of the span through one operation.
void applyOp(StageOp op, const float* arg1, const float* arg2, int count, float* out) {
  for (int i = 0; i < count; ++i) {
    float value = 0;
    switch (op) {
      case StageOp::SelectArg1: value = arg1[i]; break;
      case StageOp::SelectArg2: value = arg2[i]; break;
      case StageOp::Modulate: value = arg1[i] * arg2[i]; break;
    }
    out[i] = std::min(std::max(value, 0.0f), 1.0f);
  }
}

const SpanColours& argument(StageArg arg, const SpanColours& texture, const SpanColours& diffuse) {
  return arg == StageArg::Texture ? texture : diffuse;
}

}  // namespace

bool stageReadsTexture(const StageSettings& stage) {
  return readsTexture(stage.colourOp, stage.colourArg1, stage.colourArg2) ||
         readsTexture(stage.alphaOp, stage.alphaArg1, stage.alphaArg2);
}

void applyStage(const StageSettings& stage, const SpanColours& texture,
                const SpanColours& diffuse, int count, SpanColours& out) {
  const SpanColours& c1 = argument(stage.colourArg1, texture, diffuse);
  const SpanColours& c2 = argument(stage.colourArg2, texture, diffuse);
  applyOp(stage.colourOp, c1.r, c2.r, count, out.r);
  applyOp(stage.colourOp, c1.g, c2.g, count, out.g);
  applyOp(stage.colourOp, c1.b, c2.b, count, out.b);
  const SpanColours& a1 = argument(stage.alphaArg1, texture, diffuse);
  const SpanColours& a2 = argument(stage.alphaArg2, texture, diffuse);
  applyOp(stage.alphaOp, a1.a, a2.a, count, out.a);
}

}  // namespace swd3d::raster
