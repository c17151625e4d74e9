#pragma once
// The chart file tests' helpers and fixture: a temporary folder, quiet services, and a chart
// holding every block type and every kind of window.

#include "blocks/Catalogue.h"
#include "blocks/FunctionGenerator.h"
#include "blocks/GeneratorBlocks.h"
#include "blocks/NonLinearBlocks.h"
#include "blocks/TimeBlocks.h"
#include "chart/OrventView.h"
#include "model/ChartDocument.h"
#include "model/ChartFile.h"
#include "model/ClockBlock.h"
#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "views/GraphView.h"
#include "views/HeadlessWindows.h"
#include "views/ListView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/resource.h>
#include <typeinfo>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

inline Bytes Hex(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values)
        b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

inline void Append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

inline void AppendText(Bytes& to, const std::string& s) {
    to.push_back(static_cast<std::uint8_t>(s.size()));
    to.insert(to.end(), s.begin(), s.end());
}

template <typename T> void Put(Bytes& b, std::size_t offset, T value) {
    std::memcpy(b.data() + offset, &value, sizeof value);
}

template <typename T> T Get(const Bytes& b, std::size_t offset) {
    T value;
    std::memcpy(&value, b.data() + offset, sizeof value);
    return value;
}

// Offset of the first occurrence of `needle` at or after `from`.
inline std::size_t Find(const Bytes& hay, const std::string& needle, std::size_t from = 0) {
    auto it =
        std::search(hay.begin() + static_cast<std::ptrdiff_t>(from), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? std::string::npos : static_cast<std::size_t>(it - hay.begin());
}

// Every view of the document, by class.
template <typename View> std::vector<View*> ViewsOf(const COrventDoc& doc) {
    std::vector<View*> out;
    for (CView* v : doc.Views())
        if (auto* t = dynamic_cast<View*>(v)) out.push_back(t);
    return out;
}

} // namespace

class ChartFileTest : public ::testing::Test {
  protected:
    ChartFileTest() : scope(&store, &messages, &windows) {
        char tmpl[] = "/tmp/kintra-chartfile-XXXXXX";
        dir = ::mkdtemp(tmpl);
    }
    ~ChartFileTest() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    static Bytes Save(COrventDoc& doc) {
        CArchive ar;
        doc.Serialize(ar);
        return ar.TakeBytes();
    }

    // Opens the bytes as a file, through the program's open.
    std::unique_ptr<COrventDoc> Open(const Bytes& bytes, const std::string& name = "chart.cht") {
        const std::string path = Path(name);
        std::string error;
        EXPECT_TRUE(WriteFileAtomically(path, bytes.data(), bytes.size(), error)) << error;
        return kintra::OpenChartDocument(path);
    }

