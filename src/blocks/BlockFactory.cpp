#include "blocks/ArithmeticBlocks.h"
#include "blocks/Catalogue.h"
#include "blocks/FunctionGenerator.h"
#include "blocks/GeneratorBlocks.h"
#include "blocks/LogicBlocks.h"
#include "blocks/NonLinearBlocks.h"
#include "blocks/TimeBlocks.h"
#include "blocks/TranscendentalBlocks.h"
#include "model/ClockBlock.h"
#include "model/OrventDoc.h"

namespace {
template <class T> std::unique_ptr<CBlock> Make(const CBlockTypeInfo& info, COrventDoc* doc) {
    return std::make_unique<T>(info.ImageId, doc, info.CommandId, info.TypeId);
}
} // namespace

// A block of the catalogue's row for the code, or null (nothing allocated) for a code no type
// has: 61622, 61627, 61629 and everything outside 61586..61631.
std::unique_ptr<CBlock> COrventDoc::CreateBlock(int typeCode) {
    const CBlockTypeInfo* info = FindBlockType(typeCode);
    if (!info) return nullptr;
    const CBlockTypeInfo& t = *info;
    // clang-format off
    switch (typeCode) {
    case 61586: return Make<CDecayBlock>(t, this);
    case 61587: return Make<CDelayBlock>(t, this);
    case 61588: return Make<CIntegrateBlock>(t, this);
    case kClockTypeId: return Make<CClockBlock>(t, this);
    case 61590: return Make<CDivideBlock>(t, this);
    case 61591: return Make<CMultiplyBlock>(t, this);
    case 61592: return Make<CNegateBlock>(t, this);
    case 61593: return Make<CPowerBlock>(t, this);
    case 61594: return Make<CSquareRootBlock>(t, this);
    case 61595: return Make<CSumBlock>(t, this);
    case 61596: return Make<CArcTangentBlock>(t, this);
    case 61597: return Make<CCosineBlock>(t, this);
    case 61598: return Make<CDecibelBlock>(t, this);
    case 61599: return Make<CExponentBlock>(t, this);
    case 61600: return Make<CLog10Block>(t, this);
    case 61601: return Make<CLogEBlock>(t, this);
    case 61602: return Make<CSineBlock>(t, this);
    case 61603: return Make<CAndBlock>(t, this);
    case 61604: return Make<CExclusiveOrBlock>(t, this);
    case 61605: return Make<CInclusiveOrBlock>(t, this);
    case 61606: return Make<CQuitBlock>(t, this);
    case 61607: return Make<CRelayBlock>(t, this);
    case 61608: return Make<CZeroOrderHoldBlock>(t, this);
    case 61609: return Make<CGaussianBlock>(t, this);
    case 61610: return Make<CJitterBlock>(t, this);
    case 61611: return Make<CSineWaveBlock>(t, this);
    case 61612: return Make<CTimePulseBlock>(t, this);
    case 61613: return Make<CAbsoluteBlock>(t, this);
    case 61614: return Make<CBackLashBlock>(t, this);
    case 61615: return Make<CBangBlock>(t, this);
    case 61616: return Make<CDeadSpaceBlock>(t, this);
    case 61617: return Make<CFunctionGeneratorBlock>(t, this);
    case 61618: return Make<CIntegerBlock>(t, this);
    case 61619: return Make<CLimiterBlock>(t, this);
    case 61620: return Make<CModuloBlock>(t, this);
    case 61621: return Make<CNegativeClipBlock>(t, this);
    case 61623: return Make<COffsetBlock>(t, this);
    case 61624: return Make<CPositiveClipBlock>(t, this);
    case 61625: return Make<CConstantBlock>(t, this);
    case 61626: return Make<CPiBlock>(t, this);
    case 61628: return Make<COneShotBlock>(t, this);
    case 61630: return Make<CRandomBlock>(t, this);
    case 61631: return Make<CGainBlock>(t, this);
    default: return nullptr;
    }
    // clang-format on
}
