// Editing a chart in the program with real mouse events on its window: palette buttons, clicks
// on grid points and ports, the right button, the Edit commands, Copy out of every kind of
// window. Pictures of the steps go to
// KINTRA_RENDER_DIR for people to look at.

#include "CommandIds.h"
#include "HelpWindow.h"
#include "ShellSupport.h"
#include "chart/OrventView.h"
#include "model/BlockTypes.h"
#include "render/QtDeviceContext.h"
#include "views/GraphView.h"
#include "views/ListView.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QInputDialog>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QXmlStreamReader>
#include <functional>

namespace {

constexpr int kGain = BlockCommand::Gain;
constexpr int kConstant = BlockCommand::Constant;

QString RenderPath(const char* name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    return QStringLiteral(KINTRA_RENDER_DIR "/%1").arg(QLatin1String(name));
}

class EditTest : public ShellTest {
  protected:
    void SetUp() override {
        Start();
        doc = App().Documents().front().get();
        host = Frame().ActiveViewHost();
        ASSERT_NE(host, nullptr);
        ASSERT_EQ(host->Kind(), ViewKind::Chart);
        view = static_cast<COrventView*>(host->View());
        QCoreApplication::processEvents();
    }

    // The window pixel of a point in the chart's logical units.
    QPoint Pixel(CPoint p) const {
        const QtDeviceContext dc(host->viewport(), host->viewport()->size(), host->ScrollPosition(),
                                 host->PixelsPerUnit());
        return dc.ToDevice(p.x, p.y);
    }
    void Click(CPoint p, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(host->viewport(), button, Qt::NoModifier, Pixel(p));
    }
    void MoveTo(CPoint p) { QTest::mouseMove(host->viewport(), Pixel(p)); }
    CPoint GridPoint(int column, int row) const { return view->CellCentre(column, row); }
    // The middle of the output (port 0) or of a one-input block's input (port 1).
    CPoint PortPoint(int column, int row, int port) const {
        const CPoint c = view->CellCentre(column, row);
        return port == 0 ? CPoint{c.x + view->Mag(13), c.y + view->Mag(4)} : CPoint{c.x - view->Mag(13), c.y};
    }

    QToolButton* PaletteButton(int command) {
        for (const PaletteInfo& palette : Palettes())
            if (QToolBar* bar = Frame().Bar(palette.id))
                if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(Frame().Action(command))))
                    return b;
        return nullptr;
    }
    // A palette button pressed, then a click on the grid point.
    CBlock* PlaceWithPalette(int command, int column, int row) {
        QToolButton* button = PaletteButton(command);
        EXPECT_NE(button, nullptr);
        if (!button) return nullptr;
        QTest::mouseClick(button, Qt::LeftButton);
        Click(GridPoint(column, row));
        return doc->FindBlockAt(column, row);
    }
    bool Enabled(int id) {
        Frame().UpdateCommandUI();
        return Frame().Action(id)->isEnabled();
    }

    COrventDoc* doc = nullptr;
    CViewHost* host = nullptr;
    COrventView* view = nullptr;
};

