#include "d3dx9/compiler/shader_generator.h"

#include "d3dx9/compiler/program_builder.h"
#include "d3dx9/compiler/register_allocation.h"

#include <array>
#include <map>
#include <set>

namespace swd3dx {

namespace {

using Reg = VirtualRegister;

// A value: one virtual register per component (16 for a matrix, row by row).
struct Value {
  int size = 0;
  std::array<Reg, 16> c{};
};

// The sampler parameters a statement reads through tex2D.
void collectSamplers(const Expression& e, std::set<int>& out) {
  if (e.kind == Expression::Kind::Call && e.intrinsic == Intrinsic::Tex2D) {
    out.insert(e.operands[0]->symbol->parameter);
  }
  for (const auto& operand : e.operands) collectSamplers(*operand, out);
}

void collectSamplers(const Statement& s, std::set<int>& out) {
  if (s.value != nullptr) collectSamplers(*s.value, out);
  if (s.target != nullptr) collectSamplers(*s.target, out);
  for (const auto& inner : s.body) collectSamplers(*inner, out);
}

class Generator {
 public:
  explicit Generator(const UniformOffsets* offsets) : offsets_(offsets) {}

  ProgramBuilder& builder() { return b_; }

  void setStage(int parameter, std::uint8_t stage) { stages_[parameter] = stage; }

  // The function's result registers, once its body is generated.
  std::array<Reg, 4> function(const FunctionDeclaration& f) {
    for (const auto& symbol : f.symbols) {
      if (symbol->kind != Symbol::Kind::Input) continue;
      Value input;
      if (symbol->input == InputSemantic::TexCoord0) {
        input.size = 2;
        input.c[0] = b_.input(Op::TexCoordU);
        input.c[1] = b_.input(Op::TexCoordV);
      } else {
        input.size = 4;
        for (std::uint8_t k = 0; k < 4; ++k) input.c[k] = b_.input(Op::Diffuse, k);
      }
      variables_[symbol.get()] = input;
      levels_[symbol.get()] = 0;
    }
    statement(*f.body);
    return {result_.c[0], result_.c[1], result_.c[2], result_.c[3]};
  }

  // An initial value: a brace list or an expression, converted to `type`.
  Value initialValue(const Expression& e, ValueType type) {
    if (e.kind != Expression::Kind::List) return convert(expression(e), e.type, type);
    Value flat;
    flatten(e, type, flat);
    return flat;
  }

 private:
  void flatten(const Expression& list, ValueType type, Value& out) {
    for (const auto& item : list.operands) {
      if (item->kind == Expression::Kind::List) {
        flatten(*item, type, out);
        continue;
      }
      const Value v = expression(*item);
      for (int i = 0; i < v.size && out.size < 16; ++i) {
        out.c[out.size++] = type.base == BaseType::Bool && item->type.base == BaseType::Float
                                ? b_.binary(Op::NotEqual, v.c[i], b_.constant(0.0f))
                                : v.c[i];
      }
    }
  }

  // --- statements ---------------------------------------------------------

  void statement(const Statement& s) {
    if (dead_) return;  // every pixel has returned: the rest cannot run
    switch (s.kind) {
      case Statement::Kind::Empty: return;
      case Statement::Kind::Block:
        for (const auto& inner : s.body) statement(*inner);
        return;
      case Statement::Kind::Declaration: {
        const ValueType type = s.declaredType;
        Value value;
        if (s.value != nullptr) {
          value = initialValue(*s.value, type);
        } else {
          value.size = type.size;
          for (int i = 0; i < type.size; ++i) value.c[i] = b_.constant(0.0f);
        }
        variables_[s.declared] = value;
        levels_[s.declared] = level_;
        return;
      }
      case Statement::Kind::Assignment: assignment(s); return;
      case Statement::Kind::If: conditional(s); return;
      case Statement::Kind::Return: {
        const Value v = convert(expression(*s.value), s.value->type, ValueType::floats(4));
        for (int i = 0; i < 4; ++i) {
          result_.c[i] = resultSet_ && active_ ? b_.ternary(Op::Select, *active_, v.c[i], result_.c[i])
                                               : v.c[i];
        }
        result_.size = 4;
        resultSet_ = true;
        dead_ = true;
        return;
      }
    }
  }

