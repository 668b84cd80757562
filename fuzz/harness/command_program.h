// A fuzzer's input read as a short program for the plug-in and run in a fresh
// stand-in host:
//
//   settings    1 byte: bits 0-1 the widest instruction set the kernels may
//               use (AVX-512, AVX2, SSE2, AVX-512); bit 2 the host has no
//               vector module
//   screen      2 bytes: width and height (side codes, 1 to 96)
//   images      1 byte n (mod 9), then n times: number (signed byte), kind
//               (bit 0 render target, bit 1 dynamic, bit 2 one colour for
//               every pixel), width and height (side codes), a 32-bit seed
//               for the pixels; the images made share kProgramPixels
//   vectors     1 byte n (mod 4), then n times: number (signed byte), 4 floats
//   matrices    1 byte n (mod 3), then n times: number (signed byte), 16 floats
//   commands    until the input ends: 1 byte that picks the table row (the
//               row with that id if there is one, else the row at that place
//               counted round the table), then its arguments (fuzzed_arguments.h);
//               0 instead makes an image, as the host's own commands do, with
//               the bytes of an image above
//
// After every command the session's checks run (plugin_session.h); a fatal
// path ends the program, as it would end the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

struct ProgramRun {
  std::vector<std::string> trace;  // each command called, with its arguments
  std::vector<unsigned> calledIds;  // the table ids of the commands called, in order
  std::string failure;             // what a check found, empty if nothing
  int commands = 0;
  bool fatal = false;
};

// A side from its code byte: three quarters of the codes give 0 to 63, the
// rest 64 to 252 in steps of 4 and 256 to 376 in steps of 8. Most images are
// small, so most commands are cheap, and a few are of a few hundred pixels.
constexpr int imageSide(std::uint8_t code) {
  if (code < 192) return code / 3;
  if (code < 240) return 64 + (code - 192) * 4;
  return 256 + (code - 240) * 8;
}

// The code of the side nearest to a side (for seeds written from scripts).
constexpr std::uint8_t sideCode(unsigned side) {
  if (side < 64) return static_cast<std::uint8_t>(side * 3);
  if (side < 254) return static_cast<std::uint8_t>(192 + (side - 64 + 2) / 4);
  return static_cast<std::uint8_t>(side >= 376 ? 255 : 240 + (side + 4 - 256) / 8);
}

// At most this many commands (and images made between them) of a program run.
inline constexpr int kMaxProgramCommands = 48;

// Memory that the host's images may take together, so that sizes from the
// input stay within a fuzzer's memory.
inline constexpr std::uint64_t kProgramImageBytes = std::uint64_t{1} << 20;

// Pixels the images made by a program may have together: with the commands'
// own images held by kProgramImageBytes, this bounds the work of a program.
inline constexpr std::uint64_t kProgramPixels = std::uint64_t{1} << 16;

// The command byte that makes an image instead.
inline constexpr std::uint8_t kMakeImageCode = 0;

ProgramRun runCommandProgram(const std::uint8_t* data, std::size_t size);

// Runs the program and ends the process with a report on standard error if a
// check failed: what libFuzzer and the replay take for a finding. With
// TESSALY_FUZZ_TRACE set in the environment every program's trace is shown.
void runCommandProgramOrAbort(const std::uint8_t* data, std::size_t size);

}  // namespace fuzzing
