// The draw state: the blend mode and the sampler-0 settings the paste
// commands use. Module-wide plain data, set by three commands that store
// their arguments unchanged (no range checks: the device gets what it gets).
#pragma once

#include "host/win32_api.h"

namespace tessaly {

struct DrawState {
  DWORD blendMode = 1;  // holds 1 from load; neither Constructor nor reset touches it
  DWORD minFilter = 1;  // D3DTEXF_POINT
  DWORD magFilter = 1;  // D3DTEXF_POINT
  DWORD mipFilter = 0;  // D3DTEXF_NONE
  DWORD addressU = 1;   // D3DTADDRESS_WRAP
  DWORD addressV = 1;   // D3DTADDRESS_WRAP
};

extern DrawState drawState;

// The sampling values Constructor starts from; the blend mode is left alone.
void resetSamplingState();

}  // namespace tessaly

extern "C" {
void SetBlendMode(DWORD mode);
void SetFilters(DWORD minFilter, DWORD magFilter, DWORD mipFilter);
void SetAddressUV(DWORD addressU, DWORD addressV);
}
