#pragma once
// What every block type's constructor sets in the base fields: the rows the Block Editor shows,
// the inputs a run needs, the evaluation kind and the captions of the shown rows.

#include "model/Block.h"

#include <initializer_list>

// Declares a block type with no fields of its own.
#define KINTRA_DECLARE_BLOCK(ClassName)                                                                      \
    class ClassName : public CBlock {                                                                        \
      public:                                                                                                \
        ClassName(int imageId, COrventDoc* document, int commandId, int typeId);                             \
        void Serialize(CArchive& ar) override;                                                               \
        int Initialize() override;                                                                           \
        void Compute() override;                                                                             \
    }

// Defines Serialize for a type that writes nothing beyond the common record.
#define KINTRA_COMMON_RECORD_ONLY(ClassName)                                                                 \
    void ClassName::Serialize(CArchive& ar) {                                                                \
        SerializeCommon(ar);                                                                                 \
    }

namespace kintra {

struct BlockShape {
    int InputsShown;
    int ParamsShown;
    int RequiredInputs;
    int Kind;
    std::initializer_list<const char*> InputLabels;
    std::initializer_list<const char*> ParamLabels;
};

// Applies the shape; captions beyond those given keep the base defaults.
inline void ApplyShape(CBlock& block, const BlockShape& shape) {
    block.InputsShown = shape.InputsShown;
    block.ParamsShown = shape.ParamsShown;
    block.RequiredInputs = shape.RequiredInputs;
    block.Kind = shape.Kind;
    int i = 0;
    for (const char* label : shape.InputLabels)
        block.InputLabels[i++] = label;
    i = 0;
    for (const char* label : shape.ParamLabels)
        block.ParamLabels[i++] = label;
}

} // namespace kintra
