// The program's start-up, windows, commands and arrangement, on the offscreen platform.

#include "ShellTestHelpers.h"

namespace {

// ---- Start-up ---------------------------------------------------------------------------------

TEST_F(ShellTest, StartsWithOneNewChartTitledChart1) {
    COrventApp& app = Start();
    ASSERT_EQ(app.Documents().size(), 1u);
    COrventDoc* doc = app.Documents().front().get();
    EXPECT_EQ(doc->GetTitle(), "Chart1");
    EXPECT_EQ(doc->Blocks.size(), 3u); // the Clock and its companions
    const auto frames = FramesOf(Frame(), doc);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0]->Kind(), ViewKind::Chart);
    EXPECT_EQ(frames[0]->windowTitle(), QStringLiteral("Chart1"));
    EXPECT_EQ(doc->GetChartView(), frames[0]->FirstView());
    EXPECT_TRUE(Frame().IsDocumentMenu());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Kintra, The Analog Simulator - Chart1"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ShellTest, WindowTitlesAreThePrograms) {
    // A display name of its own (one that does not follow the application name) is what the
    // platform appends to every window title.
    const QString name = QCoreApplication::applicationName();
    COrventApp::SetApplicationIdentity();
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Kintra"));
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QCoreApplication::setApplicationName(name);

    // A maximised window's caption joins the frame's title in brackets, once.
    Start();
    CChildFrame* chart = Frame().ActiveChildFrame();
    chart->showMaximized();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Kintra, The Analog Simulator - [Chart1]"));
    chart->showNormal();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Kintra, The Analog Simulator - Chart1"));
}

TEST_F(ShellTest, StartsWithTheFileNamedOnTheCommandLineAndNoEmptyChart) {
    const QString path = FilePath("tank.cht");
    {
        COrventApp& app = Start();
        COrventDoc* doc = app.Documents().front().get();
        doc->Clock()->Params[2] = 7.5;
        ASSERT_TRUE(doc->OnSaveDocument(path.toStdString()));
        Stop();
    }
    COrventApp& app = Start({path});
    ASSERT_EQ(app.Documents().size(), 1u);
    COrventDoc* doc = app.Documents().front().get();
    EXPECT_EQ(doc->GetPathName(), path.toStdString());
    EXPECT_EQ(doc->Clock()->Params[2], 7.5);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(FramesOf(Frame(), doc).size(), 1u);
    EXPECT_EQ(app.RecentFiles().value(0), path);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ShellTest, AFileThatCannotBeReadChangesNothing) {
    COrventApp& app = Start();
    const QString bad = FilePath("bad.cht");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a chart at all");
    f.close();
    EXPECT_EQ(app.OpenDocument(bad), nullptr);
    EXPECT_EQ(app.OpenDocument(FilePath("missing.cht")), nullptr);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(app.Documents().size(), 1u);
    EXPECT_EQ(Frame().ChildFrames().size(), 1u);
    EXPECT_TRUE(app.RecentFiles().isEmpty());
}

TEST_F(ShellTest, OpeningAnOpenFileShowsItAgain) {
    const QString path = FilePath("twice.cht");
    COrventApp& app = Start();
    ASSERT_TRUE(app.Documents().front()->OnSaveDocument(path.toStdString()));
    COrventDoc* first = app.Documents().front().get();
    EXPECT_EQ(app.OpenDocument(path), first);
    EXPECT_EQ(app.Documents().size(), 1u);
}

TEST_F(ShellTest, DroppedChartsOpenAsFurtherDocuments) {
    const QString path = FilePath("dropped.cht");
    COrventApp& app = Start();
    ASSERT_TRUE(app.Documents().front()->OnSaveDocument(path.toStdString()));
    app.NewDocument();
    ASSERT_TRUE(app.CloseDocument(*app.Documents().front()));
    ASSERT_EQ(app.Documents().size(), 1u);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(FilePath("notes.txt"))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &drop);
    ASSERT_EQ(app.Documents().size(), 2u);
    EXPECT_EQ(app.Documents().back()->GetPathName(), path.toStdString());
    EXPECT_TRUE(messages.shown.empty()); // what is not a chart is left alone
    EXPECT_EQ(app.RecentFiles().value(0), path);
}

