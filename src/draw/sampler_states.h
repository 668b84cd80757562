// Sampler 0's filters and address modes on the device.
#pragma once

#include "host/d3d9_api.h"

namespace tessaly {

// Five SetSamplerState calls on sampler 0, in this order: minification,
// magnification and mip filter, address mode U, address mode V. The values go
// to the device unchanged.
void applySamplerStates(IDirect3DDevice9* device, DWORD minFilter, DWORD magFilter,
                        DWORD mipFilter, DWORD addressU, DWORD addressV);

}  // namespace tessaly
