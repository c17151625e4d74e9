#include "model/BlockTypes.h"

#include "model/Block.h"

namespace {
std::span<const CBlockTypeInfo> g_table;
} // namespace

void ApplyShape(CBlock& block, const CBlockShape& shape) {
    block.InputsShown = shape.InputsShown;
    block.ParamsShown = shape.ParamsShown;
    block.RequiredInputs = shape.RequiredInputs;
    block.Kind = shape.Kind;
    for (std::size_t i = 0; i < 3; ++i) {
        if (shape.InputLabels[i]) block.InputLabels[i] = shape.InputLabels[i];
        if (shape.ParamLabels[i]) block.ParamLabels[i] = shape.ParamLabels[i];
    }
}

namespace kintra {
void SetBlockTypeTable(std::span<const CBlockTypeInfo> table) {
    g_table = table;
}

std::span<const CBlockTypeInfo> BlockTypeTable() {
    return g_table;
}
} // namespace kintra

const CBlockTypeInfo* BlockTypes(std::size_t& count) {
    count = g_table.size();
    return g_table.data();
}

const CBlockTypeInfo* FindBlockType(int typeId) {
    for (const auto& t : g_table)
        if (t.TypeId == typeId) return &t;
    return nullptr;
}

const CBlockTypeInfo* FindBlockTypeByCommand(int commandId) {
    for (const auto& t : g_table)
        if (t.CommandId == commandId) return &t;
    return nullptr;
}
