// The software device's quad draws on a 1024 × 1024 render target, beside
// memcpy of the same image and their peers, all single-threaded:
//   1 same-size point-sampled replace      pixman SRC (also on the device's row layout)
//   2 same-size source-alpha blend          pixman OVER
//   3 30° turn, linear, source-alpha blend  pixman OVER bilinear, OpenCV warpAffine linear
//   4 30° turn, point, source-alpha blend   pixman OVER nearest, OpenCV warpAffine nearest
//   5 same-size replace through the example greyscale effect   OpenCV transform
// The device draws what the quad covers; the peers compute every target pixel,
// as they must for the same picture.
#include "pixman_turn.h"
#include "ratio_table_reporter.h"

#include "d3d9/d3d9.h"
#include "d3dx9/d3dx9.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kSide = 1024;
constexpr std::size_t kBytes = std::size_t{kSide} * kSide * 4;
constexpr double kTurn = 30.0 * 3.14159265358979323846 / 180.0;

enum Case { kReplace = 1, kOver = 2, kTurnLinear = 3, kTurnPoint = 4, kGreyscale = 5 };

std::vector<std::uint32_t> randomImage(std::uint32_t seed) {
  std::vector<std::uint32_t> out(std::size_t{kSide} * kSide);
  std::mt19937 rng(seed);
  for (auto& word : out) word = static_cast<std::uint32_t>(rng());
  return out;
}

void check(HRESULT result, const char* what) {
  if (result != D3D_OK) {
    std::fprintf(stderr, "draw_bench: %s failed (0x%08X)\n", what, static_cast<unsigned>(result));
    std::exit(1);
  }
}

// One device, a texture of random pixels and a render target.
struct Device {
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  IDirect3DTexture9* texture = nullptr;
  IDirect3DSurface9* target = nullptr;
  ID3DXEffect* greyscale = nullptr;
  int texturePitch = 0;  // bytes from one row of the texture to the next

  Device() {
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 64;
    parameters.BackBufferHeight = 64;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    check(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device),
          "CreateDevice");
    check(device->CreateTexture(kSide, kSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                nullptr),
          "CreateTexture");
    const std::vector<std::uint32_t> pixels = randomImage(1);
    D3DLOCKED_RECT locked{};
    check(texture->LockRect(0, &locked, nullptr, 0), "LockRect");
    texturePitch = locked.Pitch;
    for (int y = 0; y < kSide; ++y) {
      std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + std::ptrdiff_t{y} * locked.Pitch,
                  pixels.data() + std::size_t(y) * kSide, std::size_t{kSide} * 4);
    }
    texture->UnlockRect(0);
    check(device->CreateRenderTarget(kSide, kSide, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                     &target, nullptr),
          "CreateRenderTarget");
    check(device->SetRenderTarget(0, target), "SetRenderTarget");
    check(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF808080, 0, 0), "Clear");
    check(device->SetTexture(0, texture), "SetTexture");
    // The quad renderer's fixed states.
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    ID3DXBuffer* errors = nullptr;
    const HRESULT loaded = D3DXCreateEffectFromFileA(
        device, TESSALY_EXAMPLES_DIR "/effects/greyscale.fx", nullptr, nullptr, 0, nullptr,
        &greyscale, &errors);
    if (errors != nullptr) {
      std::fprintf(stderr, "%.*s\n", static_cast<int>(errors->GetBufferSize()),
                   static_cast<const char*>(errors->GetBufferPointer()));
      errors->Release();
    }
    check(loaded, "D3DXCreateEffectFromFileA");
    check(greyscale->SetTechnique(greyscale->GetTechnique(0)), "SetTechnique");
  }
  ~Device() {
    greyscale->Release();
    device->SetTexture(0, nullptr);
    texture->Release();
    target->Release();
    device->Release();
    d3d->Release();
  }

  void setUp(Case which) {
    const bool point = which != kTurnLinear;
    const DWORD filter = point ? D3DTEXF_POINT : D3DTEXF_LINEAR;
    device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    const bool replace = which == kReplace || which == kGreyscale;
    // The plug-in's replace and alpha-blend groups.
    device->SetRenderState(D3DRS_SRCBLEND, replace ? D3DBLEND_ONE : D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, replace ? D3DBLEND_ZERO : D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, replace ? FALSE : TRUE);
    device->SetRenderState(D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLENDALPHA, D3DBLEND_ONE);
  }

  void draw(Case which) {
    struct Vertex {
      float x, y, z, rhw;
      D3DCOLOR diffuse;
      float u, v;
    };
    const double turn = which == kTurnLinear || which == kTurnPoint ? kTurn : 0.0;
    const double corners[4][2] = {{0, 0}, {kSide, 0}, {kSide, kSide}, {0, kSide}};
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    Vertex fan[4];
    const double c = kSide / 2.0;
    for (int i = 0; i < 4; ++i) {
      const double dx = corners[i][0] - c;
      const double dy = corners[i][1] - c;
      const double x = c + dx * std::cos(turn) - dy * std::sin(turn);
      const double y = c + dx * std::sin(turn) + dy * std::cos(turn);
      fan[i] = {static_cast<float>(x) - 0.5f, static_cast<float>(y) - 0.5f, 0, 1, 0xFFFFFFFF,
                uv[i][0], uv[i][1]};
    }
    check(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(Vertex)), "DrawPrimitiveUP");
  }
};

Device& device() {
  static Device d;
  return d;
}

struct Images {
  std::vector<std::uint32_t> source = randomImage(1);
  std::vector<std::uint32_t> target = randomImage(2);
};

Images& images() {
  static Images i;
  return i;
}

