// Gives every name in the effect its meaning and every expression its type,
// and reports what the language subset does not allow: unknown names, types
// that do not fit, assignments to parameters, functions without a result on
// every path. Fills in the "checked" fields of the syntax tree.
#pragma once

#include "d3dx9/compiler/diagnostics.h"
#include "d3dx9/compiler/syntax_tree.h"

#include <memory>
#include <vector>

namespace swd3dx {

struct CheckedEffect {
  // One symbol per parameter declaration, in the same order.
  std::vector<std::unique_ptr<Symbol>> globals;
};

// Checks every declaration and function; errors go to diagnostics (all of
// them, not only the first).
CheckedEffect checkEffect(EffectSyntax& effect, Diagnostics& diagnostics);

}  // namespace swd3dx
