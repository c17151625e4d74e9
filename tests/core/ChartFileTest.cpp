// Chart files: the exact bytes of a new chart, round trips of every block type and every window
// record, older versions, and files the reader must refuse without harm.

#include "model/ChartFile.h"
#include "blocks/Catalogue.h"
#include "blocks/FunctionGenerator.h"
#include "blocks/GeneratorBlocks.h"
#include "blocks/NonLinearBlocks.h"
#include "blocks/TimeBlocks.h"
#include "chart/OrventView.h"
#include "model/ChartDocument.h"
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

Bytes Hex(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values)
        b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

void Append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

void AppendText(Bytes& to, const std::string& s) {
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
std::size_t Find(const Bytes& hay, const std::string& needle, std::size_t from = 0) {
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
            for (std::size_t j = 0; j < i % 7; ++j)
                b->History.push_back(0.25 * static_cast<double>(j) - 1.0);
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
            c->History = {0.0, 0.1, 0.2};

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

// ---- The new chart -------------------------------------------------------------------------

TEST_F(ChartFileTest, NewChartSavesByteForByteAsTheReferenceLayout) {
    auto doc = kintra::NewChartDocument();
    ASSERT_NE(doc, nullptr);
    const Bytes bytes = Save(*doc);

    Bytes expected = Hex({0, 0, 0, 0, 0, 0x80, 0x59, 0x40});                                // 102.0
    Append(expected, Hex({5, 0, 0, 0, 5, 0, 0, 0, 0xF4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})); // settings
    Append(expected, Hex({0, 0, 0, 0, 0, 0, 0x59, 0x40}));                                  // MaxSteps 100.0
    Append(expected, Hex({0}));                                                             // empty title
    Append(expected, Hex({1, 0, 0, 0, 0x95, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0}));                // N, table
    const CRouteRecord route = doc->Clock()->RouteRecord[0];
    auto common = [&](const std::string& name, const Bytes& color, const std::array<Bytes, 3>& params) {
        AppendText(expected, name);
        Append(expected, Hex({0}));
        Append(expected, color);
        Append(expected, Hex({0, 0, 0, 0, 0, 0, 0, 0, 0}));
        for (const Bytes& p : params) {
            Append(expected, Hex({0x9D, 0xFF, 0xFF, 0xFF, 0x9D, 0xFF, 0xFF, 0xFF}));
            Append(expected, p);
            for (std::int32_t v : route.v) {
                Bytes r(4);
                Put(r, 0, v);
                Append(expected, r);
            }
        }
        Append(expected, Hex({0, 0, 0, 0}));
    };
    const Bytes one = Hex({0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
    common("Clock", Hex({0, 0, 0xFF, 0}),
           {Hex({0x48, 0xAF, 0xBC, 0x9A, 0xF2, 0xD7, 0x7A, 0x3E}),
            Hex({0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}), one});
    ASSERT_EQ(expected.size(), 171u);
    common("ClockError", Hex({0, 0, 0, 0}), {one, one, one});
    common("ClockCount", Hex({0, 0, 0, 0}), {one, one, one});
    ASSERT_EQ(expected.size(), 421u);
    Append(expected, Hex({1, 0, 0, 0}));
    AppendText(expected, "COrventView");
    ASSERT_EQ(expected.size(), 437u);
    CArchive chartRecord;
    doc->GetChartView()->Serialize(chartRecord);
    Append(expected, chartRecord.Bytes());

    EXPECT_EQ(bytes, expected);
    // Every never-routed input is stored the same way, whatever the block.
    for (const auto& b : doc->Blocks)
        for (const CRouteRecord& r : b->RouteRecord)
            EXPECT_EQ(r, route);
}

TEST_F(ChartFileTest, SaveAndOpenClearTheModifiedFlagAndNameTheDocument) {
    auto doc = kintra::NewChartDocument();
    doc->SetModifiedFlag();
    ASSERT_TRUE(doc->OnSaveDocument(Path("one.cht")));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetPathName(), Path("one.cht"));
    EXPECT_EQ(doc->GetTitle(), "one.cht");

    auto reopened = kintra::OpenChartDocument(Path("one.cht"));
    ASSERT_NE(reopened, nullptr);
    EXPECT_FALSE(reopened->IsModified());
    EXPECT_EQ(reopened->GetTitle(), "one.cht");
    EXPECT_EQ(reopened->Blocks.size(), 3u);
    EXPECT_EQ(reopened->CompanionBlocks.size(), 2u);
    EXPECT_EQ(reopened->CompanionBlocks[0]->Position, (CPoint{-500, 0}));
    EXPECT_EQ(reopened->CompanionBlocks[1]->Position, (CPoint{0, 500}));
    EXPECT_EQ(Save(*reopened), Save(*doc));
    EXPECT_TRUE(messages.shown.empty());
}

// ---- Round trips ---------------------------------------------------------------------------

TEST_F(ChartFileTest, EveryBlockTypeAndEveryWindowSurvivesARoundTrip) {
    auto doc = RichChart();
    const Bytes first = Save(*doc);
    auto loaded = Open(first);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
    EXPECT_EQ(Save(*loaded), first);

    // Model.
    EXPECT_EQ(loaded->Title, "Everything");
    EXPECT_EQ(loaded->GetTitle(), "Everything");
    EXPECT_EQ(loaded->VertLines, 7);
    EXPECT_EQ(loaded->HorizLines, 3);
    EXPECT_EQ(loaded->MaxSort, 900);
    EXPECT_EQ(loaded->IntStyle, 1);
    EXPECT_EQ(loaded->PrintMode, 1);
    EXPECT_EQ(loaded->MaxSteps, 250.5);

    // Blocks, field by field. A file holds the companions inside the Clock's record, so an opened
    // chart lists them after the blocks of the table.
    ASSERT_EQ(loaded->Blocks.size(), doc->Blocks.size());
    EXPECT_EQ(loaded->Blocks[0]->TypeId, kClockTypeId);
    auto inFileOrder = [](const COrventDoc& d) {
        std::vector<const CBlock*> order;
        for (const auto& b : d.Blocks)
            if (b->Kind != BK_COMPANION) order.push_back(b.get());
        for (const CBlock* c : d.CompanionBlocks)
            order.push_back(c);
        return order;
    };
    const auto before = inFileOrder(*doc);
    const auto after = inFileOrder(*loaded);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[after.size() - 2], loaded->Blocks[loaded->Blocks.size() - 2].get());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const CBlock& a = *before[i];
        const CBlock& b = *after[i];
        SCOPED_TRACE(a.Name);
        EXPECT_EQ(typeid(a), typeid(b));
        EXPECT_EQ(b.TypeId, a.TypeId);
        EXPECT_EQ(b.Kind, a.Kind);
        EXPECT_EQ(b.Position, a.Position);
        EXPECT_EQ(b.Name, a.Name);
        EXPECT_EQ(b.LineLabel, a.LineLabel);
        EXPECT_EQ(b.Notes, a.Notes);
        EXPECT_EQ(b.LineColor, a.LineColor);
        EXPECT_EQ(b.Invert, a.Invert);
        EXPECT_EQ(b.AtFirst, a.AtFirst);
        EXPECT_EQ(b.Params, a.Params);
        EXPECT_EQ(b.RouteRecord, a.RouteRecord);
        EXPECT_EQ(b.History, a.History);
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(b.Inputs[k] == nullptr, a.Inputs[k] == nullptr);
            if (a.Inputs[k]) {
                EXPECT_EQ(b.Inputs[k]->Name, a.Inputs[k]->Name);
            }
        }
    }
    auto find = [&](int type) {
        for (const auto& b : loaded->Blocks)
            if (b->TypeId == type) return b.get();
        return static_cast<CBlock*>(nullptr);
    };
    EXPECT_EQ(dynamic_cast<CDelayBlock*>(find(BlockType::Delay))->InputHistory,
              (std::vector<double>{1.5, -2.5, 3.25}));
    EXPECT_EQ(dynamic_cast<CFunctionGeneratorBlock*>(find(BlockType::FunctionGenerator))->Ordinates,
              (std::vector<double>{0.0, 1.0, 4.0, 9.0}));
    EXPECT_EQ(dynamic_cast<CJitterBlock*>(find(BlockType::Jitter))->NextTime, 0.75);
    EXPECT_EQ(dynamic_cast<CSineWaveBlock*>(find(BlockType::SineWave))->Phase, 2.5);
    EXPECT_EQ(dynamic_cast<CTimePulseBlock*>(find(BlockType::TimePulse))->Started, 1);
    EXPECT_EQ(dynamic_cast<CTimePulseBlock*>(find(BlockType::TimePulse))->NextTime, 4.5);
    EXPECT_EQ(dynamic_cast<COneShotBlock*>(find(BlockType::OneShot))->Armed, 1);
    EXPECT_EQ(dynamic_cast<COneShotBlock*>(find(BlockType::OneShot))->Firing, 1);
    EXPECT_EQ(dynamic_cast<COneShotBlock*>(find(BlockType::OneShot))->PulseStart, 0.125);
    EXPECT_EQ(dynamic_cast<CBackLashBlock*>(find(BlockType::BackLash))->BacklashState, -0.5);

    // Windows, in their order, with their records.
    ASSERT_EQ(loaded->Views().size(), 3u);
    EXPECT_EQ(loaded->Views()[0]->GetViewClassName(), "COrventView");
    const auto* chart = static_cast<const COrventView*>(loaded->Views()[0]);
    EXPECT_EQ(chart->ChartTitle, "Chart one");
    EXPECT_EQ(chart->ChartNotes, "First chart");
    EXPECT_EQ(chart->LinesX, 20);
    const auto* graph = dynamic_cast<const CGraphBase*>(loaded->Views()[1]);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->LastTrace, 3);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(graph->Traces[i]->Name, "B" + std::to_string(i + 3));
    EXPECT_EQ(graph->Color[2], RGB(9, 8, 7));
    EXPECT_EQ(graph->Fixed[1], 1);
    EXPECT_EQ(graph->Width[3], 4);
    EXPECT_EQ(graph->Grids, 3);
    EXPECT_EQ(graph->Locn, (std::array<int, 4>{0, 1, 2, 1}));
    EXPECT_EQ(graph->LabelsFont.FaceName(), "DejaVu Sans");
    EXPECT_EQ(graph->LegendsFont.lfHeight, -20);
    EXPECT_EQ(graph->NotesColor, RGB(1, 2, 3));
    EXPECT_EQ(graph->DisplayNotes, 1);
    EXPECT_EQ(graph->GraphTitle, "Graph title");
    EXPECT_EQ(graph->GraphNotes, "Graph notes");
    const auto* list = dynamic_cast<const CListBase*>(loaded->Views()[2]);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Columns.size(), 5u);
    EXPECT_EQ(list->Columns[0], loaded->Clock());
    EXPECT_EQ(list->Columns[1]->Name, "B10");
    EXPECT_EQ(list->Columns[3], list->Columns[1]);
    EXPECT_EQ(list->Columns[4], loaded->CompanionBlocks[1]);
    EXPECT_EQ(list->Precision, 6);
    EXPECT_EQ(list->Extra, 2);
    EXPECT_EQ(list->FontColor, RGB(200, 0, 0));
    EXPECT_EQ(list->NotesDisplay, 1);
    EXPECT_EQ(list->ListTitle, "List title");
    EXPECT_EQ(list->ListNotes, "List notes\r\nsecond line");
}

