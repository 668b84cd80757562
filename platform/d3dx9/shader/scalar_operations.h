// What each arithmetic operation does to one float: the evaluator applies
// these over spans, and the compiler folds constants with the very same code.
#pragma once

#include "d3dx9/shader/register_program.h"

#include <cmath>

namespace swd3dx::scalar {

inline float truth(bool value) { return value ? 1.0f : 0.0f; }

// NaN saturates to 0, as on graphics hardware.
inline float saturate(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

inline float unary(Op op, float a) {
  switch (op) {
    case Op::Negate: return -a;
    case Op::Abs: return std::fabs(a);
    case Op::Sqrt: return std::sqrt(a);
    case Op::Rsqrt: return 1.0f / std::sqrt(a);
    case Op::Frac: return a - std::floor(a);
    case Op::Floor: return std::floor(a);
    case Op::Sin: return std::sin(a);
    case Op::Cos: return std::cos(a);
    case Op::Saturate: return saturate(a);
    case Op::Not: return truth(a == 0.0f);
    default: return a;
  }
}

// The operations whose float form is also the vector form, written once
// for a float and for the evaluator's vectors of floats.
constexpr bool isArithmetic(Op op) {
  return op == Op::Add || op == Op::Sub || op == Op::Mul || op == Op::Div || op == Op::Min ||
         op == Op::Max;
}

template <class T>
[[gnu::always_inline]] inline T arithmetic(Op op, T a, T b) {
  switch (op) {
    case Op::Add: return a + b;
    case Op::Sub: return a - b;
    case Op::Mul: return a * b;
    case Op::Div: return a / b;
    case Op::Min: return a < b ? a : b;
    case Op::Max: return a > b ? a : b;
    default: return a;
  }
}

inline float binary(Op op, float a, float b) {
  if (isArithmetic(op)) return arithmetic(op, a, b);
  switch (op) {
    case Op::Pow: return std::pow(a, b);
    case Op::Less: return truth(a < b);
    case Op::LessEqual: return truth(a <= b);
    case Op::Equal: return truth(a == b);
    case Op::NotEqual: return truth(a != b);
    case Op::And: return truth(a != 0.0f && b != 0.0f);
    case Op::Or: return truth(a != 0.0f || b != 0.0f);
    default: return a;
  }
}

inline float ternary(Op op, float a, float b, float c) {
  switch (op) {
    case Op::Mad: return a * b + c;
    case Op::Select: return a != 0.0f ? b : c;
    default: return a;
  }
}

}  // namespace swd3dx::scalar
