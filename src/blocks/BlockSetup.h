#pragma once
// What the block families share in their declarations and records. A type's rows, inputs, kind
// and captions are in its row of the catalogue (blocks/Catalogue.cpp), which the document applies
// to every new block.

#include "model/Block.h"

// Declares a block type with no fields of its own.
#define KINTRA_DECLARE_BLOCK(ClassName)                                                                      \
    class ClassName : public CBlock {                                                                        \
      public:                                                                                                \
        ClassName(int imageId, CBlockHost* document, int commandId, int typeId);                             \
        void Serialize(CArchive& ar) override;                                                               \
        int Initialize() override;                                                                           \
        void Compute() override;                                                                             \
    }

// Defines Serialize for a type that writes nothing beyond the common record.
#define KINTRA_COMMON_RECORD_ONLY(ClassName)                                                                 \
    void ClassName::Serialize(CArchive& ar) {                                                                \
        SerializeCommon(ar);                                                                                 \
    }