TEST(NativePath, EveryByteStringComesBackAndUtf8ReadsAsUtf8) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes)
            c = static_cast<char>(round % 2 ? random() % 256 : 0x7f + random() % 0x50);
        const QString held = PathFromNative(bytes);
        ASSERT_EQ(PathToNative(held), bytes) << round;
        ASSERT_EQ(RecentEntryPath(RecentEntryText(held)), held) << round;
        if (QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString() == bytes) {
            ASSERT_EQ(held, QString::fromStdString(bytes)) << round;
            ASSERT_EQ(RecentEntryText(held), bytes) << "stored as before";
        }
    }
    const QString raw = PathFromNative("/d\xe9j\xe0/caf\xe9.cht");
    EXPECT_EQ(DisplayPath(raw), QStringLiteral("/d\ufffdj\ufffd/caf\ufffd.cht"));
    EXPECT_EQ(ChosenPath(DisplayPath(raw), raw), raw);
    EXPECT_EQ(ChosenPath(QStringLiteral("/d\ufffdj\ufffd/other.cht"), raw),
              PathFromNative("/d\xe9j\xe0/other.cht"));
    EXPECT_EQ(ChosenPath(QStringLiteral("/tmp/x.cht"), raw), QStringLiteral("/tmp/x.cht"));
}

TEST_F(ShellTest, FileNamesThatAreNotUtf8OpenSaveDropAndStayRecent) {
    const std::string raw = FilePath("").toStdString() + "caf\xe9.cht";
    const QString path = PathFromNative(raw);
    {
        COrventApp& app = Start();
        ASSERT_TRUE(app.Documents().front()->OnSaveDocument(raw));
        Stop();
    }
    {
        COrventApp& app = Start({path}); // as main() passes the command line
        ASSERT_EQ(app.Documents().size(), 1u);
        COrventDoc* doc = app.Documents().front().get();
        EXPECT_EQ(doc->GetPathName(), raw);
        EXPECT_EQ(app.OpenDocument(path), doc) << "known as open";
        doc->Clock()->Params[2] = 4.0;
        doc->SetModifiedFlag();
        ASSERT_TRUE(app.SaveDocument(*doc, false));
        EXPECT_EQ(app.RecentFiles().value(0), path);
        Stop();
    }
    COrventApp& app = Start();
    EXPECT_EQ(app.RecentFiles().value(0), path) << "through the settings file";
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(raw).toPercentEncoding("/"))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Frame(), &drop);
    ASSERT_EQ(app.Documents().size(), 2u);
    EXPECT_EQ(app.Documents().back()->GetPathName(), raw);
    EXPECT_EQ(app.Documents().back()->Clock()->Params[2], 4.0);
    EXPECT_TRUE(messages.shown.empty());
}

// ---- Windows ----------------------------------------------------------------------------------

TEST_F(ShellTest, ChartGraphAndListCommandsOpenWindowsOnTheActiveChart) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    Frame().OnCommand(ID_OPEN_GRAPH);
    Frame().OnCommand(ID_OPEN_LIST);
    Frame().OnCommand(ID_OPEN_CHART);
    const auto frames = FramesOf(Frame(), doc);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_NE(dynamic_cast<CGraphBase*>(frames[1]->FirstView()), nullptr);
    EXPECT_NE(dynamic_cast<CListBase*>(frames[2]->FirstView()), nullptr);
    EXPECT_NE(dynamic_cast<COrventView*>(frames[3]->FirstView()), nullptr);
    EXPECT_TRUE(doc->IsModified()); // the open windows belong to the file
    EXPECT_EQ(frames[0]->windowTitle(), QStringLiteral("Chart1:1"));
    EXPECT_EQ(frames[3]->windowTitle(), QStringLiteral("Chart1:4"));
    // A window the chart file records comes back when the chart is read again.
    const QString path = FilePath("windows.cht");
    ASSERT_TRUE(doc->OnSaveDocument(path.toStdString()));
    Stop();
    COrventApp& again = Start({path});
    EXPECT_EQ(FramesOf(Frame(), again.Documents().front().get()).size(), 4u);
}

// New windows open wholly inside the main window; a saved chart reopens its windows where they
// were when it was saved.
TEST_F(ShellTest, WindowsOpenInsideTheFrameAndReopenWhereTheyWereSaved) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    for (int i = 0; i < 9; ++i)
        Frame().OnCommand(i % 2 ? ID_OPEN_GRAPH : ID_OPEN_LIST);
    const QRect area = Frame().MdiArea()->viewport()->rect();
    for (CChildFrame* f : FramesOf(Frame(), doc))
        EXPECT_TRUE(area.contains(f->geometry())) << f->windowTitle().toStdString();
    const QString path = FilePath("placed.cht");
    ASSERT_TRUE(doc->OnSaveDocument(path.toStdString()));
    std::vector<QRect> placed;
    int n = 0;
    for (CChildFrame* f : FramesOf(Frame(), doc)) {
        f->setGeometry(10 + 7 * n, 5 + 3 * n, 200 + n, 150 + 2 * n);
        placed.push_back(f->geometry());
        ++n;
    }
    ASSERT_TRUE(app.SaveDocument(*doc, false));
    Stop();
    COrventApp& again = Start({path});
    const auto frames = FramesOf(Frame(), again.Documents().front().get());
    ASSERT_EQ(frames.size(), placed.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i]->geometry(), placed[i]) << i;
}

