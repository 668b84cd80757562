#include "d3dx9/compiler/intrinsics.h"

namespace swd3dx {

namespace {

constexpr IntrinsicInfo kIntrinsics[] = {
    {"tex2D", Intrinsic::Tex2D, 2},       {"lerp", Intrinsic::Lerp, 3},
    {"saturate", Intrinsic::Saturate, 1}, {"dot", Intrinsic::Dot, 2},
    {"min", Intrinsic::Min, 2},           {"max", Intrinsic::Max, 2},
    {"abs", Intrinsic::Abs, 1},           {"clamp", Intrinsic::Clamp, 3},
    {"pow", Intrinsic::Pow, 2},           {"sqrt", Intrinsic::Sqrt, 1},
    {"frac", Intrinsic::Frac, 1},         {"floor", Intrinsic::Floor, 1},
    {"step", Intrinsic::Step, 2},         {"smoothstep", Intrinsic::Smoothstep, 3},
    {"sin", Intrinsic::Sin, 1},           {"cos", Intrinsic::Cos, 1},
    {"length", Intrinsic::Length, 1},     {"normalize", Intrinsic::Normalize, 1},
    {"mul", Intrinsic::Mul, 2},
};

}  // namespace

const IntrinsicInfo* findIntrinsic(std::string_view name) {
  for (const IntrinsicInfo& info : kIntrinsics) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

}  // namespace swd3dx
