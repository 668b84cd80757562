#include "export_signature.h"

namespace standin {

namespace {

// One argument type at the front of `codes`, consumed; nothing if unknown.
// Types longer than one letter are remembered, since a later argument of the
// same type is written as a digit that refers back to them.
std::optional<CType> takeArgument(std::string_view& codes, std::vector<CType>& backReferences) {
  if (codes.empty()) return std::nullopt;
  const char code = codes.front();
  if (code >= '0' && code <= '9') {
    const auto index = static_cast<std::size_t>(code - '0');
    if (index >= backReferences.size()) return std::nullopt;
    codes.remove_prefix(1);
    return backReferences[index];
  }
  if (codes.starts_with("PAD")) {
    codes.remove_prefix(3);
    backReferences.push_back(CType::String);
    return CType::String;
  }
  codes.remove_prefix(1);
  switch (code) {
    case 'K': return CType::UInt32;
    case 'H': return CType::Int32;
    case 'M': return CType::Float;
    case 'D': return CType::Char;
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<ExportSignature> parseDecoratedName(std::string_view decorated) {
  // "?" name "@@" then "Y" (a free function) and "A" (cdecl).
  if (!decorated.starts_with('?')) return std::nullopt;
  const std::size_t at = decorated.find("@@YA");
  if (at == std::string_view::npos || at == 1) return std::nullopt;
  std::string_view codes = decorated.substr(at + 4);

  ExportSignature signature;
  if (codes.starts_with('X')) {
    signature.result = CType::Void;
  } else if (codes.starts_with('K')) {
    signature.result = CType::UInt32;
  } else {
    return std::nullopt;
  }
  codes.remove_prefix(1);

  if (codes == "XZ") return signature;  // no arguments
  std::vector<CType> backReferences;
  while (!codes.starts_with('@')) {
    const std::optional<CType> argument = takeArgument(codes, backReferences);
    if (!argument) return std::nullopt;
    signature.arguments.push_back(*argument);
  }
  if (codes != "@Z" || signature.arguments.empty()) return std::nullopt;
  return signature;
}

char tableLetterOf(CType type) {
  switch (type) {
    case CType::UInt32:
    case CType::Int32:
    case CType::Char: return 'L';
    case CType::Float: return 'F';
    case CType::String: return 'S';
    case CType::Void: break;
  }
  return '?';
}

}  // namespace standin