TEST(FrameLayout, ChildPlacementsReadBackAndOddTextIsRefused) {
    const std::vector<ChildPlacement> windows = {{{0, 0, 300, 200}, 0}, {{-5, 40, 10, 10}, 1}};
    std::vector<ChildPlacement> read;
    ASSERT_TRUE(ParseChildPlacements(FormatChildPlacements(windows), read));
    EXPECT_EQ(read, windows);
    for (const char* bad :
         {"", "1,2,3,4", "1,2,3,4,0;", "1,2,0,4,0", "1,2,3,4,5", "1,2,3,4,0x", "a,b,c,d,e"}) {
        read = windows;
        EXPECT_FALSE(ParseChildPlacements(bad, read)) << bad;
        EXPECT_TRUE(read.empty()) << bad;
    }
    EXPECT_EQ(PlacementKey("/home/a.cht"), PlacementKey("/home/a.cht"));
    EXPECT_NE(PlacementKey("/home/a.cht"), PlacementKey("/home/b.cht"));
    // Moved in, and shrunk where larger than the area.
    EXPECT_EQ(FitInside({500, -20, 200, 100}, 640, 480), (WindowRect{440, 0, 200, 100}));
    EXPECT_EQ(FitInside({-30, 400, 900, 100}, 640, 480), (WindowRect{0, 380, 640, 100}));
    EXPECT_EQ(FitInside({20, 30, 100, 100}, 640, 480), (WindowRect{20, 30, 100, 100}));
}

TEST_F(ShellTest, WindowCommandsWithoutAChartSayCommandFailed) {
    COrventApp& app = Start();
    ASSERT_TRUE(app.CloseDocument(*app.Documents().front()));
    EXPECT_TRUE(app.Documents().empty());
    EXPECT_FALSE(Frame().IsDocumentMenu());
    for (int id : {ID_OPEN_CHART, ID_OPEN_GRAPH, ID_OPEN_LIST}) {
        messages.shown.clear();
        Frame().OnCommand(id);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Command failed.");
    }
    EXPECT_TRUE(Frame().ChildFrames().empty());
}

TEST_F(ShellTest, ClosingAModifiedChartAsksFirst) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    doc->SetModifiedFlag();
    messages.answers = {IDCANCEL};
    EXPECT_FALSE(app.CloseDocument(*doc));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Save changes to Chart1?");
    EXPECT_EQ(messages.shown[0].buttons, MB_YESNOCANCEL);
    EXPECT_EQ(app.Documents().size(), 1u);
    // The window's own close asks the same.
    messages.answers = {IDCANCEL};
    FramesOf(Frame(), doc).front()->close();
    EXPECT_EQ(app.Documents().size(), 1u);
    messages.answers = {IDNO};
    EXPECT_TRUE(app.CloseDocument(*doc));
    EXPECT_TRUE(app.Documents().empty());
}

TEST_F(ShellTest, SplitPanesTakeTheFirstPanesSettingsAndGoAgain) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    CChildFrame* frame = FramesOf(Frame(), doc).front();
    auto* first = static_cast<COrventView*>(frame->FirstView());
    // As the viewing properties would change them.
    *first->Settings.FindValue<int>(IDC_LINES_X) = 31;
    *first->Settings.FindValue<double>(IDC_MAG_BMP) = 2.5;
    frame->resize(600, 400);
    Frame().OnCommand(ID_WINDOW_SPLIT);
    ASSERT_EQ(frame->Panes().size(), 4u);
    EXPECT_EQ(doc->Views().size(), 4u);
    EXPECT_EQ(doc->GetChartView(), first);
    for (CViewHost* pane : frame->Panes()) {
        auto* view = dynamic_cast<COrventView*>(pane->View());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(*view->Settings.FindValue<int>(IDC_LINES_X), 31);
        EXPECT_EQ(*view->Settings.FindValue<double>(IDC_MAG_BMP), 2.5);
    }
    frame->Splitter()->RemoveColumn(1);
    EXPECT_EQ(frame->Panes().size(), 2u);
    Frame().OnCommand(ID_WINDOW_SPLIT);
    EXPECT_EQ(frame->Panes().size(), 1u);
    EXPECT_EQ(doc->Views().size(), 1u);
    // A graph window has one pane.
    Frame().OnCommand(ID_OPEN_GRAPH);
    EXPECT_EQ(Frame().ActiveChildFrame()->Splitter(), nullptr);
}

