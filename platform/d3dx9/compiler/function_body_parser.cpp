#include "d3dx9/compiler/function_body_parser.h"

#include <string_view>

namespace swd3dx {

namespace {

using ExpressionPtr = std::unique_ptr<Expression>;
using StatementPtr = std::unique_ptr<Statement>;

struct BinaryOperator {
  std::string_view text;
  int precedence;  // higher binds tighter
};
constexpr BinaryOperator kBinaryOperators[] = {
    {"||", 1}, {"&&", 2}, {"==", 3}, {"!=", 3}, {"<", 4}, {">", 4}, {"<=", 4},
    {">=", 4}, {"+", 5},  {"-", 5},  {"*", 6},  {"/", 6},
};
constexpr std::string_view kUnsupportedOperators[] = {"%", "&", "|", "<<", ">>", "++", "--", "%="};
constexpr std::string_view kAssignments[] = {"=", "+=", "-=", "*=", "/="};
constexpr std::string_view kUnsupportedStatements[] = {
    "for", "while", "do", "switch", "break", "continue", "discard", "goto", "case", "default"};

ExpressionPtr makeExpression(Expression::Kind kind, SourcePosition at, std::string text = {}) {
  auto expression = std::make_unique<Expression>();
  expression->kind = kind;
  expression->at = at;
  expression->text = std::move(text);
  return expression;
}

bool isUnsupportedOperator(const Token& token) {
  if (token.kind != TokenKind::Punctuation) return false;
  for (std::string_view op : kUnsupportedOperators) {
    if (token.text == op) return true;
  }
  return false;
}

class BodyParser {
 public:
  explicit BodyParser(TokenCursor& cursor) : cursor_(cursor) {}

  StatementPtr block() {
    TokenCursor::Nesting nesting(cursor_);
    if (!nesting.ok()) return nullptr;
    auto statement = std::make_unique<Statement>();
    statement->kind = Statement::Kind::Block;
    statement->at = cursor_.peek().at;
    if (!cursor_.expect("{")) return nullptr;
    while (!cursor_.accept("}")) {
      if (cursor_.atEnd()) {
        cursor_.failHere("expected '}'");
        return nullptr;
      }
      if (!statementInto(statement->body)) return nullptr;
    }
    return statement;
  }

  ExpressionPtr expression() {
    TokenCursor::Nesting nesting(cursor_);
    if (!nesting.ok()) return nullptr;
    ExpressionPtr condition = binary(1);
    if (condition == nullptr || !cursor_.peek().is("?")) return condition;
    auto conditional = makeExpression(Expression::Kind::Conditional, cursor_.take().at);
    ExpressionPtr whenTrue = expression();
    if (whenTrue == nullptr || !cursor_.expect(":")) return nullptr;
    ExpressionPtr whenFalse = expression();
    if (whenFalse == nullptr) return nullptr;
    conditional->operands.push_back(std::move(condition));
    conditional->operands.push_back(std::move(whenTrue));
    conditional->operands.push_back(std::move(whenFalse));
    return conditional;
  }

  ExpressionPtr initializer() {
    if (!cursor_.peek().is("{")) return expression();
    TokenCursor::Nesting nesting(cursor_);
    if (!nesting.ok()) return nullptr;
    auto list = makeExpression(Expression::Kind::List, cursor_.take().at);
    do {
      if (cursor_.peek().is("}")) break;  // a trailing comma
      ExpressionPtr item = initializer();
      if (item == nullptr) return nullptr;
      list->operands.push_back(std::move(item));
    } while (cursor_.accept(","));
    if (!cursor_.expect("}")) return nullptr;
    return list;
  }

 private:
  // Appends one statement (a declaration of several names appends several).
  bool statementInto(std::vector<StatementPtr>& out) {
    TokenCursor::Nesting nesting(cursor_);
    if (!nesting.ok()) return false;
    const Token& first = cursor_.peek();
    if (first.is("{")) {
      StatementPtr inner = block();
      if (inner == nullptr) return false;
      out.push_back(std::move(inner));
      return true;
    }
    if (first.is(";")) {
      auto empty = std::make_unique<Statement>();
      empty->at = cursor_.take().at;
      out.push_back(std::move(empty));
      return true;
    }
    if (first.isWord("if")) return ifStatement(out);
    if (first.isWord("return")) return returnStatement(out);
    for (std::string_view word : kUnsupportedStatements) {
      if (first.kind == TokenKind::Identifier && first.text == word) {
        return cursor_.fail(first.at, "'" + first.text + "' is not supported");
      }
    }
    if (first.isWord("const") || first.isWord("static") ||
        (first.kind == TokenKind::Identifier && typeNamed(first.text) &&
         cursor_.peek(1).kind == TokenKind::Identifier)) {
      return declaration(out);
    }
    return assignment(out);
  }