TEST_F(ChartFileTest, LongNotesUseTheSixteenBitLengthAndComeBackUnchanged) {
    auto doc = kintra::NewChartDocument();
    std::string notes;
    for (int i = 0; i < 300; ++i)
        notes.push_back(static_cast<char>('a' + i % 26));
    doc->Clock()->Notes = notes;
    const Bytes bytes = Save(*doc);
    // Clock record: name (6 bytes), empty line label, colour, then the notes.
    EXPECT_EQ(bytes[51 + 6 + 1 + 4], 0xFF);
    EXPECT_EQ(Get<std::uint16_t>(bytes, 51 + 6 + 1 + 4 + 1), 300);
    auto loaded = Open(bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Clock()->Notes, notes);
}

TEST_F(ChartFileTest, ChartGraphChartReopensThreeWindowsInOrder) {
    auto doc = kintra::NewChartDocument();
    static_cast<COrventView*>(doc->GetChartView())->ChartTitle = "first";
    auto* graph = static_cast<CGraphBase*>(windows.OpenGraphWindow(*doc));
    graph->GraphTitle = "the graph";
    auto* second = static_cast<COrventView*>(windows.OpenChartWindow(*doc));
    second->ChartTitle = "second";
    const Bytes bytes = Save(*doc);

    // Open step by step to see which view each record went to.
    auto loaded = std::make_unique<COrventDoc>();
    CView* own = windows.OpenChartWindow(*loaded);
    CArchive ar{Bytes(bytes)};
    loaded->Serialize(ar);
    EXPECT_EQ(ar.Remaining(), 0u);
    ASSERT_EQ(loaded->Views().size(), 3u);
    EXPECT_EQ(loaded->Views()[0], own);
    EXPECT_EQ(static_cast<COrventView*>(loaded->Views()[0])->ChartTitle, "first");
    EXPECT_EQ(static_cast<CGraphBase*>(loaded->Views()[1])->GraphTitle, "the graph");
    EXPECT_EQ(static_cast<COrventView*>(loaded->Views()[2])->ChartTitle, "second");
    kintra::CloseChartDocument(std::move(loaded));
}

