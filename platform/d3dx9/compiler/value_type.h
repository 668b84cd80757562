// The types of the language subset: float and bool scalars and vectors, the
// 4x4 float matrix, textures, samplers, and void for functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace swd3dx {

enum class BaseType : std::uint8_t { Void, Bool, Float, Matrix, Texture, Sampler };

struct ValueType {
  BaseType base = BaseType::Void;
  std::uint8_t size = 1;  // components: 1 to 4 for Bool and Float, 16 for Matrix

  static constexpr ValueType floats(int n) { return {BaseType::Float, std::uint8_t(n)}; }
  static constexpr ValueType bools(int n) { return {BaseType::Bool, std::uint8_t(n)}; }
  static constexpr ValueType matrix() { return {BaseType::Matrix, 16}; }

  // Float or bool, scalar or vector: what arithmetic takes.
  bool isNumeric() const { return base == BaseType::Float || base == BaseType::Bool; }
  bool isScalar() const { return isNumeric() && size == 1; }
  bool operator==(const ValueType&) const = default;

  // As the language writes it: "float3", "bool", "float4x4", "sampler".
  std::string name() const;
};

// The type a keyword names ("float2", "sampler2D", "texture"), or nothing.
std::optional<ValueType> typeNamed(std::string_view keyword);

// Whether a value of type `from` may stand where `to` is wanted: equal
// types, a scalar spread over a vector, a vector cut to its first components,
// and float and bool into each other (component by component).
bool convertsImplicitly(ValueType from, ValueType to);

}  // namespace swd3dx