  bool ifStatement(std::vector<StatementPtr>& out) {
    auto statement = std::make_unique<Statement>();
    statement->kind = Statement::Kind::If;
    statement->at = cursor_.take().at;
    if (!cursor_.expect("(")) return false;
    statement->value = expression();
    if (statement->value == nullptr || !cursor_.expect(")")) return false;
    if (!branchInto(statement->body)) return false;
    if (cursor_.acceptWord("else") && !branchInto(statement->body)) return false;
    out.push_back(std::move(statement));
    return true;
  }

  // One statement as the branch of an if; a declaration there would declare
  // nothing anyone could use.
  bool branchInto(std::vector<StatementPtr>& out) {
    std::vector<StatementPtr> branch;
    if (!statementInto(branch)) return false;
    if (branch.front()->kind == Statement::Kind::Declaration) {
      return cursor_.fail(branch.front()->at, "declare variables of an if branch inside braces");
    }
    out.push_back(std::move(branch.front()));
    return true;
  }

  bool returnStatement(std::vector<StatementPtr>& out) {
    auto statement = std::make_unique<Statement>();
    statement->kind = Statement::Kind::Return;
    statement->at = cursor_.take().at;
    statement->value = expression();
    if (statement->value == nullptr || !cursor_.expect(";")) return false;
    out.push_back(std::move(statement));
    return true;
  }

  bool declaration(std::vector<StatementPtr>& out) {
    bool readOnly = false;
    for (;;) {
      if (cursor_.acceptWord("const")) {
        readOnly = true;
      } else if (cursor_.peek().isWord("static")) {
        return cursor_.fail(cursor_.peek().at, "static variables are not supported in functions");
      } else {
        break;
      }
    }
    const std::optional<Token> typeToken = cursor_.expectName("a type");
    if (!typeToken) return false;
    const std::optional<ValueType> type = typeNamed(typeToken->text);
    if (!type) return cursor_.fail(typeToken->at, "unknown type '" + typeToken->text + "'");
    do {
      const std::optional<Token> name = cursor_.expectName("a variable name");
      if (!name) return false;
      auto statement = std::make_unique<Statement>();
      statement->kind = Statement::Kind::Declaration;
      statement->at = name->at;
      statement->declaredType = *type;
      statement->readOnly = readOnly;
      statement->name = name->text;
      if (cursor_.peek().is("[")) return cursor_.fail(cursor_.peek().at, "arrays are not supported");
      if (cursor_.accept("=")) {
        statement->value = initializer();
        if (statement->value == nullptr) return false;
      }
      out.push_back(std::move(statement));
    } while (cursor_.accept(","));
    return cursor_.expect(";");
  }

  bool assignment(std::vector<StatementPtr>& out) {
    auto statement = std::make_unique<Statement>();
    statement->kind = Statement::Kind::Assignment;
    statement->at = cursor_.peek().at;
    statement->target = unary();
    if (statement->target == nullptr) return false;
    const Token& op = cursor_.peek();
    for (std::string_view assign : kAssignments) {
      if (op.kind == TokenKind::Punctuation && op.text == assign) statement->op = assign;
    }
    if (statement->op.empty()) {
      if (isUnsupportedOperator(op)) {
        return cursor_.fail(op.at, "operator '" + op.text + "' is not supported");
      }
      return cursor_.failHere("expected an assignment ('=', '+=', '-=', '*=' or '/=')");
    }
    cursor_.take();
    statement->value = expression();
    if (statement->value == nullptr || !cursor_.expect(";")) return false;
    out.push_back(std::move(statement));
    return true;
  }