// ---- The run ----------------------------------------------------------------------------------

TEST_F(ShellTest, RunCommandFillsTheHistoriesAndClosesTheRunWindow) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    doc->Clock()->Params = {0.01, 0.1, 1.0};
    // Another chart is open; the run starts from the first one's window.
    COrventDoc* other = app.NewDocument();
    Frame().OnCommand(ID_OPEN_GRAPH);
    Frame().MdiArea()->setActiveSubWindow(FramesOf(Frame(), doc).front());
    QString caption;
    QRect geometry;
    Frame().OnRunWindowPainted = [&](CRunChild& child) {
        caption = child.windowTitle();
        geometry = child.geometry();
        EXPECT_TRUE(Frame().Action(ID_RUN)->isChecked());
    };
    Frame().OnCommand(ID_RUN);
    EXPECT_EQ(doc->LastRunOutcome, RunOutcome::Completed);
    EXPECT_EQ(doc->Clock()->HistorySize(), 11u);
    EXPECT_EQ(caption, QStringLiteral("Time"));
    EXPECT_EQ(geometry, QRect(50, 50, 150, 100));
    EXPECT_EQ(Frame().RunChild(), nullptr);
    EXPECT_EQ(doc->RunWindow, nullptr);
    EXPECT_EQ(doc->Views().size(), 1u);
    EXPECT_TRUE(other->Clock()->HistoryValues().empty());
    // The window the run was started from is the active one again.
    EXPECT_EQ(Frame().ActiveDocument(), doc);
    Frame().OnCommand(ID_RUN);
    EXPECT_TRUE(other->Clock()->HistoryValues().empty());
    EXPECT_FALSE(Frame().Action(ID_RUN)->isChecked());
    EXPECT_FALSE(Frame().IsRunning());
}

TEST_F(ShellTest, GraphAndListWindowsGrowWhileTheRunProceeds) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    doc->Clock()->Params = {0.01, 0.01, 1e9};
    Frame().OnCommand(ID_OPEN_GRAPH);
    Frame().OnCommand(ID_OPEN_LIST);
    Frame().MdiArea()->tileSubWindows();
    CViewHost* graph = nullptr;
    CViewHost* list = nullptr;
    for (CChildFrame* f : Frame().ChildFrames(doc))
        for (CViewHost* h : f->Panes()) {
            if (h->Kind() == ViewKind::Graph) graph = h;
            if (h->Kind() == ViewKind::List) list = h;
        }
    ASSERT_TRUE(graph && list);
    // Pixels near graph 1's colour: the trace (the Clock against itself) and whatever shares it.
    const COLORREF c = static_cast<CGraphBase*>(graph->View())->Color[1];
    auto traced = [&](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                n += std::abs(qRed(p) - int(GetRValue(c))) + std::abs(qGreen(p) - int(GetGValue(c))) +
                         std::abs(qBlue(p) - int(GetBValue(c))) <
                     60;
            }
        return n;
    };
    // Both windows are on the screen before the run starts.
    graph->viewport()->repaint();
    list->viewport()->repaint();
    CViewHost* chart = Frame().ChildFrames(doc).front()->FirstPane();
    chart->viewport()->repaint();
    const int before = traced(graph->Render());
    int during = -1;
    QImage listFirst;
    QImage listLater;
    QImage chartFirst;
    QImage chartLater;
    int paints = 0;
    Frame().OnRunWindowPainted = [&](CRunChild&) {
        // What the windows show, not a fresh drawing: the run suspends ordinary painting.
        if (++paints == 1) {
            listFirst = list->viewport()->grab().toImage();
            chartFirst = chart->Picture().copy();
        }
        if (paints < 3) return;
        during = traced(graph->viewport()->grab().toImage());
        listLater = list->viewport()->grab().toImage();
        chartLater = chart->Picture().copy();
        // A picture of the windows mid-run for people to look at.
        QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
        Frame().grab().save(QStringLiteral(KINTRA_RENDER_DIR "/shell-live-run.png"));
        doc->OnTerminateRun();
    };
    Frame().OnCommand(ID_RUN);
    ASSERT_GE(paints, 3);
    EXPECT_GT(during, before + 20);
    // The list's rows moved on between the refreshes, and the chart's Clock shows another time.
    EXPECT_TRUE(listFirst != listLater);
    ASSERT_EQ(chart->Kind(), ViewKind::Chart);
    EXPECT_TRUE(chartFirst != chartLater);
}

