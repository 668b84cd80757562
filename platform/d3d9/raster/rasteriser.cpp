#include "d3d9/raster/rasteriser.h"

#include "d3d9/raster/blend_equation.h"
#include "d3d9/raster/exact_interpolation.h"
#include "d3d9/raster/span_interpolation.h"
#include "d3d9/raster/texel_position.h"
#include "d3d9/raster/texture_stage.h"
#include "d3d9/raster/unorm8.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <optional>

namespace swd3d::raster {

namespace {

// Triangles reaching beyond what can be snapped are cut to this square first.
// It lies far outside any surface, so the cut edges never cover a pixel.
constexpr double kGuardBand = kMaxSnappedPixels / 2;

struct Point2 {
  double x;
  double y;
};

// Cuts a convex polygon to one side of an axis-aligned line.
int clipPolygon(const Point2* in, int count, Point2* out, bool alongX, double limit,
                bool keepBelow) {
  const auto inside = [&](const Point2& p) {
    const double value = alongX ? p.x : p.y;
    return keepBelow ? value <= limit : value >= limit;
  };
  int made = 0;
  for (int i = 0; i < count; ++i) {
    const Point2& from = in[i];
    const Point2& to = in[(i + 1) % count];
    if (inside(from)) out[made++] = from;
    if (inside(from) != inside(to)) {
      // With coordinates this large the cut is inexact; computing it from the
      // same end whichever way the edge runs puts it in the same place for
      // both triangles that share the edge, so no gap opens between them.
      const bool forward = from.x < to.x || (from.x == to.x && from.y < to.y);
      const Point2& p = forward ? from : to;
      const Point2& q = forward ? to : from;
      const double a = alongX ? p.x : p.y;
      const double b = alongX ? q.x : q.y;
      const double t = (limit - a) / (b - a);
      Point2 cut{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
      (alongX ? cut.x : cut.y) = limit;
      out[made++] = cut;
    }
  }
  return made;
}

// The triangle cut to the guard band: a convex polygon of up to 7 corners.
int cutToGuardBand(const double (&x)[3], const double (&y)[3], Point2 (&polygon)[8]) {
  Point2 scratch[8];
  for (int i = 0; i < 3; ++i) polygon[i] = {x[i], y[i]};
  int count = 3;
  count = clipPolygon(polygon, count, scratch, true, -kGuardBand, false);
  count = clipPolygon(scratch, count, polygon, true, kGuardBand, true);
  count = clipPolygon(polygon, count, scratch, false, -kGuardBand, false);
  count = clipPolygon(scratch, count, polygon, false, kGuardBand, true);
  return count;
}

// What one of colour and alpha of stage 0 gives when the diffuse colour is
// constant: the texel's bytes, the diffuse bytes, or anything else.
enum class StageResult { Texel, Diffuse, Other };

StageResult stageResult(StageOp op, StageArg arg1, StageArg arg2, bool diffuseIsOne) {
  switch (op) {
    case StageOp::SelectArg1:
      return arg1 == StageArg::Texture ? StageResult::Texel : StageResult::Diffuse;
    case StageOp::SelectArg2:
      return arg2 == StageArg::Texture ? StageResult::Texel : StageResult::Diffuse;
    case StageOp::Modulate:
      if (!diffuseIsOne || (arg1 == StageArg::Texture && arg2 == StageArg::Texture)) {
        return StageResult::Other;
      }
      return arg1 == StageArg::Texture || arg2 == StageArg::Texture ? StageResult::Texel
                                                                     : StageResult::Diffuse;
  }
  return StageResult::Other;
}

}  // namespace

Rasteriser::Rasteriser(const DrawSettings& settings)
    : settings_(settings), textureAccess_(settings.textures), wordBlend_(settings.blend) {
  const TextureBinding& stage0 = settings.textures[0];
  readsTexture_ = settings.program == nullptr && stageReadsTexture(settings.stage) &&
                  stage0.texels != nullptr;
  if (stage0.texels != nullptr) stageTexture_ = {*stage0.texels, stage0.sampler.borderColour};
  programReadsDiffuse_ = settings.program != nullptr && settings.program->readsDiffuse();
  programReadsTexCoordArrays_ =
      settings.program != nullptr && settings.program->readsTexCoordArrays();
  blendCopiesSource_ = blendCopiesSource(settings.blend);
}

void Rasteriser::drawTriangle(const Vertex& a, const Vertex& b, const Vertex& c) {
  const Vertex vertices[3] = {a, b, c};
  double x[3];
  double y[3];
  SnappedPoint snapped[3];
  bool allSnapped = true;
  for (int i = 0; i < 3; ++i) {
    x[i] = vertices[i].x;
    y[i] = vertices[i].y;
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return;
    const std::optional<std::int64_t> sx = snapToSubpixels(x[i]);
    const std::optional<std::int64_t> sy = snapToSubpixels(y[i]);
    if (sx && sy) {
      snapped[i] = {*sx, *sy};
    } else {
      allSnapped = false;
    }
  }

  Triangle triangle;
  if (allSnapped) {
    double sx[3];
    double sy[3];
    for (int i = 0; i < 3; ++i) {
      sx[i] = static_cast<double>(snapped[i].x) / kSubpixelsPerPixel;
      sy[i] = static_cast<double>(snapped[i].y) / kSubpixelsPerPixel;
    }
    const auto coverage = TriangleCoverage::make(snapped[0], snapped[1], snapped[2],
                                                 settings_.cull, settings_.clip);
    if (!coverage) return;
    setUpAttributes(vertices, sx, sy, triangle);
    queue(*coverage, triangle, Corners{snapped[0], snapped[1], snapped[2]});
    return;
  }

  // Far outside: cull the whole triangle, then draw what lies within the
  // guard band, with attributes from the triangle as given.
  setUpAttributes(vertices, x, y, triangle);
  const double area = triangle.origin.area;
  if (!(area != 0) || !std::isfinite(area)) return;
  if (settings_.cull == CullMode::Clockwise && area > 0) return;
  if (settings_.cull == CullMode::CounterClockwise && area < 0) return;
  Point2 polygon[8];
  const int corners = cutToGuardBand(x, y, polygon);
  SnappedPoint cut[8];
  for (int i = 0; i < corners; ++i) {
    const std::optional<std::int64_t> sx = snapToSubpixels(polygon[i].x);
    const std::optional<std::int64_t> sy = snapToSubpixels(polygon[i].y);
    if (!sx || !sy) return;  // a cut that went wrong in float: nothing drawn
    cut[i] = {*sx, *sy};
  }
  for (int i = 1; i + 1 < corners; ++i) {
    const auto coverage =
        TriangleCoverage::make(cut[0], cut[i], cut[i + 1], CullMode::None, settings_.clip);
    if (coverage) queue(*coverage, triangle, std::nullopt);
  }
}

void Rasteriser::setUpAttributes(const Vertex (&v)[3], const double (&x)[3], const double (&y)[3],
                                 Triangle& triangle) {
  const PlaneOrigin origin(x, y);
  triangle.origin = origin;
  const auto plane = [&](auto value) {
    return AttributePlane(origin, value(v[0]), value(v[1]), value(v[2]));
  };
  triangle.u = plane([](const Vertex& p) { return double{p.u}; });
  triangle.v = plane([](const Vertex& p) { return double{p.v}; });
  for (int c = 0; c < 4; ++c) {
    static constexpr int kShifts[4] = {kRedShift, kGreenShift, kBlueShift, kAlphaShift};
    triangle.colour[c] = plane([&](const Vertex& p) {
      return static_cast<double>(channel(p.diffuse, kShifts[c])) / 255.0;
    });
  }
  triangle.constantDiffuse = v[0].diffuse == v[1].diffuse && v[1].diffuse == v[2].diffuse;
  triangle.diffuse = v[0].diffuse;
  if (settings_.program == nullptr && triangle.constantDiffuse) {
    const StageSettings& stage = settings_.stage;
    const std::uint32_t diffuse = triangle.diffuse;
    const StageResult colour = stageResult(stage.colourOp, stage.colourArg1, stage.colourArg2,
                                           (diffuse & 0x00FFFFFF) == 0x00FFFFFF);
    const StageResult alpha = stageResult(stage.alphaOp, stage.alphaArg1, stage.alphaArg2,
                                          (diffuse >> 24) == 0xFF);
    const bool texelsBound = readsTexture_;
    triangle.wordSource = colour != StageResult::Other && alpha != StageResult::Other &&
                          (texelsBound || (colour != StageResult::Texel && alpha != StageResult::Texel));
    triangle.texelMask = (colour == StageResult::Texel ? 0x00FFFFFFu : 0u) |
                         (alpha == StageResult::Texel ? 0xFF000000u : 0u);
    triangle.constantBits = (colour == StageResult::Diffuse ? diffuse & 0x00FFFFFFu : 0u) |
                            (alpha == StageResult::Diffuse ? diffuse & 0xFF000000u : 0u);
  }

  if (settings_.program != nullptr) {
    triangle.exactAlongRows =
        interpolatesExactly(triangle.u, origin, settings_.clip, kSpanPixels) &&
        interpolatesExactly(triangle.v, origin, settings_.clip, kSpanPixels);
    return;
  }
  if (!readsTexture_) return;
  // Texture coordinates in texels: u × width is exact in double, so a
  // same-size quad steps by exactly one texel per pixel.
  const double width = stageTexture_.texels.width;
  const double height = stageTexture_.texels.height;
  triangle.s = plane([&](const Vertex& p) { return double{p.u} * width; });
  triangle.t = plane([&](const Vertex& p) { return double{p.v} * height; });
  const SamplerSettings& sampler = settings_.textures[0].sampler;
  const bool minified =
      minifies(triangle.s.dx, triangle.t.dx, triangle.s.dy, triangle.t.dy, sampler.lodBias);
  triangle.filter = minified ? sampler.minFilter : sampler.magFilter;
  triangle.sampler = spanSampler(triangle.filter, sampler.addressU, sampler.addressV);
}

void Rasteriser::queue(const TriangleCoverage& coverage, const Triangle& triangle,
                       const std::optional<Corners>& corners) {
  if (queuedCount_ == kQueuedTriangles) finish();
  queued_[queuedCount_++].emplace(Queued{coverage, triangle, corners});
}

void Rasteriser::finish() {
  int top = INT32_MAX;
  int bottom = INT32_MIN;
  std::optional<TriangleCoverage::RowSteps> rows[kQueuedTriangles];
  for (int i = 0; i < queuedCount_; ++i) {
    top = std::min(top, queued_[i]->coverage.top());
    bottom = std::max(bottom, queued_[i]->coverage.bottom());
    rows[i].emplace(queued_[i]->coverage);
  }
  if (const std::optional<TexelOffset> offset = queuedTexelOffset()) {
    // A rectangle drawn texel for pixel, the texels all inside the texture:
    // its rows are copied or blended one after another, with no stepping.
    if (const std::optional<ClipRect> rectangle = queuedRectangle()) {
      const OffsetBlock block{rectangle->top, rectangle->bottom - rectangle->top,
                              {rectangle->left, rectangle->right}};
      if (block.rows <= 0 || block.run.left >= block.run.right) {
        clearQueue();
        return;
      }
      if (texelsInside(block.top, block.run, *offset) &&
          texelsInside(block.top + block.rows - 1, block.run, *offset)) {
        drawOffsetBlock(block, *offset);
        clearQueue();
        return;
      }
    }
    // Abutting runs of a row join exactly here, so each row is one run.
    for (int y = top; y < bottom; ++y) {
      RowRun joined{0, 0};
      const Triangle* triangle = nullptr;
      for (int i = 0; i < queuedCount_; ++i) {
        const Queued& q = *queued_[i];
        if (y < q.coverage.top() || y >= q.coverage.bottom()) continue;
        const RowRun run = rows[i]->next();
        if (run.left >= run.right) continue;
        if (triangle != nullptr && (run.left == joined.right || run.right == joined.left)) {
          joined = {std::min(joined.left, run.left), std::max(joined.right, run.right)};
          continue;
        }
        if (triangle != nullptr) shadeOffsetRun(y, joined, *triangle, *offset);
        triangle = &q.triangle;
        joined = run;
      }
      if (triangle != nullptr) shadeOffsetRun(y, joined, *triangle, *offset);
    }
    clearQueue();
    return;
  }
  std::optional<TexelWalk> pendingWalk;
  std::optional<TexelWalk> joinedWalk;
  for (int y = top; y < bottom; ++y) {
    // Runs that abut and would come out the same drawn apart are drawn as
    // one: the two halves of a quad's row become one copy, blend or shaded run.
    const Triangle* pending = nullptr;
    RowRun pendingRun{0, 0};
    pendingWalk.reset();
    const auto shadePending = [&] {
      shadeRun(y, pendingRun.left, pendingRun.right, *pending, pendingWalk ? &*pendingWalk : nullptr);
    };
    for (int i = 0; i < queuedCount_; ++i) {
      const Queued& q = *queued_[i];
      if (y < q.coverage.top() || y >= q.coverage.bottom()) continue;
      const RowRun run = rows[i]->next();
      if (run.left >= run.right) continue;
      if (pending != nullptr && joins(y, *pending, pendingRun, q.triangle, run, joinedWalk)) {
        pendingRun = {std::min(pendingRun.left, run.left), std::max(pendingRun.right, run.right)};
        pendingWalk.swap(joinedWalk);
        continue;
      }
      if (pending != nullptr) shadePending();
      pending = &q.triangle;
      pendingRun = run;
      pendingWalk.reset();
    }
    if (pending != nullptr) shadePending();
  }
  clearQueue();
}

void Rasteriser::clearQueue() {
  for (int i = 0; i < queuedCount_; ++i) queued_[i].reset();
  queuedCount_ = 0;
  gradientsOf_ = nullptr;
}

std::optional<Rasteriser::TexelOffset> Rasteriser::queuedTexelOffset() const {
  if (queuedCount_ == 0 || !readsTexture_ || settings_.program != nullptr) return std::nullopt;
  // Within 2^19 pixels and texels, with every term a multiple of 2^-32,
  // s = s0 + (x - x0) and t = t0 + (y - y0) need at most 53 bits: they are
  // exact in double, so is their fixed point, and every walk steps exactly.
  constexpr double kLimit = 524288.0;
  if (settings_.clip.right > kLimit || settings_.clip.bottom > kLimit) return std::nullopt;
  const auto fixedExactly = [&](double value, std::int64_t& fixed) {
    if (!(std::fabs(value) <= kLimit)) return false;
    const double scaled = value * kFixedOne;
    fixed = static_cast<std::int64_t>(scaled);
    return static_cast<double>(fixed) == scaled;
  };
  const Triangle& first = queued_[0]->triangle;
  bool linear = false;
  for (int i = 0; i < queuedCount_; ++i) {
    const Triangle& t = queued_[i]->triangle;
    linear = linear || t.filter == Filter::Linear;
    if (!t.wordSource || t.texelMask != 0xFFFFFFFF ||
        t.origin.x0 != first.origin.x0 || t.origin.y0 != first.origin.y0 ||
        t.s.at0 != first.s.at0 || t.t.at0 != first.t.at0 || t.s.dx != 1.0 || t.s.dy != 0.0 ||
        t.t.dx != 0.0 || t.t.dy != 1.0) {
      return std::nullopt;
    }
  }
  std::int64_t s0, t0, x0, y0;
  if (!fixedExactly(first.s.at0, s0) || !fixedExactly(first.t.at0, t0) ||
      !fixedExactly(first.origin.x0, x0) || !fixedExactly(first.origin.y0, y0)) {
    return std::nullopt;
  }
  const TexelOffset offset{s0 - x0, t0 - y0};
  // Linear filtering takes one texel whole only where every pixel centre
  // meets a texel centre: both weights are then 0.
  constexpr std::int64_t kFraction = 0xFFFFFFFF;
  constexpr std::int64_t kHalf = std::int64_t{1} << 31;
  if (linear && ((offset.column & kFraction) != kHalf || (offset.row & kFraction) != kHalf)) {
    return std::nullopt;
  }
  return offset;
}

std::optional<ClipRect> Rasteriser::queuedRectangle() const {
  if (queuedCount_ != 2 || !queued_[0]->corners || !queued_[1]->corners) return std::nullopt;
  return TriangleCoverage::splitRectangle(*queued_[0]->corners, *queued_[1]->corners,
                                          settings_.clip);
}

void Rasteriser::shadeOffsetRun(int y, RowRun run, const Triangle& triangle, TexelOffset offset) {
  if (texelsInside(y, run, offset)) {
    drawOffsetBlock({y, 1, run}, offset);
  } else {
    shadeWordRun(y, run.left, run.right, triangle, nullptr);
  }
}

bool Rasteriser::texelsInside(int y, RowRun run, TexelOffset offset) const {
  const PixelPlane& texels = stageTexture_.texels;
  const std::int64_t column = texelFloor(offset.column + (std::int64_t{run.left} << 32));
  const std::int64_t row = texelFloor(offset.row + (std::int64_t{y} << 32));
  return column >= 0 && column + (run.right - run.left) <= texels.width && row >= 0 &&
         row < texels.height;
}

void Rasteriser::drawOffsetBlock(const OffsetBlock& block, TexelOffset offset) {
  const PixelPlane& texels = stageTexture_.texels;
  const PixelPlane& target = settings_.target;
  const std::int64_t column = texelFloor(offset.column + (std::int64_t{block.run.left} << 32));
  const std::int64_t row = texelFloor(offset.row + (std::int64_t{block.top} << 32));
  const int count = block.run.right - block.run.left;
  const std::uint8_t* from = reinterpret_cast<const std::uint8_t*>(
      texels.row(static_cast<int>(row)) + column);
  std::uint8_t* to = reinterpret_cast<std::uint8_t*>(target.row(block.top) + block.run.left);
  if (wordBlend_.replaces()) {
    // memmove: the texture may be the target itself.
    const std::size_t bytes = std::size_t(count) * 4;
    for (int i = 0; i < block.rows; ++i, from += texels.pitch, to += target.pitch) {
      std::memmove(to, from, bytes);
    }
    return;
  }
  for (int i = 0; i < block.rows; ++i, from += texels.pitch, to += target.pitch) {
    wordBlend_(reinterpret_cast<const std::uint32_t*>(from), count,
               reinterpret_cast<std::uint32_t*>(to));
  }
}

bool Rasteriser::joins(int y, const Triangle& first, RowRun firstRun, const Triangle& second,
                       RowRun secondRun, std::optional<TexelWalk>& joinedWalk) const {
  joinedWalk.reset();
  if (firstRun.right != secondRun.left && secondRun.right != firstRun.left) return false;
  if (settings_.program != nullptr) return programInputsMatch(first, second);
  if (!first.wordSource || !second.wordSource || first.texelMask != second.texelMask ||
      first.constantBits != second.constantBits) {
    return false;
  }
  if (first.texelMask == 0) return true;  // one constant colour
  const auto samePlane = [](const AttributePlane& a, const AttributePlane& b) {
    return a.at0 == b.at0 && a.dx == b.dx && a.dy == b.dy;
  };
  if (first.filter != second.filter || first.origin.x0 != second.origin.x0 ||
      first.origin.y0 != second.origin.y0 || !samePlane(first.s, second.s) ||
      !samePlane(first.t, second.t)) {
    return false;
  }
  // The walk from the joined run's left must reach the right run's first
  // pixel exactly where that run's own walk starts.
  const RowRun left = firstRun.left < secondRun.left ? firstRun : secondRun;
  const RowRun right = firstRun.left < secondRun.left ? secondRun : firstRun;
  const TexelWalk joined = texelWalk(y, left.left, right.right, first);
  const TexelWalk own = texelWalk(y, right.left, right.right, first);
  if (!joined.stepsExactly() || !own.stepsExactly()) return false;
  const TexelSteps reached = joined.steps().advanced(right.left - left.left);
  const TexelSteps start = own.steps();
  if (reached.s != start.s || reached.t != start.t || reached.ds != start.ds ||
      reached.dt != start.dt) {
    return false;
  }
  joinedWalk.emplace(joined);
  return true;
}

bool Rasteriser::programInputsMatch(const Triangle& first, const Triangle& second) const {
  const auto samePlane = [](const AttributePlane& a, const AttributePlane& b) {
    return a.at0 == b.at0 && a.dx == b.dx && a.dy == b.dy;
  };
  // Interpolated diffuse colours are not joined: only constant ones.
  const bool sameDiffuse = !programReadsDiffuse_ || (first.constantDiffuse &&
                                                     second.constantDiffuse &&
                                                     first.diffuse == second.diffuse);
  return first.exactAlongRows && second.exactAlongRows && sameDiffuse &&
         first.origin.x0 == second.origin.x0 && first.origin.y0 == second.origin.y0 &&
         samePlane(first.u, second.u) && samePlane(first.v, second.v);
}

void Rasteriser::diffuseSpan(const Triangle& triangle, double x, double y, int count) {
  float* channels[4] = {diffuse_.r, diffuse_.g, diffuse_.b, diffuse_.a};
  if (triangle.constantDiffuse) {
    static constexpr int kShifts[4] = {kRedShift, kGreenShift, kBlueShift, kAlphaShift};
    for (int c = 0; c < 4; ++c) {
      std::fill_n(channels[c], count, fromUnorm8(channel(triangle.diffuse, kShifts[c])));
    }
    return;
  }
  for (int c = 0; c < 4; ++c) {
    const AttributePlane& plane = triangle.colour[c];
    interpolateSpan(plane.at(triangle.origin, x, y), plane.dx, count, channels[c]);
  }
}

PixelRange Rasteriser::insideRange(const TexelWalk& walk, const Triangle& triangle, int first,
                                   int count) const {
  if (!walk.stepsExactly()) return {0, 0};
  const PixelPlane& texels = stageTexture_.texels;
  return steppedInsideRange(triangle.filter, walk.steps().advanced(first), count, texels.width,
                            texels.height);
}

void Rasteriser::sampleRun(const TexelWalk& walk, const Triangle& triangle, int first,
                           int count, std::uint32_t* out) {
  sampleRun(walk, triangle, first, count, insideRange(walk, triangle, first, count), out);
}

void Rasteriser::sampleRun(const TexelWalk& walk, const Triangle& triangle, int first,
                           int count, PixelRange inside, std::uint32_t* out) {
  // Pixels whose texels lie inside need no addressing: the stepped kernel
  // takes them, the addressing kernels the rest at either end.
  const auto addressed = [&](int from, int to) {
    for (int done = from; done < to; done += kSpanPixels) {
      const int n = std::min(kSpanPixels, to - done);
      walk.fill(first + done, n, coords_);
      triangle.sampler(stageTexture_, coords_, n, out + done);
    }
  };
  if (inside.first >= inside.last) {
    addressed(0, count);
    return;
  }
  addressed(0, inside.first);
  steppedInsideSampler(triangle.filter)(stageTexture_, walk.steps().advanced(first + inside.first),
                                        inside.last - inside.first, out + inside.first);
  addressed(inside.last, count);
}

TexelWalk Rasteriser::texelWalk(int y, int left, int right, const Triangle& triangle) const {
  const double py = y;
  return TexelWalk(triangle.s.at(triangle.origin, left, py), triangle.t.at(triangle.origin, left, py),
                   triangle.s.dx, triangle.t.dx, right - left, stageTexture_.texels,
                   settings_.textures[0].sampler);
}

void Rasteriser::shadeWordRun(int y, int left, int right, const Triangle& triangle,
                              const TexelWalk* walk) {
  if (triangle.texelMask == 0) {
    std::uint32_t* row = settings_.target.row(y) + left;
    const int count = right - left;
    for (int x = 0; x < count; x += kSpanPixels) {
      const int n = std::min(kSpanPixels, count - x);
      std::fill_n(texels_, n, triangle.constantBits);
      wordBlend_(texels_, n, row + x);
    }
    return;
  }
  if (walk != nullptr) {
    shadeWordSegment(y, left, left, right, *walk, triangle);
  } else {
    shadeWordSegment(y, left, left, right, texelWalk(y, left, right, triangle), triangle);
  }
}

void Rasteriser::shadeWordSegment(int y, int left, int from, int to, const TexelWalk& walk,
                                  const Triangle& triangle) {
  std::uint32_t* row = settings_.target.row(y) + from;
  const int first = from - left;  // the segment's first pixel in the row's walk
  const int count = to - from;
  const bool wholeTexel = triangle.texelMask == 0xFFFFFFFF;
  if (wholeTexel && walk.stepsExactly()) {
    // Texel for pixel along a texture row: straight from the texture.
    if (const std::uint32_t* texels = texelForPixelRun(stageTexture_, triangle.filter,
                                                       walk.steps().advanced(first), count)) {
      wordBlend_(texels, count, row);
      return;
    }
  }
  if (wholeTexel && wordBlend_.replaces()) {
    sampleRun(walk, triangle, first, count, row);
    return;
  }
  // The pixels whose texels lie inside, found once for the whole segment.
  const PixelRange inside = insideRange(walk, triangle, first, count);
  for (int x = 0; x < count; x += kSpanPixels) {
    const int n = std::min(kSpanPixels, count - x);
    const PixelRange spanInside{std::clamp(inside.first - x, 0, n), std::clamp(inside.last - x, 0, n)};
    sampleRun(walk, triangle, first + x, n, spanInside, texels_);
    if (!wholeTexel) {
      for (int i = 0; i < n; ++i) {
        texels_[i] = (texels_[i] & triangle.texelMask) | triangle.constantBits;
      }
    }
    wordBlend_(texels_, n, row + x);
  }
}

void Rasteriser::shadeRun(int y, int left, int right, const Triangle& triangle,
                          const TexelWalk* walk) {
  if (triangle.wordSource) {
    shadeWordRun(y, left, right, triangle, walk);
    return;
  }
  std::uint32_t* row = settings_.target.row(y);
  const double py = y;
  // Runs joined on this path need no walk: none is handed to it.
  std::optional<TexelWalk> rowWalk;
  if (readsTexture_) rowWalk.emplace(texelWalk(y, left, right, triangle));
  for (int x = left; x < right; x += kSpanPixels) {
    const int count = std::min(kSpanPixels, right - x);
    if (settings_.program == nullptr || programReadsDiffuse_) diffuseSpan(triangle, x, py, count);
    if (settings_.program != nullptr) {
      if (gradientsOf_ != &triangle) {
        textureAccess_.setGradients(triangle.u.dx, triangle.v.dx, triangle.u.dy, triangle.v.dy);
        gradientsOf_ = &triangle;
      }
      const SpanTexCoords texCoords{triangle.u.at(triangle.origin, x, py), triangle.u.dx,
                                    triangle.v.at(triangle.origin, x, py), triangle.v.dx};
      if (programReadsTexCoordArrays_) {
        interpolateSpan(texCoords.uStart, texCoords.uStep, count, u_);
        interpolateSpan(texCoords.vStart, texCoords.vStep, count, v_);
      }
      const ShaderSpanInputs inputs{count, programReadsTexCoordArrays_ ? u_ : nullptr,
                                    programReadsTexCoordArrays_ ? v_ : nullptr,
                                    programReadsDiffuse_ ? &diffuse_ : nullptr, &texCoords};
      settings_.program->shadeSpan(inputs, textureAccess_, source_);
      // Where the blend takes the source as it is, its rounding saturates.
      if (!blendCopiesSource_) saturateColours(count, source_);
    } else {
      if (readsTexture_) {
        rowWalk->fill(x - left, count, coords_);
        sampleSpan(stageTexture_, triangle.filter, triangle.sampler, coords_, count, texels_);
        unpackColours(texels_, count, texture_);
      }
      applyStage(settings_.stage, texture_, diffuse_, count, source_);
    }
    blendSpan(settings_.blend, source_, count, row + x);
  }
}

}  // namespace swd3d::raster
