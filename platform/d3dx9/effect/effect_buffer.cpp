#include "d3dx9/effect/effect_buffer.h"

#include "d3d9/interface_ids.h"
#include "d3dx9/effect/effect_control.h"

#include <cstring>
#include <memory>
#include <new>

namespace swd3dx {

namespace {

class Buffer final : public ID3DXBuffer {
 public:
  // Exactly size bytes: reading past them is caught by the sanitizers.
  Buffer(std::unique_ptr<char[]> bytes, DWORD size) : bytes_(std::move(bytes)), size_(size) {
    hooks::countBuffers(+1);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return D3DERR_INVALIDCALL;
    if (!swd3d::iid::same(riid, swd3d::iid::unknown)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    *object = static_cast<IUnknown*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  void* STDMETHODCALLTYPE GetBufferPointer() override { return bytes_.get(); }
  DWORD STDMETHODCALLTYPE GetBufferSize() override { return size_; }

 private:
  ~Buffer() { hooks::countBuffers(-1); }

  std::unique_ptr<char[]> bytes_;
  DWORD size_;
  ULONG references_ = 1;
};

}  // namespace

HRESULT makeBuffer(std::string_view bytes, ID3DXBuffer** buffer) {
  if (buffer == nullptr) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  std::unique_ptr<char[]> copy(new (std::nothrow) char[bytes.size()]);
  if (copy == nullptr) return E_OUTOFMEMORY;
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  auto* made = new (std::nothrow) Buffer(std::move(copy), static_cast<DWORD>(bytes.size()));
  if (made == nullptr) return E_OUTOFMEMORY;
  *buffer = made;
  return S_OK;
}

}  // namespace swd3dx
