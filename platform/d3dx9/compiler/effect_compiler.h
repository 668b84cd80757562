// The whole compiler: effect file text in, compiled effect or error list out.
#pragma once

#include "d3dx9/compiler/compiled_effect.h"
#include "d3dx9/compiler/diagnostics.h"

#include <optional>
#include <string_view>

namespace swd3dx {

// Nothing when the text has errors; they are in diagnostics, each with its
// line and column.
std::optional<CompiledEffect> compileEffect(std::string_view source, Diagnostics& diagnostics);

}  // namespace swd3dx
