// The files a script names, checked before it runs: every PNG it loads or
// compares with must decode within the size limit (the pixels are kept in
// `decoded` for the run), and every folder it saves into must exist. A file
// that the script itself saves earlier on is left to the moment the script
// loads it.
#pragma once

#include "decoded_pngs.h"
#include "script.h"

#include <vector>

namespace standin {

std::vector<ScriptError> checkScriptFiles(const Script& script, DecodedPngs& decoded);

// The message for a PNG that cannot be loaded, as checks and runs report it.
std::string cannotLoadMessage(const ScriptPath& file, const std::string& reason);

}  // namespace standin
