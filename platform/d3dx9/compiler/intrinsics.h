// The intrinsic functions of the language subset, by name.
#pragma once

#include "d3dx9/compiler/syntax_tree.h"

#include <optional>
#include <string_view>

namespace swd3dx {

struct IntrinsicInfo {
  std::string_view name;
  Intrinsic id;
  int arguments;
};

// The intrinsic of that name (names are case-sensitive), or nothing.
const IntrinsicInfo* findIntrinsic(std::string_view name);

}  // namespace swd3dx