void memcpyImage(benchmark::State& state) {
  Images& im = images();
  for (auto _ : state) {
    std::memcpy(im.target.data(), im.source.data(), kBytes);
    benchmark::ClobberMemory();
  }
}

void deviceDraw(benchmark::State& state, Case which) {
  Device& d = device();
  d.setUp(which);
  for (auto _ : state) {
    d.draw(which);
    benchmark::ClobberMemory();
  }
}

// As the paste commands draw through an effect: its pass set on the device
// around the quad, the device's states saved and restored each time.
void effectDraw(benchmark::State& state) {
  Device& d = device();
  d.setUp(kGreyscale);
  for (auto _ : state) {
    UINT passes = 0;
    check(d.greyscale->Begin(&passes, 0), "Begin");
    for (UINT pass = 0; pass < passes; ++pass) {
      check(d.greyscale->BeginPass(pass), "BeginPass");
      d.draw(kGreyscale);
      d.greyscale->EndPass();
    }
    d.greyscale->End();
    benchmark::ClobberMemory();
  }
}

// Each colour channel the Rec. 601 luma of B, G, R; alpha kept.
void openCvGreyscale(benchmark::State& state) {
  Images& im = images();
  const cv::Mat source(kSide, kSide, CV_8UC4, im.source.data());
  cv::Mat target(kSide, kSide, CV_8UC4, im.target.data());
  const cv::Matx44f luma(0.114f, 0.587f, 0.299f, 0, 0.114f, 0.587f, 0.299f, 0, 0.114f, 0.587f,
                         0.299f, 0, 0, 0, 0, 1);
  for (auto _ : state) {
    cv::transform(source, target, luma);
    benchmark::ClobberMemory();
  }
}

// The inverse of the turn about the centre, target to source, as pixman and
// warpAffine take it (pixel centres on half-integers for pixman).
void pixmanComposite(benchmark::State& state, Case which) {
  Images& im = images();
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    im.source.data(), kSide * 4);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    im.target.data(), kSide * 4);
  if (which == kTurnLinear || which == kTurnPoint) {
    const pixman_f_transform forward = bench_pixman::turnAboutCentre(kSide, kTurn);
    pixman_transform transform;
    pixman_transform_from_pixman_f_transform(&transform, &forward);
    pixman_image_set_transform(source, &transform);
    pixman_image_set_filter(source, which == kTurnLinear ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST,
                            nullptr, 0);
    pixman_image_set_repeat(source, PIXMAN_REPEAT_NONE);
  }
  const pixman_op_t op = which == kReplace ? PIXMAN_OP_SRC : PIXMAN_OP_OVER;
  for (auto _ : state) {
    pixman_image_composite32(op, source, nullptr, target, 0, 0, 0, 0, 0, 0, kSide, kSide);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(source);
  pixman_image_unref(target);
}

// pixman's SRC between images whose rows lie as the device's surfaces' rows do
// (Pitch bytes apart, the padding not written): the same copy on the same
// layout, which tells what the layout costs apart from what the device costs.
void pixmanCopyDeviceRows(benchmark::State& state) {
  const int pitch = device().texturePitch;
  const std::size_t words = std::size_t(pitch / 4) * kSide;
  std::vector<std::uint32_t> sourceRows(words), targetRows(words);
  const std::vector<std::uint32_t>& pixels = images().source;
  for (int y = 0; y < kSide; ++y) {
    std::memcpy(sourceRows.data() + std::size_t(y) * (pitch / 4), pixels.data() + std::size_t(y) * kSide,
                std::size_t{kSide} * 4);
  }
  pixman_image_t* source =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, sourceRows.data(), pitch);
  pixman_image_t* target =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, targetRows.data(), pitch);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, kSide, kSide);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(source);
  pixman_image_unref(target);
}

void openCvWarp(benchmark::State& state, Case which) {
  Images& im = images();
  const cv::Mat source(kSide, kSide, CV_8UC4, im.source.data());
  cv::Mat target(kSide, kSide, CV_8UC4, im.target.data());
  const cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(kSide / 2.0f, kSide / 2.0f), -30.0, 1.0);
  const int interpolation = which == kTurnLinear ? cv::INTER_LINEAR : cv::INTER_NEAREST;
  for (auto _ : state) {
    cv::warpAffine(source, target, turn, target.size(), interpolation, cv::BORDER_TRANSPARENT);
    benchmark::ClobberMemory();
  }
}

template <class Fn>
void add(const std::string& name, Fn fn) {
  benchmark::RegisterBenchmark(name.c_str(), fn)
      ->Unit(benchmark::kMillisecond)
      ->ComputeStatistics("min", [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
      });
}

const char* caseName(Case which) {
  switch (which) {
    case kReplace: return "1 replace";
    case kOver: return "2 alpha blend";
    case kTurnLinear: return "3 turn, linear";
    case kTurnPoint: return "4 turn, point";
    case kGreyscale: return "5 greyscale effect";
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  cv::setNumThreads(1);
  add("memcpy", memcpyImage);
  for (const Case which : {kReplace, kOver, kTurnLinear, kTurnPoint}) {
    const std::string name = caseName(which);
    add(name + ": device", [which](benchmark::State& s) { deviceDraw(s, which); });
    add(name + ": pixman", [which](benchmark::State& s) { pixmanComposite(s, which); });
    if (which == kReplace) add(name + ": pixman, rows as the device's", pixmanCopyDeviceRows);
    if (which == kTurnLinear || which == kTurnPoint) {
      add(name + ": opencv warpAffine", [which](benchmark::State& s) { openCvWarp(s, which); });
    }
  }
  add(std::string(caseName(kGreyscale)) + ": device", effectDraw);
  add(std::string(caseName(kGreyscale)) + ": opencv transform", openCvGreyscale);
  add("memcpy", memcpyImage);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
