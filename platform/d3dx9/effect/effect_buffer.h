// ID3DXBuffer: a block of bytes handed out with one reference. The compiler's
// messages travel in one, holding exactly the text and no terminating zero,
// as D3DX's own do.
#pragma once

#include "d3dx9/d3dx9.h"

#include <string_view>

namespace swd3dx {

// A buffer holding a copy of `bytes`, or E_OUTOFMEMORY.
HRESULT makeBuffer(std::string_view bytes, ID3DXBuffer** buffer);

}  // namespace swd3dx
