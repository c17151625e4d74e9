// The program's menus, commands, help, the Examples, the Sweep dialog and the About box.

#include "ShellTestHelpers.h"
#include "SweepDialog.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QProgressBar>
#include <QSpinBox>

namespace {

// ---- Menus, help, About -----------------------------------------------------------------------

TEST_F(ShellTest, MenusHoldTheirItemsAndKeys) {
    Start();
    EXPECT_EQ(Frame().Action(ID_FILE_NEW)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(Frame().Action(ID_DELETE_BLOCK)->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_TRUE(
        Frame().Action(BlockCommand::Sine)->shortcuts().contains(QKeySequence(QStringLiteral("Alt+S"))));
    EXPECT_TRUE(
        Frame().Action(ID_EDIT_PASTE)->shortcuts().contains(QKeySequence(QStringLiteral("Shift+Ins"))));
    EXPECT_EQ(Frame().Action(ID_TERMINATE_RUN)->shortcut(), QKeySequence(Qt::Key_Escape));
    EXPECT_EQ(Frame().Action(ID_RUN)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::Key_F5), QKeySequence(QStringLiteral("Ctrl+R"))}));
    // Every key of a command outside the palettes shows in a menu of a chart window.
    std::set<int> inMenus;
    for (QAction* m : Frame().menuBar()->actions())
        for (QAction* a : m->menu()->actions())
            inMenus.insert(a->data().toInt());
    for (QAction* a : Frame().actions()) {
        const bool shown = a->shortcuts().isEmpty() || FindBlockTypeByCommand(a->data().toInt()) ||
                           a->text().isEmpty() || inMenus.count(a->data().toInt());
        EXPECT_TRUE(shown) << a->text().toStdString();
    }
    QStringList titles;
    for (QAction* a : Frame().menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Options", "&Window", "&Help"}));
    // The Window menu lists the open windows.
    QMenu* window = Frame().menuBar()->actions()[4]->menu();
    emit window->aboutToShow();
    EXPECT_EQ(window->actions().last()->text(), QStringLiteral("&1 Chart1"));
    EXPECT_TRUE(window->actions().last()->isChecked());
    App().CloseDocument(*App().Documents().front());
    titles.clear();
    for (QAction* a : Frame().menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Help"}));
}

// Which commands the active window and the run leave enabled. Each row reads, in order: a chart
// window, a graph window, a list window, no chart at all, a running chart.
TEST_F(ShellTest, CommandsAreEnabledAsTheActiveWindowAndTheRunAllow) {
    const struct {
        int id;
        const char* enabled;
    } rows[] = {
        {ID_FILE_NEW, "11111"},
        {ID_FILE_CLOSE, "11100"},
        {ID_FILE_SAVE, "11100"},
        {ID_FILE_SAVE_AS, "11100"},
        {ID_PREFERENCES, "11100"},
        {ID_DEBUG_SETTINGS, "11100"},
        {ID_RUN, "11100"},
        {ID_INITIALIZE, "11100"},
        {ID_TERMINATE_RUN, "00001"},
        {ID_PRINT_TO_FILE, "00100"},
        {ID_WINDOW_SPLIT, "10101"},
        {ID_EDIT_UNDO, "01100"},
        {ID_EDIT_REDO, "00000"},
        {ID_FILE_PRINT, "11100"},
        {ID_FILE_PRINT_PREVIEW, "11100"},
        {ID_FILE_PRINT_SETUP, "11110"},
        {ID_VIEW_PARAMETERS, "11100"},
        {ID_EDIT_CUT, "00000"},
        {ID_DELETE_BLOCK, "00000"},
        {32792, "10000"},
        {ID_UNUSED_BUTTON, "00000"},
        {ID_NO_HANDLER_32825, "00000"},
    };
    std::map<int, std::string> seen;
    auto record = [&] {
        Frame().UpdateCommandUI();
        for (const auto& row : rows)
            seen[row.id] += Frame().Action(row.id)->isEnabled() ? '1' : '0';
    };
    COrventApp& app = Start();
    record();
    Frame().OnCommand(ID_OPEN_GRAPH);
    record();
    Frame().OnCommand(ID_OPEN_LIST);
    record();
    app.Documents().front()->SetModifiedFlag(false); // closes without asking
    Frame().OnCommand(ID_FILE_CLOSE);
    record();
    app.NewDocument();
    Frame().OnRunWindowPainted = [&](CRunChild&) {
        if (Frame().IsRunning() && seen[ID_FILE_NEW].size() == 4) record();
    };
    Frame().OnCommand(ID_RUN);
    for (const auto& row : rows)
        EXPECT_EQ(seen[row.id], row.enabled) << "command " << row.id;
}

// Every menu item, button and key has a command that answers it, save the two the window shows
// disabled for good.
TEST_F(ShellTest, EveryActionIsAnsweredSaveTheTwoThatNeverWere) {
    Start();
    const std::set<int> unanswered = {ID_NO_HANDLER_32825, ID_UNUSED_BUTTON};
    int actions = 0;
    for (QAction* a : Frame().actions()) {
        if (!a->data().isValid()) continue;
        ++actions;
        const int id = a->data().toInt();
        EXPECT_EQ(Frame().Answers(id), !unanswered.count(id)) << "command " << id;
    }
    EXPECT_GT(actions, 80); // the menus', keys' and palettes' commands
}

TEST_F(ShellTest, HelpReachesThePagesByContext) {
    EXPECT_EQ(CHelpWindow::PageFor(121), QStringLiteral("ctx_121.html"));
    EXPECT_EQ(CHelpWindow::PageFor(995), QStringLiteral("ctx_995.html"));
    EXPECT_EQ(CHelpWindow::PageFor(0x10000 + BlockCommand::Integrate), QStringLiteral("block_61588.html"));
    EXPECT_EQ(CHelpWindow::PageFor(4242), QStringLiteral("index.html"));
    Start();
    Frame().OnCommand(ID_HELP); // the chart window's page, with no block under the mouse
    EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), QStringLiteral("ctx_121.html"));
    EXPECT_FALSE(CHelpWindow::Instance().Browser()->toPlainText().isEmpty());
    Frame().OnCommand(ID_OPEN_LIST);
    Frame().OnCommand(ID_HELP);
    EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), QStringLiteral("ctx_123.html"));
    CHelpWindow::Instance().close();
}

