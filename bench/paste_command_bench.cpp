// The paste commands ("TS Paste Image On Image ..." as "On Image ...", "TS
// Paste Image ..." onto the screen as "Image ...") as the host calls them (through the stand-in host: its
// image module, the software device, the effect stand-in) on 2048 x 2048
// images, single-threaded, each beside a peer doing the same work on plain
// memory: pixman's SRC and OVER (with a scale or a turn and a bilinear filter
// where the paste scales or turns), OpenCV's colour inversion beside the
// paste through the inverting effect. Blends are mode 1 unless named, linear
// filtering where named, point sampling otherwise.
#include "bench_host.h"
#include "bench_image.h"
#include "peer_table_reporter.h"
#include "pixman_turn.h"

#include "draw/draw_state.h"
#include "draw/paste/paste_commands.h"
#include "effects/effect_commands.h"
#include "image_pixels.h"
#include "stand_in_host.h"

#include <pixman.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using bench_host::repeat;
using bench_image::add;
using bench_image::kSide;

constexpr DWORD kSource = 1;
constexpr DWORD kPlainTarget = 2;
constexpr DWORD kRenderTarget = 3;
constexpr int kInvert = 1;
constexpr float kTurnDegrees = 30.0f;

constexpr char kInvertEffect[] = R"(
sampler2D image;
float4 inverted(float2 uv : TEXCOORD0) : COLOR0 { float4 c = tex2D(image, uv); c.rgb = 1 - c.rgb; return c; }
technique Invert { pass { PixelShader = compile ps_2_0 inverted(); } }
)";

standin::HostOptions screenOfImageSize() {
  standin::HostOptions options;
  options.screenWidth = kSide;
  options.screenHeight = kSide;
  return options;
}

// The benchmark image as image 1, the second image as plain image 2 and as
// render target 3, the inverting effect in slot 1.
void makeImagesAndEffect(bench_host::PluginHost& plugin) {
  standin::StandInHost& host = plugin.host();
  std::vector<std::uint8_t> second(bench_image::kBytes);
  std::mt19937 rng(7);
  for (auto& byte : second) byte = static_cast<std::uint8_t>(rng());
  plugin.makePlainImage(kSource, bench_image::buffers().original);
  plugin.makePlainImage(kPlainTarget, second);
  standin::writeTargetPixels(
      host.device(), host.makeImageFormat(kRenderTarget, kSide, kSide, D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET),
      {kSide, kSide, bench_host::words(second)});
  const std::filesystem::path effect = std::filesystem::temp_directory_path() / "paste_command_bench_invert.fx";
  std::ofstream(effect, std::ios::binary) << kInvertEffect;
  std::string name = effect.string();
  LoadEffect(name.data(), kInvert);
  std::filesystem::remove(effect);
}

// A command in the draw state it needs: blend mode, filters (clamped edges).
template <class Call>
void addCommand(const std::string& name, DWORD mode, DWORD filter, Call call) {
  add(name, [=](benchmark::State& state) {
    SetBlendMode(mode);
    SetFilters(filter, filter, D3DTEXF_NONE);
    SetAddressUV(D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP);
    repeat(state, call);
  });
}

// pixman compositing the source onto the second buffer, optionally through a
// transform (target to source) with a bilinear filter.
void addPixman(const std::string& name, pixman_op_t op, const pixman_f_transform* transform) {
  add(name, [=](benchmark::State& state) {
    bench_image::Buffers& b = bench_image::buffers();
    pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    reinterpret_cast<std::uint32_t*>(b.original.data()), kSide * 4);
    pixman_image_t* onto = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    reinterpret_cast<std::uint32_t*>(b.other.data()), kSide * 4);
    if (transform != nullptr) {
      pixman_transform fixed;
      pixman_transform_from_pixman_f_transform(&fixed, transform);
      pixman_image_set_transform(from, &fixed);
      pixman_image_set_filter(from, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    }
    repeat(state, [&] { pixman_image_composite32(op, from, nullptr, onto, 0, 0, 0, 0, 0, 0, kSide, kSide); });
    pixman_image_unref(onto);
    pixman_image_unref(from);
  });
}