TEST_F(EditTest, APaletteButtonArmsTheBlockAndAClickOnTheChartPlacesIt) {
    QToolButton* button = PaletteButton(kGain);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(view->Placing);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(kGain)->isChecked());
    EXPECT_FALSE(Frame().Action(kConstant)->isChecked());
    MoveTo(GridPoint(3, -2));
    EXPECT_EQ(host->viewport()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(host->viewport()->cursor().hotSpot(), QPoint(16, 16));
    host->viewport()->cursor().pixmap().scaled(128, 128).save(RenderPath("edit-placing-cursor.png"));
    host->Render().save(RenderPath("edit-placing.png"));

    Click(GridPoint(3, -2));
    CBlock* gain = doc->FindBlockAt(3, -2);
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->TypeName, "Gain");
    EXPECT_FALSE(view->Placing);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(host->viewport()->cursor().shape(), Qt::ArrowCursor);
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().Action(kGain)->isChecked());

    // A click on empty chart arms another Gain; the right button puts it away again.
    Click({GridPoint(5, -5).x + view->CellWidth / 2, GridPoint(5, -5).y});
    EXPECT_TRUE(view->Placing);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(kGain)->isChecked());
    Click(GridPoint(5, -5), Qt::RightButton);
    EXPECT_FALSE(view->Placing);
    EXPECT_EQ(doc->PendingBlock, nullptr);
    EXPECT_EQ(doc->FindBlockAt(3, -2), gain);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditTest, TwoClicksOnPortsConnectTwoBlocks) {
    CBlock* source = PlaceWithPalette(kConstant, 1, -1);
    CBlock* gain = PlaceWithPalette(kGain, 3, -2);
    ASSERT_TRUE(source && gain);

    Click(PortPoint(1, -1, 0));
    ASSERT_TRUE(view->Connecting);
    MoveTo({GridPoint(2, -2).x, GridPoint(2, -2).y});
    EXPECT_NE(view->End, view->Anchor);
    // The rubber band shows between the port and the mouse.
    const QImage band = host->Render();
    band.save(RenderPath("edit-connecting.png"));
    const QPoint mid = (Pixel(view->Anchor) + Pixel(view->End)) / 2;
    int dark = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (qGray(band.pixel(mid + QPoint(dx, dy))) < 128) ++dark;
    EXPECT_GT(dark, 0);

    Click(PortPoint(3, -2, 1));
    EXPECT_FALSE(view->Connecting);
    EXPECT_EQ(gain->Inputs[0], source);
    EXPECT_NE(gain->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
    host->Render().save(RenderPath("edit-connected.png"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditTest, TheSelectedBlockMovesAndIsDeletedWithTheEditMenu) {
    CBlock* source = PlaceWithPalette(kConstant, 1, -1);
    CBlock* gain = PlaceWithPalette(kGain, 2, -1);
    Click(PortPoint(1, -1, 0));
    Click(PortPoint(2, -1, 1));
    ASSERT_EQ(gain->Inputs[0], source);

    EXPECT_FALSE(Enabled(ID_DELETE_BLOCK));
    EXPECT_FALSE(Enabled(ID_EDIT_CUT));
    EXPECT_TRUE(Enabled(ID_EDIT_COPY)) << "the chart's picture";
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    Click(GridPoint(2, -1), Qt::RightButton);
    EXPECT_EQ(view->SelectedBlock, gain);
    EXPECT_TRUE(Enabled(ID_DELETE_BLOCK));
    EXPECT_TRUE(Enabled(ID_EDIT_CUT));
    EXPECT_TRUE(Enabled(ID_EDIT_COPY));
    host->Render().save(RenderPath("edit-selected.png"));

    // Picked up, then dropped two rows down: the line follows it.
    Click(GridPoint(2, -1));
    EXPECT_EQ(view->MovingBlock, gain);
    EXPECT_EQ(host->viewport()->cursor().shape(), Qt::BitmapCursor);
    Click(GridPoint(3, -3));
    EXPECT_EQ(gain->Position, (CPoint{3, -3}));
    EXPECT_EQ(gain->Inputs[0], source);
    EXPECT_NE(gain->RouteRecord[0].v[0], ROUTE_DIRECT);
    host->Render().save(RenderPath("edit-moved.png"));

    // Copy, then Delete from the menu: the Gain and its line go, the clipboard keeps a Gain.
    Click(GridPoint(3, -3), Qt::RightButton);
    Frame().Action(ID_EDIT_COPY)->trigger();
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    const std::size_t before = doc->Blocks.size();
    Frame().Action(ID_DELETE_BLOCK)->trigger();
    EXPECT_EQ(doc->Blocks.size(), before - 1);
    EXPECT_EQ(doc->FindBlockAt(3, -3), nullptr);
    EXPECT_EQ(view->SelectedBlock, nullptr);
    EXPECT_FALSE(Enabled(ID_DELETE_BLOCK));

    // Paste places a fresh Gain with the next click.
    Frame().Action(ID_EDIT_PASTE)->trigger();
    EXPECT_TRUE(view->Placing);
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    Click(GridPoint(4, -1));
    ASSERT_NE(doc->FindBlockAt(4, -1), nullptr);
    EXPECT_EQ(doc->FindBlockAt(4, -1)->TypeName, "Gain");
    EXPECT_EQ(doc->FindBlockAt(4, -1)->Inputs[0], nullptr);
    SetClipboardBlock(nullptr);
}

TEST_F(EditTest, TheDeleteKeyDeletesTheSelectedBlockButNotTheClock) {
    CBlock* gain = PlaceWithPalette(kGain, 2, -2);
    ASSERT_NE(gain, nullptr);
    doc->SetModifiedFlag(false);
    const std::size_t before = doc->Blocks.size();
    Click(GridPoint(0, 0), Qt::RightButton);
    ASSERT_EQ(view->SelectedBlock, doc->Clock());
    Frame().UpdateCommandUI();
    QTest::keyClick(host->viewport(), Qt::Key_Delete);
    Frame().Action(ID_EDIT_CUT)->trigger();
    EXPECT_EQ(doc->Blocks.size(), before);
    EXPECT_EQ(doc->Clock()->TypeName, "Clock");
    EXPECT_FALSE(doc->IsModified());

    Click(GridPoint(2, -2), Qt::RightButton);
    ASSERT_EQ(view->SelectedBlock, gain);
    Frame().UpdateCommandUI();
    QTest::keyClick(host->viewport(), Qt::Key_Delete);
    EXPECT_EQ(doc->Blocks.size(), before - 1);
    EXPECT_EQ(doc->FindBlockAt(2, -2), nullptr);
    EXPECT_TRUE(doc->IsModified());
}

// Escape gives up what the right button gives up: a block waiting to be placed, a connection
// begun. The chart is left as it was.
TEST_F(EditTest, EscapeGivesUpPlacingAndAHalfMadeConnection) {
    CBlock* source = PlaceWithPalette(kConstant, 1, -1);
    ASSERT_NE(source, nullptr);
    const std::size_t blocks = doc->Blocks.size();
    QTest::mouseClick(PaletteButton(kGain), Qt::LeftButton);
    ASSERT_TRUE(view->Placing);
    Frame().UpdateCommandUI();
    QTest::keyClick(host->viewport(), Qt::Key_Escape);
    EXPECT_FALSE(view->Placing);
    EXPECT_EQ(doc->PendingBlock, nullptr);
    EXPECT_EQ(host->viewport()->cursor().shape(), Qt::ArrowCursor);
    Click(PortPoint(1, -1, 0));
    ASSERT_TRUE(view->Connecting);
    QTest::keyClick(host->viewport(), Qt::Key_Escape);
    EXPECT_FALSE(view->Connecting);
    EXPECT_EQ(doc->Blocks.size(), blocks);
    EXPECT_TRUE(messages.shown.empty());
}

// F5 and Ctrl+R run the active chart.
TEST_F(EditTest, F5AndCtrlRRunTheChart) {
    for (const QKeySequence& key : {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}) {
        doc->Clock()->SetHistory({});
        Frame().UpdateCommandUI();
        QTest::keySequence(host->viewport(), key);
        EXPECT_EQ(doc->Clock()->HistorySize(), 11u) << key.toString().toStdString();
    }
}

// Resting the mouse on a port lights it and names it; on a block, names the block.
TEST_F(EditTest, HoveringLightsThePortAndTellsWhatIsThere) {
    CBlock* source = PlaceWithPalette(kConstant, 1, -1);
    CBlock* gain = PlaceWithPalette(kGain, 3, -2);
    ASSERT_TRUE(source && gain);
    Click(PortPoint(1, -1, 0));
    Click(PortPoint(3, -2, 1));
    ASSERT_EQ(gain->Inputs[0], source);
    source->Value = 2.5;
    gain->Notes = "  Turns volts into metres.\nSecond line.";
    const QString unlit = QString::fromStdString(gain->Name);

    // A connected input takes no click, so it does not light up; an output always does.
    MoveTo(PortPoint(3, -2, 1));
    EXPECT_EQ(view->HoverPort, PortPick{});
    MoveTo(PortPoint(1, -1, 0));
    EXPECT_EQ(view->HoverPort, (PortPick{source, 0}));
    const QImage lit = host->Render();
    lit.save(RenderPath("edit-hover-port.png"));
    const CRect area = view->PortArea(view->HoverPort);
    const QRgb edge = lit.pixel(Pixel({area.right, (area.top + area.bottom) / 2}) + QPoint(1, 0));
    EXPECT_GT(qBlue(edge), 150);
    EXPECT_LT(qRed(edge), 100);

    struct Row {
        CPoint at;
        std::string tip;
    };
    const Row rows[] = {
        {PortPoint(3, -2, 1), "Input 1 of " + gain->Name + ": from " + source->Name},
        {PortPoint(1, -1, 0), "Output of " + source->Name + ": 2.5"},
        {GridPoint(3, -2), gain->Name + "\nType: Gain\nValue: 0\nTurns volts into metres."},
        {{GridPoint(6, -6).x + view->CellWidth / 2, GridPoint(6, -6).y}, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(host->ToolTipAt(Pixel(row.at)).toStdString(), row.tip);
    // The window shows it as the mouse rests.
    const QPoint rest = Pixel(PortPoint(3, -2, 1));
    QHelpEvent help(QEvent::ToolTip, rest, host->viewport()->mapToGlobal(rest));
    QCoreApplication::sendEvent(host->viewport(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(), rows[0].tip);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible()) w->grab().save(RenderPath("edit-hover-tip.png"));
    QToolTip::hideText();
    MoveTo(GridPoint(3, -2));
    EXPECT_EQ(view->HoverPort, PortPick{});
    EXPECT_FALSE(unlit.isEmpty());
    // F1 with the mouse on a block shows that block's page, elsewhere the chart window's.
    QCursor::setPos(host->viewport()->mapToGlobal(Pixel(GridPoint(3, -2))));
    Frame().OnCommand(ID_HELP);
    EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), CHelpWindow::PageFor(gain->HelpId));
    QCursor::setPos(host->viewport()->mapToGlobal(Pixel(GridPoint(6, -6)) + QPoint(20, 0)));
    Frame().OnCommand(ID_HELP);
    EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), QStringLiteral("ctx_121.html"));
    CHelpWindow::Instance().close();
}

// Ctrl+Z takes back each kind of edit, Ctrl+Y (and Ctrl+Shift+Z) makes it again; the menu names
// the change, and undoing everything leaves the chart unmodified with Undo greyed.
TEST_F(EditTest, CtrlZTakesBackEachKindOfEditAndCtrlYMakesItAgain) {
    auto settle = [] {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    };
    const struct {
        const char* name;
        std::function<void()> edit;
    } edits[] = {
        {"Place Constant", [&] { PlaceWithPalette(kConstant, 1, -1); }},
        {"Place Gain", [&] { PlaceWithPalette(kGain, 3, -1); }},
        {"Connect Gain",
         [&] {
             Click(PortPoint(1, -1, 0));
             Click(PortPoint(3, -1, 1));
         }},
        {"Move Gain",
         [&] {
             Click(GridPoint(3, -1), Qt::RightButton);
             Click(GridPoint(3, -1));
             Click(GridPoint(3, -3));
         }},
        {"Run", [&] { Frame().OnCommand(ID_RUN); }},
        {"Open Graph", [&] { Frame().OnCommand(ID_OPEN_GRAPH); }},
        {"Close Graph", [&] { Frame().ActiveChildFrame()->close(); }},
        {"Cut Gain",
         [&] {
             Click(GridPoint(3, -3), Qt::RightButton);
             Frame().UpdateCommandUI();
             Frame().Action(ID_EDIT_CUT)->trigger();
         }},
        {"Paste Gain",
         [&] {
             Frame().UpdateCommandUI();
             Frame().Action(ID_EDIT_PASTE)->trigger();
             Click(GridPoint(4, -2));
         }},
    };
    doc->SetModifiedFlag(false);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    for (const auto& e : edits) {
        const std::vector<std::uint8_t> before = doc->Snapshot();
        const std::size_t windows = doc->Views().size();
        e.edit();
        settle();
        const std::vector<std::uint8_t> after = doc->Snapshot();
        ASSERT_NE(after, before) << e.name;
        ASSERT_TRUE(Enabled(ID_EDIT_UNDO)) << e.name;
        EXPECT_EQ(Frame().Action(ID_EDIT_UNDO)->text(), QStringLiteral("&Undo ") + QLatin1String(e.name));
        QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier);
        settle();
        EXPECT_EQ(doc->Snapshot(), before) << e.name;
        EXPECT_EQ(doc->Views().size(), windows) << e.name;
        ASSERT_TRUE(Enabled(ID_EDIT_REDO)) << e.name;
        EXPECT_EQ(Frame().Action(ID_EDIT_REDO)->text(), QStringLiteral("&Redo ") + QLatin1String(e.name));
        QTest::keyClick(&Frame(), Qt::Key_Y, Qt::ControlModifier);
        settle();
        EXPECT_EQ(doc->Snapshot(), after) << e.name;
        QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        settle();
        EXPECT_EQ(doc->Snapshot(), after) << e.name;
    }
    host->Render().save(RenderPath("edit-undo-done.png"));
    for (QMenu* menu : Frame().findChildren<QMenu*>())
        if (menu->title() == QStringLiteral("&Edit") &&
            menu->actions().contains(Frame().Action(ID_EDIT_UNDO))) {
            menu->adjustSize();
            menu->grab().save(RenderPath("edit-undo-menu.png"));
        }
    while (Enabled(ID_EDIT_UNDO))
        QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->Blocks.size(), 3u); // the Clock and its companions
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Frame().Action(ID_EDIT_UNDO)->text(), QStringLiteral("&Undo"));
    host->Render().save(RenderPath("edit-undo-all.png"));
    EXPECT_TRUE(messages.shown.empty());
    SetClipboardBlock(nullptr);
}

} // namespace

