// Stand-in only: how a compiled pixel shader reaches the software device.
//
// The effect stand-in (d3dx9/) compiles a pixel shader into a
// PixelShaderProgram and wraps it in an IDirect3DPixelShader9 with
// makeProgramPixelShader. A pass binds it with SetPixelShader, and while it is
// bound the device's rasteriser runs it on spans of pixels in place of the
// fixed-function texture stage; its result then goes through blending as
// usual. The program sees pixels a span at a time, as structure-of-arrays
// floats, so that an evaluator can dispatch once per instruction and span
// rather than once per pixel.
#pragma once

#include "d3d9/d3d9.h"

#include <memory>

namespace swd3d {

// The most pixels (of one row) the rasteriser hands a program at once. Long
// spans share the costs paid once per span (a dispatch per instruction, the
// lookup set-up) among many pixels; a span's registers still fit in the
// first-level cache.
inline constexpr int kShaderSpanPixels = 256;

// Four channels of a span, in Direct3D's 0 to 1 units, not clamped.
struct ShaderColours {
  alignas(64) float r[kShaderSpanPixels];
  alignas(64) float g[kShaderSpanPixels];
  alignas(64) float b[kShaderSpanPixels];
  alignas(64) float a[kShaderSpanPixels];
};

// How the rasteriser interpolates TEXCOORD0 along a span: pixel i has
// u = (float)(uStart + uStep × i), v likewise, each sum in double.
struct SpanTexCoords {
  double uStart = 0;
  double uStep = 0;
  double vStart = 0;
  double vStep = 0;
};

// The interpolated inputs of `count` consecutive pixels of one row
// (1 <= count <= kShaderSpanPixels), each at its pixel centre.
struct ShaderSpanInputs {
  int count = 0;
  const float* u = nullptr;                // TEXCOORD0.x
  const float* v = nullptr;                // TEXCOORD0.y
  const ShaderColours* diffuse = nullptr;  // COLOR0
  // When given, what u and v hold (they may then be null if the program
  // said it reads TEXCOORD0 only through sampleInterpolated).
  const SpanTexCoords* texCoords = nullptr;
};

// Texture lookups for tex2D, provided by the device for one draw: samples the
// texture bound to `stage` with that stage's sampler states (filters, address
// modes, border colour). A stage without a texture reads (0, 0, 0, 1).
class ShaderTextureAccess {
 public:
  virtual void sample(DWORD stage, int count, const float* u, const float* v,
                      ShaderColours& out) const = 0;
  // The same lookup at the span's interpolated texture coordinates: what
  // sample() gives for the u and v they describe (as this definition does).
  virtual void sampleInterpolated(DWORD stage, int count, const SpanTexCoords& at,
                                  ShaderColours& out) const {
    count = count < 0 ? 0 : count > kShaderSpanPixels ? kShaderSpanPixels : count;
    float u[kShaderSpanPixels];
    float v[kShaderSpanPixels];
    for (int i = 0; i < count; ++i) {
      u[i] = static_cast<float>(at.uStart + at.uStep * i);
      v[i] = static_cast<float>(at.vStart + at.vStep * i);
    }
    sample(stage, count, u, v, out);
  }

 protected:
  ~ShaderTextureAccess() = default;
};

class PixelShaderProgram {
 public:
  virtual ~PixelShaderProgram() = default;
  // Writes the shader's COLOR result for each pixel of the span (and may
  // write anything past them in `out`). Must not allocate: it runs inside
  // every draw.
  virtual void shadeSpan(const ShaderSpanInputs& in, const ShaderTextureAccess& textures,
                         ShaderColours& out) const = 0;
  // Whether the program reads COLOR0; when not, the rasteriser may leave
  // ShaderSpanInputs::diffuse null.
  virtual bool readsDiffuse() const { return true; }
  // Whether it reads ShaderSpanInputs::u and v; when not, it samples at the
  // interpolated coordinates through texCoords only.
  virtual bool readsTexCoordArrays() const { return true; }
};

// A pixel shader object that runs `program`, with one reference, in *shader.
// It is counted in liveObjects().pixelShaders while alive. E_OUTOFMEMORY when
// it cannot be made, D3DERR_INVALIDCALL for a null program or out-pointer.
HRESULT makeProgramPixelShader(std::shared_ptr<const PixelShaderProgram> program,
                               IDirect3DPixelShader9** shader);

// The program behind a shader from makeProgramPixelShader; null for null and
// for any other shader object.
const PixelShaderProgram* pixelShaderProgram(IDirect3DPixelShader9* shader);

}  // namespace swd3d
