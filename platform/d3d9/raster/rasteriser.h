// Draws triangles into a render target by Direct3D 9's rules: coverage by
// TriangleCoverage, then each covered run of a row in spans of up to
// kSpanPixels: texture coordinates stepped along the row, the texture sampled,
// texture stage 0 or a pixel-shader program, and the blend equation. Kernels
// are chosen once per draw or per triangle, never per pixel.
//
// Where the stage's result is a byte per channel (the texel itself, or a
// constant diffuse colour, as in every copy and paste) the run takes the
// integer path: texels sampled straight into the blend, whole rows copied or
// blended from the texture where they land texel for pixel (a quad covering
// an axis-aligned rectangle is recognised once per draw and its rows copied
// without stepping the coverage). Its bytes equal the float path's, which
// every other stage setting and every program takes.
#pragma once

#include "d3d9/raster/attribute_plane.h"
#include "d3d9/raster/draw_settings.h"
#include "d3d9/raster/shader_texture_access.h"
#include "d3d9/raster/span_colours.h"
#include "d3d9/raster/texture_sampler.h"
#include "d3d9/raster/triangle_coverage.h"
#include "d3d9/raster/word_blend.h"

#include <array>
#include <cstdint>
#include <optional>

namespace swd3d::raster {

class Rasteriser {
 public:
  // The settings must outlive the rasteriser.
  explicit Rasteriser(const DrawSettings& settings);
  Rasteriser(const Rasteriser&) = delete;
  Rasteriser& operator=(const Rasteriser&) = delete;

  // Non-finite positions draw nothing; positions far outside the target draw
  // only what lies inside it. Triangles are drawn a few at a time, row by
  // row across them (so that the two halves of a quad's row are drawn
  // together); each pixel still sees them in the order given.
  void drawTriangle(const Vertex& a, const Vertex& b, const Vertex& c);
  // Draws what drawTriangle has queued; the destructor does too.
  void finish();
  ~Rasteriser() { finish(); }

 private:
  // The interpolated attributes of one triangle.
  struct Triangle {
    PlaneOrigin origin;
    AttributePlane s, t;  // stage 0 texture coordinates in texels
    AttributePlane u, v;  // texture coordinates, for programs
    AttributePlane colour[4];  // diffuse r, g, b, a in 0 to 1
    bool constantDiffuse = false;
    std::uint32_t diffuse = 0;
    // Programs: u and v come out the same however a row is cut into spans.
    bool exactAlongRows = false;
    SpanSampler sampler = nullptr;
    Filter filter = Filter::Point;
    // The integer path: the stage gives texel & texelMask | constantBits.
    bool wordSource = false;
    std::uint32_t texelMask = 0;
    std::uint32_t constantBits = 0;
  };

  void setUpAttributes(const Vertex (&v)[3], const double (&x)[3], const double (&y)[3],
                       Triangle& triangle);
  using Corners = std::array<SnappedPoint, 3>;
  // `corners`: the snapped corners, when the triangle was drawn as given
  // (not cut to the guard band).
  void queue(const TriangleCoverage& coverage, const Triangle& triangle,
             const std::optional<Corners>& corners);
  void clearQueue();
  // Where every queued triangle puts texel (x + column, y + row) whole at
  // pixel (x, y), exactly, as the texel walks would find (point sampling, or
  // linear sampling with every pixel centre on a texel centre): their rows
  // are copied or blended straight from the texture.
  struct TexelOffset {
    std::int64_t column;  // 32.32 fixed point
    std::int64_t row;
  };
  std::optional<TexelOffset> queuedTexelOffset() const;
  // The pixels of the queued triangles when they are the two halves of an
  // axis-aligned rectangle.
  std::optional<ClipRect> queuedRectangle() const;
  void shadeOffsetRun(int y, RowRun run, const Triangle& triangle, TexelOffset offset);
  // Whether every texel of the run lies inside the texture.
  bool texelsInside(int y, RowRun run, TexelOffset offset) const;
  // Rows top .. top + rows - 1, each covered over the same run.
  struct OffsetBlock {
    int top = 0;
    int rows = 0;
    RowRun run{0, 0};
  };
  void drawOffsetBlock(const OffsetBlock& block, TexelOffset offset);
  // Whether two abutting runs of row y come out the same drawn as one; the
  // joined run's texel walk, when it needs one, is left in `joinedWalk`.
  bool joins(int y, const Triangle& first, RowRun firstRun, const Triangle& second,
             RowRun secondRun, std::optional<TexelWalk>& joinedWalk) const;
  // For a program: whether the two triangles give it the same inputs at
  // every pixel of a row, however the row is cut into spans.
  bool programInputsMatch(const Triangle& first, const Triangle& second) const;
  // `walk`, when given, is the run's texel walk, already made.
  void shadeRun(int y, int left, int right, const Triangle& triangle, const TexelWalk* walk);
  void shadeWordRun(int y, int left, int right, const Triangle& triangle, const TexelWalk* walk);
  // Pixels from .. to - 1 of the run that starts at `left`, walked by `walk`.
  void shadeWordSegment(int y, int left, int from, int to, const TexelWalk& walk,
                        const Triangle& triangle);
  TexelWalk texelWalk(int y, int left, int right, const Triangle& triangle) const;
  void sampleRun(const TexelWalk& walk, const Triangle& triangle, int first, int count,
                 std::uint32_t* out);
  // The same with the pixels 0 <= i < count whose texels lie inside given.
  void sampleRun(const TexelWalk& walk, const Triangle& triangle, int first, int count,
                 PixelRange inside, std::uint32_t* out);
  PixelRange insideRange(const TexelWalk& walk, const Triangle& triangle, int first,
                         int count) const;
  void diffuseSpan(const Triangle& triangle, double x, double y, int count);

  struct Queued {
    TriangleCoverage coverage;
    Triangle triangle;
    std::optional<Corners> corners;
  };
  static constexpr int kQueuedTriangles = 8;

  const DrawSettings& settings_;
  std::optional<Queued> queued_[kQueuedTriangles];
  int queuedCount_ = 0;
  const Triangle* gradientsOf_ = nullptr;  // whose gradients the program's lookups use
  bool readsTexture_ = false;
  bool programReadsDiffuse_ = false;
  bool programReadsTexCoordArrays_ = false;
  bool blendCopiesSource_ = false;
  SamplerView stageTexture_;
  DrawTextureAccess textureAccess_;
  WordBlend wordBlend_;

  // Scratch for one span.
  TexelCoords coords_;
  alignas(64) std::uint32_t texels_[kSpanPixels];
  SpanColours texture_{};  // stays (0, 0, 0, 0) when the stage reads no texture
  SpanColours diffuse_;
  SpanColours source_;
  alignas(64) float u_[kSpanPixels];
  alignas(64) float v_[kSpanPixels];
};

}  // namespace swd3d::raster
