#include "model/Block.h"

#include "model/HistoryTable.h"
#include "model/ModelWindows.h"
#include "platform/Archive.h"
#include "platform/Expression.h"
#include "platform/Platform.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>

CBlock::CBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : TypeId(typeId), HelpId(commandId + 0x10000), ColorImage(imageId), MonoImage(imageId + 500),
      Document(document) {
    TypeName = kintra::LoadString(typeId);
    Name = TypeName;
}

CBlock::~CBlock() = default;

void CBlock::ClearHistory() {
    m_table = nullptr;
    m_ownHistory.clear();
    m_ownHistory.shrink_to_fit();
}

void CBlock::RecordValue() {
    if (m_table) SetHistory(HistoryValues());
    m_ownHistory.push_back(Value);
    if (m_recordHook) OnRecorded();
}

double CBlock::GetHistoryAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= HistorySize()) return 0.0;
    const auto i = static_cast<std::size_t>(index);
    return m_table ? m_table->At(i, m_column) : m_ownHistory[i];
}

std::size_t CBlock::HistorySize() const {
    return m_table ? m_table->Rows() : m_ownHistory.size();
}

std::vector<double> CBlock::HistoryValues() const {
    if (!m_table) return m_ownHistory;
    std::vector<double> values(m_table->Rows());
    m_table->CopyColumn(m_column, 0, values.size(), values.data());
    return values;
}

void CBlock::SetHistory(std::vector<double> values) {
    m_table = nullptr;
    m_ownHistory = std::move(values);
}

void CBlock::BindHistory(const CHistoryTable* table, std::size_t column) {
    m_ownHistory.clear();
    m_ownHistory.shrink_to_fit();
    m_table = table;
    m_column = column;
}

bool CBlock::ResolveInput(int x, int y, int index) {
    if (index < 0 || index > 2) return false;
    if (x == NoPosition.x && y == NoPosition.y) {
        Inputs[index] = nullptr;
        return true;
    }
    if (!Document) return false;
    CBlock* source = Document->FindBlockAt(x, y);
    if (!source) return false;
    Inputs[index] = source;
    return true;
}

void CBlock::SerializeCommon(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString(Name);
        ar.WriteString(LineLabel);
        ar.WriteUInt32(LineColor);
        ar.WriteString(Notes);
        ar.WriteInt32(Invert);
        ar.WriteInt32(AtFirst);
        for (int i = 0; i < 3; ++i) {
            CPoint p = Inputs[i] ? Inputs[i]->Position : NoPosition;
            ar.WriteInt32(p.x);
            ar.WriteInt32(p.y);
            ar.WriteDouble(Params[i]);
            for (std::int32_t v : RouteRecord[i].v)
                ar.WriteInt32(v);
        }
        const std::size_t n = HistorySize();
        ar.WriteInt32(static_cast<std::int32_t>(n));
        if (!m_table) {
            ar.WriteBytes(m_ownHistory.data(), n * sizeof(double));
            return;
        }
        // A column of the table goes out a piece at a time.
        std::array<double, 512> piece;
        for (std::size_t first = 0; first < n; first += piece.size()) {
            const std::size_t count = std::min(piece.size(), n - first);
            m_table->CopyColumn(m_column, first, count, piece.data());
            ar.WriteBytes(piece.data(), count * sizeof(double));
        }
        return;
    }
    Name = ar.ReadString();
    LineLabel = ar.ReadString();
    LineColor = ar.ReadUInt32();
    Notes = ar.ReadString();
    Invert = ar.ReadInt32();
    AtFirst = ar.ReadInt32();
    for (int i = 0; i < 3; ++i) {
        std::int32_t x = ar.ReadInt32();
        std::int32_t y = ar.ReadInt32();
        if (!ResolveInput(x, y, i)) {
            Platform().Messages().MessageBox("Unable to find a match for input " + std::to_string(i + 1) +
                                                 " of block '" + Name + "'.",
                                             "Load Error", MB_OK);
            Inputs[i] = nullptr;
        }
        Params[i] = ar.ReadDouble();
        for (std::int32_t& v : RouteRecord[i].v)
            v = ar.ReadInt32();
    }
    std::int32_t n = ar.ReadInt32();
    ar.CheckCount(n, sizeof(double));
    std::vector<double> values(static_cast<std::size_t>(n));
    ar.ReadBytes(values.data(), values.size() * sizeof(double));
    SetHistory(std::move(values));
}

CBlockEditorData CBlock::MakeEditorData() const {
    CBlockEditorData d;
    for (int i = 0; i < 3; ++i) {
        d.InputNames[i] = Inputs[i] ? Inputs[i]->Name : std::string();
        d.ParamTexts[i] = FormatRoundTrip(Params[i]);
        d.ShownParamTexts[i] = d.ParamTexts[i];
        d.InputLabels[i] = InputLabels[i];
        d.ParamLabels[i] = ParamLabels[i];
    }
    d.Name = Name;
    d.TypeName = TypeName;
    d.CurrentValue = FormatString("%.5g", Value);
    d.Invert = Invert;
    d.AtFirst = AtFirst;
    d.LineColor = LineColor;
    d.Notes = Notes;
    d.InputsShown = InputsShown;
    d.ParamsShown = ParamsShown;
    d.Kind = Kind;
    d.ShowValue = ShowValue;
    d.TypeId = TypeId;
    d.HelpId = HelpId;
    d.Block = const_cast<CBlock*>(this);
    return d;
}

void CBlock::ApplyEditorData(const CBlockEditorData& d) {
    Name = Utf8Left(d.Name, kMaxBlockNameLength);
    // A text the user left alone keeps the value to the bit (hidden rows included); a changed
    // one is a number or an expression (the editor refuses anything else, which would leave the
    // value as it was).
    for (int i = 0; i < 3; ++i)
        if (d.ParamTexts[i] != d.ShownParamTexts[i]) ReadNumberOrExpression(d.ParamTexts[i], Params[i]);
    // The editor can only disconnect an input, never connect one. A source without a name shows
    // an empty field too, so only the "X" counts.
    for (int i = 0; i < 3; ++i)
        if (d.InputCleared[i]) Inputs[i] = nullptr;
    LineColor = d.LineColor;
    Notes = d.Notes;
    AtFirst = d.AtFirst;
    const bool reroute = d.Invert != Invert;
    Invert = d.Invert;
    // The Clock names its companions after itself.
    if (TypeName == "Clock") Initialize();
    if (Document) Document->BlockEdited(*this, reroute);
}

void CBlock::EditProperties() {
    CBlockEditorData data = MakeEditorData();
    if (!ModelWindows().RunBlockEditor(data)) return;
    ApplyEditorData(data);
}
