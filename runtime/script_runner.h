// Runs a checked script: a new stand-in host, the plug-in's lifecycle around
// the statements, the runtime error slot read after every command.
#pragma once

#include "decoded_pngs.h"
#include "gallery_tracker.h"
#include "plugin_module.h"
#include "script.h"

namespace standin {

struct RunSettings {
  bool keepGoing = false;  // a runtime error is reported, cleared and passed over
  DecodedPngs* decoded = nullptr;  // the PNGs decoded when the script was checked
  int tolerance = 0;       // expect statements accept channels this far off (0: exact)
};

// Returns the exit status. Messages go to standard error, print's values to
// standard output. With keepGoing a run that met runtime errors still ends
// with kExitRuntimeError, after its last statement.
int runScript(const Script& script, const PluginModule& module, const RunSettings& settings,
              GalleryTracker* gallery);

}  // namespace standin
