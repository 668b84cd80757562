// The plug-in as a host runs it, in process: a stand-in host with the
// software device, the lifecycle entries around the commands, the fatal path
// caught and recorded, and after every command the checks that nothing was
// left behind: no surface locked, no row padding written, no surface reference
// held, and no texture alive that neither the host nor the device holds.
#pragma once

#include "command_invokers.h"
#include "fatal_exit.h"
#include "stand_in_host.h"

#include <cstdint>
#include <memory>
#include <string>

namespace fuzzing {

struct CommandOutcome {
  std::uint32_t result = 0;
  bool fatal = false;        // the command took the fatal path
  unsigned exitCode = 0;     // the status the process would have ended with
};

class PluginSession {
 public:
  // Constructor and ReceiveCoreDataPtr run here, on a module reset to the
  // state it has when a process loads it.
  explicit PluginSession(const standin::HostOptions& options = {});
  // Destructor runs here, after a fatal path too (where the process would have
  // ended instead), so that the next session starts from a clean module.
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  standin::StandInHost& host() { return *host_; }

  // Calls the command. A fatal path ends the session: the process would be
  // gone, so nothing more may be called.
  CommandOutcome call(const CommandEntry& command, ArgumentSource& arguments);
  bool ended() const { return ended_; }

  // What is wrong after a command, or empty: the checks above, against what
  // the session found when it started and what the host holds now.
  std::string leftBehind() const;

 private:
  FatalExitInterception interception_;
  std::unique_ptr<standin::StandInHost> host_;
  int baseSurfaces_ = 0;
  int baseSurfaceReferences_ = 0;
  bool ended_ = false;
};

// What is still alive once every session has ended, or empty: every device,
// texture, surface and shader must be gone.
std::string leftAfterSessions();

}  // namespace fuzzing
