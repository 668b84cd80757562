#include "d3dx9/compiler/value_type.h"

namespace swd3dx {

std::string ValueType::name() const {
  switch (base) {
    case BaseType::Void: return "void";
    case BaseType::Matrix: return "float4x4";
    case BaseType::Texture: return "texture";
    case BaseType::Sampler: return "sampler";
    case BaseType::Bool:
    case BaseType::Float: break;
  }
  std::string text = base == BaseType::Bool ? "bool" : "float";
  if (size > 1) text += char('0' + size);
  return text;
}

std::optional<ValueType> typeNamed(std::string_view keyword) {
  struct Named {
    std::string_view keyword;
    ValueType type;
  };
  static constexpr Named kTypes[] = {
      {"void", {}},
      {"float", ValueType::floats(1)},
      {"float2", ValueType::floats(2)},
      {"float3", ValueType::floats(3)},
      {"float4", ValueType::floats(4)},
      {"bool", ValueType::bools(1)},
      {"bool2", ValueType::bools(2)},
      {"bool3", ValueType::bools(3)},
      {"bool4", ValueType::bools(4)},
      {"float4x4", ValueType::matrix()},
      {"texture", {BaseType::Texture, 1}},
      {"texture2D", {BaseType::Texture, 1}},
      {"sampler", {BaseType::Sampler, 1}},
      {"sampler2D", {BaseType::Sampler, 1}},
  };
  for (const Named& named : kTypes) {
    if (named.keyword == keyword) return named.type;
  }
  return std::nullopt;
}

bool convertsImplicitly(ValueType from, ValueType to) {
  if (from == to) return true;
  if (!from.isNumeric() || !to.isNumeric()) return false;
  return from.size == 1 || from.size >= to.size;
}

}  // namespace swd3dx
