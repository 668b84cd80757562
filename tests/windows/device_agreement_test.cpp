// A real Direct3D 9 device (under Wine: one no one here wrote) against the
// rules the software device follows, on the draws the plug-in makes: clears
// and same-size point-sampled replace quads land exactly; add, subtract,
// reverse subtract, min and max blends are exact; source-alpha, multiply and
// screen blends stay within 1 per channel of the blend equation rounded to
// the nearest byte, which is the software device's result; linear sampling
// with clamp addressing follows the 8-bit weight rule exactly, with mirror
// addressing within 1. Each case prints how many channels differ, for the
// record of how the two devices differ.
#include <windows.h>
#include <d3d9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct QuadVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kQuadFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

int channel(std::uint32_t word, int i) { return static_cast<int>((word >> (8 * i)) & 0xFF); }

// How far a device's pixels are from the expected ones.
struct Agreement {
  std::size_t channels = 0;
  std::size_t differing = 0;  // channels not equal
  int largest = 0;            // the largest difference of one channel

  void add(std::uint32_t found, std::uint32_t expected) {
    for (int i = 0; i < 4; ++i) {
      const int difference = std::abs(channel(found, i) - channel(expected, i));
      ++channels;
      if (difference != 0) ++differing;
      largest = std::max(largest, difference);
    }
  }
  void print(const char* what) const {
    std::printf("%-30s %8zu of %8zu channels differ, by at most %d\n", what, differing, channels,
                largest);
  }
};

