#include "d3dx9/effect/software_effect.h"

#include "d3d9/interface_ids.h"
#include "d3d9/pixel_shader_program.h"
#include "d3dx9/effect/effect_control.h"
#include "d3dx9/effect/pass_device_calls.h"

#include <cstring>
#include <functional>
#include <new>

namespace swd3dx {

namespace {

bool isScalarOrVector(const CompiledParameter& p) { return p.type.isNumeric(); }

// Bool parameters hold 1 or 0, as a shader's comparisons make them.
float stored(const CompiledParameter& p, float value) {
  return p.type.base == BaseType::Bool ? (value != 0.0f ? 1.0f : 0.0f) : value;
}

// Makes the device calls of a pass.
class DeviceCalls final : public PassCalls {
 public:
  DeviceCalls(IDirect3DDevice9& device, const std::vector<IDirect3DBaseTexture9*>& textures,
              const std::vector<IDirect3DPixelShader9*>& shaders)
      : device_(device), textures_(textures), shaders_(shaders) {}

  void renderState(DWORD state, DWORD value) override {
    device_.SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
  }
  void samplerState(DWORD sampler, DWORD type, DWORD value) override {
    device_.SetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), value);
  }
  void stageState(DWORD stage, DWORD type, DWORD value) override {
    device_.SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
  }
  void texture(DWORD stage, int slot) override {
    device_.SetTexture(stage, slot >= 0 ? textures_[slot] : nullptr);
  }
  void pixelShader(int shader) override {
    device_.SetPixelShader(shader >= 0 ? shaders_[shader] : nullptr);
  }
  void vertexShader() override { device_.SetVertexShader(nullptr); }

 private:
  IDirect3DDevice9& device_;
  const std::vector<IDirect3DBaseTexture9*>& textures_;
  const std::vector<IDirect3DPixelShader9*>& shaders_;
};

}  // namespace

HRESULT SoftwareEffect::create(IDirect3DDevice9* device, CompiledEffect compiled,
                               ID3DXEffect** effect) {
  if (effect == nullptr) return D3DERR_INVALIDCALL;
  *effect = nullptr;
  if (device == nullptr) return D3DERR_INVALIDCALL;
  SoftwareEffect* made = nullptr;
  try {
    made = new SoftwareEffect(device, std::move(compiled));
    for (const GeneratedShader& shader : made->compiled_.shaders) {
      auto program = std::make_shared<const ProgramEvaluator>(shader.program, made->uniforms_);
      IDirect3DPixelShader9* object = nullptr;
      const HRESULT result = swd3d::makeProgramPixelShader(std::move(program), &object);
      if (FAILED(result)) {
        made->Release();
        return result;
      }
      made->shaders_.push_back(object);
    }
  } catch (const std::bad_alloc&) {
    if (made != nullptr) made->Release();
    return E_OUTOFMEMORY;
  }
  *effect = made;
  return S_OK;
}

SoftwareEffect::SoftwareEffect(IDirect3DDevice9* device, CompiledEffect compiled)
    : device_(device),
      compiled_(std::move(compiled)),
      uniforms_(std::make_shared<UniformFloats>(compiled_.uniforms)),
      textures_(compiled_.textureCount, nullptr),
      handleBytes_(new char[compiled_.techniques.size() + compiled_.parameters.size() + 1]()) {
  device_->AddRef();
  if (!compiled_.techniques.empty()) technique_ = 0;
  hooks::countEffects(+1);
}

SoftwareEffect::~SoftwareEffect() {
  saved_.discard();
  for (IDirect3DBaseTexture9* texture : textures_) {
    if (texture != nullptr) texture->Release();
  }
  for (IDirect3DPixelShader9* shader : shaders_) shader->Release();
  device_->Release();
  hooks::countEffects(-1);
}

HRESULT SoftwareEffect::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return D3DERR_INVALIDCALL;
  if (!swd3d::iid::same(riid, swd3d::iid::unknown)) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  *object = static_cast<IUnknown*>(this);
  return S_OK;
}

ULONG SoftwareEffect::AddRef() { return ++references_; }

ULONG SoftwareEffect::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// --- handles ---------------------------------------------------------------

D3DXHANDLE SoftwareEffect::techniqueHandle(int index) const { return handleBytes_.get() + index; }

