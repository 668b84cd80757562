// The blend modes of the software paste: which rule each mode number pastes
// with. The pixel loops are chosen from this table once per paste.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessaly {

enum class PasteRule : std::uint8_t {
  none,                 // writes nothing: mode 0 and every mode above 20
  alphaBlend,           // 1: source over destination by source alpha, alphas added
  composite,            // 2: source over a destination that may be transparent
  copy,                 // 3, 19, 20: the source pixel replaces the destination pixel
  multiply,             // 4
  divide,               // 5
  screen,               // 6
  softLight,            // 7
  colourDodge,          // 8
  colourBurn,           // 9
  hardLight,            // 10
  softLightFromScreen,  // 11
  subtractAboutMiddle,  // 12
  addAboutMiddle,       // 13
  difference,           // 14
  add,                  // 15
  subtract,             // 16
  darken,               // 17
  lighten,              // 18
};

inline constexpr std::size_t kPasteRuleCount = static_cast<std::size_t>(PasteRule::lighten) + 1;

inline constexpr std::array<PasteRule, 21> kPasteRuleOfMode = {
    PasteRule::none,        PasteRule::alphaBlend,  PasteRule::composite,
    PasteRule::copy,        PasteRule::multiply,    PasteRule::divide,
    PasteRule::screen,      PasteRule::softLight,   PasteRule::colourDodge,
    PasteRule::colourBurn,  PasteRule::hardLight,   PasteRule::softLightFromScreen,
    PasteRule::subtractAboutMiddle, PasteRule::addAboutMiddle, PasteRule::difference,
    PasteRule::add,         PasteRule::subtract,    PasteRule::darken,
    PasteRule::lighten,     PasteRule::copy,        PasteRule::copy,
};

constexpr PasteRule pasteRuleOfMode(std::uint32_t mode) {
  return mode < kPasteRuleOfMode.size() ? kPasteRuleOfMode[mode] : PasteRule::none;
}

}  // namespace tessaly
