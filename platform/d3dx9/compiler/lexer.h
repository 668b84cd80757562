// Splits an effect file into tokens, skipping white space and comments.
#pragma once

#include "d3dx9/compiler/diagnostics.h"
#include "d3dx9/compiler/token.h"

#include <optional>
#include <string_view>
#include <vector>

namespace swd3dx {

// The tokens of `source`, ending with one End token; nothing (and the error
// in diagnostics) at the first character that starts no token.
std::optional<std::vector<Token>> tokenize(std::string_view source, Diagnostics& diagnostics);

}  // namespace swd3dx
