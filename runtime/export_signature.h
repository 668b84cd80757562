// The C signature of a command export, read from its decorated name
// ("?ThresholdImage@@YAXHDK@Z": cdecl, no result, int, char, unsigned long).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace standin {

enum class CType {
  Void,    // X, result only
  UInt32,  // K  unsigned long
  Int32,   // H  int
  Float,   // M  float
  Char,    // D  char
  String,  // PAD  char*
};

struct ExportSignature {
  CType result = CType::Void;
  std::vector<CType> arguments;
};

// Nothing if the name is not a plain cdecl function of these types.
std::optional<ExportSignature> parseDecoratedName(std::string_view decorated);

// The type letter of the command table that a C type carries: L, F or S.
char tableLetterOf(CType type);

}  // namespace standin
