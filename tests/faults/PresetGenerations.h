// Preset stores that tell which write they came from: generation g holds 40 presets whose
// names and records are all derived from g, so a file holding anything else (a torn write, a
// mix of two writes) is recognised as such.
#pragma once

#include "Params.h"

inline constexpr int kGenerationPresets = 40;

// Replaces the whole store by generation `generation` (0 or above).
void FillGeneration(TParams& params, int generation);

// The generation the store holds exactly, or -1 when it holds anything else.
int GenerationOf(const TParams& params);