class RealDevice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TessalyDeviceAgreement";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (window == nullptr || d3d == nullptr) return;
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 64;
    parameters.BackBufferHeight = 64;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device))) {
      device = nullptr;
    }
  }
  static void TearDownTestSuite() {
    if (device != nullptr) device->Release();
    if (d3d != nullptr) d3d->Release();
    if (window != nullptr) DestroyWindow(window);
    device = nullptr;
    d3d = nullptr;
    window = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(device, nullptr) << "no Direct3D 9 device";
    // As the plug-in's quad renderer draws: no depth, no culling, no
    // lighting, stage 0 modulating texture and diffuse.
    for (const auto& [state, value] : {std::pair{D3DRS_ZENABLE, DWORD{FALSE}},
                                       std::pair{D3DRS_CULLMODE, DWORD{D3DCULL_NONE}},
                                       std::pair{D3DRS_LIGHTING, DWORD{FALSE}},
                                       std::pair{D3DRS_SEPARATEALPHABLENDENABLE, DWORD{FALSE}}}) {
      ASSERT_EQ(device->SetRenderState(state, value), D3D_OK);
    }
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE), D3D_OK);
    ASSERT_EQ(device->SetFVF(kQuadFormat), D3D_OK);
    sampling(D3DTEXF_POINT, D3DTADDRESS_CLAMP);
  }
  void TearDown() override {
    if (device == nullptr) return;
    device->SetTexture(0, nullptr);
    IDirect3DSurface9* back = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) {
      device->SetRenderTarget(0, back);
      back->Release();
    }
    for (IUnknown* object : held_) object->Release();
  }

  template <class Interface>
  Interface* hold(Interface* object) {
    if (object != nullptr) held_.push_back(object);
    return object;
  }

  IDirect3DTexture9* textureOf(UINT width, UINT height, const std::vector<std::uint32_t>& words) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    &texture, nullptr),
              D3D_OK);
    if (texture == nullptr) return nullptr;
    hold(texture);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    lastPitch = locked.Pitch;
    for (UINT y = 0; y < height; ++y) {
      std::memcpy(static_cast<char*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                  words.data() + std::size_t{y} * width, std::size_t{width} * 4);
    }
    texture->UnlockRect(0);
    return texture;
  }

  // A default-pool render-target texture's surface, made current.
  IDirect3DSurface9* targetOf(UINT width, UINT height) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    if (texture == nullptr) return nullptr;
    hold(texture);
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    hold(surface);
    EXPECT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    return surface;
  }

  // A render target read back as a real device allows: it cannot be locked.
  std::vector<std::uint32_t> wordsOf(IDirect3DSurface9* target) {
    D3DSURFACE_DESC desc{};
    target->GetDesc(&desc);
    std::vector<std::uint32_t> words(std::size_t{desc.Width} * desc.Height);
    D3DLOCKED_RECT locked{};
    EXPECT_NE(target->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK)
        << "a default-pool render target was lockable";
    IDirect3DSurface9* copy = nullptr;
    EXPECT_EQ(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                  D3DPOOL_SYSTEMMEM, &copy, nullptr),
              D3D_OK);
    if (copy == nullptr) return words;
    EXPECT_EQ(device->GetRenderTargetData(target, copy), D3D_OK);
    EXPECT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (UINT y = 0; y < desc.Height; ++y) {
      std::memcpy(words.data() + std::size_t{y} * desc.Width,
                  static_cast<const char*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                  std::size_t{desc.Width} * 4);
    }
    copy->UnlockRect();
    copy->Release();
    return words;
  }

  // Pixels x0 … x1 − 1 by y0 … y1 − 1, texture coordinates u0 … u1, v0 … v1.
  void drawQuad(float x0, float y0, float x1, float y1, float u0 = 0, float v0 = 0,
                float u1 = 1, float v1 = 1) {
    const std::array<QuadVertex, 4> fan = {{
        {x0 - 0.5f, y0 - 0.5f, 0, 1, 0xFFFFFFFF, u0, v0},
        {x1 - 0.5f, y0 - 0.5f, 0, 1, 0xFFFFFFFF, u1, v0},
        {x1 - 0.5f, y1 - 0.5f, 0, 1, 0xFFFFFFFF, u1, v1},
        {x0 - 0.5f, y1 - 0.5f, 0, 1, 0xFFFFFFFF, u0, v1},
    }};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan.data(), sizeof(QuadVertex)), D3D_OK);
  }

  void blend(DWORD source, DWORD destination, DWORD op) {
    ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_SRCBLEND, source), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_DESTBLEND, destination), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_BLENDOP, op), D3D_OK);
  }
  void sampling(DWORD filter, DWORD address) {
    for (const auto& [state, value] :
         {std::pair{D3DSAMP_MINFILTER, filter}, std::pair{D3DSAMP_MAGFILTER, filter},
          std::pair{D3DSAMP_ADDRESSU, address}, std::pair{D3DSAMP_ADDRESSV, address}}) {
      ASSERT_EQ(device->SetSamplerState(0, state, value), D3D_OK);
    }
  }

  static inline HWND window = nullptr;
  static inline IDirect3D9* d3d = nullptr;
  static inline IDirect3DDevice9* device = nullptr;
  INT lastPitch = 0;

 private:
  std::vector<IUnknown*> held_;
};

std::vector<std::uint32_t> randomWords(std::size_t count, std::uint32_t seed) {
  std::vector<std::uint32_t> words(count);
  std::uint32_t state = seed;
  for (auto& word : words) {
    state = state * 1664525u + 1013904223u;
    word = state ^ (state >> 15);
  }
  return words;
}

