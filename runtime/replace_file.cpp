#include "replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0  // Windows: no exec for the descriptor to leak into
#endif
#ifndef O_BINARY
#define O_BINARY 0  // POSIX files have no text mode
#endif

namespace standin {

namespace fs = std::filesystem;

namespace {

// A new file beside the target, made for this write alone (never one that
// exists already), and its name.
std::FILE* makeSibling(const std::string& path, std::string& name) {
  std::random_device seed;
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = path + ".tessaly-" + std::to_string(seed() % 1000000000u);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_BINARY, 0666);
    if (fd >= 0) {
      std::FILE* file = ::fdopen(fd, "wb");
      if (file == nullptr) {
        ::close(fd);
        std::remove(name.c_str());
      }
      return file;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

}  // namespace

std::string replaceFile(const std::string& path, const std::function<std::string(std::FILE*)>& write) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (fs::exists(status) && !fs::is_regular_file(status)) return "it is not a regular file";

  std::string sibling;
  std::FILE* file = makeSibling(path, sibling);
  if (file == nullptr) return std::strerror(errno);
  std::string message = write(file);
  if (std::fclose(file) != 0 && message.empty()) message = std::strerror(errno);
  if (message.empty()) {
    fs::rename(sibling, path, error);
    if (error) message = error.message();
  }
  if (!message.empty()) std::remove(sibling.c_str());
  return message;
}

}  // namespace standin