  ExpressionPtr binary(int least) {
    ExpressionPtr left = unary();
    while (left != nullptr) {
      const Token& op = cursor_.peek();
      if (isUnsupportedOperator(op)) {
        cursor_.fail(op.at, "operator '" + op.text + "' is not supported");
        return nullptr;
      }
      const BinaryOperator* found = nullptr;
      for (const BinaryOperator& candidate : kBinaryOperators) {
        if (op.kind == TokenKind::Punctuation && op.text == candidate.text) found = &candidate;
      }
      if (found == nullptr || found->precedence < least) break;
      auto node = makeExpression(Expression::Kind::Binary, op.at, op.text);
      cursor_.take();
      ExpressionPtr right = binary(found->precedence + 1);
      if (right == nullptr) return nullptr;
      node->operands.push_back(std::move(left));
      node->operands.push_back(std::move(right));
      left = std::move(node);
    }
    return left;
  }

  ExpressionPtr unary() {
    TokenCursor::Nesting nesting(cursor_);
    if (!nesting.ok()) return nullptr;
    const Token& first = cursor_.peek();
    if (first.is("-") || first.is("+") || first.is("!")) {
      auto node = makeExpression(Expression::Kind::Unary, cursor_.take().at, first.text);
      ExpressionPtr operand = unary();
      if (operand == nullptr) return nullptr;
      node->operands.push_back(std::move(operand));
      return node;
    }
    if (isUnsupportedOperator(first)) {
      cursor_.fail(first.at, "operator '" + first.text + "' is not supported");
      return nullptr;
    }
    // "(type) value" is a cast.
    if (first.is("(") && cursor_.peek(1).kind == TokenKind::Identifier &&
        typeNamed(cursor_.peek(1).text) && cursor_.peek(2).is(")")) {
      auto node = makeExpression(Expression::Kind::Cast, cursor_.take().at);
      node->castType = *typeNamed(cursor_.take().text);
      cursor_.take();
      ExpressionPtr operand = unary();
      if (operand == nullptr) return nullptr;
      node->operands.push_back(std::move(operand));
      return node;
    }
    return postfix();
  }

  ExpressionPtr postfix() {
    ExpressionPtr value = primary();
    while (value != nullptr) {
      const Token& next = cursor_.peek();
      if (next.is(".")) {
        cursor_.take();
        const std::optional<Token> letters = cursor_.expectName("swizzle letters after '.'");
        if (!letters) return nullptr;
        auto node = makeExpression(Expression::Kind::Swizzle, letters->at, letters->text);
        node->operands.push_back(std::move(value));
        value = std::move(node);
      } else if (next.is("[")) {
        cursor_.fail(next.at, "indexing with [] is not supported");
        return nullptr;
      } else if (next.is("(")) {
        cursor_.fail(next.at, "only functions and types can be called");
        return nullptr;
      } else {
        break;
      }
    }
    return value;
  }

  ExpressionPtr primary() {
    const Token& first = cursor_.peek();
    if (first.kind == TokenKind::Number) {
      auto node = makeExpression(Expression::Kind::Number, first.at, first.text);
      node->number = first.number;
      cursor_.take();
      return node;
    }
    if (first.is("(")) {
      cursor_.take();
      ExpressionPtr inner = expression();
      if (inner == nullptr || !cursor_.expect(")")) return nullptr;
      return inner;
    }
    if (first.kind != TokenKind::Identifier) {
      cursor_.failHere("expected an expression");
      return nullptr;
    }
    if (first.text == "true" || first.text == "false") {
      auto node = makeExpression(Expression::Kind::Boolean, first.at, first.text);
      node->boolean = first.text == "true";
      cursor_.take();
      return node;
    }
    const Token& name = cursor_.take();
    if (!cursor_.accept("(")) return makeExpression(Expression::Kind::Name, name.at, name.text);
    auto call = makeExpression(Expression::Kind::Call, name.at, name.text);
    if (!cursor_.accept(")")) {
      do {
        ExpressionPtr argument = expression();
        if (argument == nullptr) return nullptr;
        call->operands.push_back(std::move(argument));
      } while (cursor_.accept(","));
      if (!cursor_.expect(")")) return nullptr;
    }
    return call;
  }

  TokenCursor& cursor_;
};

}  // namespace

std::unique_ptr<Statement> parseBlock(TokenCursor& cursor) { return BodyParser(cursor).block(); }

std::unique_ptr<Expression> parseExpression(TokenCursor& cursor) {
  return BodyParser(cursor).expression();
}

std::unique_ptr<Expression> parseInitializer(TokenCursor& cursor) {
  return BodyParser(cursor).initializer();
}

}  // namespace swd3dx