TEST_F(ChartFileTest, InputsResolveAgainstTheWholeTable) {
    auto doc = kintra::NewChartDocument();
    doc->PendingBlock = doc->CreateBlock(BlockType::Gain); // Gain
    CBlock* gain = doc->PendingBlock.get();
    doc->PlaceBlock(1, 0);
    doc->PendingBlock = doc->CreateBlock(BlockType::Constant); // Constant, later in the file
    CBlock* constant = doc->PendingBlock.get();
    doc->PlaceBlock(2, 0);
    doc->PendingBlock = doc->CreateBlock(BlockType::Constant); // a second block on the same cell
    CBlock* twin = doc->PendingBlock.get();
    doc->PlaceBlock(2, 0);
    twin->Name = "Twin";
    gain->Inputs[0] = constant;
    gain->Inputs[1] = doc->CompanionBlocks[1];
    auto loaded = Open(Save(*doc));
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(messages.shown.empty());
    // Opened: Clock, Gain, Constant, Twin, then the companions.
    ASSERT_NE(loaded->Blocks[1]->Inputs[0], nullptr);
    EXPECT_EQ(loaded->Blocks[1]->Inputs[0], loaded->Blocks[2].get()) << "the earlier of two blocks on a cell";
    EXPECT_EQ(loaded->Blocks[1]->Inputs[1], loaded->CompanionBlocks[1])
        << "companions come with the Clock's record";
}

