#include "d3dx9/compiler/effect_parser.h"

#include "d3dx9/compiler/function_body_parser.h"
#include "d3dx9/compiler/token_cursor.h"

#include <string_view>

namespace swd3dx {

namespace {

constexpr std::string_view kUnsupportedDeclarations[] = {
    "struct", "typedef", "cbuffer", "tbuffer", "namespace", "class", "interface"};

class EffectParser {
 public:
  EffectParser(const std::vector<Token>& tokens, Diagnostics& diagnostics)
      : cursor_(tokens, diagnostics) {}

  std::optional<EffectSyntax> run() {
    while (!cursor_.atEnd()) {
      const Token& first = cursor_.peek();
      bool ok = false;
      if (first.isWord("technique") || first.isWord("technique9")) {
        ok = technique();
      } else if (first.isWord("technique10") || first.isWord("technique11")) {
        ok = cursor_.fail(first.at, "only Direct3D 9 techniques ('technique') are supported");
      } else if (isUnsupportedDeclaration(first)) {
        ok = cursor_.fail(first.at, "'" + first.text + "' is not supported");
      } else if (first.is(";")) {
        cursor_.take();
        ok = true;
      } else {
        ok = declaration();
      }
      if (!ok) return std::nullopt;
    }
    return std::move(effect_);
  }

 private:
  static bool isUnsupportedDeclaration(const Token& token) {
    for (std::string_view word : kUnsupportedDeclarations) {
      if (token.kind == TokenKind::Identifier && token.text == word) return true;
    }
    return false;
  }

  // A parameter or a function, after any storage qualifiers.
  bool declaration() {
    bool isStatic = false;
    bool isConst = false;
    for (;;) {
      if (cursor_.acceptWord("static")) {
        isStatic = true;
      } else if (cursor_.acceptWord("const")) {
        isConst = true;
      } else if (!cursor_.acceptWord("uniform") && !cursor_.acceptWord("extern") &&
                 !cursor_.acceptWord("shared")) {
        break;
      }
    }
    const std::optional<Token> typeToken = cursor_.expectName("a declaration or 'technique'");
    if (!typeToken) return false;
    const std::optional<ValueType> type = typeNamed(typeToken->text);
    if (!type) return cursor_.fail(typeToken->at, "unknown type '" + typeToken->text + "'");
    const std::optional<Token> name = cursor_.expectName("a name");
    if (!name) return false;
    if (cursor_.accept("(")) {
      if (isStatic || isConst) return cursor_.fail(typeToken->at, "a function cannot be static or const");
      return function(*type, *name, typeToken->at);
    }
    if (isStatic && !isConst) {
      return cursor_.fail(typeToken->at, "static globals must be const");
    }
    return parameter(*type, *name, isStatic);
  }

  bool parameter(ValueType type, const Token& name, bool isStaticConst) {
    ParameterDeclaration parameter;
    parameter.at = name.at;
    parameter.type = type;
    parameter.name = name.text;
    parameter.isStaticConst = isStaticConst;
    if (type.base == BaseType::Void) return cursor_.fail(name.at, "a parameter cannot be void");
    if (cursor_.peek().is("[")) return cursor_.fail(cursor_.peek().at, "arrays are not supported");
    while (cursor_.accept(":")) {
      if (!semanticOrRegister(parameter)) return false;
    }
    if (cursor_.peek().is("<") && !skipAnnotations()) return false;
    if (cursor_.accept("=")) {
      if (type.base == BaseType::Sampler) {
        if (!cursor_.acceptWord("sampler_state")) return cursor_.failHere("expected 'sampler_state'");
        parameter.hasSamplerState = true;
        if (!stateBlock(parameter.samplerStates)) return false;
      } else if (type.base == BaseType::Texture) {
        return cursor_.fail(cursor_.peek().at, "a texture parameter takes no initial value");
      } else {
        parameter.initializer = parseInitializer(cursor_);
        if (parameter.initializer == nullptr) return false;
      }
    }
    if (!cursor_.expect(";")) return false;
    effect_.parameters.push_back(std::move(parameter));
    return true;
  }

