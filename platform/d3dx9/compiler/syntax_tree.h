// The parsed effect file: parameters, pixel shader functions and techniques.
// The type checker fills in the fields marked "checked" on expressions and
// statements; the code generator reads them.
#pragma once

#include "d3dx9/compiler/diagnostics.h"
#include "d3dx9/compiler/value_type.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace swd3dx {

// What a name in a function body stands for.
enum class InputSemantic : std::uint8_t { TexCoord0, Colour0 };

struct Symbol {
  enum class Kind : std::uint8_t {
    Parameter,  // an effect parameter (read-only in shaders)
    Constant,   // a static const global: its values are known
    Input,      // a shader function's parameter, filled from the rasteriser
    Local,      // a variable of a function body
  };
  Kind kind = Kind::Local;
  ValueType type;
  std::string name;
  SourcePosition at;
  bool readOnly = false;
  int parameter = -1;                  // Parameter: index in EffectSyntax::parameters
  std::vector<float> values;           // Constant
  InputSemantic input{};               // Input
};

enum class Intrinsic : std::uint8_t {
  Tex2D, Lerp, Saturate, Dot, Min, Max, Abs, Clamp, Pow, Sqrt, Frac, Floor, Step, Smoothstep,
  Sin, Cos, Length, Normalize, Mul,
};

struct Expression {
  enum class Kind : std::uint8_t {
    Number,       // number
    Boolean,      // boolean
    Name,         // text
    Unary,        // text is the operator; operands[0]
    Binary,       // text is the operator; operands[0] and [1]
    Conditional,  // operands: condition, then, otherwise
    Call,         // text is the callee: an intrinsic or a type (a constructor)
    Cast,         // castType; operands[0]
    Swizzle,      // text holds the letters; operands[0]
    List,         // { a, b, ... } (initializers only)
  };
  Kind kind = Kind::Number;
  SourcePosition at;
  double number = 0;
  bool boolean = false;
  std::string text;
  ValueType castType;
  std::vector<std::unique_ptr<Expression>> operands;

  // Checked.
  ValueType type;
  const Symbol* symbol = nullptr;      // Name
  std::optional<Intrinsic> intrinsic;  // Call of an intrinsic (else a constructor)
  std::array<std::uint8_t, 4> components{};  // Swizzle: the components picked
};

struct Statement {
  enum class Kind : std::uint8_t { Declaration, Assignment, If, Block, Return, Empty };
  Kind kind = Kind::Empty;
  SourcePosition at;
  // Declaration: a local of declaredType named name, initialised from value.
  ValueType declaredType;
  bool readOnly = false;
  std::string name;
  // Assignment: target op value, op one of = += -= *= /=.
  std::unique_ptr<Expression> target;
  std::string op;
  // The initial value, assigned value, returned value or if-condition.
  std::unique_ptr<Expression> value;
  // Block: its statements. If: the statement when true, then the one when
  // false if there is an else.
  std::vector<std::unique_ptr<Statement>> body;

  // Checked: the local a declaration makes.
  const Symbol* declared = nullptr;
};

// The value of a state in a sampler_state block or a pass.
struct StateValue {
  enum class Kind : std::uint8_t {
    Number,     // number (integer: bits)
    Word,       // a value name: Linear, TRUE, SrcAlpha, NULL ...
    Reference,  // <name> or (name): a parameter
    Compile,    // compile PROFILE function(): text is the function, profile the profile
  };
  Kind kind = Kind::Number;
  SourcePosition at;
  double number = 0;
  bool integer = false;
  std::uint32_t bits = 0;
  std::string text;
  std::string profile;
  SourcePosition profileAt;  // Compile: where the profile and the function are written
  SourcePosition functionAt;
};

struct StateAssignment {
  SourcePosition at;
  std::string name;
  std::optional<std::uint32_t> index;  // Name[index]
  StateValue value;
};

struct ParameterDeclaration {
  SourcePosition at;
  ValueType type;
  std::string name;
  std::string semantic;
  bool isStaticConst = false;           // static const: a constant, not a parameter
  std::optional<int> samplerRegister;   // : register(sN)
  std::unique_ptr<Expression> initializer;
  bool hasSamplerState = false;
  std::vector<StateAssignment> samplerStates;
};

struct FunctionParameter {
  SourcePosition at;
  ValueType type;
  std::string name;
  std::string semantic;
  SourcePosition semanticAt;
};

struct FunctionDeclaration {
  SourcePosition at;
  ValueType returnType;
  std::string name;
  std::vector<FunctionParameter> parameters;
  std::string returnSemantic;
  SourcePosition returnSemanticAt;
  std::unique_ptr<Statement> body;

  // Checked: the symbols of its inputs (in parameter order) and locals.
  std::vector<std::unique_ptr<Symbol>> symbols;
};

struct PassDeclaration {
  SourcePosition at;
  std::string name;
  std::vector<StateAssignment> states;
};

struct TechniqueDeclaration {
  SourcePosition at;
  std::string name;
  std::vector<PassDeclaration> passes;
};

struct EffectSyntax {
  std::vector<ParameterDeclaration> parameters;  // in file order
  std::vector<FunctionDeclaration> functions;
  std::vector<TechniqueDeclaration> techniques;
};

}  // namespace swd3dx