// Reading a chart tells each view once that the block list grew, not once per block (every
// notice measures the whole chart again, which made opening quadratic).
TEST_F(ChartFileTest, OpeningTellsTheViewsOnceThatTheBlocksGrew) {
    auto doc = kintra::NewChartDocument();
    for (int i = 0; i < 300; ++i) {
        doc->PendingBlock = doc->CreateBlock(BlockType::Gain);
        doc->PendingBlock->Inputs[0] = doc->Blocks.back().get();
        doc->PlaceBlock(1 + i % 30, -(i / 30));
    }
    const std::string path = Path("many.cht");
    ASSERT_TRUE(doc->OnSaveDocument(path));

    struct NoticeCounter : CView {
        int grew = 0;
        void OnUpdate(CView*, long hint, UpdateObject) override { grew += hint == HINT_BLOCKS_GREW; }
    } counter;
    auto loaded = std::make_unique<COrventDoc>();
    ASSERT_NE(windows.OpenChartWindow(*loaded), nullptr);
    loaded->AddView(&counter);
    ASSERT_TRUE(loaded->OnOpenDocument(path));
    EXPECT_EQ(counter.grew, 1);
    for (int i = 1; i <= 300; ++i)
        ASSERT_EQ(loaded->Blocks[static_cast<std::size_t>(i)]->Name, "Gain")
            << "a file's names are kept, twins too";
    const auto* chart = static_cast<const COrventView*>(loaded->GetChartView());
    EXPECT_EQ(chart->MaxColumn, 30);
    EXPECT_EQ(chart->MinRow, -9);
    loaded->RemoveView(&counter);
    kintra::CloseChartDocument(std::move(loaded));
}

TEST_F(ChartFileTest, AnInputWithoutItsSourceIsReportedAndLoadingGoesOn) {
    auto doc = kintra::NewChartDocument();
    doc->PendingBlock = doc->CreateBlock(BlockType::Gain);
    CBlock* gain = doc->PendingBlock.get();
    doc->PlaceBlock(1, 0);
    gain->Name = "G";
    Bytes bytes = Save(*doc);
    // Input 2 of the Gain (after the Clock's three records) points at an empty cell.
    const std::size_t record = Find(bytes, std::string("\x01G", 2));
    ASSERT_NE(record, std::string::npos);
    const std::size_t input2 = record + 2 + 1 + 4 + 1 + 4 + 4 + 32;
    Put<std::int32_t>(bytes, input2, 7);
    Put<std::int32_t>(bytes, input2 + 4, -7);
    auto loaded = Open(bytes);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Unable to find a match for input 2 of block 'G'.");
    EXPECT_EQ(messages.shown[0].caption, "Load Error");
    EXPECT_EQ(loaded->Blocks[1]->Inputs[1], nullptr);
    EXPECT_EQ(loaded->Views().size(), 1u) << "the rest of the file was read";
}

