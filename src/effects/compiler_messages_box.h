// The message box of a failed effect compilation.
#pragma once

#include "host/d3dx9_api.h"

namespace tessaly {

// Shows the compiler's messages (errors may be null) under the caption
// "Compile error - Effect".
void showCompilerMessages(ID3DXBuffer* errors, const char* fileName);

}  // namespace tessaly
