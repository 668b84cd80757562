// The effect commands: loading effect files into the 64 slots, deleting and
// testing slots, and setting an effect's technique and parameters.
#pragma once

#include "host/win32_api.h"

extern "C" {
void LoadEffect(char* fileName, int effect);
DWORD LoadEffectTry(char* fileName, int effect);
void DeleteEffectTS(int effect);
DWORD EffectExist(int effect);
void SetEffectFloat(int effect, char* name, float value);
void SetEffectVector4(int effect, char* name, int vector);
void SetEffectMatrix(int effect, char* name, int matrix);
void SetEffectTechnique(int effect, char* name);
void SetEffectTexture(int effect, char* name, int image);
}