D3DXHANDLE SoftwareEffect::parameterHandle(int index) const {
  return handleBytes_.get() + compiled_.techniques.size() + index;
}

bool SoftwareEffect::isOwnHandle(D3DXHANDLE handle) const {
  const char* first = handleBytes_.get();
  const char* last = first + compiled_.techniques.size() + compiled_.parameters.size();
  return std::less_equal<const char*>()(first, handle) && std::less<const char*>()(handle, last);
}

int SoftwareEffect::techniqueIndex(D3DXHANDLE technique) const {
  if (technique == nullptr) return -1;
  const int count = static_cast<int>(compiled_.techniques.size());
  if (isOwnHandle(technique)) {
    const auto index = static_cast<int>(technique - handleBytes_.get());
    return index < count ? index : -1;
  }
  for (int i = 0; i < count; ++i) {
    const std::string& name = compiled_.techniques[i].name;
    if (!name.empty() && name == technique) return i;
  }
  return -1;
}

const CompiledParameter* SoftwareEffect::parameter(D3DXHANDLE handle) const {
  if (handle == nullptr) return nullptr;
  if (isOwnHandle(handle)) {
    const auto index = static_cast<std::size_t>(handle - handleBytes_.get());
    if (index < compiled_.techniques.size()) return nullptr;
    return &compiled_.parameters[index - compiled_.techniques.size()];
  }
  for (const CompiledParameter& p : compiled_.parameters) {
    if (p.visible && p.name == handle) return &p;
  }
  return nullptr;
}

D3DXHANDLE SoftwareEffect::GetParameterByName(D3DXHANDLE parent, LPCSTR name) {
  if (parent != nullptr || name == nullptr) return nullptr;  // no structures to look inside
  const CompiledParameter* p = parameter(name);
  return p == nullptr ? nullptr
                      : parameterHandle(static_cast<int>(p - compiled_.parameters.data()));
}

D3DXHANDLE SoftwareEffect::GetTechnique(UINT index) {
  return index < compiled_.techniques.size() ? techniqueHandle(static_cast<int>(index)) : nullptr;
}

D3DXHANDLE SoftwareEffect::GetTechniqueByName(LPCSTR name) {
  if (name == nullptr || isOwnHandle(name)) return nullptr;
  const int index = techniqueIndex(name);
  return index < 0 ? nullptr : techniqueHandle(index);
}

// --- parameter values ------------------------------------------------------

HRESULT SoftwareEffect::SetFloat(D3DXHANDLE handle, float value) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || !p->type.isScalar()) return D3DERR_INVALIDCALL;
  (*uniforms_)[p->offset] = stored(*p, value);
  return S_OK;
}

HRESULT SoftwareEffect::GetFloat(D3DXHANDLE handle, float* value) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || value == nullptr || !p->type.isScalar()) return D3DERR_INVALIDCALL;
  *value = (*uniforms_)[p->offset];
  return S_OK;
}

HRESULT SoftwareEffect::SetVector(D3DXHANDLE handle, const D3DXVECTOR4* vector) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || vector == nullptr || !isScalarOrVector(*p)) return D3DERR_INVALIDCALL;
  const float components[4] = {vector->x, vector->y, vector->z, vector->w};
  for (int i = 0; i < p->type.size; ++i) (*uniforms_)[p->offset + i] = stored(*p, components[i]);
  return S_OK;
}

HRESULT SoftwareEffect::GetVector(D3DXHANDLE handle, D3DXVECTOR4* vector) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || vector == nullptr || !isScalarOrVector(*p)) return D3DERR_INVALIDCALL;
  float components[4] = {0, 0, 0, 0};
  for (int i = 0; i < p->type.size; ++i) components[i] = (*uniforms_)[p->offset + i];
  *vector = {components[0], components[1], components[2], components[3]};
  return S_OK;
}

HRESULT SoftwareEffect::SetMatrix(D3DXHANDLE handle, const D3DXMATRIX* matrix) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || matrix == nullptr || p->type.base != BaseType::Matrix) {
    return D3DERR_INVALIDCALL;
  }
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      (*uniforms_)[p->offset + row * 4 + column] = matrix->m[row][column];
    }
  }
  return S_OK;
}

