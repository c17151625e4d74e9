// Chart files: the exact bytes of a new chart, round trips of every block type and every window
// record, older versions, and files the reader must refuse without harm.

#include "ChartFileFixture.h"

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
        EXPECT_EQ(b.HistoryValues(), a.HistoryValues());
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
