#pragma once
// The block types: their codes and insert commands by name, the row that describes a type (name,
// command, help id, picture, palette button, inputs, parameters, captions and factory) and the
// registry the document creates blocks from. The blocks layer fills the registry at start-up
// with RegisterBlockTypes(); until then no block can be created and no chart read.

#include <array>
#include <cstddef>
#include <memory>
#include <span>

class CBlock;
class CBlockHost;

// Type codes: the code a chart file stores for a block, and the string-table id of its name.
namespace BlockType {
inline constexpr int Decay = 61586;
inline constexpr int Delay = 61587;
inline constexpr int Integrate = 61588;
inline constexpr int Clock = 61589;
inline constexpr int Divide = 61590;
inline constexpr int Multiply = 61591;
inline constexpr int Negate = 61592;
inline constexpr int Power = 61593;
inline constexpr int SquareRoot = 61594;
inline constexpr int Sum = 61595;
inline constexpr int ArcTangent = 61596;
inline constexpr int Cosine = 61597;
inline constexpr int Decibel = 61598;
inline constexpr int Exponent = 61599;
inline constexpr int Log10 = 61600;
inline constexpr int LogE = 61601;
inline constexpr int Sine = 61602;
inline constexpr int And = 61603;
inline constexpr int ExclusiveOr = 61604;
inline constexpr int InclusiveOr = 61605;
inline constexpr int Quit = 61606;
inline constexpr int Relay = 61607;
inline constexpr int ZeroOrderHold = 61608;
inline constexpr int Gaussian = 61609;
inline constexpr int Jitter = 61610;
inline constexpr int SineWave = 61611;
inline constexpr int TimePulse = 61612;
inline constexpr int Absolute = 61613;
inline constexpr int BackLash = 61614;
inline constexpr int Bang = 61615;
inline constexpr int DeadSpace = 61616;
inline constexpr int FunctionGenerator = 61617;
inline constexpr int Integer = 61618;
inline constexpr int Limiter = 61619;
inline constexpr int Modulo = 61620;
inline constexpr int NegativeClip = 61621;
inline constexpr int Offset = 61623;
inline constexpr int PositiveClip = 61624;
inline constexpr int Constant = 61625;
inline constexpr int Pi = 61626;
inline constexpr int OneShot = 61628;
inline constexpr int Random = 61630;
inline constexpr int Gain = 61631;

// The codes lie in First..Last; 61622, 61627 and 61629 belong to no type.
inline constexpr int First = Decay;
inline constexpr int Last = Gain;
} // namespace BlockType

// Insert commands: the menu and palette command that puts a block of the type on the chart, and
// the string-table id of its prompt and tool tip. The Clock's is never offered.
namespace BlockCommand {
inline constexpr int Integrate = 32792;
inline constexpr int Clock = 32793;
inline constexpr int Delay = 32794;
inline constexpr int Decay = 32795;
inline constexpr int Multiply = 32796;
inline constexpr int Divide = 32797;
inline constexpr int Power = 32798;
inline constexpr int SquareRoot = 32799;
inline constexpr int Gain = 32800;
inline constexpr int Sum = 32801;
inline constexpr int Negate = 32802;
inline constexpr int Cosine = 32818;
inline constexpr int Sine = 32819;
inline constexpr int Log10 = 32820;
inline constexpr int LogE = 32821;
inline constexpr int ArcTangent = 32822;
inline constexpr int Exponent = 32823;
inline constexpr int Decibel = 32824;
inline constexpr int And = 32834;
inline constexpr int ExclusiveOr = 32835;
inline constexpr int InclusiveOr = 32836;
inline constexpr int Quit = 32837;
inline constexpr int Relay = 32838;
inline constexpr int ZeroOrderHold = 32839;
inline constexpr int Gaussian = 32840;
inline constexpr int Jitter = 32841;
inline constexpr int SineWave = 32842;
inline constexpr int TimePulse = 32843;
inline constexpr int Absolute = 32844;
inline constexpr int BackLash = 32845;
inline constexpr int Bang = 32846;
inline constexpr int DeadSpace = 32847;
inline constexpr int FunctionGenerator = 32848;
inline constexpr int Integer = 32849;
inline constexpr int Limiter = 32850;
inline constexpr int Modulo = 32851;
inline constexpr int NegativeClip = 32852;
inline constexpr int Offset = 32853;
inline constexpr int PositiveClip = 32854;
inline constexpr int Constant = 32855;
inline constexpr int Pi = 32856;
inline constexpr int Random = 32858;
inline constexpr int OneShot = 32859;
} // namespace BlockCommand

// A type's help page is found by its insert command.
constexpr int kBlockHelpIdBase = 0x10000;
constexpr int BlockHelpId(int commandId) {
    return commandId + kBlockHelpIdBase;
}

// The names the rest of Kintra has long used for the Clock and the code range.
constexpr int kFirstTypeCode = BlockType::First;
constexpr int kLastTypeCode = BlockType::Last;
constexpr int kClockTypeId = BlockType::Clock;
constexpr int kClockCommandId = BlockCommand::Clock;

// What a new block of a type shows and needs: the rows of the Block Editor, the inputs a run
// requires, the evaluation kind (BlockKind) and the captions of the rows. A null caption keeps
// the base one.
struct CBlockShape {
    int InputsShown;
    int ParamsShown;
    int RequiredInputs;
    int Kind;
    std::array<const char*, 3> InputLabels;
    std::array<const char*, 3> ParamLabels;
};

// Sets the shape's fields on a block.
void ApplyShape(CBlock& block, const CBlockShape& shape);

// One block type.
struct CBlockTypeInfo {
    int TypeId;
    const char* Name; // the type name a new block shows and is first named by
    const char* ClassName;
    int CommandId;
    int HelpId;
    int ImageId;         // colour picture; the monochrome one is ImageId + 500
    const char* Palette; // "" for the Clock, which has no button
    int Button;          // 1-based place on its palette
    CBlockShape Shape;
    // A new block of the type with only its constructor's settings; CreateBlock does the rest.
    std::unique_ptr<CBlock> (*Create)(const CBlockTypeInfo& type, CBlockHost* document);
};

namespace kintra {
// What a document says when it needs a block and no types are registered (a program that forgot
// RegisterBlockTypes() at start-up).
inline constexpr const char* kNoBlockTypes = "No block types are registered: Kintra cannot create blocks";

// Installs the table of block types (in type-code order; it must outlive its use). An empty
// table leaves Kintra with no types.
void SetBlockTypeTable(std::span<const CBlockTypeInfo> table);
std::span<const CBlockTypeInfo> BlockTypeTable();
} // namespace kintra

// Every registered type, in type-code order.
const CBlockTypeInfo* BlockTypes(std::size_t& count);
// The entry of a type code, or null for a code no registered type has.
const CBlockTypeInfo* FindBlockType(int typeId);
// The entry of an insert command id, or null.
const CBlockTypeInfo* FindBlockTypeByCommand(int commandId);
