#pragma once
// The catalogue of block types: every type's row (code, name, class, insert command, help id,
// picture, palette button, inputs, parameters, captions and factory) in one table, which
// RegisterBlockTypes() hands to the model.

#include "model/BlockTypes.h"

// Installs the catalogue in the model's registry. Every program calls it once at start-up,
// before it creates or reads a chart; calling it again changes nothing.
void RegisterBlockTypes();

namespace kintra {
// The catalogue itself, whether or not it is registered.
std::span<const CBlockTypeInfo> BlockCatalogue();
} // namespace kintra