// ---- Older versions ------------------------------------------------------------------------

TEST_F(ChartFileTest, OlderVersionsLackMaxStepsAndTheTitle) {
    auto doc = kintra::NewChartDocument();
    doc->Title = "Tank";
    doc->MaxSteps = 555.0;
    doc->VertLines = 9;
    const Bytes current = Save(*doc);
    store.WriteProfileString("Model", "MaxSteps", "2.500000e+002");

    // 101.0: no MaxSteps (bytes 28..35).
    Bytes v101(current.begin(), current.begin() + 28);
    v101.insert(v101.end(), current.begin() + 36, current.end());
    Put(v101, 0, 101.0);
    auto a = Open(v101);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FileVersion, 101.0);
    EXPECT_EQ(a->Title, "Tank");
    EXPECT_EQ(a->VertLines, 9);
    EXPECT_EQ(a->MaxSteps, 250.0) << "the user's stored default";
    EXPECT_EQ(a->Blocks.size(), 3u);
    EXPECT_EQ(a->Views().size(), 1u);

    // 100.0: no MaxSteps and no title either.
    Bytes v100(v101.begin(), v101.begin() + 28);
    v100.insert(v100.end(), v101.begin() + 28 + 5, v101.end());
    Put(v100, 0, 100.0);
    auto b = Open(v100);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Title, "");
    EXPECT_EQ(b->VertLines, 9);
    EXPECT_EQ(b->MaxSteps, 250.0);
    EXPECT_EQ(b->Blocks.size(), 3u);
    EXPECT_TRUE(messages.shown.empty());

    // Saved again, both are current files that equal the original but for the two fields.
    a->MaxSteps = 555.0;
    EXPECT_EQ(Save(*a), current);
}

// Model settings no dialog lets through (a damaged or hostile file) are brought into range
// before anything uses them; a re-route then searches the usual few tracks.
TEST_F(ChartFileTest, DamagedModelSettingsAreBroughtIntoRange) {
    auto doc = kintra::NewChartDocument();
    doc->PendingBlock = doc->CreateBlock(BlockType::Gain);
    CBlock* gain = doc->PendingBlock.get();
    doc->PlaceBlock(3, -2);
    gain->Inputs[0] = doc->Clock();
    doc->RouteInput(gain, 0);
    const Bytes good = Save(*doc);
    // VertLines, HorizLines, MaxSort, IntStyle, then MaxSteps.
    for (const auto& [vert, horiz, sort, style] :
         {std::array<std::int32_t, 4>{INT32_MAX, INT32_MIN, -1, 99},
          std::array<std::int32_t, 4>{0, INT32_MAX, INT32_MIN, -1}}) {
        Bytes bytes = good;
        for (std::size_t i = 0; i < 4; ++i)
            Put(bytes, 8 + 4 * i, std::array{vert, horiz, sort, style}[i]);
        Put(bytes, 28, std::numeric_limits<double>::quiet_NaN());
        auto loaded = Open(bytes);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->VertLines, vert > 0 ? 99 : 1);
        EXPECT_EQ(loaded->HorizLines, horiz > 0 ? 99 : 1);
        EXPECT_EQ(loaded->MaxSort, 0);
        EXPECT_EQ(loaded->IntStyle, 0) << "anything but the two buttons has always run the 4/5 pair";
        EXPECT_EQ(loaded->MaxSteps, 100.0) << "a NaN would switch the step guard off";
        loaded->RerouteBlock(loaded->Blocks[3].get());
    }
}

// ---- Files that must be refused ------------------------------------------------------------

TEST_F(ChartFileTest, ANewerVersionIsRefused) {
    auto doc = kintra::NewChartDocument();
    Bytes bytes = Save(*doc);
    Put(bytes, 0, 102.5);
    ExpectRefused(bytes, "Need updated version of Orvent to load this data file");
    Put(bytes, 0, std::nan(""));
    ExpectRefused(bytes, "Invalid data in File");
}

