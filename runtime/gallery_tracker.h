// Follows a run for the gallery: where each image came from and which script
// lines changed it, so that every saved picture can be shown beside its input
// with the lines that made it.
#pragma once

#include "script.h"

#include <map>
#include <string>
#include <vector>

namespace standin {

struct GalleryEntry {
  std::string script;                 // the script's name
  int line = 0;                       // the save statement's line
  std::string input;                  // the PNG the image was loaded from; empty if none
  std::string output;                 // the saved picture
  std::vector<std::string> commands;  // the lines that made it from its input
};

class GalleryTracker {
 public:
  explicit GalleryTracker(std::string script) : script_(std::move(script)) {}

  void loaded(int image, const std::string& file);
  void made(const Statement& statement, int image);
  void commandRan(const Statement& statement, const CommandStatement& command);
  void savedImage(const Statement& statement, int image, const std::string& file);
  void savedScreen(const Statement& statement, const std::string& file);

  const std::vector<GalleryEntry>& entries() const { return entries_; }

 private:
  struct History {
    std::string input;
    std::vector<std::string> commands;
  };

  std::string script_;
  std::map<int, History> images_;
  std::vector<std::string> screenCommands_;  // every command since the screen was last saved
  std::vector<GalleryEntry> entries_;
};

// Which arguments of a row name images: those whose parameter help name
// says "Image" (or "ImgNr"). Their indices, in order.
std::vector<std::size_t> imageArguments(const CommandRow& row);

}  // namespace standin