  // After ':' : "register(sN)" for a sampler, else a semantic name.
  bool semanticOrRegister(ParameterDeclaration& parameter) {
    const std::optional<Token> word = cursor_.expectName("a semantic or register(...)");
    if (!word) return false;
    if (word->text != "register") {
      parameter.semantic = word->text;
      return true;
    }
    if (!cursor_.expect("(")) return false;
    const std::optional<Token> slot = cursor_.expectName("a register such as s0");
    if (!slot || !cursor_.expect(")")) return false;
    if (parameter.type.base != BaseType::Sampler) {
      return cursor_.fail(word->at, "register(...) is supported on samplers only");
    }
    const std::string& text = slot->text;
    const bool wellFormed = text.size() >= 2 && text.size() <= 3 && (text[0] == 's' || text[0] == 'S') &&
                            text.find_first_not_of("0123456789", 1) == std::string::npos;
    const int number = wellFormed ? std::stoi(text.substr(1)) : -1;
    if (number < 0 || number > 15) {
      return cursor_.fail(slot->at, "a sampler register is s0 to s15, not '" + text + "'");
    }
    parameter.samplerRegister = number;
    return true;
  }

  // "< ... >" annotations: read past and ignored.
  bool skipAnnotations() {
    const SourcePosition start = cursor_.take().at;
    while (!cursor_.accept(">")) {
      if (cursor_.atEnd()) return cursor_.fail(start, "annotations not closed with '>'");
      cursor_.take();
    }
    return true;
  }

  bool function(ValueType returnType, const Token& name, SourcePosition at) {
    FunctionDeclaration function;
    function.at = at;
    function.returnType = returnType;
    function.name = name.text;
    if (!cursor_.accept(")")) {
      if (cursor_.peek().isWord("void") && cursor_.peek(1).is(")")) {
        cursor_.take();
      } else {
        do {
          if (!functionParameter(function)) return false;
        } while (cursor_.accept(","));
      }
      if (!cursor_.expect(")")) return false;
    }
    if (cursor_.accept(":")) {
      const std::optional<Token> semantic = cursor_.expectName("a semantic");
      if (!semantic) return false;
      function.returnSemantic = semantic->text;
      function.returnSemanticAt = semantic->at;
    }
    if (cursor_.peek().is(";")) return cursor_.failHere("expected the function's body");
    function.body = parseBlock(cursor_);
    if (function.body == nullptr) return false;
    effect_.functions.push_back(std::move(function));
    return true;
  }

  bool functionParameter(FunctionDeclaration& function) {
    FunctionParameter parameter;
    parameter.at = cursor_.peek().at;
    if (cursor_.peek().isWord("out") || cursor_.peek().isWord("inout") ||
        cursor_.peek().isWord("uniform")) {
      return cursor_.fail(cursor_.peek().at,
                          "only input parameters are supported, not '" + cursor_.peek().text + "'");
    }
    cursor_.acceptWord("in");
    const std::optional<Token> typeToken = cursor_.expectName("a parameter type");
    if (!typeToken) return false;
    const std::optional<ValueType> type = typeNamed(typeToken->text);
    if (!type) return cursor_.fail(typeToken->at, "unknown type '" + typeToken->text + "'");
    const std::optional<Token> name = cursor_.expectName("a parameter name");
    if (!name) return false;
    parameter.type = *type;
    parameter.name = name->text;
    parameter.at = name->at;
    if (cursor_.accept(":")) {
      const std::optional<Token> semantic = cursor_.expectName("a semantic");
      if (!semantic) return false;
      parameter.semantic = semantic->text;
      parameter.semanticAt = semantic->at;
    }
    function.parameters.push_back(std::move(parameter));
    return true;
  }

