// The chart file: data version, model settings, title, block table, block records and the
// records of the document's windows, in one pass with no lengths or tags. The reader checks
// every count against the bytes that remain before it allocates anything for it.

#include "model/ChartFile.h"

#include "model/BlockTypes.h"
#include "model/ModelWindows.h"
#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"

#include <cmath>
#include <memory>
#include <new>

namespace kintra {

bool IsChartFileViewClass(const std::string& className) {
    return className == kChartViewClass || className == kGraphViewClass || className == kListViewClass;
}

} // namespace kintra

using namespace kintra;

namespace {

[[noreturn]] void Refuse(const char* text) {
    Platform().Messages().MessageBox(text, kLoadErrorCaption, MB_OK);
    throw CChartLoadRefused(text);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void StoreChart(COrventDoc& doc, CArchive& ar) {
    ar.WriteDouble(kDataVersion);
    doc.ModelSettings.Serialize(ar, 0.0);
    ar.WriteString(doc.Title);

    std::int32_t count = 0;
    for (const auto& b : doc.Blocks)
        if (b->Kind != BK_COMPANION) ++count;
    ar.WriteInt32(count);
    for (const auto& b : doc.Blocks) {
        if (b->Kind == BK_COMPANION) continue;
        ar.WriteUInt16(static_cast<std::uint16_t>(b->TypeId));
        ar.WriteInt32(b->Position.x);
        ar.WriteInt32(b->Position.y);
    }
    for (const auto& b : doc.Blocks)
        if (b->Kind != BK_COMPANION) b->Serialize(ar);

    // Only the windows a reader can re-create are written (never the run window).
    std::vector<CView*> views;
    for (CView* v : doc.Views())
        if (IsChartFileViewClass(v->GetViewClassName())) views.push_back(v);
    ar.WriteInt32(static_cast<std::int32_t>(views.size()));
    for (CView* v : views) {
        ar.WriteString(v->GetViewClassName());
        v->Serialize(ar);
    }
}

// Reads one view record into the window it belongs to. A window the host could not open still
// has its record read, into a view that is thrown away, so the rest of the file stays readable.
void LoadView(COrventDoc& doc, CArchive& ar, const std::string& className, bool& chartRead) {
    ModelWindowHost& windows = ModelWindows();
    CView* target = nullptr;
    if (className == kChartViewClass) {
        CView* first = doc.GetChartView();
        if (!chartRead && first && first->GetViewClassName() == kChartViewClass)
            target = first;
        else
            target = windows.OpenChartWindow(doc);
        chartRead = true;
    } else if (className == kListViewClass) {
        target = windows.OpenListWindow(doc);
    } else if (className == kGraphViewClass) {
        target = windows.OpenGraphWindow(doc);
    } else {
        Refuse(kInvalidDataInFile);
    }

    std::unique_ptr<CView> stray;
    if (!target || target->GetDocument() != &doc || target->GetViewClassName() != className) {
        stray = windows.CreateView(className);
        // A host that supplies no views cannot read the record, nor what follows it.
        if (!stray) Refuse(kInvalidDataInFile);
        doc.AddView(stray.get());
        target = stray.get();
    }
    target->Serialize(ar);
    // The window shows its new settings (layout, scales) at its next repaint. A thrown-away view
    // leaves the document when `stray` goes.
    if (!stray) target->OnUpdate(nullptr, HINT_REDRAW, nullptr);
}

void LoadChart(COrventDoc& doc, CArchive& ar) {
    doc.FileVersion = ar.ReadDouble();
    if (std::isnan(doc.FileVersion)) Refuse(kInvalidDataInFile);
    if (doc.FileVersion > kDataVersion) Refuse(kNeedUpdatedVersion);

    doc.ModelSettings.Serialize(ar, doc.FileVersion);
    doc.ClampModelSettings();
    if (doc.FileVersion >= 101.0) {
        doc.Title = ar.ReadString();
        if (!doc.Title.empty()) doc.CDocument::SetTitle(doc.Title);
    }

    // Ends the loading state however reading ends; a refused file tells the views nothing.
    struct LoadingScope {
        COrventDoc& doc;
        explicit LoadingScope(COrventDoc& d) : doc(d) { doc.BeginLoading(); }
        ~LoadingScope() { doc.EndLoading(false); }
    } loading(doc);
    const std::int32_t count = ar.ReadInt32();
    ar.CheckCount(count, kBlockTableEntrySize + kMinBlockRecordSize);
    doc.Blocks.reserve(static_cast<std::size_t>(count) + 2);
    for (std::int32_t i = 0; i < count; ++i) {
        const int type = ar.ReadUInt16();
        doc.PendingBlock = doc.CreateBlock(type);
        if (!doc.PendingBlock) Refuse(BlockTypeTable().empty() ? kNoBlockTypes : kInvalidDataInFile);
        const std::int32_t x = ar.ReadInt32();
        const std::int32_t y = ar.ReadInt32();
        if (x < -kMaxGridCoordinate || x > kMaxGridCoordinate || y < -kMaxGridCoordinate ||
            y > kMaxGridCoordinate)
            Refuse(kInvalidDataInFile);
        doc.PendingBlock->Position = {x, y};
        doc.AddBlock();
    }
    // Every run and every view takes the first block as the chart's Clock.
    if (doc.Blocks.empty() || doc.Blocks.front()->TypeId != kClockTypeId) Refuse(kInvalidDataInFile);

    // The Clock appends its companions while its record is read; they carry no record of their own
    // here (the Clock reads theirs).
    for (std::size_t i = 0; i < doc.Blocks.size(); ++i) {
        CBlock* b = doc.Blocks[i].get();
        if (b->Kind != BK_COMPANION) b->Serialize(ar);
    }
    doc.PendingBlock.reset();
    doc.EndLoading(true);

    const std::int32_t views = ar.ReadInt32();
    ar.CheckCount(views, kMinViewRecordSize);
    bool chartRead = false;
    for (std::int32_t i = 0; i < views; ++i) {
        const std::string className = ar.ReadString();
        LoadView(doc, ar, className, chartRead);
    }
}

} // namespace

void COrventDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        StoreChart(*this, ar);
    else
        LoadChart(*this, ar);
}