    // Opening must fail with exactly this message.
    void ExpectRefused(const Bytes& bytes, const std::string& text) {
        messages.shown.clear();
        const std::size_t viewsBefore = windows.ViewCount();
        auto doc = Open(bytes);
        EXPECT_EQ(doc, nullptr);
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().text, text);
        EXPECT_EQ(messages.shown.back().caption, "Load Error");
        EXPECT_EQ(windows.ViewCount(), viewsBefore) << "the windows of a failed open stay open";
        // Read only to be run, it is refused the same way.
        messages.shown.clear();
        EXPECT_EQ(kintra::OpenChartModel(bytes, "chart.cht"), nullptr);
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().text, text);
        EXPECT_EQ(windows.ViewCount(), viewsBefore);
    }

    // A chart holding one block of every type (with its own data set), inputs linked backwards
    // and forwards, histories, notes and routes, plus a graph and a list window.
    std::unique_ptr<COrventDoc> RichChart() {
        auto doc = kintra::NewChartDocument();
        std::size_t count = 0;
        const CBlockTypeInfo* types = BlockTypes(count);
        int column = 1;
        std::vector<CBlock*> placed;
        for (std::size_t i = 0; i < count; ++i) {
            if (types[i].TypeId == kClockTypeId) continue;
            doc->PendingBlock = doc->CreateBlock(types[i].TypeId);
            EXPECT_NE(doc->PendingBlock, nullptr) << types[i].TypeId;
            placed.push_back(doc->PendingBlock.get());
            doc->PlaceBlock(column % 9, -(column / 9));
            ++column;
        }
        for (std::size_t i = 0; i < placed.size(); ++i) {
            CBlock* b = placed[i];
            b->Name = FormatString("B%zu", i);
            b->LineLabel = std::string(i % 3 == 0 ? "q" : "");
            b->Notes = i % 4 == 0 ? std::string("notes of ") + b->Name : "";
            b->Invert = static_cast<int>(i % 2);
            b->LineColor = RGB(static_cast<int>(i), 2 * static_cast<int>(i), 3);
            b->Params = {0.5 + static_cast<double>(i), -1e-300, 1e300};
            b->Inputs[0] = i > 0 ? placed[i - 1] : doc->Clock();
            b->Inputs[1] = i + 5 < placed.size() ? placed[i + 5] : nullptr; // a block later in the file
            b->Inputs[2] = doc->CompanionBlocks[i % 2];
            for (int k = 0; k < 3; ++k)
                b->RouteRecord[static_cast<std::size_t>(k)].v = {static_cast<int>(i), -96, -97 - k, 12345};
            std::vector<double> history;
            for (std::size_t j = 0; j < i % 7; ++j)
                history.push_back(0.25 * static_cast<double>(j) - 1.0);
            b->SetHistory(history);
            if (auto* d = dynamic_cast<CDelayBlock*>(b)) d->InputHistory = {1.5, -2.5, 3.25};
            if (auto* f = dynamic_cast<CFunctionGeneratorBlock*>(b)) f->SetOrdinates({0.0, 1.0, 4.0, 9.0});
            if (auto* j = dynamic_cast<CJitterBlock*>(b)) j->NextTime = 0.75;
            if (auto* s = dynamic_cast<CSineWaveBlock*>(b)) s->Phase = 2.5;
            if (auto* t = dynamic_cast<CTimePulseBlock*>(b)) {
                t->Started = 1;
                t->NextTime = 4.5;
            }
            if (auto* o = dynamic_cast<COneShotBlock*>(b)) {
                o->Armed = 1;
                o->Firing = 1;
                o->PulseStart = 0.125;
            }
            if (auto* l = dynamic_cast<CBackLashBlock*>(b)) l->BacklashState = -0.5;
        }
        doc->Title = "Everything";
        doc->VertLines = 7;
        doc->HorizLines = 3;
        doc->MaxSort = 900;
        doc->IntStyle = 1;
        doc->PrintMode = 1;
        doc->MaxSteps = 250.5;
        for (CBlock* c : {doc->Clock(), static_cast<CBlock*>(doc->CompanionBlocks[0]),
                          static_cast<CBlock*>(doc->CompanionBlocks[1])})
            c->SetHistory({0.0, 0.1, 0.2});

        auto* chart = static_cast<COrventView*>(doc->GetChartView());
        chart->ChartTitle = "Chart one";
        chart->ChartNotes = "First chart";
        chart->LinesX = 20;

        auto* graph = static_cast<CGraphBase*>(windows.OpenGraphWindow(*doc));
        graph->Traces = {placed[3], placed[4], placed[5], placed[6]};
        graph->LastTrace = 3;
        graph->Color[2] = RGB(9, 8, 7);
        graph->Fixed[1] = 1;
        graph->Low[1] = -2.0;
        graph->High[1] = 3.0;
        graph->Width[3] = 4;
        graph->Grids = 3;
        graph->Locn = {0, 1, 2, 1};
        graph->LabelsFont.SetFaceName("DejaVu Sans");
        graph->LegendsFont.lfHeight = -20;
        graph->NotesColor = RGB(1, 2, 3);
        graph->DisplayNotes = 1;
        graph->GraphTitle = "Graph title";
        graph->GraphNotes = "Graph notes";

        auto* list = static_cast<CListBase*>(windows.OpenListWindow(*doc));
        list->Columns = {doc->Clock(), placed[10], placed[2], placed[10], doc->CompanionBlocks[1]};
        list->Precision = 6;
        list->Extra = 2;
        list->FontColor = RGB(200, 0, 0);
        list->NotesDisplay = 1;
        list->ListTitle = "List title";
        list->ListNotes = "List notes\r\nsecond line";
        // The graph takes its ranges from the histories on every update, as after a run.
        doc->UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
        return doc;
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    HeadlessWindowHost windows;
    ScopedPlatform scope;
    std::string dir;
};
