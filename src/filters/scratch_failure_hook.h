// Test hook: the next scratch allocation of a blur pass fails as if memory had
// run out, so the memory message can be reached on request.
#pragma once

namespace tessaly {

void failNextScratchAllocation();

}  // namespace tessaly
