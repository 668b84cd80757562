// Windows only: message boxes block a run that no one watches. While a watch
// is on, every message box the thread opens is read (caption, text, owner,
// buttons and icon), reported on standard error as the stand-in
// MessageBoxA reports it, and closed with its default button.
#pragma once

#include "host/win32_api.h"

namespace standin {

// Starts the watch on the calling thread; `hostWindow` is named as the owner
// when a box belongs to it. False if the hook could not be set.
bool startMessageBoxWatch(HWND hostWindow);
void stopMessageBoxWatch();

}  // namespace standin
