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
#include "script_source.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using namespace standin;
namespace fs = std::filesystem;

namespace {

std::string modulePath(const RunOptions& options) {
  if (!options.module.empty()) return options.module;
  if (const char* path = std::getenv("TESSALY_MODULE"); path != nullptr && *path != '\0') return path;
  return TESSALY_DEFAULT_MODULE;
}

int listTable(const PluginModule& module) {
  for (const CommandRow& row : module.rows()) std::printf("%u\t%s\n", row.id, row.text().c_str());
  return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Lines end in "\n" alone on every platform, so outputs compare as bytes.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
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
  const ScriptSource source = readScriptSource(options->script);
  if (!source.text) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), source.error.c_str());
    return kExitScriptError;
  }
  const std::string& text = *source.text;

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

  ParsedScript parsed = parseScript(text, name, folders, module.commands());
  // Files are checked for the statements that parsed, so one run shows every error.
  DecodedPngs decoded;
  std::vector<ScriptError> fileErrors = checkScriptFiles(parsed.script, decoded);
  parsed.errors.insert(parsed.errors.end(), fileErrors.begin(), fileErrors.end());
  std::stable_sort(parsed.errors.begin(), parsed.errors.end(),
                   [](const ScriptError& a, const ScriptError& b) { return a.line < b.line; });
  if (!parsed.errors.empty()) {
    const std::size_t shown = std::min(parsed.errors.size(), kMaxScriptErrors);
    for (std::size_t i = 0; i < shown; ++i) {
      std::fprintf(stderr, "%s:%d: %s\n", name.c_str(), parsed.errors[i].line, parsed.errors[i].message.c_str());
    }
    const std::size_t more = parsed.errors.size() - shown + parsed.moreErrors;
    if (more > 0) std::fprintf(stderr, "%s: and %zu more %s\n", name.c_str(), more, more == 1 ? "error" : "errors");
    return kExitScriptError;
  }

  GalleryTracker gallery(name);
  const bool withGallery = !options->galleryPage.empty();
  const int status = runScript(parsed.script, module,
                               RunSettings{options->keepGoing, &decoded, options->tolerance},
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
