#pragma once
// The closed set of block types: type code, class, insert command, picture and palette button.

#include <cstddef>

struct CBlockTypeInfo {
    int TypeId; // also the string-table id of the type name
    const char* ClassName;
    int CommandId;       // insert command; HelpId = CommandId + 0x10000
    int ImageId;         // colour picture; the monochrome one is ImageId + 500
    const char* Palette; // "" for the Clock, which has no button
    int Button;          // 1-based place on its palette
};

constexpr int kFirstTypeCode = 61586;
constexpr int kLastTypeCode = 61631;
constexpr int kClockTypeId = 61589;
constexpr int kClockCommandId = 32793;
constexpr int kClockImageId = 175;

// Every type, in type-code order.
const CBlockTypeInfo* BlockTypes(std::size_t& count);
// The entry of a type code, or null for a code no type has.
const CBlockTypeInfo* FindBlockType(int typeId);
// The entry of an insert command id, or null.
const CBlockTypeInfo* FindBlockTypeByCommand(int commandId);