  void assignment(const Statement& s) {
    // The variable and the components the target names, through any masks.
    const Expression* base = s.target.get();
    std::array<std::uint8_t, 4> components{0, 1, 2, 3};
    while (base->kind == Expression::Kind::Swizzle) {
      for (int i = 0; i < s.target->type.size; ++i) components[i] = base->components[components[i]];
      base = base->operands[0].get();
    }
    const ValueType targetType = s.target->type;
    Value value = expression(*s.value);
    ValueType valueType = s.value->type;
    if (s.op != "=") {
      const Value current = expression(*s.target);
      const int size = std::max(targetType.size, valueType.size);
      const Op op = arithmeticOp(s.op.substr(0, 1));
      value = combine(op, spread(current, size), spread(value, size), size);
      valueType = ValueType::floats(size);
    }
    value = convert(value, valueType, targetType);

    Value& variable = variables_[base->symbol];
    const bool masked = active_.has_value() && levels_[base->symbol] < level_;
    for (int i = 0; i < targetType.size; ++i) {
      Reg& slot = variable.c[components[i]];
      slot = masked ? b_.ternary(Op::Select, *active_, value.c[i], slot) : value.c[i];
    }
  }

  void conditional(const Statement& s) {
    const Reg condition = expression(*s.value).c[0];
    // A known condition needs no masks: only the branch taken is generated.
    if (const auto known = b_.constantValue(condition)) {
      if (*known != 0.0f) {
        statement(*s.body[0]);
      } else if (s.body.size() > 1) {
        statement(*s.body[1]);
      }
      return;
    }
    const std::optional<Reg> outer = active_;
    const Reg notCondition = b_.unary(Op::Not, condition);
    const Reg whenTrue = outer ? b_.binary(Op::And, *outer, condition) : condition;
    const Reg whenFalse = outer ? b_.binary(Op::And, *outer, notCondition) : notCondition;

    ++level_;
    const auto branch = [&](const Statement* body, Reg mask) -> std::optional<Reg> {
      active_ = mask;
      dead_ = false;
      if (body != nullptr) statement(*body);
      return dead_ ? std::nullopt : active_;  // the pixels still running after it
    };
    const std::optional<Reg> afterTrue = branch(s.body[0].get(), whenTrue);
    const std::optional<Reg> afterFalse = branch(s.body.size() > 1 ? s.body[1].get() : nullptr,
                                                 whenFalse);
    --level_;

    dead_ = false;
    if (afterTrue == whenTrue && afterFalse == whenFalse) {
      active_ = outer;  // nothing returned inside
    } else if (!afterTrue && !afterFalse) {
      dead_ = true;
    } else if (!afterTrue || !afterFalse) {
      active_ = afterTrue ? afterTrue : afterFalse;
    } else {
      active_ = b_.binary(Op::Or, *afterTrue, *afterFalse);
    }
  }

  // --- expressions --------------------------------------------------------

  static Op arithmeticOp(const std::string& op) {
    if (op == "+") return Op::Add;
    if (op == "-") return Op::Sub;
    if (op == "*") return Op::Mul;
    return Op::Div;
  }

  Value spread(const Value& v, int size) {
    if (v.size == size || v.size != 1) return v;
    Value out;
    out.size = size;
    out.c.fill(v.c[0]);
    return out;
  }

  Value combine(Op op, const Value& a, const Value& b, int size) {
    Value out;
    out.size = size;
    for (int i = 0; i < size; ++i) out.c[i] = b_.binary(op, a.c[i], b.c[i]);
    return out;
  }

  Value map(Op op, const Value& a) {
    Value out;
    out.size = a.size;
    for (int i = 0; i < a.size; ++i) out.c[i] = b_.unary(op, a.c[i]);
    return out;
  }

