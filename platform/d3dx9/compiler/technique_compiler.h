// Resolves the state blocks of an effect: each sampler_state, and each pass
// of each technique, whose pixel shaders it compiles. Decides which
// techniques validate on the software device.
#pragma once

#include "d3dx9/compiler/compiled_effect.h"
#include "d3dx9/compiler/diagnostics.h"
#include "d3dx9/compiler/syntax_tree.h"

namespace swd3dx {

// Fills samplerTexture and samplerStates of the sampler parameters.
void compileSamplerStates(const EffectSyntax& syntax, CompiledEffect& effect,
                          Diagnostics& diagnostics);

// Fills effect.techniques and effect.shaders. Shaders are generated only when
// `generateShaders` (the functions checked without error); names are
// resolved and reported either way.
void compileTechniques(const EffectSyntax& syntax, const UniformOffsets& offsets,
                       bool generateShaders, CompiledEffect& effect, Diagnostics& diagnostics);

}  // namespace swd3dx