// While the scales hold, a refresh adds the new samples to the graph's picture instead of drawing
// it again; at the run's end the window shows exactly what a full drawing shows.
TEST_F(ShellTest, ALiveGraphAddsOnlyNewSamplesAndEndsAsAFullDrawing) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    doc->Clock()->Params = {0.01, 0.01, 1e9};
    // Noise against time: a trace that turns at every sample.
    doc->PendingBlock = doc->CreateBlock(BlockType::Random);
    CBlock* noise = doc->PendingBlock.get();
    doc->PlaceBlock(3, -2);
    noise->Params = {0.0, 1.0, 0.0};
    Frame().OnCommand(ID_OPEN_GRAPH);
    CViewHost* host = nullptr;
    for (CChildFrame* f : Frame().ChildFrames(doc))
        for (CViewHost* h : f->Panes())
            if (h->Kind() == ViewKind::Graph) host = h;
    ASSERT_TRUE(host);
    auto* graph = static_cast<CGraphBase*>(host->View());
    // Fixed ranges, so that every refresh can add to the picture.
    graph->Traces[1] = noise;
    graph->Fixed = {1, 1, 0, 0};
    graph->Low = {0.0, 0.0, 0.0, 0.0};
    graph->High = {1e5, 1.0, 0.0, 0.0};
    graph->OnUpdate(nullptr, 0, nullptr);
    host->viewport()->repaint();
    auto differing = [](const QImage& a, const QImage& b) {
        if (a.size() != b.size()) return -1;
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    };
    int paints = 0;
    int midRun = -1;
    int appended = 0;
    Frame().OnRunWindowPainted = [&](CRunChild&) {
        if (++paints != 4) return;
        appended = host->AppendedRepaints();
        // A thin line drawn in pieces may differ from one drawn whole by a pixel at a joint.
        midRun = differing(host->Picture().convertToFormat(QImage::Format_RGB32), host->Render());
        // Stopped at a later step, so that the last samples come after the last refresh.
        QCoreApplication::postEvent(&Frame(),
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    Frame().OnCommand(ID_RUN);
    QCoreApplication::processEvents();
    ASSERT_GE(paints, 4);
    EXPECT_GE(appended, 2);
    EXPECT_GE(midRun, 0);
    EXPECT_LE(midRun, 2 * paints);
    EXPECT_EQ(differing(host->Picture().convertToFormat(QImage::Format_RGB32), host->Render()), 0);
}

TEST_F(ShellTest, TheRunWindowKeepsItsFrameAndCaptionBesideAMaximisedChart) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    doc->Clock()->Params = {0.01, 0.1, 1.0};
    CChildFrame* chart = FramesOf(Frame(), doc).front();
    // The run window is made by the first run and shown again by the second.
    for (int run = 0; run < 2; ++run) {
        chart->showMaximized();
        bool maximized = true;
        QRect geometry;
        int viewTop = 0;
        QString mainTitle;
        Frame().OnRunWindowPainted = [&](CRunChild& child) {
            maximized = child.isMaximized();
            geometry = child.geometry();
            viewTop = child.View()->y(); // below the caption bar
            mainTitle = Frame().windowTitle();
        };
        Frame().OnCommand(ID_RUN);
        EXPECT_FALSE(maximized) << run;
        EXPECT_EQ(geometry, QRect(50, 50, 150, 100)) << run;
        EXPECT_GT(viewTop, 0) << run;
        EXPECT_FALSE(mainTitle.contains(QStringLiteral("Time"))) << mainTitle.toStdString();
        EXPECT_TRUE(chart->isMaximized()) << run;
        EXPECT_EQ(Frame().ActiveChildFrame(), chart) << run;
    }
}