// Copy in a list takes its values as tab-separated text; in a graph, or a chart without a
// selected block, the window's picture as PNG and SVG; a selected block is copied as before.
TEST_F(EditTest, CopyTakesAListsValuesOrAWindowsPicture) {
    COrventDoc* example = App().OpenDocument(QStringLiteral(KINTRA_SOURCE_DIR "/examples/spring-mass.cht"));
    ASSERT_TRUE(example);
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (CChildFrame* frame : Frame().ChildFrames(example)) {
        CViewHost* pane = frame->FirstPane();
        Frame().MdiArea()->setActiveSubWindow(frame);
        ASSERT_EQ(Frame().ActiveViewHost(), pane);
        ASSERT_TRUE(Enabled(ID_EDIT_COPY));
        clipboard->setText(QStringLiteral("before"));
        Frame().OnCommand(ID_EDIT_COPY);
        const QMimeData* data = clipboard->mimeData();
        ASSERT_NE(data, nullptr);
        if (const auto* list = dynamic_cast<const CListBase*>(pane->View())) {
            const QStringList lines = data->text().split(QLatin1Char('\n'));
            ASSERT_EQ(lines.size(), 1 + 401 + 1);
            EXPECT_EQ(lines[0], QStringLiteral("Clock\tPosition\tVelocity\tAcceleration"));
            const CBlock* position = list->Columns[1];
            for (int row : {1, 200, 400}) {
                const double value = lines[row + 1].split(QLatin1Char('\t')).value(1).toDouble();
                EXPECT_EQ(value, position->HistoryValues()[static_cast<std::size_t>(row)]) << row;
            }
            EXPECT_FALSE(data->hasImage());
            continue;
        }
        SCOPED_TRACE(static_cast<int>(pane->Kind()));
        const QImage shown = pane->Render();
        const QImage png = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG");
        EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), shown);
        EXPECT_TRUE(data->hasImage());
        QXmlStreamReader svg(data->data(QStringLiteral("image/svg+xml")));
        int paths = 0;
        while (!svg.atEnd())
            if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() != QStringLiteral("svg"))
                ++paths;
        EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
        EXPECT_GT(paths, 10) << "drawn, not blank";
        png.save(RenderPath(pane->Kind() == ViewKind::Graph ? "copy-graph.png" : "copy-chart.png"));
        // For looking at: the SVG as another program would draw it.
        QSvgRenderer renderer(data->data(QStringLiteral("image/svg+xml")));
        EXPECT_TRUE(renderer.isValid());
        QImage drawn(shown.size(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        renderer.render(&painter);
        painter.end();
        drawn.save(RenderPath(pane->Kind() == ViewKind::Graph ? "copy-graph-svg.png" : "copy-chart-svg.png"));
    }

    // A chart's selected block goes to the block clipboard and leaves the system's alone.
    Frame().MdiArea()->setActiveSubWindow(Frame().ChildFrames(doc).front());
    ASSERT_EQ(Frame().ActiveViewHost(), host);
    CBlock* gain = PlaceWithPalette(kGain, 2, -1);
    Click(GridPoint(2, -1), Qt::RightButton);
    ASSERT_EQ(view->SelectedBlock, gain);
    clipboard->setText(QStringLiteral("before"));
    Frame().OnCommand(ID_EDIT_COPY);
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));
    SetClipboardBlock(nullptr);
}