  Value convert(Value v, ValueType from, ValueType to) {
    if (from.base == BaseType::Matrix) return v;
    if (v.size == 1 && to.size > 1) v = spread(v, to.size);
    v.size = std::min<int>(v.size, to.size);
    if (from.base == BaseType::Float && to.base == BaseType::Bool) {
      for (int i = 0; i < v.size; ++i) v.c[i] = b_.binary(Op::NotEqual, v.c[i], b_.constant(0.0f));
    }
    return v;
  }

  Value scalar(Reg r) {
    Value v;
    v.size = 1;
    v.c[0] = r;
    return v;
  }

  Value expression(const Expression& e) {
    switch (e.kind) {
      case Expression::Kind::Number: return scalar(b_.constant(static_cast<float>(e.number)));
      case Expression::Kind::Boolean: return scalar(b_.constant(e.boolean ? 1.0f : 0.0f));
      case Expression::Kind::Name: return name(*e.symbol);
      case Expression::Kind::Unary: {
        const Value operand = expression(*e.operands[0]);
        if (e.text == "-") return map(Op::Negate, operand);
        if (e.text == "!") return map(Op::Not, operand);
        return operand;
      }
      case Expression::Kind::Binary: return binaryOperator(e);
      case Expression::Kind::Conditional: {
        const int size = e.type.size;
        const Value condition = expression(*e.operands[0]);
        const Value a = spread(expression(*e.operands[1]), size);
        const Value b = spread(expression(*e.operands[2]), size);
        Value out;
        out.size = size;
        for (int i = 0; i < size; ++i) {
          out.c[i] = b_.ternary(Op::Select, condition.c[condition.size == 1 ? 0 : i], a.c[i], b.c[i]);
        }
        return out;
      }
      case Expression::Kind::Cast:
        return convert(expression(*e.operands[0]), e.operands[0]->type, e.castType);
      case Expression::Kind::Swizzle: {
        const Value operand = expression(*e.operands[0]);
        Value out;
        out.size = e.type.size;
        for (int i = 0; i < out.size; ++i) out.c[i] = operand.c[e.components[i]];
        return out;
      }
      case Expression::Kind::Call:
        return e.intrinsic ? intrinsic(e) : constructor(e);
      case Expression::Kind::List: break;  // only as an initial value
    }
    return {};
  }

  Value name(const Symbol& symbol) {
    switch (symbol.kind) {
      case Symbol::Kind::Parameter: {
        Value v;
        v.size = symbol.type.size;
        const int offset = (*offsets_)[symbol.parameter];
        for (int i = 0; i < v.size; ++i) v.c[i] = b_.uniform(static_cast<std::uint32_t>(offset + i));
        return v;
      }
      case Symbol::Kind::Constant: {
        Value v;
        v.size = static_cast<int>(symbol.values.size());
        for (int i = 0; i < v.size; ++i) v.c[i] = b_.constant(symbol.values[i]);
        return v;
      }
      case Symbol::Kind::Input:
      case Symbol::Kind::Local: break;
    }
    return variables_[&symbol];
  }

  Value binaryOperator(const Expression& e) {
    const int size = std::max(e.operands[0]->type.size, e.operands[1]->type.size);
    Value a = spread(expression(*e.operands[0]), size);
    Value b = spread(expression(*e.operands[1]), size);
    const std::string& op = e.text;
    if (op == ">" || op == ">=") std::swap(a, b);
    Op code = Op::Add;
    if (op == "+" || op == "-" || op == "*" || op == "/") code = arithmeticOp(op);
    else if (op == "<" || op == ">") code = Op::Less;
    else if (op == "<=" || op == ">=") code = Op::LessEqual;
    else if (op == "==") code = Op::Equal;
    else if (op == "!=") code = Op::NotEqual;
    else if (op == "&&") code = Op::And;
    else code = Op::Or;
    return combine(code, a, b, size);
  }

  Value constructor(const Expression& e) {
    Value out;
    out.size = 0;
    for (const auto& argument : e.operands) {
      const Value v = convert(expression(*argument), argument->type,
                              ValueType{e.type.base, argument->type.size});
      for (int i = 0; i < v.size && out.size < 4; ++i) out.c[out.size++] = v.c[i];
    }
    return spread(out, e.type.size);
  }