TEST_F(ShellTest, AClickOnTheRunWindowStopsALongRunKeepingEveryStep) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    doc->Clock()->Params = {0.01, 1.0, 1e9};
    CChildFrame* chart = FramesOf(Frame(), doc).front();
    int paints = 0;
    Frame().OnRunWindowPainted = [&](CRunChild& child) {
        ++paints;
        if (paints == 2) {
            // Input for any other window is held back while the run proceeds.
            QWidget* other = chart->FirstPane()->viewport();
            QCoreApplication::postEvent(other, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5),
                                                               QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                                                               Qt::NoModifier));
            QCoreApplication::postEvent(Frame().Action(ID_FILE_NEW), new QEvent(QEvent::Shortcut));
        }
        if (paints == 4)
            QCoreApplication::postEvent(
                child.View(), new QMouseEvent(QEvent::MouseButtonPress, QPointF(20, 20), QPointF(20, 20),
                                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    };
    Frame().OnCommand(ID_RUN);
    EXPECT_EQ(doc->LastRunOutcome, RunOutcome::Stopped);
    EXPECT_EQ(paints, 4);                  // the click took effect after the step it came in
    EXPECT_EQ(app.Documents().size(), 1u); // the held-back New did not happen
    const auto& times = doc->Clock()->HistoryValues();
    ASSERT_GT(times.size(), 2u);
    // Every step up to the stop is there, in order, for every recorded block.
    for (std::size_t i = 0; i < times.size(); ++i)
        ASSERT_EQ(times[i], static_cast<double>(i));
    for (const auto& b : doc->Blocks)
        EXPECT_EQ(b->HistorySize(), times.size());
    EXPECT_EQ(Frame().RunChild(), nullptr);
}