// Print to File offers CSV beside the list's text; choosing it proposes a ".csv" name and writes
// CSV, under whatever name the user then gives.
TEST_F(EditTest, PrintToFileWritesCsvWhenThatTypeIsChosen) {
    COrventDoc* example = App().OpenDocument(QStringLiteral(KINTRA_SOURCE_DIR "/examples/spring-mass.cht"));
    ASSERT_TRUE(example);
    CListBase* list = nullptr;
    for (CChildFrame* frame : Frame().ChildFrames(example))
        if (frame->FirstPane()->Kind() == ViewKind::List) {
            Frame().MdiArea()->setActiveSubWindow(frame);
            list = static_cast<CListBase*>(frame->FirstPane()->View());
        }
    ASSERT_TRUE(list);
    const std::pair<const char*, const char*> cases[] = {{"values", "values.csv"},
                                                         {"values.txt", "values.txt"}};
    for (const auto& [typed, written] : cases) {
        QString proposed;
        QTimer::singleShot(0, [&, typed = typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->selectNameFilter(QStringLiteral("CSV Files (*.csv)"));
            emit dialog->filterSelected(QStringLiteral("CSV Files (*.csv)"));
            proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectFile(FilePath(typed));
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        Frame().OnCommand(ID_PRINT_TO_FILE);
        EXPECT_EQ(proposed, QStringLiteral("Values.csv"));
        QFile out(FilePath(written));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << written;
        EXPECT_EQ(out.readAll().toStdString(), list->CsvText());
    }
    EXPECT_TRUE(messages.shown.empty());
}

// The right-click menu of a graph window lists its items in order, each enabled and checked as
// the window stands, and each acts on the window clicked, whichever window was active before.
TEST_F(EditTest, AGraphWindowsRightClickMenuActsOnTheWindowClicked) {
    COrventDoc* example = App().OpenDocument(QStringLiteral(KINTRA_SOURCE_DIR "/examples/spring-mass.cht"));
    ASSERT_TRUE(example);
    CViewHost* pane = nullptr;
    CChildFrame* chart = nullptr;
    for (CChildFrame* frame : Frame().ChildFrames(example)) {
        if (frame->FirstPane()->Kind() == ViewKind::Graph && !pane) pane = frame->FirstPane();
        if (frame->FirstPane()->Kind() == ViewKind::Chart) chart = frame;
    }
    ASSERT_TRUE(pane && chart);
    auto* graph = static_cast<CGraphBase*>(pane->View());
    pane->Render();
    QWidget* vp = pane->viewport();
    const QtDeviceContext dc(vp, vp->size(), pane->ScrollPosition(), pane->PixelsPerUnit());
    const QPoint centre = dc.ToDevice(graph->PlotRect).normalized().center();
    // Right-clicks the plot's centre with the chart window active; the menu's items as shown
    // ("-" off, "[x]" and "[ ]" checked or not), after triggering the one whose text starts with
    // `choose`.
    auto rightClick = [&](const QString& choose) {
        Frame().MdiArea()->setActiveSubWindow(chart);
        QStringList items;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator()) continue;
                const QString text = a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
                items << text + (a->isEnabled() ? "" : " -") +
                             (a->isCheckable() ? (a->isChecked() ? " [x]" : " [ ]") : "");
                if (!choose.isEmpty() && text.startsWith(choose)) chosen = a;
            }
            if (chosen) chosen->trigger();
            menu->close();
        });
        QTest::mousePress(vp, Qt::RightButton, Qt::NoModifier, centre);
        QContextMenuEvent event(QContextMenuEvent::Mouse, centre, vp->mapToGlobal(centre));
        QApplication::sendEvent(vp, &event);
        QTest::mouseRelease(vp, Qt::RightButton, Qt::NoModifier, centre);
        return items.join(QStringLiteral(", ")).toStdString();
    };

    const double x1 = graph->ValueAt(0, 1.0);
    EXPECT_EQ(
        rightClick(QStringLiteral("Zoom In")),
        "Zoom In, Zoom Out, Normal Scales -, Keep Earlier Runs [ ], Clear Earlier Runs -, Export..., Copy");
    EXPECT_TRUE(graph->IsZoomed());
    EXPECT_LT(graph->ValueAt(0, 1.0) - graph->ValueAt(0, 0.0), 0.75 * x1);
    rightClick(QStringLiteral("Normal Scales"));
    EXPECT_FALSE(graph->IsZoomed());
    EXPECT_EQ(graph->ValueAt(0, 1.0), x1);

    rightClick(QStringLiteral("Keep Earlier Runs"));
    EXPECT_TRUE(graph->KeepEarlierRuns);
    Frame().MdiArea()->setActiveSubWindow(chart);
    Frame().OnCommand(ID_RUN);
    EXPECT_EQ(
        rightClick(QStringLiteral("Clear Earlier Runs")),
        "Zoom In, Zoom Out, Normal Scales -, Keep Earlier Runs [x], Clear Earlier Runs, Export..., Copy");
    EXPECT_TRUE(graph->EarlierRuns.empty());
    rightClick(QStringLiteral("Keep Earlier Runs"));
    EXPECT_FALSE(graph->KeepEarlierRuns);

    // Copy and Export take this graph's picture, not the chart's.
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    rightClick(QStringLiteral("Copy"));
    const QImage copied =
        QImage::fromData(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")), "PNG");
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), pane->Render());
    QTimer::singleShot(0, [&] {
        // Export opens its file dialog from the menu: answered once the menu has gone.
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->selectNameFilter(QStringLiteral("PNG Images (*.png)"));
            emit dialog->filterSelected(QStringLiteral("PNG Images (*.png)"));
            dialog->selectFile(FilePath("graph.png"));
            QTimer::singleShot(0, [] {
                if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget()))
                    QMetaObject::invokeMethod(input, "accept", Qt::DirectConnection);
            });
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
    });
    rightClick(QStringLiteral("Export"));
    const QImage exported(FilePath("graph.png"));
    ASSERT_FALSE(exported.isNull());
    EXPECT_NEAR(static_cast<double>(exported.width()) / exported.height(),
                static_cast<double>(vp->width()) / vp->height(), 0.02);
    EXPECT_TRUE(messages.shown.empty());
}
