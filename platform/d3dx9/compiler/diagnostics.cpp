#include "d3dx9/compiler/diagnostics.h"

namespace swd3dx {

void Diagnostics::error(SourcePosition at, std::string message) {
  if (errors_.size() == kMostErrors) {
    if (!firstDropped_) firstDropped_ = at;
    return;
  }
  errors_.push_back({at, std::move(message)});
}

std::string Diagnostics::text() const {
  const auto line = [this](SourcePosition at, const std::string& message) {
    return fileName_ + "(" + std::to_string(at.line) + "," + std::to_string(at.column) +
           "): error: " + message + "\n";
  };
  std::string out;
  for (const Error& e : errors_) out += line(e.at, e.message);
  if (firstDropped_) out += line(*firstDropped_, "too many errors; the rest are not listed");
  return out;
}

}  // namespace swd3dx
