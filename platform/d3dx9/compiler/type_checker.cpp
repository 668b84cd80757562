#include "d3dx9/compiler/type_checker.h"

#include "d3dx9/compiler/intrinsics.h"

#include <cctype>
#include <string_view>

namespace swd3dx {

namespace {

using Type = ValueType;
using MaybeType = std::optional<ValueType>;

// The common size of two operands: equal sizes, or a scalar beside anything.
std::optional<int> combinedSize(Type a, Type b) {
  if (a.size == b.size) return a.size;
  if (a.size == 1) return b.size;
  if (b.size == 1) return a.size;
  return std::nullopt;
}

bool isArithmetic(std::string_view op) { return op == "+" || op == "-" || op == "*" || op == "/"; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Swizzle letters as component numbers: one set (xyzw or rgba), 1 to 4 letters.
std::optional<int> swizzleComponents(std::string_view letters, std::array<std::uint8_t, 4>& out) {
  if (letters.empty() || letters.size() > 4) return std::nullopt;
  constexpr std::string_view kSets[] = {"xyzw", "rgba"};
  for (std::string_view set : kSets) {
    bool all = true;
    for (std::size_t i = 0; i < letters.size() && all; ++i) {
      const std::size_t at = set.find(letters[i]);
      all = at != std::string_view::npos;
      if (all) out[i] = static_cast<std::uint8_t>(at);
    }
    if (all) return static_cast<int>(letters.size());
  }
  return std::nullopt;
}

class Checker {
 public:
  Checker(EffectSyntax& effect, Diagnostics& diagnostics)
      : effect_(effect), diagnostics_(diagnostics) {}

  CheckedEffect run() {
    for (ParameterDeclaration& parameter : effect_.parameters) globalDeclaration(parameter);
    for (std::size_t i = 0; i < effect_.functions.size(); ++i) {
      FunctionDeclaration& function = effect_.functions[i];
      for (std::size_t j = 0; j < i; ++j) {
        if (effect_.functions[j].name == function.name) {
          fail(function.at, "the function '" + function.name + "' is already declared");
        }
      }
      checkFunction(function);
    }
    return std::move(checked_);
  }

 private:
  std::nullopt_t fail(SourcePosition at, std::string message) {
    diagnostics_.error(at, std::move(message));
    return std::nullopt;
  }

  // --- declarations -------------------------------------------------------

  void globalDeclaration(ParameterDeclaration& parameter) {
    auto symbol = std::make_unique<Symbol>();
    symbol->kind = parameter.isStaticConst ? Symbol::Kind::Constant : Symbol::Kind::Parameter;
    symbol->type = parameter.type;
    symbol->name = parameter.name;
    symbol->at = parameter.at;
    symbol->readOnly = true;
    symbol->parameter = static_cast<int>(checked_.globals.size());
    if (findGlobal(parameter.name) != nullptr) {
      fail(parameter.at, "'" + parameter.name + "' is already declared");
    }
    const Type type = parameter.type;
    if (parameter.isStaticConst && !type.isNumeric() && type.base != BaseType::Matrix) {
      fail(parameter.at, "a static const must be a float, bool or float4x4 value");
    } else if (parameter.isStaticConst && parameter.initializer == nullptr) {
      fail(parameter.at, "the static const '" + parameter.name + "' needs a value");
    }
    if (parameter.initializer != nullptr) {
      constantContext_ = true;
      initializer(*parameter.initializer, type, parameter.name);
      constantContext_ = false;
    }
    checked_.globals.push_back(std::move(symbol));
  }

  const Symbol* findGlobal(std::string_view name) const {
    for (const auto& symbol : checked_.globals) {
      if (symbol->name == name) return symbol.get();
    }
    return nullptr;
  }

  // An initial value for something of type `type` named `name`.
  void initializer(Expression& value, Type type, const std::string& name) {
    if (value.kind == Expression::Kind::List) {
      const std::optional<int> count = listComponents(value);
      if (!count) return;
      if (!type.isNumeric() && type.base != BaseType::Matrix) {
        fail(value.at, "a " + type.name() + " cannot be initialized");
      } else if (*count != type.size) {
        fail(value.at, "the initial value of '" + name + "' has " + std::to_string(*count) +
                           " components; " + type.name() + " takes " + std::to_string(type.size));
      }
      return;
    }
    const MaybeType valueType = check(value);
    if (!valueType) return;
    if (type.base == BaseType::Matrix) {
      fail(value.at, "a float4x4 is initialized with a brace list of 16 values");
    } else if (!convertsImplicitly(*valueType, type)) {
      fail(value.at, "cannot initialize '" + name + "' (" + type.name() + ") with a " +
                         valueType->name());
    }
  }

  std::optional<int> listComponents(Expression& list) {
    int count = 0;
    bool ok = true;
    for (auto& item : list.operands) {
      if (item->kind == Expression::Kind::List) {
        const std::optional<int> inner = listComponents(*item);
        ok = ok && inner.has_value();
        count += inner.value_or(0);
        continue;
      }
      const MaybeType type = check(*item);
      if (type && !type->isNumeric()) {
        fail(item->at, "a " + type->name() + " cannot stand in a brace list");
        ok = false;
      }
      ok = ok && type.has_value();
      count += type ? type->size : 0;
    }
    if (!ok) return std::nullopt;
    return count;
  }

  // --- functions ----------------------------------------------------------

  void checkFunction(FunctionDeclaration& function) {
    function_ = &function;
    if (function.returnType != ValueType::floats(4)) {
      fail(function.at, "a pixel shader function returns float4, not " +
                            function.returnType.name());
    }
    if (!sameIgnoringCase(function.returnSemantic, "COLOR") &&
        !sameIgnoringCase(function.returnSemantic, "COLOR0")) {
      fail(function.returnSemantic.empty() ? function.at : function.returnSemanticAt,
           "the result of '" + function.name + "' needs the semantic COLOR0");
    }
    scopes_.clear();
    scopes_.emplace_back();
    bool seen[2] = {false, false};
    for (const FunctionParameter& parameter : function.parameters) {
      auto symbol = std::make_unique<Symbol>();
      symbol->kind = Symbol::Kind::Input;
      symbol->type = parameter.type;
      symbol->name = parameter.name;
      symbol->at = parameter.at;
      const std::string& semantic = parameter.semantic;
      if (sameIgnoringCase(semantic, "TEXCOORD0") || sameIgnoringCase(semantic, "TEXCOORD")) {
        symbol->input = InputSemantic::TexCoord0;
      } else if (sameIgnoringCase(semantic, "COLOR0") || sameIgnoringCase(semantic, "COLOR")) {
        symbol->input = InputSemantic::Colour0;
      } else {
        fail(semantic.empty() ? parameter.at : parameter.semanticAt,
             semantic.empty()
                 ? "the parameter '" + parameter.name + "' needs a semantic: TEXCOORD0 or COLOR0"
                 : "the input semantic " + semantic + " is not supported: TEXCOORD0 or COLOR0");
        continue;
      }
      const Type wanted = symbol->input == InputSemantic::TexCoord0 ? ValueType::floats(2)
                                                                     : ValueType::floats(4);
      if (parameter.type != wanted) {
        fail(parameter.at, "the input " + semantic + " is a " + wanted.name() + ", not a " +
                               parameter.type.name());
      }
      bool& already = seen[static_cast<int>(symbol->input)];
      if (already) fail(parameter.semanticAt, "the semantic " + semantic + " is used twice");
      already = true;
      declare(std::move(symbol));
    }
    if (!statement(*function.body)) {
      fail(function.at, "not every path of '" + function.name + "' returns a value");
    }
    scopes_.clear();
    function_ = nullptr;
  }

  void declare(std::unique_ptr<Symbol> symbol) {
    for (const Symbol* other : scopes_.back()) {
      if (other->name == symbol->name) {
        fail(symbol->at, "'" + symbol->name + "' is already declared");
        break;
      }
    }
    scopes_.back().push_back(symbol.get());
    function_->symbols.push_back(std::move(symbol));
  }

  const Symbol* lookup(std::string_view name) const {
    for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
      for (auto it = scope->rbegin(); it != scope->rend(); ++it) {
        if ((*it)->name == name) return *it;
      }
    }
    return findGlobal(name);
  }

  // Checks a statement; true when it returns on every path.
  bool statement(Statement& s) {
    switch (s.kind) {
      case Statement::Kind::Empty: return false;
      case Statement::Kind::Block: {
        scopes_.emplace_back();
        bool returns = false;
        for (auto& inner : s.body) returns = statement(*inner) || returns;
        scopes_.pop_back();
        return returns;
      }
      case Statement::Kind::Declaration: localDeclaration(s); return false;
      case Statement::Kind::Assignment: assignment(s); return false;
      case Statement::Kind::If: {
        const MaybeType condition = check(*s.value);
        if (condition && !condition->isScalar()) {
          fail(s.value->at, "the condition of an if must be a scalar, not a " + condition->name());
        }
        const bool whenTrue = statement(*s.body[0]);
        const bool whenFalse = s.body.size() > 1 && statement(*s.body[1]);
        return whenTrue && whenFalse;
      }
      case Statement::Kind::Return: {
        const MaybeType value = check(*s.value);
        if (value && !convertsImplicitly(*value, function_->returnType)) {
          fail(s.value->at, "cannot return a " + value->name() + " from a function that returns " +
                                function_->returnType.name());
        }
        return true;
      }
    }
    return false;
  }

  void localDeclaration(Statement& s) {
    const Type type = s.declaredType;
    if (!type.isNumeric()) {
      fail(s.at, "local variables of type " + type.name() + " are not supported");
    }
    if (s.value != nullptr) {
      initializer(*s.value, type, s.name);
    } else if (s.readOnly) {
      fail(s.at, "the constant '" + s.name + "' needs a value");
    }
    auto symbol = std::make_unique<Symbol>();
    symbol->kind = Symbol::Kind::Local;
    symbol->type = type;
    symbol->name = s.name;
    symbol->at = s.at;
    symbol->readOnly = s.readOnly;
    s.declared = symbol.get();
    declare(std::move(symbol));
  }

  void assignment(Statement& s) {
    const MaybeType target = check(*s.target);
    const MaybeType value = check(*s.value);
    if (!target || !value || !assignable(*s.target)) return;
    Type result = *value;
    if (s.op != "=") {
      const std::string op = s.op.substr(0, 1);
      const MaybeType combined = arithmetic(s.value->at, op, *target, *value);
      if (!combined) return;
      result = *combined;
    }
    if (!convertsImplicitly(result, *target)) {
      fail(s.value->at, "cannot assign a " + result.name() + " to a " + target->name());
    }
  }

  // Whether an assignment may write the target: a variable or input, through
  // write masks that name no component twice.
  bool assignable(const Expression& target) {
    if (target.kind == Expression::Kind::Swizzle) {
      const int count = target.type.size;
      for (int i = 0; i < count; ++i) {
        for (int j = 0; j < i; ++j) {
          if (target.components[i] == target.components[j]) {
            fail(target.at, "the write mask ." + target.text + " names a component twice");
            return false;
          }
        }
      }
      return assignable(*target.operands[0]);
    }
    if (target.kind != Expression::Kind::Name || target.symbol == nullptr) {
      fail(target.at, "only variables and their components can be assigned");
      return false;
    }
    const Symbol& symbol = *target.symbol;
    if (symbol.kind == Symbol::Kind::Parameter || symbol.kind == Symbol::Kind::Constant) {
      fail(target.at, "cannot assign to the parameter '" + symbol.name + "'");
      return false;
    }
    if (symbol.readOnly) {
      fail(target.at, "cannot assign to the constant '" + symbol.name + "'");
      return false;
    }
    return true;
  }

  // --- expressions --------------------------------------------------------

  MaybeType check(Expression& e) {
    const MaybeType type = expression(e);
    if (type) e.type = *type;
    return type;
  }

  MaybeType numericOperand(Expression& e, std::string_view user) {
    const MaybeType type = check(e);
    if (type && !type->isNumeric()) {
      return fail(e.at, std::string(user) + " cannot take a " + type->name());
    }
    return type;
  }

  MaybeType arithmetic(SourcePosition at, const std::string& op, Type left, Type right) {
    const std::optional<int> size = combinedSize(left, right);
    if (!size) {
      return fail(at, "operator '" + op + "' cannot combine a " + left.name() + " and a " +
                          right.name());
    }
    return isArithmetic(op) ? ValueType::floats(*size) : ValueType::bools(*size);
  }

  MaybeType expression(Expression& e) {
    switch (e.kind) {
      case Expression::Kind::Number: return ValueType::floats(1);
      case Expression::Kind::Boolean: return ValueType::bools(1);
      case Expression::Kind::Name: return name(e);
      case Expression::Kind::Unary: {
        const MaybeType operand = numericOperand(*e.operands[0], "operator '" + e.text + "'");
        if (!operand) return std::nullopt;
        return e.text == "!" ? ValueType::bools(operand->size) : ValueType::floats(operand->size);
      }
      case Expression::Kind::Binary: {
        const std::string user = "operator '" + e.text + "'";
        const MaybeType left = numericOperand(*e.operands[0], user);
        const MaybeType right = numericOperand(*e.operands[1], user);
        if (!left || !right) return std::nullopt;
        return arithmetic(e.at, e.text, *left, *right);
      }
      case Expression::Kind::Conditional: return conditional(e);
      case Expression::Kind::Cast: {
        const MaybeType operand = numericOperand(*e.operands[0], "a cast");
        if (!operand) return std::nullopt;
        if (!e.castType.isNumeric() || !convertsImplicitly(*operand, e.castType)) {
          return fail(e.at, "cannot cast a " + operand->name() + " to " + e.castType.name());
        }
        return e.castType;
      }
      case Expression::Kind::Swizzle: {
        const MaybeType operand = numericOperand(*e.operands[0], "a swizzle");
        if (!operand) return std::nullopt;
        const std::optional<int> count = swizzleComponents(e.text, e.components);
        if (!count) return fail(e.at, "'" + e.text + "' is not a swizzle (xyzw or rgba)");
        for (int i = 0; i < *count; ++i) {
          if (e.components[i] >= operand->size) {
            return fail(e.at, "." + e.text + " reaches past the components of a " +
                                  operand->name());
          }
        }
        return ValueType{operand->base, static_cast<std::uint8_t>(*count)};
      }
      case Expression::Kind::Call: return call(e);
      case Expression::Kind::List:
        return fail(e.at, "a brace list can only give a variable its initial value");
    }
    return std::nullopt;
  }

  MaybeType name(Expression& e) {
    const Symbol* symbol = lookup(e.text);
    if (symbol == nullptr) {
      for (const FunctionDeclaration& function : effect_.functions) {
        if (function.name == e.text) return fail(e.at, "'" + e.text + "' is a function");
      }
      return fail(e.at, "unknown name '" + e.text + "'");
    }
    if (constantContext_ && symbol->kind == Symbol::Kind::Parameter) {
      return fail(e.at, "an initial value must be constant; '" + e.text + "' is a parameter");
    }
    e.symbol = symbol;
    return symbol->type;
  }

  MaybeType conditional(Expression& e) {
    const MaybeType condition = numericOperand(*e.operands[0], "the condition of '?:'");
    const MaybeType whenTrue = numericOperand(*e.operands[1], "'?:'");
    const MaybeType whenFalse = numericOperand(*e.operands[2], "'?:'");
    if (!condition || !whenTrue || !whenFalse) return std::nullopt;
    const std::optional<int> size = combinedSize(*whenTrue, *whenFalse);
    if (!size) {
      return fail(e.at, "the values of '?:' do not fit together: a " + whenTrue->name() +
                            " and a " + whenFalse->name());
    }
    if (condition->size != 1 && condition->size != *size) {
      return fail(e.operands[0]->at, "the condition of '?:' must be a scalar or have " +
                                         std::to_string(*size) + " components");
    }
    const bool bothBool = whenTrue->base == BaseType::Bool && whenFalse->base == BaseType::Bool;
    return ValueType{bothBool ? BaseType::Bool : BaseType::Float, static_cast<std::uint8_t>(*size)};
  }

  MaybeType call(Expression& e) {
    if (const std::optional<ValueType> constructed = typeNamed(e.text)) {
      return constructor(e, *constructed);
    }
    const IntrinsicInfo* info = findIntrinsic(e.text);
    if (info == nullptr) {
      for (const FunctionDeclaration& function : effect_.functions) {
        if (function.name == e.text) {
          return fail(e.at, "calling '" + e.text + "' is not supported: only intrinsics can be called");
        }
      }
      return fail(e.at, "unknown function '" + e.text + "'");
    }
    e.intrinsic = info->id;
    const int given = static_cast<int>(e.operands.size());
    if (given != info->arguments) {
      return fail(e.at, "'" + e.text + "' takes " + std::to_string(info->arguments) +
                            (info->arguments == 1 ? " argument" : " arguments") + ", not " +
                            std::to_string(given));
    }
    if (info->id == Intrinsic::Tex2D) return tex2D(e);
    if (info->id == Intrinsic::Mul) return mul(e);
    std::vector<Type> types;
    for (auto& argument : e.operands) {
      const MaybeType type = numericOperand(*argument, "'" + e.text + "'");
      if (!type) return std::nullopt;
      types.push_back(*type);
    }
    int size = 1;
    for (const Type& type : types) {
      const std::optional<int> combined = combinedSize(ValueType::floats(size), type);
      if (!combined) {
        return fail(e.at, "the arguments of '" + e.text + "' do not fit together: " +
                              describe(types));
      }
      size = *combined;
    }
    switch (info->id) {
      case Intrinsic::Dot:
      case Intrinsic::Length: return ValueType::floats(1);
      default: return ValueType::floats(size);
    }
  }

  static std::string describe(const std::vector<Type>& types) {
    std::string text;
    for (const Type& type : types) text += (text.empty() ? "" : ", ") + type.name();
    return text;
  }

  MaybeType constructor(Expression& e, Type type) {
    if (!type.isNumeric()) {
      return fail(e.at, "values of type " + type.name() + " cannot be constructed");
    }
    int count = 0;
    for (auto& argument : e.operands) {
      const MaybeType argumentType = numericOperand(*argument, e.text);
      if (!argumentType) return std::nullopt;
      count += argumentType->size;
    }
    const bool spread = e.operands.size() == 1 && count == 1;
    if (count != type.size && !spread) {
      return fail(e.at, type.name() + " takes " + std::to_string(type.size) +
                            " components, not " + std::to_string(count));
    }
    return type;
  }

  MaybeType tex2D(Expression& e) {
    Expression& sampler = *e.operands[0];
    const MaybeType samplerType = check(sampler);
    const MaybeType coordinates = numericOperand(*e.operands[1], "'tex2D'");
    if (!samplerType || !coordinates) return std::nullopt;
    if (samplerType->base != BaseType::Sampler || sampler.kind != Expression::Kind::Name) {
      return fail(sampler.at, "the first argument of tex2D must be a sampler");
    }
    if (!convertsImplicitly(*coordinates, ValueType::floats(2))) {
      return fail(e.operands[1]->at, "tex2D takes float2 coordinates, not a " + coordinates->name());
    }
    return ValueType::floats(4);
  }

  MaybeType mul(Expression& e) {
    const MaybeType left = check(*e.operands[0]);
    const MaybeType right = check(*e.operands[1]);
    if (!left || !right) return std::nullopt;
    const Type vector = ValueType::floats(4);
    const bool rowTimesMatrix = *left == vector && right->base == BaseType::Matrix;
    const bool matrixTimesColumn = left->base == BaseType::Matrix && *right == vector;
    if (!rowTimesMatrix && !matrixTimesColumn) {
      return fail(e.at, "mul takes a float4 and a float4x4 (in either order), not a " +
                            left->name() + " and a " + right->name());
    }
    return vector;
  }

  EffectSyntax& effect_;
  Diagnostics& diagnostics_;
  CheckedEffect checked_;
  std::vector<std::vector<const Symbol*>> scopes_;
  FunctionDeclaration* function_ = nullptr;
  bool constantContext_ = false;
};

}  // namespace

CheckedEffect checkEffect(EffectSyntax& effect, Diagnostics& diagnostics) {
  return Checker(effect, diagnostics).run();
}

}  // namespace swd3dx