TEST_F(ChartFileTest, AnUnknownBlockTypeIsRefusedWhole) {
    auto doc = kintra::NewChartDocument();
    doc->PendingBlock = doc->CreateBlock(BlockType::Gain);
    doc->PlaceBlock(1, 0);
    Bytes bytes = Save(*doc);
    Put<std::uint16_t>(bytes, 51, 61622); // the second table entry: a code no type has
    ExpectRefused(bytes, "Invalid data in File");
    Put<std::uint16_t>(bytes, 51, BlockType::Gain);
    Put<std::uint16_t>(bytes, 41, BlockType::Gain); // a chart whose first block is not the Clock
    ExpectRefused(bytes, "Invalid data in File");
}

TEST_F(ChartFileTest, BlocksFarOffTheGridAreRefused) {
    auto doc = kintra::NewChartDocument();
    doc->PendingBlock = doc->CreateBlock(BlockType::Gain);
    doc->PlaceBlock(1, 0);
    Bytes bytes = Save(*doc);
    Put<std::int32_t>(bytes, 53, 100000); // the second block's column
    Put<std::int32_t>(bytes, 57, -100000);
    auto far = Open(bytes);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->Blocks[1]->Position, (CPoint{100000, -100000}));
    for (std::int32_t bad : {100001, -100001, std::numeric_limits<std::int32_t>::min()}) {
        Put<std::int32_t>(bytes, 53, bad);
        ExpectRefused(bytes, "Invalid data in File");
    }
    Put<std::int32_t>(bytes, 53, 1);
    Put<std::int32_t>(bytes, 43, std::numeric_limits<std::int32_t>::min()); // the Clock's column
    ExpectRefused(bytes, "Invalid data in File");
}

TEST_F(ChartFileTest, UnknownWindowsAndImpossibleTraceCountsAreRefused) {
    auto doc = RichChart();
    const Bytes good = Save(*doc);

    Bytes bytes = good;
    const std::size_t list = Find(bytes, "CListBase");
    ASSERT_NE(list, std::string::npos);
    bytes[list + 5] = 'X';
    ExpectRefused(bytes, "Invalid data in File");

    const std::size_t graph = Find(good, "CGraphBase");
    std::size_t lastTrace = graph + 10 + 4 * 32;
    for (int font = 0; font < 3; ++font)
        lastTrace += 28 + 1 + good[lastTrace + 28];
    lastTrace += 8;
    ASSERT_EQ(Get<std::int32_t>(good, lastTrace), 3);
    for (std::int32_t bad : {4, -1, 0x7FFFFFFF}) {
        bytes = good;
        Put(bytes, lastTrace, bad);
        ExpectRefused(bytes, "Invalid data in File");
    }
}