// Target to source: a scale by 2 (the source shrunk to half its size).
const pixman_f_transform* halfSize() {
  static pixman_f_transform t = [] {
    pixman_f_transform m;
    pixman_f_transform_init_scale(&m, 2.0, 2.0);
    return m;
  }();
  return &t;
}

// Target to source: the turn about the centre undone.
const pixman_f_transform* turned() {
  static const pixman_f_transform t =
      bench_pixman::turnAboutCentre(kSide, kTurnDegrees * 3.14159265358979323846 / 180.0);
  return &t;
}

void registerAll() {
  constexpr DWORD kPoint = D3DTEXF_POINT;
  constexpr DWORD kLinear = D3DTEXF_LINEAR;
  const std::string inMemory1 = "On Image, plain, mode 1";
  addCommand(inMemory1, 1, kPoint, [] { PasteImageOnImage(kSource, kPlainTarget, 0, 0); });
  addPixman(inMemory1 + " | pixman OVER", PIXMAN_OP_OVER, nullptr);
  const std::string inMemory3 = "On Image, plain, mode 3";
  addCommand(inMemory3, 3, kPoint, [] { PasteImageOnImage(kSource, kPlainTarget, 0, 0); });
  addPixman(inMemory3 + " | pixman SRC", PIXMAN_OP_SRC, nullptr);

  const std::string drawn20 = "On Image, render target, mode 20";
  addCommand(drawn20, 20, kPoint, [] { PasteImageOnImage(kSource, kRenderTarget, 0, 0); });
  addPixman(drawn20 + " | pixman SRC", PIXMAN_OP_SRC, nullptr);
  const std::string drawn1 = "On Image, render target, mode 1";
  addCommand(drawn1, 1, kPoint, [] { PasteImageOnImage(kSource, kRenderTarget, 0, 0); });
  addPixman(drawn1 + " | pixman OVER", PIXMAN_OP_OVER, nullptr);

  const std::string stretched = "On Image S, half size, linear";
  addCommand(stretched, 1, kLinear, [] { PasteImageOnImageS(kSource, kRenderTarget, 0, 0, kSide / 2, kSide / 2); });
  addPixman(stretched + " | pixman OVER bilinear", PIXMAN_OP_OVER, halfSize());
  const std::string rotated = "On Image Rotated, 30, linear";
  addCommand(rotated, 1, kLinear,
             [] { PasteImageOnImageRotated(kSource, kRenderTarget, kSide / 2, kSide / 2, kTurnDegrees); });
  addPixman(rotated + " | pixman OVER bilinear", PIXMAN_OP_OVER, turned());

  const std::string effect = "On Image FX, inverting effect";
  addCommand(effect, 20, kPoint, [] { PasteImageOnImageFX(kSource, kRenderTarget, 0, 0, kInvert); });
  add(effect + " | opencv bitwise_xor", [](benchmark::State& state) {
    bench_image::Buffers& b = bench_image::buffers();
    const cv::Mat from(kSide, kSide, CV_8UC4, b.original.data());
    cv::Mat onto = b.otherMat();
    repeat(state, [&] { cv::bitwise_xor(from, cv::Scalar(255, 255, 255, 0), onto); });
  });

  const std::string screen = "Image S, screen, mode 20";
  addCommand(screen, 20, kPoint, [] { PasteImageS(kSource, 0, 0, kSide, kSide); });
  addPixman(screen + " | pixman SRC", PIXMAN_OP_SRC, nullptr);
  const std::string screenTurned = "Image Rotated, screen, 30, linear";
  addCommand(screenTurned, 1, kLinear, [] { PasteImageRotated(kSource, kSide / 2, kSide / 2, kTurnDegrees); });
  addPixman(screenTurned + " | pixman OVER bilinear", PIXMAN_OP_OVER, turned());
}

}  // namespace

int main(int argc, char** argv) {
  bench_host::PluginHost host(screenOfImageSize());
  makeImagesAndEffect(host);
  return bench_image::runWithRatioTable<PeerTableReporter>(argc, argv, registerAll);
}
