// The counters and hooks behind device_control.h: the only state the software
// device keeps outside its objects.
#include "d3d9/device_control.h"

#include "d3d9/device_hooks.h"

#include <map>
#include <utility>

namespace swd3d {

namespace {

LiveObjects live;
int violations = 0;
std::map<Call, int> armedFailures;
bool logEnabled = false;
std::vector<std::string> callLog;

}  // namespace

LiveObjects liveObjects() { return live; }

int paddingViolations() { return violations; }
void resetPaddingViolations() { violations = 0; }

void failNext(Call call) { ++armedFailures[call]; }
void clearFailures() { armedFailures.clear(); }

void setCallLog(bool enabled) {
  logEnabled = enabled;
  if (enabled) callLog.clear();
}

std::vector<std::string> takeCallLog() { return std::exchange(callLog, {}); }

namespace hooks {

void countDevices(int delta) { live.devices += delta; }
void countTextures(int delta) { live.textures += delta; }
void countSurfaces(int delta) { live.surfaces += delta; }
void countLockedSurfaces(int delta) { live.lockedSurfaces += delta; }
void countSurfaceReferences(int delta) { live.surfaceReferences += delta; }
void countPixelShaders(int delta) { live.pixelShaders += delta; }
void notePaddingViolation() { ++violations; }

bool takeArmedFailure(Call call) {
  const auto it = armedFailures.find(call);
  if (it == armedFailures.end()) return false;
  if (--it->second == 0) armedFailures.erase(it);
  return true;
}

bool callLogEnabled() { return logEnabled; }
void appendToCallLog(std::string entry) { callLog.push_back(std::move(entry)); }

}  // namespace hooks

}  // namespace swd3d
