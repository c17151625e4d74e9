// Pictures of the program's windows for people to look at (KINTRA_RENDER_DIR): the main window
// with a chart, graph and list after a run, the palettes, the run window during a run, the About
// box, the help window and a tool tip. The checks are only what a picture can show for sure.

#include "AboutDlg.h"
#include "CommandIds.h"
#include "HelpWindow.h"
#include "RunWindow.h"
#include "ShellSupport.h"
#include "blocks/Catalogue.h"
#include "chart/OrventView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMdiArea>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolTip>

namespace {

QString RenderPath(const QString& name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    return QStringLiteral(KINTRA_RENDER_DIR "/") + name;
}

CBlock* Place(COrventDoc& doc, int typeId, int x, int y) {
    doc.PendingBlock = doc.CreateBlock(typeId);
    CBlock* b = doc.PendingBlock.get();
    doc.PlaceBlock(x, y);
    return b;
}

void Connect(COrventDoc& doc, CBlock* block, int input, CBlock* source) {
    block->Inputs[input] = source;
    doc.RouteInput(block, input);
}

// Distinct colours in an image: a blank picture has one or two.
int ColourCount(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

// While a run goes on, a painted chart shows the values the run recorded last, those of blocks
// evaluated inside the run's program included (here a Gain and the two Integrates).
TEST_F(ShellTest, TheChartShowsTheValuesTheRunRecordedLast) {
    COrventApp& app = Start();
    COrventDoc& doc = *app.Documents().front();
    doc.Clock()->Params = {1e-7, 0.01, 1e9};
    CBlock* x = Place(doc, BlockType::Integrate, 2, 0);
    CBlock* v = Place(doc, BlockType::Integrate, 4, 0);
    CBlock* g = Place(doc, BlockType::Gain, 6, 0);
    x->Params[1] = 1.0;
    g->Params[0] = -1.0;
    Connect(doc, x, 0, v);
    Connect(doc, v, 0, g);
    Connect(doc, g, 0, x);
    int paints = 0;
    Frame().OnRunWindowPainted = [&](CRunChild&) {
        for (const auto& b : doc.Blocks)
            if (b->HistorySize() > 0) {
                EXPECT_EQ(b->Value, b->GetHistoryAt(b->HistorySize() - 1)) << b->Name;
            }
        if (++paints < 3) return;
        Frame().grab().save(RenderPath(QStringLiteral("shell-live-values.png")));
        doc.OnTerminateRun();
    };
    Frame().OnCommand(ID_RUN);
    EXPECT_EQ(paints, 3);
    EXPECT_NE(g->Value, 0.0);
}

TEST_F(ShellTest, PicturesOfTheMainWindowAfterARun) {
    QSettings ini(IniPath(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Settings/MainFramePos"), QStringLiteral("0,1,-1,-1,-1,-1,0,0,1200,860"));
    ini.sync();
    COrventApp& app = Start();
    COrventDoc& doc = *app.Documents().front();
    CBlock* clock = doc.Clock();
    clock->Params = {0.001, 0.05, 10.0};
    CBlock* sine = Place(doc, BlockType::Sine, 2, 0);
    CBlock* gain = Place(doc, BlockType::Gain, 4, -1);
    CBlock* sum = Place(doc, BlockType::Sum, 6, 0);
    CBlock* konst = Place(doc, BlockType::Constant, 4, 1 - 3);
    gain->Params[0] = 0.5;
    konst->Params[0] = 0.25;
    Connect(doc, sine, 0, clock);
    Connect(doc, gain, 0, sine);
    Connect(doc, sum, 0, gain);
    Connect(doc, sum, 1, konst);
    Frame().OnCommand(ID_OPEN_GRAPH);
    Frame().OnCommand(ID_OPEN_LIST);
    Frame().MdiArea()->tileSubWindows();

    QImage during;
    Frame().OnRunWindowPainted = [&](CRunChild&) {
        if (during.isNull() && doc.CurrentTime > 2.0) during = Frame().grab().toImage();
    };
    Frame().OnCommand(ID_RUN);
    ASSERT_EQ(doc.LastRunOutcome, RunOutcome::Completed);
    EXPECT_EQ(sum->HistorySize(), 201u);
    QCoreApplication::processEvents();
    const QImage after = Frame().grab().toImage();
    after.save(RenderPath(QStringLiteral("shell-main-window.png")));
    EXPECT_GT(ColourCount(after), 20);
    if (!during.isNull()) during.save(RenderPath(QStringLiteral("shell-run-window.png")));

    for (const PaletteInfo& p : Palettes()) {
        QToolBar* bar = Frame().Bar(p.id);
        const QImage image = bar->grab().toImage().scaled(bar->width() * 3, bar->height() * 3);
        image.save(RenderPath(QStringLiteral("shell-palette-%1.png").arg(QString::fromUtf8(p.title))));
    }
}

TEST_F(ShellTest, PicturesOfTheRunWindowAboutBoxHelpAndATip) {
    COrventApp& app = Start();
    COrventDoc& doc = *app.Documents().front();
    doc.Clock()->Params = {0.01, 0.5, 1e9};
    QImage runWindow;
    QString shown;
    int paints = 0;
    Frame().OnRunWindowPainted = [&](CRunChild& child) {
        if (++paints == 3) {
            runWindow = child.grab().toImage();
            shown = child.View()->ShownText();
            doc.OnTerminateRun();
        }
    };
    Frame().OnCommand(ID_RUN);
    ASSERT_FALSE(runWindow.isNull());
    runWindow.scaled(runWindow.size() * 2).save(RenderPath(QStringLiteral("shell-run-window-close.png")));
    EXPECT_EQ(shown.size(), 15);

    CAboutDlg about(&Frame());
    about.show();
    about.grab().save(RenderPath(QStringLiteral("shell-about.png")));
    about.close();

    CHelpWindow& help = CHelpWindow::Instance();
    help.ShowContext(0x10000 + BlockCommand::Integrate);
    help.resize(720, 640);
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("block_61588.html"));
    help.grab().save(RenderPath(QStringLiteral("shell-help.png")));
    help.ShowIndex();
    help.grab().save(RenderPath(QStringLiteral("shell-help-index.png")));
    help.close();

    QToolBar* math = Frame().Bar(ID_BAR_MATH);
    QWidget* button = math->widgetForAction(Frame().Action(BlockCommand::Sum));
    QToolTip::showText(button->mapToGlobal(QPoint(8, 24)), Frame().Action(BlockCommand::Sum)->toolTip(),
                       button);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible())
            w->grab().save(RenderPath(QStringLiteral("shell-tooltip.png")));
    QToolTip::hideText();
}

} // namespace
