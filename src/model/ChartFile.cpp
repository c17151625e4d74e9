// The chart file: data version, model settings, title, block table, block records and the
// records of the document's windows, in one pass with no lengths or tags. The reader checks
// every count against the bytes that remain before it allocates anything for it.

#include "model/ChartFile.h"

#include "model/BlockTypes.h"
#include "model/ModelWindows.h"
#include "model/OrventDoc.h"
#include "model/Solver.h"
#include "platform/Archive.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"

#include <algorithm>
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

void StoreChart(COrventDoc& doc, CArchive& ar, bool withWindows = true) {
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
    if (withWindows)
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
    if (!IsChartFileViewClass(className)) Refuse(kInvalidDataInFile);
    if (!doc.OpenWindowsOnLoad) {
        // Only read past: the stray view below takes the record.
    } else if (className == kChartViewClass) {
        CView* first = doc.GetChartView();
        if (!chartRead && first && first->GetViewClassName() == kChartViewClass)
            target = first;
        else
            target = windows.OpenChartWindow(doc);
        chartRead = true;
    } else if (className == kListViewClass) {
        target = windows.OpenListWindow(doc);
    } else {
        target = windows.OpenGraphWindow(doc);
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

// The block table and the block records, appended to the document's (empty) list of blocks.
void LoadBlocks(COrventDoc& doc, CArchive& ar) {
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
    LoadBlocks(doc, ar);

    const std::int32_t views = ar.ReadInt32();
    ar.CheckCount(views, kMinViewRecordSize);
    bool chartRead = false;
    for (std::int32_t i = 0; i < views; ++i) {
        const std::string className = ar.ReadString();
        LoadView(doc, ar, className, chartRead);
    }
}

} // namespace

std::vector<std::uint8_t> COrventDoc::Snapshot() {
    CArchive ar;
    StoreChart(*this, ar);
    return ar.Bytes();
}

std::vector<std::uint8_t> COrventDoc::ModelSnapshot() {
    CArchive ar;
    StoreChart(*this, ar, false);
    return ar.Bytes();
}

// The image was written by this program a moment ago, so it is read without the file's checks'
// messages; views are matched to the image's window records in order, class by class.
void COrventDoc::RestoreSnapshot(const std::vector<std::uint8_t>& image) {
    // Nothing may keep pointing at the blocks that go: the views forget them, the run lists go.
    for (auto it = Blocks.rbegin(); it != Blocks.rend(); ++it)
        UpdateAllViews(nullptr, HINT_BLOCK_DELETING, static_cast<CBlock*>(it->get()));
    DropRunLists();
    Blocks.clear();
    // The image brings each block's history along.
    m_histories.Clear();

    const double fileVersion = FileVersion;
    std::unique_ptr<CBlock> pending = std::move(PendingBlock);
    CArchive ar(image);
    FileVersion = ar.ReadDouble();
    ModelSettings.Serialize(ar, FileVersion);
    ClampModelSettings();
    Title = ar.ReadString();
    CDocument::SetTitle(Title.empty() ? m_ownTitle : Title);
    LoadBlocks(*this, ar);

    std::vector<CView*> current;
    for (CView* v : Views())
        if (IsChartFileViewClass(v->GetViewClassName())) current.push_back(v);
    ModelWindowHost& windows = ModelWindows();
    // Closing a window can take other views with it (the panes of a split window).
    auto shown = [this](CView* v) { return std::find(Views().begin(), Views().end(), v) != Views().end(); };
    auto close = [&](CView* v) {
        if (shown(v)) windows.CloseWindow(*v);
    };
    std::vector<CView*> restored;
    std::size_t next = 0;
    const std::int32_t count = ar.ReadInt32();
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string className = ar.ReadString();
        std::size_t match = next;
        while (match < current.size() &&
               (!shown(current[match]) || current[match]->GetViewClassName() != className))
            ++match;
        CView* target = nullptr;
        std::unique_ptr<CView> stray;
        if (match < current.size()) {
            // Windows before the one that matches are not in the image.
            for (; next < match; ++next)
                close(current[next]);
            target = current[match];
            next = match + 1;
        } else if (className == kChartViewClass) {
            target = windows.OpenChartWindow(*this);
        } else if (className == kGraphViewClass) {
            target = windows.OpenGraphWindow(*this);
        } else {
            target = windows.OpenListWindow(*this);
        }
        if (!target || target->GetDocument() != this || target->GetViewClassName() != className) {
            // The record still has to be read past.
            stray = windows.CreateView(className);
            if (!stray) break;
            AddView(stray.get());
            target = stray.get();
        }
        target->Serialize(ar);
        if (!stray) {
            target->OnUpdate(nullptr, HINT_REDRAW, nullptr);
            restored.push_back(target);
        }
    }
    for (; next < current.size(); ++next)
        close(current[next]);
    // The windows are saved in the order of the image; views the host could not close (the
    // extra panes of a split window) follow them as they were.
    std::vector<CView*> others;
    for (CView* v : current)
        if (shown(v) && std::find(restored.begin(), restored.end(), v) == restored.end()) others.push_back(v);
    for (CView* v : restored)
        if (shown(v)) MoveViewToEnd(v);
    for (CView* v : others)
        MoveViewToEnd(v);
    FileVersion = fileVersion;
    PendingBlock = std::move(pending);
    UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
}

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
    return OpenFromBytes(std::move(bytes), path);
}

bool COrventDoc::OpenFromBytes(std::vector<std::uint8_t> bytes, const std::string& path) {
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
    History.Clear();
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
    History.MarkSaved();
    return true;
}