bool COrventDoc::OnOpenDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, error)) {
        Platform().Messages().MessageBox("Unable to open the file '" + path + "': " + error + ".",
                                         kLoadErrorCaption, MB_OK, MB_ICONERROR);
        return false;
    }
    CArchive ar(std::move(bytes));
    ar.FileName = path;
    try {
        Serialize(ar);
    } catch (const CChartLoadRefused&) {
        PendingBlock.reset();
        return false;
    } catch (const CArchiveException& e) {
        PendingBlock.reset();
        if (e.GetCause() == CArchiveException::EndOfFile)
            Platform().Messages().MessageBox("Unable to load the file '" + path +
                                                 "': it ends before its data is complete.",
                                             kLoadErrorCaption, MB_OK, MB_ICONERROR);
        else
            Platform().Messages().MessageBox(kInvalidDataInFile, kLoadErrorCaption, MB_OK);
        return false;
    } catch (const std::bad_alloc&) {
        PendingBlock.reset();
        Platform().Messages().MessageBox("Unable to load the file '" + path + "': not enough memory.",
                                         kLoadErrorCaption, MB_OK, MB_ICONERROR);
        return false;
    }
    SetPathName(path);
    SetTitle(BaseName(path));
    SetModifiedFlag(false);
    return true;
}

bool COrventDoc::OnSaveDocument(const std::string& path) {
    CArchive ar;
    ar.FileName = path;
    Serialize(ar);
    std::string error;
    if (!WriteFileAtomically(path, ar.Bytes().data(), ar.Bytes().size(), error)) {
        Platform().Messages().MessageBox("Unable to save the file '" + path + "': " + error + ".",
                                         kSaveErrorCaption, MB_OK, MB_ICONERROR);
        return false;
    }
    SetPathName(path);
    SetTitle(BaseName(path));
    SetModifiedFlag(false);
    return true;
}