TEST_F(ChartFileTest, CountsBeyondTheFileAreRefusedWithoutAllocating) {
    auto doc = RichChart();
    const Bytes good = Save(*doc);
    auto refuseWith = [&](std::size_t offset, std::int32_t value) {
        SCOPED_TRACE("offset " + std::to_string(offset) + " value " + std::to_string(value));
        Bytes bytes = good;
        Put(bytes, offset, value);
        ExpectRefused(bytes, "Invalid data in File");
    };
    // Block count (after the title "Everything") and view count.
    ASSERT_EQ(Get<std::int32_t>(good, 47), static_cast<std::int32_t>(doc->Blocks.size() - 2));
    refuseWith(47, 0x7FFFFFFF);
    refuseWith(47, -1);
    const std::size_t viewCount = Find(good, "COrventView") - 5;
    refuseWith(viewCount, 0x7FFFFFFF);
    refuseWith(viewCount, -5);

    // History count of the block named B6 (it has six samples).
    const std::size_t b6 = Find(good, std::string("\x02"
                                                  "B6",
                                                  3));
    const std::size_t b6History = b6 + 3 + 2 + 4 + 1 + 4 + 4 + 96; // its line label is "q"
    ASSERT_EQ(Get<std::int32_t>(good, b6History), 6);
    refuseWith(b6History, 0x7FFFFFFF);
    refuseWith(b6History, 0x20000000);

    // Delay samples and Function Generator ordinates: the counts right after their histories.
    for (const char* name : {"Delay", "Function Generator"}) {
        std::size_t index = 0;
        for (std::size_t i = 0; i < doc->Blocks.size(); ++i)
            if (doc->Blocks[i]->TypeName == name) index = i;
        const std::string blockName = doc->Blocks[index]->Name;
        const std::size_t at = Find(good, static_cast<char>(blockName.size()) + blockName);
        const std::size_t count = at + 1 + blockName.size() + 1 + doc->Blocks[index]->LineLabel.size() + 4 +
                                  1 + doc->Blocks[index]->Notes.size() + 8 + 96 + 4 +
                                  8 * doc->Blocks[index]->History.size();
        ASSERT_EQ(Get<std::int32_t>(good, count), name[0] == 'D' ? 3 : 4) << name;
        refuseWith(count, 0x7FFFFFFF);
        refuseWith(count, -2);
    }

    // List columns.
    const std::size_t listTitle = Find(good, "List title");
    const std::size_t columns = listTitle + 10 + 1 + good[listTitle + 10];
    ASSERT_EQ(Get<std::int32_t>(good, columns), 5);
    refuseWith(columns, 0x7FFFFFFF);

    // A text length (the 32-bit form) past the end of the file.
    Bytes bytes = good;
    const std::size_t title = 36;
    bytes[title] = 0xFF;
    bytes.insert(bytes.begin() + title + 1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    ExpectRefused(bytes, "Invalid data in File");
}

TEST_F(ChartFileTest, EveryShortenedFileFailsToOpenWithAMessage) {
    auto doc = RichChart();
    const Bytes good = Save(*doc);
    const std::string path = Path("cut.cht");
    for (std::size_t n = 0; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        // Every length read from memory: the reader always stops with its error.
        {
            COrventDoc loaded;
            windows.OpenChartWindow(loaded);
            CArchive ar{cut};
            EXPECT_THROW(loaded.Serialize(ar), CArchiveException) << n;
            windows.CloseDocumentWindows(loaded);
        }
        if (n % 23 != 0) continue;
        // Some through the program's open: it fails with a message.
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(cut.data()), static_cast<std::streamsize>(cut.size()));
        }
        messages.shown.clear();
        auto opened = kintra::OpenChartDocument(path);
        ASSERT_EQ(opened, nullptr) << "a file cut at " << n << " bytes opened";
        ASSERT_FALSE(messages.shown.empty()) << n;
        const std::string& text = messages.shown.back().text;
        // Unresolvable inputs may be reported on the way; the last word is the failure.
        EXPECT_TRUE(text == "Invalid data in File" || text.find(path) != std::string::npos)
            << n << ": " << text;
    }
    EXPECT_EQ(windows.ViewCount(), 3u) << "only the rich chart's own windows remain";
}

TEST_F(ChartFileTest, AMissingFileIsNamedInTheMessage) {
    auto doc = kintra::OpenChartDocument(Path("absent.cht"));
    EXPECT_EQ(doc, nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(Path("absent.cht")), std::string::npos);
}

// ---- Saving --------------------------------------------------------------------------------

TEST_F(ChartFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
    auto doc = RichChart();
    const std::string path = Path("keep.cht");
    const Bytes old = Hex({1, 2, 3, 4, 5});
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, old.data(), old.size(), error));

    // Files may not grow beyond 100 bytes for a moment: the write of the chart fails.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    doc->SetModifiedFlag();
    const bool saved1 = doc->OnSaveDocument(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved1);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find(path), std::string::npos);
    Bytes now;
    ASSERT_TRUE(ReadWholeFile(path, now, error));
    EXPECT_EQ(now, old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file left";

    EXPECT_FALSE(doc->OnSaveDocument(Path("no/such/folder/x.cht")));
}

TEST_F(ChartFileTest, AWindowTheHostCannotOpenStillHasItsRecordRead) {
    auto doc = RichChart();
    const Bytes bytes = Save(*doc);
    // A host that opens chart windows only.
    class ChartsOnly : public HeadlessWindowHost {
      public:
        CView* OpenGraphWindow(COrventDoc&) override { return nullptr; }
        CView* OpenListWindow(COrventDoc&) override { return nullptr; }
    } chartsOnly;
    ScopedPlatform only(nullptr, nullptr, &chartsOnly);
    auto loaded = Open(bytes);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Views().size(), 1u);
    EXPECT_EQ(loaded->Blocks.size(), doc->Blocks.size());
    kintra::CloseChartDocument(std::move(loaded));

    // Nor a view to read the record into: the rest of the file cannot be read, so it is refused.
    class NoViews : public ChartsOnly {
      public:
        std::unique_ptr<CView> CreateView(const std::string&) override { return nullptr; }
    } noViews;
    ScopedPlatform none(nullptr, nullptr, &noViews);
    messages.shown.clear();
    EXPECT_EQ(Open(bytes), nullptr);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, "Invalid data in File");
    EXPECT_EQ(noViews.ViewCount(), 0u);
}