  bool technique() {
    TechniqueDeclaration technique;
    technique.at = cursor_.take().at;
    if (cursor_.peek().kind == TokenKind::Identifier) technique.name = cursor_.take().text;
    if (cursor_.peek().is("<") && !skipAnnotations()) return false;
    if (!cursor_.expect("{")) return false;
    while (!cursor_.accept("}")) {
      if (!cursor_.peek().isWord("pass")) return cursor_.failHere("expected 'pass' or '}'");
      PassDeclaration pass;
      pass.at = cursor_.take().at;
      if (cursor_.peek().kind == TokenKind::Identifier) pass.name = cursor_.take().text;
      if (cursor_.peek().is("<") && !skipAnnotations()) return false;
      if (!stateBlock(pass.states)) return false;
      technique.passes.push_back(std::move(pass));
    }
    effect_.techniques.push_back(std::move(technique));
    return true;
  }

  // "{ Name[index] = value; ... }" of a pass or a sampler_state.
  bool stateBlock(std::vector<StateAssignment>& states) {
    if (!cursor_.expect("{")) return false;
    while (!cursor_.accept("}")) {
      StateAssignment state;
      const std::optional<Token> name = cursor_.expectName("a state name or '}'");
      if (!name) return false;
      state.at = name->at;
      state.name = name->text;
      if (cursor_.accept("[")) {
        const Token& index = cursor_.peek();
        if (index.kind != TokenKind::Number || !index.integer || index.number > 255) {
          return cursor_.failHere("expected an index from 0 to 255");
        }
        state.index = index.bits;
        cursor_.take();
        if (!cursor_.expect("]")) return false;
      }
      if (!cursor_.expect("=") || !stateValue(state.value) || !cursor_.expect(";")) return false;
      states.push_back(std::move(state));
    }
    return true;
  }

  bool stateValue(StateValue& value) {
    const Token& first = cursor_.peek();
    value.at = first.at;
    if (first.isWord("compile")) {
      cursor_.take();
      value.kind = StateValue::Kind::Compile;
      const std::optional<Token> profile = cursor_.expectName("a shader profile such as ps_2_0");
      if (!profile) return false;
      value.profile = profile->text;
      value.profileAt = profile->at;
      const std::optional<Token> function = cursor_.expectName("the function to compile");
      if (!function) return false;
      value.text = function->text;
      value.functionAt = function->at;
      if (!cursor_.expect("(")) return false;
      if (!cursor_.peek().is(")")) {
        return cursor_.fail(cursor_.peek().at, "arguments to a compiled function are not supported");
      }
      return cursor_.expect(")");
    }
    if (first.isWord("asm")) return cursor_.fail(first.at, "asm shaders are not supported");
    if (first.is("<") || first.is("(")) {
      const char* close = first.is("<") ? ">" : ")";
      cursor_.take();
      const std::optional<Token> name = cursor_.expectName("a parameter name");
      if (!name) return false;
      value.kind = StateValue::Kind::Reference;
      value.text = name->text;
      value.at = name->at;
      return cursor_.expect(close);
    }
    const bool negative = cursor_.accept("-");
    const Token& token = cursor_.peek();
    if (token.kind == TokenKind::Number) {
      value.kind = StateValue::Kind::Number;
      value.number = negative ? -token.number : token.number;
      value.integer = token.integer;
      value.bits = negative ? 0u - token.bits : token.bits;
      value.text = token.text;
      cursor_.take();
      return true;
    }
    if (!negative && token.kind == TokenKind::Identifier) {
      value.kind = StateValue::Kind::Word;
      value.text = token.text;
      cursor_.take();
      return true;
    }
    return cursor_.failHere("expected a state value");
  }

  TokenCursor cursor_;
  EffectSyntax effect_;
};

}  // namespace

std::optional<EffectSyntax> parseEffect(const std::vector<Token>& tokens,
                                        Diagnostics& diagnostics) {
  return EffectParser(tokens, diagnostics).run();
}

}  // namespace swd3dx
