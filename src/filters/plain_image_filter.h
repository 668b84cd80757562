// The frame of every in-memory filter: open the image, refuse render targets
// with the command's own message, lock the whole surface, let the filter work
// on the pixels, unlock. The lock's clean-up covers every other way out.
#pragma once

#include "host/failure.h"
#include "image/image_lock.h"

#include <string_view>

namespace tessaly {

template <class Filter>
void filterPlainImage(DWORD image, std::string_view commandName, Filter&& filter) {
  ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return;
  if (!lock.isPlain()) fatalNotForRenderTargets(commandName);
  lock.lock(nullptr);
  filter(lock.pixels());
  lock.unlockAndRelease();
}

}  // namespace tessaly

namespace tessaly {

// The few commands whose render-target refusal does not follow the usual
// "NAME does not work on render targets." wording give their own words.
struct RenderTargetRefusal {
  const char* message;
  const char* caption;
};

template <class Filter>
void filterPlainImage(DWORD image, const RenderTargetRefusal& refusal, Filter&& filter) {
  ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return;
  if (!lock.isPlain()) fatalError(refusal.message, refusal.caption);
  lock.lock(nullptr);
  filter(lock.pixels());
  lock.unlockAndRelease();
}

}  // namespace tessaly
