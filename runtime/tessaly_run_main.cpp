// tessaly-run: the stand-in host's program. It loads the plug-in, reads and
// checks a script, and runs it.
#include "exit_status.h"
#include "gallery_page.h"
#include "gallery_tracker.h"
#include "plugin_module.h"
#include "run_options.h"
#include "script_files.h"
#include "script_parser.h"
#include "script_runner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace standin;
namespace fs = std::filesystem;

namespace {

std::string modulePath(const RunOptions& options) {
  if (!options.module.empty()) return options.module;
  if (const char* path = std::getenv("TESSALY_MODULE"); path != nullptr && *path != '\0') return path;
  return TESSALY_DEFAULT_MODULE;
}

std::optional<std::string> readScript(const std::string& path) {
  std::ostringstream text;
  if (path == "-") {
    text << std::cin.rdbuf();
    return text.str();
  }
  std::error_code ignored;
  if (fs::is_directory(path, ignored)) return std::nullopt;  // which opens, but does not read
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

int listTable(const PluginModule& module) {
  for (const CommandRow& row : module.rows()) std::printf("%u\t%s\n", row.id, row.text().c_str());
  return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<RunOptions> options =
      parseRunOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "tessaly-run: %s (see tessaly-run --help)\n", error.c_str());
    return kExitScriptError;
  }
  if (options->help) {
    std::fputs(runHelpText(), stdout);
    return kExitSuccess;
  }

  PluginModule module;
  if (!module.load(modulePath(*options))) {
    std::fprintf(stderr, "tessaly-run: %s\n", module.error().c_str());
    return kExitModuleMissing;
  }
  if (options->list) return listTable(module);
  if (!module.bind()) {
    std::fprintf(stderr, "tessaly-run: %s\n", module.error().c_str());
    return kExitModuleBroken;
  }

  const bool fromInput = options->script == "-";
  const std::string name = fromInput ? "<stdin>" : options->script;
  const std::optional<std::string> text = readScript(options->script);
  if (!text) {
    std::fprintf(stderr, "%s: cannot read the script\n", name.c_str());
    return kExitScriptError;
  }

  ScriptFolders folders;
  folders.input = fromInput ? fs::path(".") : fs::path(options->script).parent_path();
  folders.output = folders.input;
  if (!options->outputFolder.empty()) {
    folders.output = options->outputFolder;
    std::error_code made;
    fs::create_directories(folders.output, made);
    if (made) {
      std::fprintf(stderr, "tessaly-run: cannot make %s: %s\n", options->outputFolder.c_str(),
                   made.message().c_str());
      return kExitCannotWrite;
    }
  }

  ParsedScript parsed = parseScript(*text, name, folders, module.commands());
  // Files are checked for the statements that parsed, so one run shows every error.
  DecodedPngs decoded;
  std::vector<ScriptError> fileErrors = checkScriptFiles(parsed.script, decoded);
  parsed.errors.insert(parsed.errors.end(), fileErrors.begin(), fileErrors.end());
  std::stable_sort(parsed.errors.begin(), parsed.errors.end(),
                   [](const ScriptError& a, const ScriptError& b) { return a.line < b.line; });
  if (!parsed.errors.empty()) {
    for (const ScriptError& scriptError : parsed.errors) {
      std::fprintf(stderr, "%s:%d: %s\n", name.c_str(), scriptError.line, scriptError.message.c_str());
    }
    return kExitScriptError;
  }

  GalleryTracker gallery(name);
  const bool withGallery = !options->galleryPage.empty();
  const int status = runScript(parsed.script, module, RunSettings{options->keepGoing, &decoded},
                               withGallery ? &gallery : nullptr);

  if (withGallery && (status == kExitSuccess || status == kExitRuntimeError)) {
    const GalleryUpdate update = updateGallery(options->galleryPage, name, gallery.entries());
    for (const std::string& refused : update.refused) std::fprintf(stderr, "tessaly-run: %s\n", refused.c_str());
    if (!update.error.empty()) {
      std::fprintf(stderr, "tessaly-run: %s\n", update.error.c_str());
      return kExitCannotWrite;
    }
  }
  return status;
}
