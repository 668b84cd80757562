#include "draw/sampler_states.h"

namespace tessaly {

void applySamplerStates(IDirect3DDevice9* device, DWORD minFilter, DWORD magFilter,
                        DWORD mipFilter, DWORD addressU, DWORD addressV) {
  device->SetSamplerState(0, D3DSAMP_MINFILTER, minFilter);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, magFilter);
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, mipFilter);
  device->SetSamplerState(0, D3DSAMP_ADDRESSU, addressU);
  device->SetSamplerState(0, D3DSAMP_ADDRESSV, addressV);
}

}  // namespace tessaly
