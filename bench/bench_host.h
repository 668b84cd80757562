// What the benchmarks that run commands as the host calls them share: the
// stand-in host with the plug-in constructed on it (and destructed after it),
// images made from the benchmark's byte buffers, and the timing loop of a
// command.
#pragma once

#include "bench_image.h"

#include "host/lifecycle.h"
#include "image_pixels.h"
#include "stand_in_host.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace bench_host {

// The pixel words of an image's bytes.
inline std::vector<std::uint32_t> words(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint32_t> out(bytes.size() / 4);
  std::memcpy(out.data(), bytes.data(), out.size() * 4);
  return out;
}

class PluginHost {
 public:
  explicit PluginHost(const standin::HostOptions& options = {}) : host_(options) {
    Constructor();
    ReceiveCoreDataPtr(host_.coreData());
  }
  ~PluginHost() { Destructor(); }
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  standin::StandInHost& host() { return host_; }

  // Image `number`: a plain image of the benchmark's size holding `bytes`.
  void makePlainImage(DWORD number, const std::vector<std::uint8_t>& bytes) {
    standin::writePixels(host_.makeImage(number, bench_image::kSide, bench_image::kSide),
                         {bench_image::kSide, bench_image::kSide, words(bytes)});
  }

 private:
  standin::StandInHost host_;
};

// Runs the command once a timed iteration; nothing is restored in between.
template <class Body>
void repeat(benchmark::State& state, Body body) {
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
  }
}

}  // namespace bench_host
