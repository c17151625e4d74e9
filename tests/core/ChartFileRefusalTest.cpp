// Chart files that must be refused with a message, saves that fail, and deleted blocks and the Clock's
// companions in saved windows.

#include "ChartFileFixture.h"

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
                                  8 * doc->Blocks[index]->HistorySize();
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

    // A chart read only to be run opens no window at all, and its image without the windows
    // is that of the chart read in full.
    auto model = kintra::OpenChartModel(bytes, "chart.cht");
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->Views().empty());
    EXPECT_EQ(chartsOnly.ViewCount(), 0u);
    EXPECT_EQ(model->ModelSnapshot(), doc->ModelSnapshot());
    EXPECT_LT(model->ModelSnapshot().size(), bytes.size());

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