HRESULT SoftwareEffect::GetMatrix(D3DXHANDLE handle, D3DXMATRIX* matrix) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || matrix == nullptr || p->type.base != BaseType::Matrix) {
    return D3DERR_INVALIDCALL;
  }
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      matrix->m[row][column] = (*uniforms_)[p->offset + row * 4 + column];
    }
  }
  return S_OK;
}

HRESULT SoftwareEffect::SetTexture(D3DXHANDLE handle, IDirect3DBaseTexture9* texture) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || p->type.base != BaseType::Texture) return D3DERR_INVALIDCALL;
  if (texture != nullptr) texture->AddRef();
  IDirect3DBaseTexture9*& slot = textures_[p->texture];
  if (slot != nullptr) slot->Release();
  slot = texture;
  return S_OK;
}

HRESULT SoftwareEffect::GetTexture(D3DXHANDLE handle, IDirect3DBaseTexture9** texture) {
  const CompiledParameter* p = parameter(handle);
  if (p == nullptr || texture == nullptr || p->type.base != BaseType::Texture) {
    return D3DERR_INVALIDCALL;
  }
  *texture = textures_[p->texture];
  if (*texture != nullptr) (*texture)->AddRef();
  return S_OK;
}

// --- techniques ------------------------------------------------------------

HRESULT SoftwareEffect::GetDevice(IDirect3DDevice9** device) {
  if (device == nullptr) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return S_OK;
}

HRESULT SoftwareEffect::SetTechnique(D3DXHANDLE technique) {
  const int index = techniqueIndex(technique);
  if (index < 0 || begun_) return D3DERR_INVALIDCALL;
  technique_ = index;
  return S_OK;
}

D3DXHANDLE SoftwareEffect::GetCurrentTechnique() {
  return technique_ < 0 ? nullptr : techniqueHandle(technique_);
}

HRESULT SoftwareEffect::ValidateTechnique(D3DXHANDLE technique) {
  const int index = techniqueIndex(technique);
  if (index < 0) return D3DERR_INVALIDCALL;
  return compiled_.techniques[index].valid ? S_OK : E_FAIL;
}

HRESULT SoftwareEffect::FindNextValidTechnique(D3DXHANDLE technique, D3DXHANDLE* next) {
  if (next == nullptr) return D3DERR_INVALIDCALL;
  *next = nullptr;
  int from = 0;
  if (technique != nullptr) {
    const int index = techniqueIndex(technique);
    if (index < 0) return D3DERR_INVALIDCALL;
    from = index + 1;
  }
  for (int i = from; i < static_cast<int>(compiled_.techniques.size()); ++i) {
    if (compiled_.techniques[i].valid) {
      *next = techniqueHandle(i);
      return S_OK;
    }
  }
  return S_FALSE;
}

HRESULT SoftwareEffect::Begin(UINT* passes, DWORD flags) {
  if (begun_ || technique_ < 0) return D3DERR_INVALIDCALL;
  const CompiledTechnique& technique = compiled_.techniques[technique_];
  saved_.capture(*device_, compiled_, technique, flags);
  begun_ = true;
  pass_ = -1;
  if (passes != nullptr) *passes = static_cast<UINT>(technique.passes.size());
  return S_OK;
}

HRESULT SoftwareEffect::BeginPass(UINT pass) {
  if (!begun_ || pass_ >= 0) return D3DERR_INVALIDCALL;
  const CompiledTechnique& technique = compiled_.techniques[technique_];
  if (pass >= technique.passes.size()) return D3DERR_INVALIDCALL;
  pass_ = static_cast<int>(pass);
  DeviceCalls calls(*device_, textures_, shaders_);
  walkPass(compiled_, technique.passes[pass], calls);
  return S_OK;
}

// Shaders read the parameters at every draw: there is nothing to send.
HRESULT SoftwareEffect::CommitChanges() { return pass_ >= 0 ? S_OK : D3DERR_INVALIDCALL; }

HRESULT SoftwareEffect::EndPass() {
  if (pass_ < 0) return D3DERR_INVALIDCALL;
  pass_ = -1;
  return S_OK;
}

HRESULT SoftwareEffect::End() {
  if (!begun_) return D3DERR_INVALIDCALL;
  pass_ = -1;
  begun_ = false;
  saved_.restore(*device_);
  return S_OK;
}

}  // namespace swd3dx