// Help > Index lists every page by title; the search field finds the pages holding every word.
TEST_F(ShellTest, HelpIndexListsEveryPageAndSearchFindsWords) {
    Start();
    Frame().OnCommand(ID_HELP_INDEX);
    CHelpWindow& help = CHelpWindow::Instance();
    const QString index = help.Browser()->toHtml();
    help.Browser()->grab().save(QStringLiteral(KINTRA_RENDER_DIR "/help-index.png"));
    const QStringList pages = CHelpWindow::Pages();
    EXPECT_GT(pages.size(), 50);
    for (const QString& page : pages)
        EXPECT_TRUE(index.contains(QStringLiteral("qrc:/help/") + page)) << page.toStdString();
    EXPECT_EQ(CHelpWindow::PageTitle(QStringLiteral("block_61588.html")), QStringLiteral("Integrate"));

    struct Row {
        QString query;
        QString mustFind; // empty: nothing found
    };
    const Row rows[] = {{QStringLiteral("Runge"), QStringLiteral("index.html")},
                        {QStringLiteral("  INTEGRATE  error limit "), QStringLiteral("block_61588.html")},
                        {QStringLiteral("xyzzyplugh"), QString()},
                        {QStringLiteral("   "), QString()}};
    for (const Row& row : rows) {
        const QStringList found = CHelpWindow::Search(row.query);
        if (row.mustFind.isEmpty())
            EXPECT_TRUE(found.isEmpty()) << row.query.toStdString();
        else
            EXPECT_TRUE(found.contains(row.mustFind)) << row.query.toStdString();
    }
    help.SearchField()->setText(QStringLiteral("Integrate"));
    QTest::keyClick(help.SearchField(), Qt::Key_Return);
    EXPECT_EQ(CHelpWindow::Search(QStringLiteral("integrate")).value(0), QStringLiteral("block_61588.html"));
    EXPECT_TRUE(help.Browser()->toHtml().contains(QStringLiteral("qrc:/help/block_61588.html")));
    help.Browser()->grab().save(QStringLiteral(KINTRA_RENDER_DIR "/help-search.png"));
    help.close();
}