  Value sum(const Value& a, const Value& b, int size) {
    Reg total = b_.binary(Op::Mul, a.c[0], b.c[0]);
    for (int i = 1; i < size; ++i) total = b_.ternary(Op::Mad, a.c[i], b.c[i], total);
    return scalar(total);
  }

  Value intrinsic(const Expression& e) {
    const int size = e.type.size;
    std::vector<Value> args;
    for (const auto& argument : e.operands) {
      if (argument->type.base == BaseType::Sampler) {
        args.emplace_back();
        continue;
      }
      args.push_back(expression(*argument));
    }
    const auto spreadAll = [&](int to) {
      for (Value& v : args) v = spread(v, to);
    };
    switch (*e.intrinsic) {
      case Intrinsic::Tex2D: {
        const Value uv = convert(args[1], e.operands[1]->type, ValueType::floats(2));
        const std::uint8_t stage = stages_.at(e.operands[0]->symbol->parameter);
        const auto channels = b_.sample(stage, uv.c[0], uv.c[1]);
        Value out;
        out.size = 4;
        for (int i = 0; i < 4; ++i) out.c[i] = channels[i];
        return out;
      }
      case Intrinsic::Saturate: return map(Op::Saturate, args[0]);
      case Intrinsic::Abs: return map(Op::Abs, args[0]);
      case Intrinsic::Sqrt: return map(Op::Sqrt, args[0]);
      case Intrinsic::Frac: return map(Op::Frac, args[0]);
      case Intrinsic::Floor: return map(Op::Floor, args[0]);
      case Intrinsic::Sin: return map(Op::Sin, args[0]);
      case Intrinsic::Cos: return map(Op::Cos, args[0]);
      case Intrinsic::Min: spreadAll(size); return combine(Op::Min, args[0], args[1], size);
      case Intrinsic::Max: spreadAll(size); return combine(Op::Max, args[0], args[1], size);
      case Intrinsic::Pow: spreadAll(size); return combine(Op::Pow, args[0], args[1], size);
      // step(edge, x): 1 where x >= edge.
      case Intrinsic::Step: spreadAll(size); return combine(Op::LessEqual, args[0], args[1], size);
      case Intrinsic::Clamp:
        spreadAll(size);
        return combine(Op::Min, combine(Op::Max, args[0], args[1], size), args[2], size);
      case Intrinsic::Lerp: {
        // a + t * (b - a)
        spreadAll(size);
        Value out;
        out.size = size;
        for (int i = 0; i < size; ++i) {
          const Reg difference = b_.binary(Op::Sub, args[1].c[i], args[0].c[i]);
          out.c[i] = b_.ternary(Op::Mad, args[2].c[i], difference, args[0].c[i]);
        }
        return out;
      }
      case Intrinsic::Smoothstep: {
        // t = saturate((x - a) / (b - a)); t * t * (3 - 2 t)
        spreadAll(size);
        Value out;
        out.size = size;
        for (int i = 0; i < size; ++i) {
          const Reg range = b_.binary(Op::Sub, args[1].c[i], args[0].c[i]);
          const Reg offset = b_.binary(Op::Sub, args[2].c[i], args[0].c[i]);
          const Reg t = b_.unary(Op::Saturate, b_.binary(Op::Div, offset, range));
          const Reg shape = b_.ternary(Op::Mad, b_.constant(-2.0f), t, b_.constant(3.0f));
          out.c[i] = b_.binary(Op::Mul, b_.binary(Op::Mul, t, t), shape);
        }
        return out;
      }
      case Intrinsic::Dot: {
        const int n = std::max(args[0].size, args[1].size);
        spreadAll(n);
        return sum(args[0], args[1], n);
      }
      case Intrinsic::Length: return scalar(b_.unary(Op::Sqrt, sum(args[0], args[0], args[0].size).c[0]));
      case Intrinsic::Normalize: {
        const Reg scale = b_.unary(Op::Rsqrt, sum(args[0], args[0], args[0].size).c[0]);
        return combine(Op::Mul, args[0], spread(scalar(scale), args[0].size), args[0].size);
      }
      case Intrinsic::Mul: return mul(e, args[0], args[1]);
    }
    return {};
  }

