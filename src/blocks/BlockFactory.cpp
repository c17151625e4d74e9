#include "blocks/Catalogue.h"
#include "model/ClockBlock.h"
#include "model/OrventDoc.h"

std::unique_ptr<CBlock> COrventDoc::CreateBlock(int typeCode) {
    const CBlockTypeInfo* info = FindBlockType(typeCode);
    if (!info) return nullptr;
    switch (typeCode) {
    case kClockTypeId:
        return std::make_unique<CClockBlock>(info->ImageId, this, info->CommandId, typeCode);
    default:
        return nullptr;
    }
}