TEST_F(ShellTest, EscapeStopsARun) {
    COrventApp& app = Start();
    COrventDoc* doc = app.Documents().front().get();
    doc->Clock()->Params = {0.01, 1.0, 1e9};
    int paints = 0;
    Frame().OnRunWindowPainted = [&](CRunChild&) {
        if (++paints == 2)
            QCoreApplication::postEvent(&Frame(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    Frame().OnCommand(ID_RUN);
    EXPECT_EQ(doc->LastRunOutcome, RunOutcome::Stopped);
    EXPECT_GT(doc->Clock()->HistorySize(), 1u);
}

TEST_F(ShellTest, AnErrorDuringARunIsARealBoxThatTakesInput) {
    COrventApp& app = Start();
    COrventDoc& doc = *app.Documents().front();
    doc.Clock()->Params = {0.01, 0.25, 2.0};
    // Clock / (Clock - 0.5): the divisor reaches zero at the second output step.
    auto place = [&](int type, int x) {
        doc.PendingBlock = doc.CreateBlock(type);
        CBlock* b = doc.PendingBlock.get();
        doc.PlaceBlock(x, 0);
        return b;
    };
    CBlock* half = place(BlockType::Constant, 1);
    CBlock* sum = place(BlockType::Sum, 2);
    CBlock* divide = place(BlockType::Divide, 3);
    half->Params[0] = -0.5;
    sum->Inputs = {doc.Clock(), half, nullptr};
    divide->Inputs = {doc.Clock(), sum, nullptr};

    QtMessageHost boxes;
    ScopedPlatform realBoxes(&app.Settings(), &boxes, &app.Windows());
    QString caption, text;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || !caption.isEmpty()) return;
        caption = box->windowTitle();
        if (auto* m = qobject_cast<QMessageBox*>(box)) text = m->text();
        // Answered with the keyboard: the run lets a box it shows take input.
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    });
    answer.start(10);
    QTimer::singleShot(5000, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    Frame().OnCommand(ID_RUN);
    answer.stop();
    EXPECT_EQ(caption, QStringLiteral("RunTime Error"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Divide by zero"))) << text.toStdString();
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Failed);
    EXPECT_EQ(doc.Clock()->HistorySize(), 3u); // 0, 0.25 and the failing 0.5
    EXPECT_EQ(Frame().RunChild(), nullptr);
}

TEST_F(ShellTest, RunWindowShowsTheTimeInFifteenCharacters) {
    EXPECT_EQ(CRunWndw::TimeText(12.5), QString(11, QLatin1Char(' ')) + QStringLiteral("12.5"));
    EXPECT_EQ(CRunWndw::TimeText(0.0).size(), 15);
    EXPECT_EQ(CRunWndw::TimeText(123456.0).trimmed(), QStringLiteral("1.23e+05"));
}

// ---- Arrangement and placement ----------------------------------------------------------------

TEST_F(ShellTest, FirstRunPaletteRowsForAFrame640Wide) {
    // The arithmetic with the bar widths of the example: Main 285, Display 177, Time 85, Math 177.
    const std::vector<BarSpec> example = {
        {kMainBarId, 2, 11, 2}, {ID_BAR_DISPLAY, 3, 7, 0}, {ID_BAR_TIME, 5, 3, 0}, {ID_BAR_MATH, 4, 7, 0}};
    const auto rows = DefaultBarRows(640, example);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].width, 285);
    EXPECT_EQ(rows[1].width, 177);
    EXPECT_EQ(rows[2].width, 85);
    EXPECT_FALSE(rows[1].startsRow);
    EXPECT_FALSE(rows[2].startsRow);
    EXPECT_TRUE(rows[3].startsRow);
    EXPECT_EQ(rows[0].x, -2);
    EXPECT_EQ(rows[1].x, 281);
    EXPECT_EQ(rows[2].x, 456);
    EXPECT_EQ(rows[2].y, -2);
    EXPECT_EQ(rows[3].x, -2);
    EXPECT_EQ(rows[3].y, 28);

    // The program on its first run in a window 640 wide: the same rows.
    QSettings ini(IniPath(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Settings/MainFramePos"), QStringLiteral("0,1,-1,-1,-1,-1,20,20,660,500"));
    ini.sync();
    Start();
    QtSettingsStore& store = App().Settings();
    EXPECT_EQ(store.GetProfileInt("General-Bar0", "Bar#0", -1), 0);
    EXPECT_EQ(store.GetProfileInt("General-Bar0", "Bar#1", -1), kMainBarId);
    EXPECT_EQ(store.GetProfileInt("General-Bar0", "Bar#2", -1), ID_BAR_DISPLAY);
    EXPECT_EQ(store.GetProfileInt("General-Bar0", "Bar#3", -1), ID_BAR_TIME);
    EXPECT_EQ(store.GetProfileInt("General-Bar0", "Bar#4", -1), 0);
    EXPECT_EQ(store.GetProfileInt("General-Bar0", "Bar#5", -1), ID_BAR_MATH);
    EXPECT_EQ(store.GetProfileInt("General-Bar4", "YPos", 0), 28);
    EXPECT_EQ(store.GetProfileInt("General-Summary", "Bars", 0), 11);
    EXPECT_FALSE(Frame().toolBarBreak(Frame().Bar(ID_BAR_DISPLAY)));
    EXPECT_FALSE(Frame().toolBarBreak(Frame().Bar(ID_BAR_TIME)));
    EXPECT_TRUE(Frame().toolBarBreak(Frame().Bar(ID_BAR_MATH)));
}

TEST_F(ShellTest, PalettesHoldTheirButtonsWithTipsAndPrompts) {
    Start();
    QToolBar* misc = Frame().Bar(ID_BAR_MISC);
    ASSERT_NE(misc, nullptr);
    EXPECT_EQ(misc->windowTitle(), QStringLiteral("Miscellaneous"));
    ASSERT_EQ(misc->actions().size(), 3);
    EXPECT_EQ(misc->actions()[0]->toolTip(), QStringLiteral("Constant"));
    EXPECT_EQ(misc->actions()[0]->statusTip(), QStringLiteral("Constant value"));
    EXPECT_TRUE(misc->actions()[0]->isEnabled());
    EXPECT_FALSE(misc->actions()[2]->isEnabled()); // the place without a command
    EXPECT_EQ(Frame().Bar(kMainBarId)->actions().size(), 13);
    EXPECT_EQ(Frame().Bar(ID_BAR_NONLINEAR)->actions().size(), 11);
    for (const PaletteInfo& p : Palettes()) {
        for (QAction* a : Frame().Bar(p.id)->actions()) {
            if (a->isSeparator() || a->data().toInt() == ID_UNUSED_BUTTON) continue;
            EXPECT_FALSE(a->icon().isNull()) << p.title;
        }
    }
    // Show and hide, with the check mark following.
    Frame().OnCommand(ID_BAR_LOGIC);
    EXPECT_TRUE(Frame().Bar(ID_BAR_LOGIC)->isHidden());
    EXPECT_FALSE(Frame().Action(ID_BAR_LOGIC)->isChecked());
    EXPECT_EQ(Frame().Action(ID_BAR_LOGIC)->statusTip(), QStringLiteral("Show or hide the Logic toolbar"));
}

TEST_F(ShellTest, ArrangementAndPlacementComeBack) {
    Start();
    Frame().OnCommand(ID_BAR_GENERATORS);
    Frame().OnCommand(ID_VIEW_STATUS_BAR);
    Frame().setGeometry(30, 40, 700, 520);
    Stop();
    Start();
    EXPECT_TRUE(Frame().Bar(ID_BAR_GENERATORS)->isHidden());
    EXPECT_FALSE(Frame().Bar(ID_BAR_LOGIC)->isHidden());
    EXPECT_TRUE(Frame().statusBar()->isHidden());
    EXPECT_EQ(Frame().geometry().size(), QSize(700, 520));
    EXPECT_TRUE(Frame().toolBarBreak(Frame().Bar(ID_BAR_MATH)) ||
                Frame().toolBarBreak(Frame().Bar(ID_BAR_TIME)) ||
                Frame().toolBarBreak(Frame().Bar(ID_BAR_TRANSCENDENTAL)));
}

// Drags a bar by its handle to `global`, away from the dock areas, as a user makes it float.
void DragByHandle(QToolBar* bar, QPoint global) {
    const QPoint handle(3, bar->height() / 2);
    const QPoint start = bar->mapToGlobal(handle);
    auto send = [bar](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, bar->mapFromGlobal(at), at, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &e);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i)
        send(QEvent::MouseMove, start + (global - start) * i / 4, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, global, Qt::NoButton);
}

TEST_F(ShellTest, AFloatingPaletteComesBackFloatingWhereItWas) {
    Start();
    QMdiArea* area = Frame().MdiArea();
    DragByHandle(Frame().Bar(ID_BAR_MATH), area->mapToGlobal(area->rect().center()));
    ASSERT_TRUE(Frame().Bar(ID_BAR_MATH)->isFloating());
    const QPoint place = Frame().Bar(ID_BAR_MATH)->pos();
    Stop();
    Start();
    QToolBar* math = Frame().Bar(ID_BAR_MATH);
    EXPECT_TRUE(math->isFloating());
    EXPECT_TRUE(math->isVisible());
    EXPECT_EQ(math->pos(), place);
    for (const PaletteInfo& p : Palettes())
        EXPECT_EQ(Frame().Bar(p.id)->isFloating(), p.id == ID_BAR_MATH) << p.title;
    // Stored far off every screen, it comes back onto this one.
    Stop();
    {
        QSettings ini(IniPath(), QSettings::IniFormat);
        for (const QString& group : ini.childGroups())
            if (ini.value(group + QStringLiteral("/BarID")).toInt() == ID_BAR_MATH)
                ini.setValue(group + QStringLiteral("/XPos"), 30000);
    }
    Start();
    math = Frame().Bar(ID_BAR_MATH);
    EXPECT_TRUE(math->isFloating());
    EXPECT_NE(QGuiApplication::screenAt(math->geometry().center()), nullptr);
    EXPECT_EQ(math->y(), place.y());
    // Docked again, it is saved and restored docked.
    Frame().addToolBar(Qt::TopToolBarArea, math);
    ASSERT_FALSE(math->isFloating());
    Stop();
    Start();
    EXPECT_FALSE(Frame().Bar(ID_BAR_MATH)->isFloating());
    EXPECT_EQ(Frame().toolBarArea(Frame().Bar(ID_BAR_MATH)), Qt::TopToolBarArea);
}

TEST_F(ShellTest, PlacementWithNineNumbersIsIgnoredAndMaximisedComesBackMaximised) {
    FramePlacement p;
    EXPECT_FALSE(ParsePlacement("0,1,-1,-1,-1,-1,10,10,500", p));
    EXPECT_FALSE(ParsePlacement("", p));
    ASSERT_TRUE(ParsePlacement("2,3,-1,-1,-1,-1,10,20,510,420", p));
    EXPECT_EQ(p.right, 510);
    EXPECT_EQ(FormatPlacement(p), "2,3,-1,-1,-1,-1,10,20,510,420");
    EXPECT_EQ(ResolveShowState(p, kShowNormal), kShowMaximized);
    p.showCmd = kShowNormal;
    EXPECT_EQ(ResolveShowState(p, kShowMaximized), kShowMaximized);
    p.showCmd = kShowMinimized;
    EXPECT_EQ(ResolveShowState(p, kShowNormal), kShowMaximized); // restore-to-maximised flag
    p.flags = 0;
    EXPECT_EQ(ResolveShowState(p, kShowNormal), kShowNormal);

    QSettings ini(IniPath(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Settings/MainFramePos"), QStringLiteral("0,1,-1,-1,-1,-1,10,10,333"));
    ini.sync();
    Start();
    EXPECT_FALSE(Frame().isMaximized());
    EXPECT_NE(Frame().width(), 323);
    Frame().showMaximized();
    Stop();
    EXPECT_EQ(QSettings(IniPath(), QSettings::IniFormat)
                  .value(QStringLiteral("Settings/MainFramePos"))
                  .toString()
                  .left(4),
              QStringLiteral("2,3,"));
    Start();
    EXPECT_TRUE(Frame().isMaximized());
}

} // namespace
