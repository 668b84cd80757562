// The command line of tessaly-run.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace standin {

struct RunOptions {
  bool help = false;
  bool list = false;
  bool keepGoing = false;
  int tolerance = 0;    // expect statements accept channels this far off
  std::string module;   // empty: TESSALY_MODULE, else the module this build made
  std::string outputFolder;
  std::string galleryPage;
  std::string script;   // "-" for standard input
};

// Nothing (and the reason in error) if the arguments make no sense.
std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& arguments,
                                          std::string& error);

// The text of --help.
const char* runHelpText();

}  // namespace standin
