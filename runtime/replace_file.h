// Writing a file without ever losing the one it replaces: the new content goes
// into a file of its own beside the target, which is renamed over the target
// only once it is written whole. A target that exists and is not a regular
// file (a folder, a device, a pipe, a link) is refused; nothing but the file
// the writer made is ever removed.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace standin {

// write(file) fills the new file and returns an error message, empty on
// success. Returns an error message, empty on success.
std::string replaceFile(const std::string& path, const std::function<std::string(std::FILE*)>& write);

}  // namespace standin
