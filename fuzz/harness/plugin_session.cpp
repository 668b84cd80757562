#include "plugin_session.h"

#include "d3d9/device_control.h"
#include "draw/draw_state.h"
#include "host/lifecycle.h"
#include "host/test_hooks.h"
#include "win32/message_box_log.h"

#include <set>

namespace fuzzing {

namespace {

// Every sampler a device has: the sixteen pixel samplers, the displacement
// map sampler and the four vertex samplers.
constexpr DWORD kSamplerStages[] = {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,
                                    11,  12,  13,  14,  15,  256, 257, 258, 259, 260};

void mismatch(std::string& report, const char* what, int found, int expected) {
  report += std::string(what) + ": " + std::to_string(found) + " where " +
            std::to_string(expected) + " belong; ";
}

}  // namespace

PluginSession::PluginSession(const standin::HostOptions& options)
    : host_(std::make_unique<standin::StandInHost>(options)) {
  // The module as a process loads it: the draw state survives Constructor and
  // the failures armed by tests outlive a session, so one session's calls would
  // otherwise decide how the next one's end.
  tessaly::drawState = tessaly::DrawState{};
  tessaly::test_hooks::takeAllocationFailure();
  swd3d::resetPaddingViolations();
  swd3d::clearFailures();
  Constructor();
  ReceiveCoreDataPtr(host_->coreData());
  const swd3d::LiveObjects live = swd3d::liveObjects();
  baseSurfaces_ = live.surfaces;
  baseSurfaceReferences_ = live.surfaceReferences;
}

PluginSession::~PluginSession() {
  Destructor();
  host_.reset();
  swd3d::clearFailures();
  // The stand-in keeps every box shown for tests to read; a campaign of
  // millions of sessions must not keep them all.
  standin::takeMessageBoxes();
}

CommandOutcome PluginSession::call(const CommandEntry& command, ArgumentSource& arguments) {
  CommandOutcome outcome;
  if (ended_) return outcome;
  try {
    outcome.result = command.invoke(arguments);
  } catch (const FatalExit& exit) {
    outcome.fatal = true;
    outcome.exitCode = exit.exitCode;
    ended_ = true;
  }
  return outcome;
}

std::string PluginSession::leftBehind() const {
  std::string report;
  const swd3d::LiveObjects live = swd3d::liveObjects();
  if (live.lockedSurfaces != 0) mismatch(report, "locked surfaces", live.lockedSurfaces, 0);
  if (swd3d::paddingViolations() != 0) {
    mismatch(report, "rows with their padding written", swd3d::paddingViolations(), 0);
  }
  if (live.surfaceReferences != baseSurfaceReferences_) {
    mismatch(report, "surface references", live.surfaceReferences, baseSurfaceReferences_);
  }
  if (live.surfaces != baseSurfaces_) mismatch(report, "surfaces", live.surfaces, baseSurfaces_);

  // A texture lives while the host has it as an image or the device has it
  // bound; an effect may hold more.
  std::set<IDirect3DBaseTexture9*> held;
  for (int number : host_->imageNumbers()) held.insert(host_->image(number));
  IDirect3DDevice9* device = host_->device();
  for (DWORD stage : kSamplerStages) {
    IDirect3DBaseTexture9* bound = nullptr;
    if (SUCCEEDED(device->GetTexture(stage, &bound)) && bound != nullptr) {
      held.insert(bound);
      bound->Release();
    }
  }
  if (live.textures != static_cast<int>(held.size())) {
    mismatch(report, "textures", live.textures, static_cast<int>(held.size()));
  }
  return report;
}

std::string leftAfterSessions() {
  std::string report;
  const swd3d::LiveObjects live = swd3d::liveObjects();
  if (live.devices != 0) mismatch(report, "devices", live.devices, 0);
  if (live.textures != 0) mismatch(report, "textures", live.textures, 0);
  if (live.surfaces != 0) mismatch(report, "surfaces", live.surfaces, 0);
  if (live.surfaceReferences != 0) mismatch(report, "surface references", live.surfaceReferences, 0);
  if (live.pixelShaders != 0) mismatch(report, "pixel shaders", live.pixelShaders, 0);
  if (live.lockedSurfaces != 0) mismatch(report, "locked surfaces", live.lockedSurfaces, 0);
  return report;
}

}  // namespace fuzzing
