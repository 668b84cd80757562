#include "script_files.h"

#include "png_io.h"
#include "script_tokens.h"

#include <filesystem>
#include <map>
#include <set>

namespace standin {

std::string cannotLoadMessage(const ScriptPath& file, const std::string& reason) {
  return "cannot load \"" + shownText(file.written) + "\": " + reason;
}

std::vector<ScriptError> checkScriptFiles(const Script& script, DecodedPngs& decoded) {
  // Each PNG is decoded once, for the uses before the script saves over it.
  std::map<std::string, int> uses;
  std::set<std::string> savedEarlier;
  const auto eachFile = [&](auto&& onLoad, auto&& onSave) {
    savedEarlier.clear();
    for (const Statement& statement : script.statements) {
      if (const auto* load = std::get_if<LoadImageStatement>(&statement.body)) {
        onLoad(statement, load->file);
      } else if (const auto* expect = std::get_if<ExpectImageStatement>(&statement.body)) {
        if (!expect->file.resolved.empty()) onLoad(statement, expect->file);
      } else if (const auto* save = std::get_if<SaveImageStatement>(&statement.body)) {
        onSave(statement, save->file);
      } else if (const auto* screen = std::get_if<SaveScreenStatement>(&statement.body)) {
        onSave(statement, screen->file);
      }
    }
  };
  const auto remember = [&](const Statement&, const ScriptPath& file) { savedEarlier.insert(file.resolved); };
  eachFile([&](const Statement&, const ScriptPath& file) {
    if (savedEarlier.count(file.resolved) == 0) ++uses[file.resolved];
  }, remember);

  std::vector<ScriptError> errors;
  std::map<std::string, std::string> checked;  // path -> why it cannot be loaded
  const auto checkPng = [&](const Statement& statement, const ScriptPath& file) {
    if (savedEarlier.count(file.resolved) != 0) return;
    auto found = checked.find(file.resolved);
    if (found == checked.end()) found = checked.emplace(file.resolved, decoded.check(file.resolved, uses[file.resolved])).first;
    if (!found->second.empty()) errors.push_back({statement.line, cannotLoadMessage(file, found->second)});
  };
  const auto checkFolder = [&](const Statement& statement, const ScriptPath& file) {
    const std::filesystem::path folder = std::filesystem::path(file.resolved).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
      errors.push_back({statement.line, "cannot save \"" + shownText(file.written) + "\": the folder " +
                                            shownText(folder.string()) + " does not exist"});
    }
    savedEarlier.insert(file.resolved);
  };
  eachFile(checkPng, checkFolder);
  return errors;
}

}  // namespace standin
