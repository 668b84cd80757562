// Arguments given as a list, one per parameter, for a row of the table.
#pragma once

#include "argument_source.h"
#include "failure_path.h"

#include <stdexcept>
#include <vector>

namespace failure_paths {

class ListedArguments : public fuzzing::ArgumentSource {
 public:
  explicit ListedArguments(std::vector<Arg> arguments) : arguments_(std::move(arguments)) {}

  DWORD unsignedArgument() override { return take(Arg::Kind::word).word; }
  int signedArgument() override { return static_cast<int>(take(Arg::Kind::word).word); }
  float floatArgument() override { return take(Arg::Kind::real).real; }
  char charArgument() override { return static_cast<char>(take(Arg::Kind::word).word & 0xFF); }
  char* stringArgument() override {
    Arg& arg = take(Arg::Kind::text);
    return arg.kind == Arg::Kind::null ? nullptr : arg.text.data();
  }

  // Every argument listed was taken.
  bool allTaken() const { return next_ == arguments_.size(); }

 private:
  // A list that does not fit the export is the table's mistake: it is thrown
  // before the command is called.
  Arg& take(Arg::Kind kind) {
    if (next_ >= arguments_.size()) throw std::logic_error("too few arguments listed");
    Arg& arg = arguments_[next_++];
    const bool fits = arg.kind == kind || (kind == Arg::Kind::text && arg.kind == Arg::Kind::null);
    if (!fits) throw std::logic_error("argument " + std::to_string(next_) + " is of the wrong kind");
    return arg;
  }

  std::vector<Arg> arguments_;
  std::size_t next_ = 0;
};

}  // namespace failure_paths
