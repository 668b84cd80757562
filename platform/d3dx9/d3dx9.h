// The subset of D3DX9 that Tessaly uses, with the real names and layouts.
#pragma once

#include "d3d9/d3d9.h"

struct D3DXMATRIX : D3DMATRIX {};

struct D3DXVECTOR4 {
  float x;
  float y;
  float z;
  float w;
};

using D3DXHANDLE = const char*;

struct ID3DXBaseEffect : IUnknown {
 protected:
  ~ID3DXBaseEffect() = default;
};

struct ID3DXEffect : ID3DXBaseEffect {
 protected:
  ~ID3DXEffect() = default;
};
