// Double-precision steps in the filters are plain `double` arithmetic, and
// each step rounds to binary64 exactly once on every build: x86-64 computes
// in SSE2 by nature, the i686 DLL is compiled with -msse2 -mfpmath=sse (x87
// code would keep wider intermediates, or narrower ones under the precision
// Direct3D may set), and no build fuses a·b + c into one rounding
// (-ffp-contract=off). The check below stops a build that would compute
// otherwise; the conversion below avoids the one x87 path left on i686.
#pragma once

#include <cfloat>
#include <cstdint>

static_assert(FLT_EVAL_METHOD == 0, "double steps must round to binary64: compile with SSE2 arithmetic");

namespace tessaly {

// Rounded to the nearest double, ties to even. A 32-bit half converts
// exactly; the one addition rounds once. (i686 converts a whole 64-bit
// integer through the x87 unit.)
inline double exactDouble(std::uint64_t u) {
  return static_cast<double>(static_cast<std::uint32_t>(u >> 32)) * 4294967296.0 +
         static_cast<double>(static_cast<std::uint32_t>(u));
}

}  // namespace tessaly
