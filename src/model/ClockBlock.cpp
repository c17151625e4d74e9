#include "model/ClockBlock.h"

#include "platform/Archive.h"

CClockBlock::CClockBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    Params = {1e-7, 0.1, 1.0};
}

void CClockBlock::CreateCompanions() {
    if (!Document || ErrorCompanion) return;
    auto error = std::make_unique<CDummyBlock>(ColorImage, Document, HelpId - 0x10000, TypeId, this);
    error->Name += "Error";
    auto count = std::make_unique<CDummyBlock>(ColorImage, Document, HelpId - 0x10000, TypeId, this);
    count->Name += "Count";
    ErrorCompanion = error.get();
    CountCompanion = count.get();
    PlaceCompanions();
    Document->AdoptCompanion(std::move(error));
    Document->AdoptCompanion(std::move(count));
}

void CClockBlock::PlaceCompanions() {
    if (ErrorCompanion) ErrorCompanion->Position = ErrorCell(Position);
    if (CountCompanion) CountCompanion->Position = CountCell(Position);
}

CDummyBlock* CClockBlock::CompanionLeftAt(CPoint cell) const {
    if (cell == NoPosition) return nullptr;
    if (cell.x >= -500 && cell.x < 0 && cell.y <= 0) return ErrorCompanion;
    if (cell.y > 0 && cell.y <= 500 && cell.x >= 0) return CountCompanion;
    return nullptr;
}

void CClockBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsLoading()) CreateCompanions();
    if (ErrorCompanion) ErrorCompanion->Serialize(ar);
    if (CountCompanion) CountCompanion->Serialize(ar);
}

int CClockBlock::Initialize() {
    if (ErrorCompanion) {
        ErrorCompanion->Name = Name + "Error";
        ErrorCompanion->Value = 0.0;
    }
    if (CountCompanion) {
        CountCompanion->Name = Name + "Count";
        CountCompanion->Value = 0.0;
    }
    return 1;
}

void CClockBlock::Compute() {
    Value = Document ? Document->CurrentTime : 0.0;
}

CDummyBlock::CDummyBlock(int imageId, CBlockHost* document, int commandId, int typeId, CClockBlock* clock)
    : CBlock(imageId, document, commandId, typeId), Clock(clock) {
    InputsShown = 0;
    ParamsShown = 0;
    RequiredInputs = 0;
    Kind = BK_COMPANION;
    TypeName = "Dummy";
}

void CDummyBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
}