// Help > Examples lists the example charts with their lines from the README and opens the
// chosen one as a new chart that belongs to no file.
TEST_F(ShellTest, ExamplesListTheChartsAndOpenAnUntitledCopy) {
    const QMap<QString, QString> rows = ExampleDescriptions(QStringLiteral(
        "| File | Model |\n|---|---|\n| a.cht | one | two |\n|  b.cht  |  x'' = -x  |\nplain | c.cht |"));
    EXPECT_EQ(rows, (QMap<QString, QString>{{"a.cht", "one | two"}, {"b.cht", "x'' = -x"}}));

    COrventApp& app = Start();
    const QList<ExampleChart> charts = ExampleCharts(ExamplesFolder());
    ASSERT_GE(charts.size(), 5);
    for (const ExampleChart& c : charts)
        EXPECT_FALSE(c.description.isEmpty()) << c.path.toStdString();
    int chosen = -1;
    Frame().ExamplesDialogShown = [&](CExamplesDialog& dialog) {
        dialog.grab().save(QStringLiteral(KINTRA_RENDER_DIR "/examples-dialog.png"));
        for (int i = 0; i < dialog.List()->count(); ++i)
            if (dialog.List()->item(i)->text().startsWith(QStringLiteral("spring-mass: "))) chosen = i;
        dialog.List()->setCurrentRow(chosen);
        QTimer::singleShot(0, &dialog, &QDialog::accept);
    };
    Frame().OnCommand(ID_HELP_EXAMPLES);
    ASSERT_GE(chosen, 0);
    ASSERT_EQ(app.Documents().size(), 2u);
    COrventDoc* copy = app.Documents().back().get();
    EXPECT_TRUE(copy->GetPathName().empty());
    EXPECT_FALSE(copy->IsModified());
    EXPECT_GT(copy->Blocks.size(), 3u);
    EXPECT_GT(FramesOf(Frame(), copy).size(), 1u); // its graph and list came along
    EXPECT_EQ(Frame().ActiveDocument(), copy);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ShellTest, ContextHelpShowsThePageOfWhatIsClickedNext) {
    Start();
    Frame().OnCommand(ID_CONTEXT_HELP);
    QWidget* integrate = Frame().Bar(ID_BAR_TIME)->widgetForAction(Frame().Action(BlockCommand::Integrate));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), integrate->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(integrate, &press);
    EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), QStringLiteral("block_61588.html"));
    EXPECT_EQ(App().Documents().front()->PendingBlock, nullptr); // the click armed nothing
    // Once answered, clicks act again.
    QCoreApplication::sendEvent(integrate, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), integrate->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(integrate, &release);
    ASSERT_NE(App().Documents().front()->PendingBlock, nullptr);
    EXPECT_EQ(App().Documents().front()->PendingBlock->TypeId, BlockType::Integrate);
    CHelpWindow::Instance().close();
}

TEST_F(ShellTest, AboutBoxShowsVersion102AndItsHelp) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Kintra"));
    EXPECT_EQ(about.VersionLabel()->text(), QStringLiteral("Version : 1.02"));
    about.findChild<QPushButton*>(QStringLiteral("Help"))->click();
    EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), QStringLiteral("ctx_995.html"));
    CHelpWindow::Instance().close();
}

} // namespace

// Options > Sweep... runs copies of the chart in the background and draws them in the graph
// windows as earlier runs labelled by the value; the chart's own histories stay as they were.
TEST_F(ShellTest, SweepDrawsItsRunsInTheGraphWindowsAndLeavesTheChartAlone) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    Start();
    COrventDoc* doc = App().OpenDocument(QStringLiteral(KINTRA_SOURCE_DIR "/examples/spring-mass.cht"));
    ASSERT_TRUE(doc);
    CGraphBase* graph = nullptr;
    for (CView* v : doc->Views())
        if (!graph) graph = dynamic_cast<CGraphBase*>(v);
    ASSERT_TRUE(graph);
    std::vector<std::vector<double>> before;
    for (const auto& b : doc->Blocks)
        before.push_back(b->HistoryValues());
    bool done = false;
    CSweepDialog::Shown = [&](CSweepDialog& dialog) {
        QTimer::singleShot(0, &dialog, [&] {
            dialog.BlockBox()->setCurrentText(QStringLiteral("Force"));
            dialog.ParameterBox()->setCurrentIndex(1);
            dialog.FromEdit()->setText(QStringLiteral("-0.8"));
            dialog.ToEdit()->setText(QStringLiteral("0"));
            dialog.CountBox()->setValue(5);
            QTest::mouseClick(dialog.StartButton(), Qt::LeftButton);
            EXPECT_FALSE(dialog.StartButton()->isEnabled()) << "no second sweep while one runs";
            QDeadlineTimer deadline(30000);
            while (!dialog.StartButton()->isEnabled() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            done = dialog.StartButton()->isEnabled();
            EXPECT_EQ(dialog.Progress()->value(), 5);
            EXPECT_EQ(dialog.Status()->text(), QStringLiteral("5 runs shown in the graph windows."));
            dialog.grab().save(QStringLiteral(KINTRA_RENDER_DIR "/sweep-dialog.png"));
            dialog.reject();
        });
    };
    Frame().OnCommand(ID_SWEEP);
    CSweepDialog::Shown = nullptr;
    ASSERT_TRUE(done);
    ASSERT_EQ(graph->EarlierRuns.size(), 5u);
    EXPECT_EQ(graph->EarlierRuns.front().Label, "Force.p2 = -0.8");
    EXPECT_EQ(graph->EarlierRuns.back().Label, "Force.p2 = 0");
    EXPECT_EQ(graph->EarlierRuns[2].Y[1].size(), before.front().size());
    EXPECT_NE(graph->EarlierRuns[0].Y[1], graph->EarlierRuns[4].Y[1]);
    for (std::size_t i = 0; i < doc->Blocks.size(); ++i)
        EXPECT_EQ(doc->Blocks[i]->HistoryValues(), before[i]) << doc->Blocks[i]->Name;
    Frame().grab().save(QStringLiteral(KINTRA_RENDER_DIR "/sweep-graph.png"));
    EXPECT_TRUE(messages.shown.empty());
}
