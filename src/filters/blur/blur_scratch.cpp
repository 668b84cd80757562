#include "filters/blur/blur_scratch.h"

#include "host/host_link.h"
#include "host/test_hooks.h"

#include <cstdint>
#include <new>

namespace tessaly {

namespace {

constexpr std::align_val_t kScratchAlignment{64};

}  // namespace

void* allocateScratch(std::uint64_t count, std::size_t elementSize, const char* caption) {
  void* memory = nullptr;
  // The size is formed in 64 bits and must also fit this build's size_t.
  const bool fits = elementSize != 0 && count <= SIZE_MAX / elementSize;
  const bool refused = test_hooks::takeAllocationFailure();
  if (fits && !refused) {
    const std::size_t bytes = static_cast<std::size_t>(count) * elementSize;
    memory = ::operator new(bytes == 0 ? 1 : bytes, kScratchAlignment, std::nothrow);
  }
  if (memory == nullptr) MessageBoxA(hostWindow(), "Could not allocate enough memory.", caption, MB_ICONERROR);
  return memory;
}

void freeScratch(void* memory) {
  if (memory != nullptr) ::operator delete(memory, kScratchAlignment);
}

}  // namespace tessaly