TEST_F(RealDevice, ClearsAndSameSizePointSampledReplaceQuadsAreExact) {
  IDirect3DSurface9* target = targetOf(64, 64);
  ASSERT_NE(target, nullptr);
  Agreement clears;
  for (const std::uint32_t colour : randomWords(32, 7)) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 0.0f, 0), D3D_OK);
    for (const std::uint32_t word : wordsOf(target)) clears.add(word, colour);
  }
  clears.print("clear");
  EXPECT_EQ(clears.differing, 0u);

  const std::vector<std::uint32_t> texels = randomWords(64 * 64, 11);
  IDirect3DTexture9* texture = textureOf(64, 64, texels);
  ASSERT_NE(texture, nullptr);
  std::printf("texture pitch for 64 texels: %d bytes\n", lastPitch);
  EXPECT_GE(lastPitch, 256);
  ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
  blend(D3DBLEND_ONE, D3DBLEND_ZERO, D3DBLENDOP_ADD);
  drawQuad(0, 0, 64, 64);
  Agreement replace;
  const std::vector<std::uint32_t> drawn = wordsOf(target);
  for (std::size_t i = 0; i < texels.size(); ++i) replace.add(drawn[i], texels[i]);
  replace.print("point-sampled replace quad");
  EXPECT_EQ(replace.differing, 0u);
}

// Every pair of byte values meets in the blue and green channels of a
// 256 × 256 square; red and alpha vary along other lines.
std::uint32_t sourceAt(int x, int y) {
  return std::uint32_t((x ^ (y >> 1)) & 0xFF) << 24 | std::uint32_t((x * 7 + y * 13) & 0xFF) << 16 |
         std::uint32_t(y) << 8 | std::uint32_t(x);
}
std::uint32_t destinationAt(int x, int y) {
  return std::uint32_t((255 - y) ^ (x >> 2)) << 24 | std::uint32_t((x * 11 + y * 5) & 0xFF) << 16 |
         std::uint32_t(x) << 8 | std::uint32_t(y);
}

struct BlendCase {
  const char* name;
  DWORD source, destination, op;
  int tolerance;  // 0: exact
};

double factorValue(DWORD factor, std::uint32_t source, std::uint32_t destination, int i) {
  const double d = channel(destination, i) / 255.0;
  const double sa = channel(source, 3) / 255.0;
  switch (factor) {
    case D3DBLEND_ONE: return 1;
    case D3DBLEND_SRCALPHA: return sa;
    case D3DBLEND_INVSRCALPHA: return 1 - sa;
    case D3DBLEND_DESTCOLOR: return d;
    case D3DBLEND_INVDESTCOLOR: return 1 - d;
    default: return 0;  // D3DBLEND_ZERO
  }
}

// The blend equation in exact arithmetic, saturated, rounded to the nearest byte.
std::uint32_t blended(const BlendCase& c, std::uint32_t source, std::uint32_t destination) {
  std::uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const double s = channel(source, i) / 255.0, d = channel(destination, i) / 255.0;
    const double a = s * factorValue(c.source, source, destination, i);
    const double b = d * factorValue(c.destination, source, destination, i);
    double value = 0;
    switch (c.op) {
      case D3DBLENDOP_ADD: value = a + b; break;
      case D3DBLENDOP_SUBTRACT: value = a - b; break;
      case D3DBLENDOP_REVSUBTRACT: value = b - a; break;
      case D3DBLENDOP_MIN: value = std::min(s, d); break;
      case D3DBLENDOP_MAX: value = std::max(s, d); break;
    }
    out |= std::uint32_t(std::lround(std::clamp(value, 0.0, 1.0) * 255)) << (8 * i);
  }
  return out;
}