  // mul(row, M)[j] = sum over i of row[i] M[i][j]; mul(M, column)[i] = sum
  // over j of M[i][j] column[j]. M is stored row by row.
  Value mul(const Expression& e, const Value& left, const Value& right) {
    const bool rowVector = e.operands[0]->type.base != BaseType::Matrix;
    const Value& vector = rowVector ? left : right;
    const Value& matrix = rowVector ? right : left;
    Value out;
    out.size = 4;
    for (int k = 0; k < 4; ++k) {
      Value line;
      line.size = 4;
      for (int m = 0; m < 4; ++m) line.c[m] = rowVector ? matrix.c[m * 4 + k] : matrix.c[k * 4 + m];
      out.c[k] = sum(vector, line, 4).c[0];
    }
    return out;
  }

  ProgramBuilder b_;
  const UniformOffsets* offsets_;
  std::map<int, std::uint8_t> stages_;
  std::map<const Symbol*, Value> variables_;
  std::map<const Symbol*, int> levels_;  // the if-nesting a variable was declared at
  std::optional<Reg> active_;            // the pixels still running; none: all of them
  bool dead_ = false;                    // no pixel is still running
  int level_ = 0;
  Value result_;
  bool resultSet_ = false;
};

}  // namespace

std::optional<GeneratedShader> generateShader(const FunctionDeclaration& function,
                                              const EffectSyntax& effect,
                                              const UniformOffsets& offsets,
                                              SourcePosition compiledAt,
                                              Diagnostics& diagnostics) {
  GeneratedShader shader;
  std::set<int> used;
  collectSamplers(*function.body, used);
  std::array<int, 16> byStage;
  byStage.fill(-1);
  for (int parameter : used) {
    const std::optional<int> wanted = effect.parameters[parameter].samplerRegister;
    if (!wanted) continue;
    if (byStage[*wanted] >= 0) {
      diagnostics.error(compiledAt, "the samplers '" + effect.parameters[byStage[*wanted]].name +
                                        "' and '" + effect.parameters[parameter].name +
                                        "' of '" + function.name + "' both use register s" +
                                        std::to_string(*wanted));
      return std::nullopt;
    }
    byStage[*wanted] = parameter;
  }
  for (int parameter : used) {
    if (effect.parameters[parameter].samplerRegister) continue;
    int stage = 0;
    while (stage < 16 && byStage[stage] >= 0) ++stage;
    if (stage == 16) {
      diagnostics.error(compiledAt, "'" + function.name + "' reads more than 16 samplers");
      return std::nullopt;
    }
    byStage[stage] = parameter;
  }

  Generator generator(&offsets);
  for (std::uint8_t stage = 0; stage < 16; ++stage) {
    if (byStage[stage] < 0) continue;
    shader.samplers.push_back({byStage[stage], stage});
    generator.setStage(byStage[stage], stage);
  }
  const std::array<Reg, 4> output = generator.function(function);
  std::optional<RegisterProgram> program = allocateRegisters(generator.builder(), output);
  if (!program) {
    diagnostics.error(compiledAt, "'" + function.name + "' needs more than " +
                                      std::to_string(kMostRegisters) +
                                      " values at once; make it simpler");
    return std::nullopt;
  }
  shader.program = std::move(*program);
  return shader;
}

std::optional<std::vector<float>> evaluateConstant(const Expression& initializer, ValueType type,
                                                   const std::string& name,
                                                   Diagnostics& diagnostics) {
  Generator generator(nullptr);
  const Value value = generator.initialValue(initializer, type);
  std::vector<float> values;
  for (int i = 0; i < value.size; ++i) {
    const std::optional<float> known = generator.builder().constantValue(value.c[i]);
    if (!known) {
      diagnostics.error(initializer.at, "the initial value of '" + name + "' is not constant");
      return std::nullopt;
    }
    values.push_back(*known);
  }
  return values;
}

}  // namespace swd3dx
