// The subset of D3DX9 that Tessaly uses, with the real names, values and
// signatures. The software stand-in in this folder implements it: it compiles
// effect files written in the language subset described in README.md.
#pragma once

#include "d3d9/d3d9.h"

struct D3DXMATRIX : D3DMATRIX {};

struct D3DXVECTOR4 {
  float x;
  float y;
  float z;
  float w;
};

// A parameter, technique or pass: either a handle the effect gave out, or the
// name of one (the effect looks a string up by name).
using D3DXHANDLE = const char*;

struct D3DXMACRO {
  LPCSTR Name;
  LPCSTR Definition;
};

inline constexpr DWORD D3DXSHADER_DEBUG = 0x1;

// Begin flags: by default an effect saves every device state its technique
// sets and puts it back at End.
inline constexpr DWORD D3DXFX_DONOTSAVESTATE = 0x1;
inline constexpr DWORD D3DXFX_DONOTSAVESHADERSTATE = 0x2;
inline constexpr DWORD D3DXFX_DONOTSAVESAMPLERSTATE = 0x4;

inline constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);
inline constexpr HRESULT S_FALSE = 1;

// Include handlers and effect pools are not supported: the stand-in refuses
// any that is given.
struct ID3DXInclude;
struct ID3DXEffectPool;

struct ID3DXBuffer : IUnknown {
  virtual void* STDMETHODCALLTYPE GetBufferPointer() = 0;
  virtual DWORD STDMETHODCALLTYPE GetBufferSize() = 0;

 protected:
  ~ID3DXBuffer() = default;
};

struct ID3DXBaseEffect : IUnknown {
  virtual D3DXHANDLE STDMETHODCALLTYPE GetParameterByName(D3DXHANDLE parent, LPCSTR name) = 0;
  virtual D3DXHANDLE STDMETHODCALLTYPE GetTechnique(UINT index) = 0;
  virtual D3DXHANDLE STDMETHODCALLTYPE GetTechniqueByName(LPCSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetFloat(D3DXHANDLE parameter, float value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFloat(D3DXHANDLE parameter, float* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetTexture(D3DXHANDLE parameter,
                                               IDirect3DBaseTexture9* texture) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTexture(D3DXHANDLE parameter,
                                               IDirect3DBaseTexture9** texture) = 0;

 protected:
  ~ID3DXBaseEffect() = default;
};

struct ID3DXEffect : ID3DXBaseEffect {
  virtual HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetTechnique(D3DXHANDLE technique) = 0;
  virtual D3DXHANDLE STDMETHODCALLTYPE GetCurrentTechnique() = 0;
  virtual HRESULT STDMETHODCALLTYPE ValidateTechnique(D3DXHANDLE technique) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindNextValidTechnique(D3DXHANDLE technique,
                                                           D3DXHANDLE* next) = 0;
  virtual HRESULT STDMETHODCALLTYPE Begin(UINT* passes, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE BeginPass(UINT pass) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommitChanges() = 0;
  virtual HRESULT STDMETHODCALLTYPE EndPass() = 0;
  virtual HRESULT STDMETHODCALLTYPE End() = 0;

 protected:
  ~ID3DXEffect() = default;
};

using LPD3DXBUFFER = ID3DXBuffer*;
using LPD3DXEFFECT = ID3DXEffect*;

// Compiles the effect file at srcFile for device. On success *effect holds
// the effect with one reference and *compilationErrors (if asked for) is
// null. On failure *effect is null; compilationErrors receives the
// compiler's messages ("FILE(LINE,COL): error: MESSAGE", one a line, not
// zero-terminated: use GetBufferSize()), or null when the file could not be
// read at all.
extern "C" HRESULT WINAPI D3DXCreateEffectFromFileA(IDirect3DDevice9* device, LPCSTR srcFile,
                                                     const D3DXMACRO* defines,
                                                     ID3DXInclude* include, DWORD flags,
                                                     ID3DXEffectPool* pool, ID3DXEffect** effect,
                                                     ID3DXBuffer** compilationErrors);