TEST_F(RealDevice, BlendsAreExactOrWithinOneOfTheRoundedEquation) {
  std::vector<std::uint32_t> sources, destinations;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      sources.push_back(sourceAt(x, y));
      destinations.push_back(destinationAt(x, y));
    }
  }
  IDirect3DTexture9* sourceTexture = textureOf(256, 256, sources);
  IDirect3DTexture9* destinationTexture = textureOf(256, 256, destinations);
  IDirect3DSurface9* target = targetOf(256, 256);
  ASSERT_TRUE(sourceTexture != nullptr && destinationTexture != nullptr && target != nullptr);

  const BlendCase cases[] = {
      {"add", D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_ADD, 0},
      {"subtract", D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_SUBTRACT, 0},
      {"reverse subtract", D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, 0},
      {"min", D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_MIN, 0},
      {"max", D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_MAX, 0},
      {"source alpha", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 1},
      {"multiply", D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, 1},
      {"screen", D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE, D3DBLENDOP_ADD, 1},
      {"additive source alpha", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, 1},
  };
  for (const BlendCase& c : cases) {
    SCOPED_TRACE(c.name);
    // The destination laid down by a replace, then the source blended on it.
    ASSERT_EQ(device->SetTexture(0, destinationTexture), D3D_OK);
    blend(D3DBLEND_ONE, D3DBLEND_ZERO, D3DBLENDOP_ADD);
    drawQuad(0, 0, 256, 256);
    ASSERT_EQ(device->SetTexture(0, sourceTexture), D3D_OK);
    blend(c.source, c.destination, c.op);
    drawQuad(0, 0, 256, 256);
    const std::vector<std::uint32_t> drawn = wordsOf(target);
    Agreement agreement;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
      agreement.add(drawn[i], blended(c, sources[i], destinations[i]));
    }
    agreement.print(c.name);
    EXPECT_LE(agreement.largest, c.tolerance);
  }
}

// The 8-bit linear rule: weight from round-half-even(u × size × 256) − 128,
// a + (((b − a) × w + 128) >> 8) per channel.
std::uint32_t linearSample(const std::vector<std::uint32_t>& row, double u, bool mirror) {
  const int size = static_cast<int>(row.size());
  const long long position = std::llrint(u * size * 256.0) - 128;
  const long long first = position >> 8;
  const int weight = static_cast<int>(position & 255);
  const auto texel = [&](long long i) {
    if (mirror) {
      const long long period = 2LL * size;
      long long m = ((i % period) + period) % period;
      if (m >= size) m = period - 1 - m;
      return row[static_cast<std::size_t>(m)];
    }
    return row[static_cast<std::size_t>(std::clamp<long long>(i, 0, size - 1))];
  };
  const std::uint32_t a = texel(first), b = texel(first + 1);
  std::uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const int ca = channel(a, i), cb = channel(b, i);
    out |= std::uint32_t(ca + (((cb - ca) * weight + 128) >> 8)) << (8 * i);
  }
  return out;
}

TEST_F(RealDevice, LinearSamplingFollowsTheEightBitRule) {
  constexpr int kSize = 64;
  const std::vector<std::uint32_t> row = randomWords(kSize, 23);
  IDirect3DTexture9* texture = textureOf(kSize, 1, row);
  IDirect3DSurface9* target = targetOf(kSize * 3, 1);
  ASSERT_TRUE(texture != nullptr && target != nullptr);
  ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
  blend(D3DBLEND_ONE, D3DBLEND_ZERO, D3DBLENDOP_ADD);
  struct Case {
    const char* name;
    DWORD address;
    int tolerance;
  };
  const Case cases[] = {{"linear, clamp", D3DTADDRESS_CLAMP, 0},
                        {"linear, mirror", D3DTADDRESS_MIRROR, 1}};
  // The row stretched by 3 and shifted, reaching past both ends.
  const float u0 = -0.37f, u1 = 1.29f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sampling(D3DTEXF_LINEAR, c.address);
    drawQuad(0, 0, kSize * 3, 1, u0, 0.5f, u1, 0.5f);
    const std::vector<std::uint32_t> drawn = wordsOf(target);
    Agreement agreement;
    for (int x = 0; x < kSize * 3; ++x) {
      // The coordinate at the pixel centre, as the device interpolates it in floats.
      const float u = u0 + (u1 - u0) * ((static_cast<float>(x) + 0.5f) / (kSize * 3));
      agreement.add(drawn[static_cast<std::size_t>(x)],
                    linearSample(row, u, c.address == D3DTADDRESS_MIRROR));
    }
    agreement.print(c.name);
    EXPECT_LE(agreement.largest, c.tolerance);
  }
}

}  // namespace
