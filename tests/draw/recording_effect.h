// An effect that records the calls a paste makes on it into one log with the
// device's calls, in the order they happened, and reports what a test tells
// it to: how many passes Begin gives, and whether SetTechnique or Begin fail.
#pragma once

#include "d3d9/device_control.h"
#include "d3dx9/d3dx9.h"
#include "effects/effect_slots.h"

#include <memory>
#include <string>
#include <vector>

class RecordingEffect final : public ID3DXEffect {
 public:
  struct Script {
    UINT passes = 1;
    HRESULT setTechnique = S_OK;
    HRESULT begin = S_OK;
  };

  // Puts a new recording effect into the slot of the effect number (1 to 64),
  // in place of any effect there; the slot owns its one reference.
  static RecordingEffect* install(int number, Script script, std::vector<std::string>& log) {
    auto* effect = new RecordingEffect(script, log);
    std::unique_ptr<tessaly::EffectSlot>& entry = *tessaly::effectSlotEntry(number);
    tessaly::deleteEffectSlot(entry);
    entry = std::make_unique<tessaly::EffectSlot>(tessaly::EffectSlot{effect, "Technique"});
    return effect;
  }

  // The device's calls since the last entry, then the effect's own.
  void record(const std::string& call) {
    for (std::string& deviceCall : swd3d::takeCallLog()) log_.push_back(std::move(deviceCall));
    log_.push_back(call);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  D3DXHANDLE STDMETHODCALLTYPE GetParameterByName(D3DXHANDLE, LPCSTR) override { return nullptr; }
  D3DXHANDLE STDMETHODCALLTYPE GetTechnique(UINT) override { return nullptr; }
  D3DXHANDLE STDMETHODCALLTYPE GetTechniqueByName(LPCSTR) override { return nullptr; }
  HRESULT STDMETHODCALLTYPE SetFloat(D3DXHANDLE, float) override { return refuse("SetFloat"); }
  HRESULT STDMETHODCALLTYPE GetFloat(D3DXHANDLE, float*) override { return refuse("GetFloat"); }
  HRESULT STDMETHODCALLTYPE SetVector(D3DXHANDLE, const D3DXVECTOR4*) override { return refuse("SetVector"); }
  HRESULT STDMETHODCALLTYPE GetVector(D3DXHANDLE, D3DXVECTOR4*) override { return refuse("GetVector"); }
  HRESULT STDMETHODCALLTYPE SetMatrix(D3DXHANDLE, const D3DXMATRIX*) override { return refuse("SetMatrix"); }
  HRESULT STDMETHODCALLTYPE GetMatrix(D3DXHANDLE, D3DXMATRIX*) override { return refuse("GetMatrix"); }
  HRESULT STDMETHODCALLTYPE SetTexture(D3DXHANDLE, IDirect3DBaseTexture9*) override {
    return refuse("SetTexture");
  }
  HRESULT STDMETHODCALLTYPE GetTexture(D3DXHANDLE, IDirect3DBaseTexture9**) override {
    return refuse("GetTexture");
  }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9**) override { return refuse("GetDevice"); }
  HRESULT STDMETHODCALLTYPE SetTechnique(D3DXHANDLE technique) override {
    record("effect.SetTechnique(" + std::string(technique) + ")");
    return script_.setTechnique;
  }
  D3DXHANDLE STDMETHODCALLTYPE GetCurrentTechnique() override { return nullptr; }
  HRESULT STDMETHODCALLTYPE ValidateTechnique(D3DXHANDLE) override { return refuse("ValidateTechnique"); }
  HRESULT STDMETHODCALLTYPE FindNextValidTechnique(D3DXHANDLE, D3DXHANDLE*) override {
    return refuse("FindNextValidTechnique");
  }
  HRESULT STDMETHODCALLTYPE Begin(UINT* passes, DWORD flags) override {
    record("effect.Begin(" + std::to_string(flags) + ")");
    if (SUCCEEDED(script_.begin)) *passes = script_.passes;
    return script_.begin;
  }
  HRESULT STDMETHODCALLTYPE BeginPass(UINT pass) override {
    record("effect.BeginPass(" + std::to_string(pass) + ")");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CommitChanges() override { return refuse("CommitChanges"); }
  HRESULT STDMETHODCALLTYPE EndPass() override {
    record("effect.EndPass()");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE End() override {
    record("effect.End()");
    return S_OK;
  }

 private:
  RecordingEffect(Script script, std::vector<std::string>& log) : script_(script), log_(log) {}
  ~RecordingEffect() = default;

  // A call no paste should make shows in the log.
  HRESULT refuse(const char* method) {
    record(std::string("effect.") + method + " (unexpected)");
    return E_FAIL;
  }

  Script script_;
  std::vector<std::string>& log_;
  ULONG references_ = 1;
};
