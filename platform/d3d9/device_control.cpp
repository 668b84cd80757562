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
// Per kind of call: how many calls go through before the armed ones fail.
struct Arming {
  int passing = 0;
  int failures = 0;
};
std::map<Call, Arming> armed;
bool logEnabled = false;
std::vector<std::string> callLog;

}  // namespace

LiveObjects liveObjects() { return live; }

int paddingViolations() { return violations; }
void resetPaddingViolations() { violations = 0; }

void failNext(Call call) { ++armed[call].failures; }

void failNextAfter(Call call, int passing) {
  Arming& arming = armed[call];
  arming.passing = passing;
  ++arming.failures;
}

int armedFailures() {
  int count = 0;
  for (const auto& [call, arming] : armed) count += arming.failures;
  return count;
}

void clearFailures() { armed.clear(); }

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
  const auto it = armed.find(call);
  if (it == armed.end()) return false;
  if (it->second.passing > 0) {
    --it->second.passing;
    return false;
  }
  if (--it->second.failures == 0) armed.erase(it);
  return true;
}

bool callLogEnabled() { return logEnabled; }
void appendToCallLog(std::string entry) { callLog.push_back(std::move(entry)); }

}  // namespace hooks

}  // namespace swd3d
