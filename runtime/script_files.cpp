#include "script_files.h"

#include "png_io.h"

#include <filesystem>
#include <set>

namespace standin {

std::string cannotLoadMessage(const ScriptPath& file, const std::string& reason) {
  return "cannot load \"" + file.written + "\": " + reason;
}

std::vector<ScriptError> checkScriptFiles(const Script& script) {
  std::vector<ScriptError> errors;
  std::set<std::string> savedEarlier;
  const auto checkPng = [&](const Statement& statement, const ScriptPath& file) {
    if (savedEarlier.count(file.resolved) != 0) return;
    const PngLoad load = loadPng(file.resolved);
    if (!load.pixels) errors.push_back({statement.line, cannotLoadMessage(file, load.error)});
  };
  const auto checkFolder = [&](const Statement& statement, const ScriptPath& file) {
    const std::filesystem::path folder = std::filesystem::path(file.resolved).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
      errors.push_back({statement.line, "cannot save \"" + file.written + "\": the folder " +
                                            folder.string() + " does not exist"});
    }
    savedEarlier.insert(file.resolved);
  };

  for (const Statement& statement : script.statements) {
    if (const auto* load = std::get_if<LoadImageStatement>(&statement.body)) {
      checkPng(statement, load->file);
    } else if (const auto* expect = std::get_if<ExpectImageStatement>(&statement.body)) {
      if (!expect->file.resolved.empty()) checkPng(statement, expect->file);
    } else if (const auto* save = std::get_if<SaveImageStatement>(&statement.body)) {
      checkFolder(statement, save->file);
    } else if (const auto* screen = std::get_if<SaveScreenStatement>(&statement.body)) {
      checkFolder(statement, screen->file);
    }
  }
  return errors;
}

}  // namespace standin