// ---- Deleted blocks and the Clock's companions ---------------------------------------------

TEST_F(ChartFileTest, NoWindowListOrInputKeepsABlockOnceItIsDeleted) {
    auto doc = RichChart(); // its list shows one block in two columns
    auto* graph = ViewsOf<CGraphBase>(*doc).front();
    auto* list = ViewsOf<CListBase>(*doc).front();
    graph->CandidateBlocks = {doc->Clock(), graph->Traces[1]};
    std::vector<CBlock*> doomed;
    for (const auto& b : doc->Blocks)
        if (b.get() != doc->Clock() && b->Kind != BK_COMPANION) doomed.push_back(b.get());
    // As a run left them.
    doc->IntegratingBlocks = doc->EvalOrder = doc->AtFirstBlocks = doc->SourceBlocks = doomed;

    // After every deletion, saving and exporting read nothing that is gone, and every reference
    // the document and its windows hold names a listed block.
    for (CBlock* block : doomed) {
        doc->DeleteBlock(block);
        EXPECT_FALSE(Save(*doc).empty());
        EXPECT_FALSE(list->PrintText().empty());
        std::vector<const CBlock*> refs(graph->Traces.begin(), graph->Traces.end());
        for (const auto* v : {&graph->CandidateBlocks, &list->Columns, &doc->IntegratingBlocks,
                              &doc->EvalOrder, &doc->AtFirstBlocks, &doc->SourceBlocks})
            refs.insert(refs.end(), v->begin(), v->end());
        for (const auto& b : doc->Blocks)
            refs.insert(refs.end(), b->Inputs.begin(), b->Inputs.end());
        for (const CBlock* r : refs)
            EXPECT_TRUE(!r || std::any_of(doc->Blocks.begin(), doc->Blocks.end(), [r](const auto& b) {
                return b.get() == r;
            })) << "a reference outlived a deleted block";
    }
    EXPECT_EQ(list->Columns, (std::vector<CBlock*>{doc->Clock(), doc->CompanionBlocks[1]}));
    EXPECT_EQ(graph->Traces[0], doc->Clock());
}

TEST_F(ChartFileTest, WindowsShowingTheClockCompanionsFindThemAfterTheClockMoved) {
    // Earlier versions of Kintra moved the Clock alone; such files name the companions by the
    // cells they had, while reopening creates them beside the Clock.
    for (const bool companionsFollow : {true, false}) {
        SCOPED_TRACE(companionsFollow ? "companions moved along" : "companions left behind");
        auto doc = kintra::NewChartDocument();
        auto* clock = static_cast<CClockBlock*>(doc->Clock());
        auto* graph = static_cast<CGraphBase*>(windows.OpenGraphWindow(*doc));
        graph->Traces = {clock, clock->ErrorCompanion, clock->CountCompanion, nullptr};
        graph->LastTrace = 2;
        auto* list = static_cast<CListBase*>(windows.OpenListWindow(*doc));
        list->Columns = {clock->CountCompanion, clock, clock->ErrorCompanion};
        if (companionsFollow)
            ASSERT_TRUE(doc->MoveBlock(clock, 3, -2));
        else
            clock->Position = {3, -2};

        auto reopened = Open(Save(*doc));
        ASSERT_NE(reopened, nullptr);
        auto* again = static_cast<CClockBlock*>(reopened->Clock());
        EXPECT_EQ(again->ErrorCompanion->Position, (CPoint{-497, -2}));
        EXPECT_EQ(again->CountCompanion->Position, (CPoint{3, 498}));
        EXPECT_EQ(ViewsOf<CGraphBase>(*reopened).front()->Traces,
                  (std::array<CBlock*, 4>{again, again->ErrorCompanion, again->CountCompanion, nullptr}));
        EXPECT_EQ(ViewsOf<CListBase>(*reopened).front()->Columns,
                  (std::vector<CBlock*>{again->CountCompanion, again, again->ErrorCompanion}));
        EXPECT_TRUE(messages.shown.empty());
        // Saved again, the references name the companions where they now stand.
        EXPECT_EQ(Save(*Open(Save(*reopened), "again.cht")), Save(*reopened));
    }
}
