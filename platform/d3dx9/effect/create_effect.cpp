// D3DXCreateEffectFromFileA: reads the file, compiles it, and hands out the
// effect or the compiler's messages.
#include "d3dx9/compiler/effect_compiler.h"
#include "d3dx9/d3dx9.h"
#include "d3dx9/effect/effect_buffer.h"
#include "d3dx9/effect/software_effect.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

// Effect files larger than this are refused: no effect needs more, and no
// file can make the compiler take unbounded memory.
constexpr long kMostSourceBytes = 1 << 20;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

enum class ReadResult { Read, Unreadable, TooLarge };

ReadResult readFile(const char* name, std::string& text) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name, "rb"));
  if (file == nullptr) return ReadResult::Unreadable;
  char chunk[4096];
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    text.append(chunk, got);
    if (text.size() > static_cast<std::size_t>(kMostSourceBytes)) return ReadResult::TooLarge;
    if (got < sizeof chunk) break;
  }
  return std::ferror(file.get()) != 0 ? ReadResult::Unreadable : ReadResult::Read;
}

HRESULT failWithMessages(const std::string& messages, ID3DXBuffer** errors) {
  if (errors != nullptr) swd3dx::makeBuffer(messages, errors);
  return E_FAIL;
}

}  // namespace

extern "C" HRESULT WINAPI D3DXCreateEffectFromFileA(IDirect3DDevice9* device, LPCSTR srcFile,
                                                     const D3DXMACRO* defines,
                                                     ID3DXInclude* include, DWORD /*flags*/,
                                                     ID3DXEffectPool* pool, ID3DXEffect** effect,
                                                     ID3DXBuffer** compilationErrors) {
  if (compilationErrors != nullptr) *compilationErrors = nullptr;
  if (effect == nullptr) return D3DERR_INVALIDCALL;
  *effect = nullptr;
  // Macros, include handlers and effect pools are outside the stand-in.
  const bool macros = defines != nullptr && defines[0].Name != nullptr;
  if (device == nullptr || srcFile == nullptr || macros || include != nullptr || pool != nullptr) {
    return D3DERR_INVALIDCALL;
  }
  std::string source;
  switch (readFile(srcFile, source)) {
    case ReadResult::Unreadable: return D3DXERR_INVALIDDATA;  // no messages, as D3DX does
    case ReadResult::TooLarge:
      return failWithMessages(std::string(srcFile) + "(1,1): error: the effect file is larger than " +
                                  std::to_string(kMostSourceBytes) + " bytes\n",
                              compilationErrors);
    case ReadResult::Read: break;
  }
  swd3dx::Diagnostics diagnostics(srcFile);
  std::optional<swd3dx::CompiledEffect> compiled = swd3dx::compileEffect(source, diagnostics);
  if (!compiled) return failWithMessages(diagnostics.text(), compilationErrors);
  return swd3dx::SoftwareEffect::create(device, std::move(*compiled), effect);
}
