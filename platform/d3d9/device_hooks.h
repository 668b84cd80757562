// The device's side of device_control.h: the objects report their lifetimes,
// locks and padding damage here, ask whether a call is armed to fail, and
// append to the call log.
#pragma once

#include "d3d9/device_control.h"

#include <string>

namespace swd3d::hooks {

void countDevices(int delta);
void countTextures(int delta);
void countSurfaces(int delta);
void countLockedSurfaces(int delta);
void countSurfaceReferences(int delta);
void countPixelShaders(int delta);
void notePaddingViolation();

// True (and disarmed once) when a failure of this kind is armed.
bool takeArmedFailure(Call call);

bool callLogEnabled();
void appendToCallLog(std::string entry);

}  // namespace swd3d::hooks
