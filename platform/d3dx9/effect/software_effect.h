// ID3DXEffect over a compiled effect: parameters with their values, handles
// for parameters and techniques, technique validation, and the passes, which
// set their states on the device through its own Set... calls.
#pragma once

#include "d3dx9/compiler/compiled_effect.h"
#include "d3dx9/d3dx9.h"
#include "d3dx9/effect/saved_device_state.h"
#include "d3dx9/shader/program_evaluator.h"

#include <memory>
#include <vector>

namespace swd3dx {

class SoftwareEffect final : public ID3DXEffect {
 public:
  // The effect with one reference in *effect; it holds a reference to the
  // device for its whole life.
  static HRESULT create(IDirect3DDevice9* device, CompiledEffect compiled, ID3DXEffect** effect);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  D3DXHANDLE STDMETHODCALLTYPE GetParameterByName(D3DXHANDLE parent, LPCSTR name) override;
  D3DXHANDLE STDMETHODCALLTYPE GetTechnique(UINT index) override;
  D3DXHANDLE STDMETHODCALLTYPE GetTechniqueByName(LPCSTR name) override;
  HRESULT STDMETHODCALLTYPE SetFloat(D3DXHANDLE parameter, float value) override;
  HRESULT STDMETHODCALLTYPE GetFloat(D3DXHANDLE parameter, float* value) override;
  HRESULT STDMETHODCALLTYPE SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) override;
  HRESULT STDMETHODCALLTYPE GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) override;
  HRESULT STDMETHODCALLTYPE SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) override;
  HRESULT STDMETHODCALLTYPE GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) override;
  HRESULT STDMETHODCALLTYPE SetTexture(D3DXHANDLE parameter,
                                       IDirect3DBaseTexture9* texture) override;
  HRESULT STDMETHODCALLTYPE GetTexture(D3DXHANDLE parameter,
                                       IDirect3DBaseTexture9** texture) override;

  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override;
  HRESULT STDMETHODCALLTYPE SetTechnique(D3DXHANDLE technique) override;
  D3DXHANDLE STDMETHODCALLTYPE GetCurrentTechnique() override;
  HRESULT STDMETHODCALLTYPE ValidateTechnique(D3DXHANDLE technique) override;
  HRESULT STDMETHODCALLTYPE FindNextValidTechnique(D3DXHANDLE technique,
                                                   D3DXHANDLE* next) override;
  HRESULT STDMETHODCALLTYPE Begin(UINT* passes, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE BeginPass(UINT pass) override;
  HRESULT STDMETHODCALLTYPE CommitChanges() override;
  HRESULT STDMETHODCALLTYPE EndPass() override;
  HRESULT STDMETHODCALLTYPE End() override;

 private:
  SoftwareEffect(IDirect3DDevice9* device, CompiledEffect compiled);
  ~SoftwareEffect();

  // Handles are addresses inside handleBytes_: techniques first, then
  // parameters. A pointer that is none of them is read as a name.
  D3DXHANDLE techniqueHandle(int index) const;
  D3DXHANDLE parameterHandle(int index) const;
  int techniqueIndex(D3DXHANDLE technique) const;
  const CompiledParameter* parameter(D3DXHANDLE handle) const;
  bool isOwnHandle(D3DXHANDLE handle) const;

  IDirect3DDevice9* device_;
  CompiledEffect compiled_;
  std::shared_ptr<UniformFloats> uniforms_;
  std::vector<IDirect3DBaseTexture9*> textures_;  // each non-null one holds a reference
  std::vector<IDirect3DPixelShader9*> shaders_;   // one reference each
  std::unique_ptr<char[]> handleBytes_;
  ULONG references_ = 1;
  int technique_ = -1;  // the current technique
  bool begun_ = false;
  int pass_ = -1;  // the pass begun, or -1
  SavedDeviceState saved_;
};

}  // namespace swd3dx
