// The compiler's error list: each error at a line and column of the effect
// file, written out as "FILE(LINE,COL): error: MESSAGE", one a line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace swd3dx {

struct SourcePosition {
  int line = 1;
  int column = 1;  // in bytes from the start of the line, counting from 1
};

class Diagnostics {
 public:
  // More errors than this are not listed; a last line says so.
  static constexpr std::size_t kMostErrors = 50;

  explicit Diagnostics(std::string fileName) : fileName_(std::move(fileName)) {}

  void error(SourcePosition at, std::string message);
  bool empty() const { return errors_.empty(); }
  std::size_t count() const { return errors_.size(); }

  // Every error, one a line, each line ending in '\n'.
  std::string text() const;

 private:
  struct Error {
    SourcePosition at;
    std::string message;
  };
  std::string fileName_;
  std::vector<Error> errors_;
  std::optional<SourcePosition> firstDropped_;
};

}  // namespace swd3dx
