// The pixel shader object behind makeProgramPixelShader: a reference-counted
// holder of one compiled program.
#include "d3d9/device_hooks.h"
#include "d3d9/interface_ids.h"
#include "d3d9/pixel_shader_program.h"

#include <cstdio>
#include <new>
#include <utility>

namespace swd3d {

namespace {

class ProgramPixelShader final : public IDirect3DPixelShader9 {
 public:
  explicit ProgramPixelShader(std::shared_ptr<const PixelShaderProgram> program)
      : program_(std::move(program)) {
    hooks::countPixelShaders(+1);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return D3DERR_INVALIDCALL;
    if (!iid::oneOf(riid, {&iid::unknown, &iid::pixelShader9})) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    *object = static_cast<IDirect3DPixelShader9*>(this);
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

  ULONG STDMETHODCALLTYPE Release() override {
    if (references_ == 0) {
      std::fprintf(stderr, "swd3d: Release of a pixel shader on which no reference is held\n");
      return 0;
    }
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  const PixelShaderProgram& program() const { return *program_; }

 private:
  ~ProgramPixelShader() { hooks::countPixelShaders(-1); }

  std::shared_ptr<const PixelShaderProgram> program_;
  ULONG references_ = 1;
};

}  // namespace

HRESULT makeProgramPixelShader(std::shared_ptr<const PixelShaderProgram> program,
                               IDirect3DPixelShader9** shader) {
  if (shader == nullptr) return D3DERR_INVALIDCALL;
  *shader = nullptr;
  if (program == nullptr) return D3DERR_INVALIDCALL;
  auto* made = new (std::nothrow) ProgramPixelShader(std::move(program));
  if (made == nullptr) return E_OUTOFMEMORY;
  *shader = made;
  return S_OK;
}

const PixelShaderProgram* pixelShaderProgram(IDirect3DPixelShader9* shader) {
  // Only this file makes ProgramPixelShader objects, and a program is never
  // shared with a foreign shader type, so the dynamic type decides.
  const auto* own = dynamic_cast<const ProgramPixelShader*>(shader);
  return own == nullptr ? nullptr : &own->program();
}

}  // namespace swd3d
