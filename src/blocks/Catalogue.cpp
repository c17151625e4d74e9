#include "blocks/Catalogue.h"

namespace {
const CBlockTypeInfo kTypes[] = {
    {61586, "CDecayBlock", 32795, 167, "Time", 3},
    {61587, "CDelayBlock", 32794, 166, "Time", 2},
    {61588, "CIntegrateBlock", 32792, 165, "Time", 1},
    {61589, "CClockBlock", 32793, 175, "", 0},
    {61590, "CDivideBlock", 32797, 149, "Math", 2},
    {61591, "CMultiplyBlock", 32796, 144, "Math", 1},
    {61592, "CNegateBlock", 32802, 152, "Math", 6},
    {61593, "CPowerBlock", 32798, 150, "Math", 3},
    {61594, "CSquareRootBlock", 32799, 138, "Math", 4},
    {61595, "CSumBlock", 32801, 151, "Math", 5},
    {61596, "CArcTangentBlock", 32822, 170, "Transcendental", 3},
    {61597, "CCosineBlock", 32818, 169, "Transcendental", 2},
    {61598, "CDecibelBlock", 32824, 174, "Transcendental", 7},
    {61599, "CExponentBlock", 32823, 173, "Transcendental", 6},
    {61600, "CLog10Block", 32820, 172, "Transcendental", 5},
    {61601, "CLogEBlock", 32821, 171, "Transcendental", 4},
    {61602, "CSineBlock", 32819, 168, "Transcendental", 1},
    {61603, "CAndBlock", 32834, 180, "Logic", 1},
    {61604, "CExclusiveOrBlock", 32835, 181, "Logic", 2},
    {61605, "CInclusiveOrBlock", 32836, 182, "Logic", 3},
    {61606, "CQuitBlock", 32837, 183, "Logic", 4},
    {61607, "CRelayBlock", 32838, 184, "Logic", 5},
    {61608, "CZeroOrderHoldBlock", 32839, 185, "Logic", 6},
    {61609, "CGaussianBlock", 32840, 186, "Generators", 1},
    {61610, "CJitterBlock", 32841, 187, "Generators", 2},
    {61611, "CSineWaveBlock", 32842, 189, "Generators", 4},
    {61612, "CTimePulseBlock", 32843, 190, "Generators", 5},
    {61613, "CAbsoluteBlock", 32844, 191, "Non-Linear", 1},
    {61614, "CBackLashBlock", 32845, 192, "Non-Linear", 2},
    {61615, "CBangBlock", 32846, 193, "Non-Linear", 3},
    {61616, "CDeadSpaceBlock", 32847, 194, "Non-Linear", 4},
    {61617, "CFunctionGeneratorBlock", 32848, 195, "Non-Linear", 5},
    {61618, "CIntegerBlock", 32849, 196, "Non-Linear", 6},
    {61619, "CLimiterBlock", 32850, 197, "Non-Linear", 7},
    {61620, "CModuloBlock", 32851, 198, "Non-Linear", 8},
    {61621, "CNegativeClipBlock", 32852, 199, "Non-Linear", 9},
    {61623, "COffsetBlock", 32853, 200, "Non-Linear", 10},
    {61624, "CPositiveClipBlock", 32854, 201, "Non-Linear", 11},
    {61625, "CConstantBlock", 32855, 202, "Miscellaneous", 1},
    {61626, "CPiBlock", 32856, 203, "Miscellaneous", 2},
    {61628, "COneShotBlock", 32859, 209, "Generators", 6},
    {61630, "CRandomBlock", 32858, 188, "Generators", 3},
    {61631, "CGainBlock", 32800, 257, "Math", 7},
};
constexpr std::size_t kTypeCount = sizeof(kTypes) / sizeof(kTypes[0]);
} // namespace

const CBlockTypeInfo* BlockTypes(std::size_t& count) {
    count = kTypeCount;
    return kTypes;
}

const CBlockTypeInfo* FindBlockType(int typeId) {
    for (const auto& t : kTypes)
        if (t.TypeId == typeId) return &t;
    return nullptr;
}

const CBlockTypeInfo* FindBlockTypeByCommand(int commandId) {
    for (const auto& t : kTypes)
        if (t.CommandId == commandId) return &t;
    return nullptr;
}
