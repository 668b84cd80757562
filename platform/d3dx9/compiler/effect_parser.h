// Parses the tokens of an effect file into its parameters, functions and
// techniques. Stops at the first syntax error.
#pragma once

#include "d3dx9/compiler/diagnostics.h"
#include "d3dx9/compiler/syntax_tree.h"
#include "d3dx9/compiler/token.h"

#include <optional>
#include <vector>

namespace swd3dx {

std::optional<EffectSyntax> parseEffect(const std::vector<Token>& tokens,
                                        Diagnostics& diagnostics);

}  // namespace swd3dx
