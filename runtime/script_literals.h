// Number literals of the script language: decimal or 0x hexadecimal integers,
// optionally negative, and decimals for float arguments.
#pragma once

#include "script_tokens.h"

#include <cstdint>
#include <optional>
#include <string>

namespace standin {

// An L argument: any value that fits in 32 bits, signed or unsigned, as its
// 32-bit word (-1 and 0xFFFFFFFF give the same word).
std::optional<std::uint32_t> wordLiteral(const Token& token, std::string& error);

// An F argument: an integer or a decimal, rounded to the nearest float.
std::optional<float> floatLiteral(const Token& token, std::string& error);

// An integer between least and most.
std::optional<std::int64_t> integerLiteral(const Token& token, std::int64_t least,
                                           std::int64_t most, std::string& error);

}  // namespace standin
