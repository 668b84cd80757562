#include "draw/blend_modes.h"

#include <array>
#include <cstdint>
#include <span>

namespace tessaly {

namespace {

struct RenderState {
  D3DRENDERSTATETYPE state;
  DWORD value;
};

// The render states each group sets, in the order it sets them. The blended
// groups keep the destination's alpha (source factor zero, destination one),
// except alpha blend, which adds the alphas.
constexpr RenderState kAlphaBlend[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},         {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}, {D3DRS_SEPARATEALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},    {D3DRS_DESTBLENDALPHA, D3DBLEND_ONE},
};
constexpr RenderState kMultiply[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},      {D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},    {D3DRS_SEPARATEALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_ZERO}, {D3DRS_DESTBLENDALPHA, D3DBLEND_ONE},
};
constexpr RenderState kScreen[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},      {D3DRS_SRCBLEND, D3DBLEND_INVDESTCOLOR},
    {D3DRS_DESTBLEND, D3DBLEND_ONE},     {D3DRS_SEPARATEALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_ZERO}, {D3DRS_DESTBLENDALPHA, D3DBLEND_ONE},
};
constexpr RenderState kAdd[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},      {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ONE},     {D3DRS_SEPARATEALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_ZERO}, {D3DRS_DESTBLENDALPHA, D3DBLEND_ONE},
};

// Subtract, darken and lighten: add's factors with an operation of their own.
constexpr std::array<RenderState, 7> withOperation(D3DBLENDOP operation) {
  return {{{D3DRS_ALPHABLENDENABLE, TRUE},
           {D3DRS_SRCBLEND, D3DBLEND_ONE},
           {D3DRS_DESTBLEND, D3DBLEND_ONE},
           {D3DRS_BLENDOP, operation},
           {D3DRS_SEPARATEALPHABLENDENABLE, TRUE},
           {D3DRS_SRCBLENDALPHA, D3DBLEND_ZERO},
           {D3DRS_DESTBLENDALPHA, D3DBLEND_ONE}}};
}
constexpr auto kSubtract = withOperation(D3DBLENDOP_REVSUBTRACT);  // destination minus source
constexpr auto kDarken = withOperation(D3DBLENDOP_MIN);
constexpr auto kLighten = withOperation(D3DBLENDOP_MAX);

constexpr RenderState kReplace[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
};

// The ten groups; modes 19 and 20 have a group each, with the same states.
enum Group : std::uint8_t {
  kNone,
  kAlphaBlendGroup,
  kMultiplyGroup,
  kScreenGroup,
  kAddGroup,
  kSubtractGroup,
  kDarkenGroup,
  kLightenGroup,
  kReplaceGroup,
  kReplaceAgainGroup,
};

constexpr std::span<const RenderState> kGroups[] = {
    {}, kAlphaBlend, kMultiply, kScreen, kAdd, kSubtract, kDarken, kLighten, kReplace, kReplace,
};

// Mode m's group is kModeGroups[m - 1].
constexpr Group kModeGroups[20] = {
    kAlphaBlendGroup, kAlphaBlendGroup, kNone,         kMultiplyGroup, kNone,
    kScreenGroup,     kNone,            kNone,         kNone,          kNone,
    kNone,            kNone,            kNone,         kNone,          kAddGroup,
    kSubtractGroup,   kDarkenGroup,     kLightenGroup, kReplaceGroup,  kReplaceAgainGroup,
};

}  // namespace

void applyBlendMode(IDirect3DDevice9* device, DWORD mode) {
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  const DWORD index = mode - 1;  // mode 0 wraps round to the largest value
  if (index >= std::size(kModeGroups)) return;
  for (const RenderState& setting : kGroups[kModeGroups[index]]) {
    device->SetRenderState(setting.state, setting.value);
  }
}

}  // namespace tessaly
