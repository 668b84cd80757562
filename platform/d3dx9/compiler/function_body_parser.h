// Parses the inside of pixel shader functions: statements and expressions.
// Initializers of parameters use the same expressions.
#pragma once

#include "d3dx9/compiler/syntax_tree.h"
#include "d3dx9/compiler/token_cursor.h"

#include <memory>

namespace swd3dx {

// A block "{ ... }"; null after a syntax error (reported through the cursor).
std::unique_ptr<Statement> parseBlock(TokenCursor& cursor);

// One expression; null after a syntax error.
std::unique_ptr<Expression> parseExpression(TokenCursor& cursor);

// An expression or a brace list "{ a, b, ... }" of them; null after a syntax error.
std::unique_ptr<Expression> parseInitializer(TokenCursor& cursor);

}  // namespace swd3dx
