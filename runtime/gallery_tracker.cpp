#include "gallery_tracker.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace standin {

std::vector<std::size_t> imageArguments(const CommandRow& row) {
  std::string help = row.help;
  std::erase_if(help, [](char c) { return c == '(' || c == ')'; });
  for (char& c : help) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<std::size_t> indices;
  std::size_t index = 0;
  for (std::size_t start = 0; start <= help.size(); ++index) {
    const std::size_t end = std::min(help.find(',', start), help.size());
    const std::string name = help.substr(start, end - start);
    if (name.find("image") != std::string::npos || name.find("imgnr") != std::string::npos) {
      indices.push_back(index);
    }
    start = end + 1;
  }
  return indices;
}

void GalleryTracker::loaded(int image, const std::string& file) { images_[image] = {file, {}}; }

void GalleryTracker::made(const Statement& statement, int image) {
  images_[image] = {"", {statement.text}};
}

void GalleryTracker::commandRan(const Statement& statement, const CommandStatement& command) {
  screenCommands_.push_back(statement.text);
  std::set<int> named;  // a line naming one image twice is shown once
  for (std::size_t index : imageArguments(command.command->row())) {
    if (index >= command.arguments.size()) continue;
    const auto* word = std::get_if<std::uint32_t>(&command.arguments[index]);
    if (word != nullptr) named.insert(static_cast<int>(*word));
  }
  // An image a command names for the first time is made by it from the other
  // images it names (a copy): it is shown beside their input.
  for (int image : named) {
    if (images_.count(image) != 0) continue;
    for (int other : named) {
      const auto it = images_.find(other);
      if (it != images_.end() && !it->second.input.empty()) {
        images_[image] = it->second;
        break;
      }
    }
  }
  for (int image : named) images_[image].commands.push_back(statement.text);
}

void GalleryTracker::savedImage(const Statement& statement, int image, const std::string& file) {
  const History& history = images_[image];
  entries_.push_back({script_, statement.line, history.input, file, history.commands});
}

void GalleryTracker::savedScreen(const Statement& statement, const std::string& file) {
  entries_.push_back({script_, statement.line, "", file, screenCommands_});
  screenCommands_.clear();
}

}  // namespace standin
