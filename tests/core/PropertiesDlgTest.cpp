// The "Chart Viewing Properties" and "Model Properties" logic, driven through a map of
// controls.

#include "ChartTestSupport.h"
#include "chart/ChartPropertiesDlg.h"
#include "model/ModelPropertiesDlg.h"
#include "platform/DataExchange.h"
#include "views/GraphPropertiesDlg.h"
#include "views/GraphView.h"
#include "views/ListParamsDlg.h"
#include "views/ListView.h"

using VDlg = CViewingPropertiesDlg;

namespace {
int Int(const MapDataExchange& dx, int id) {
    return std::stoi(dx.texts.at(id));
}
} // namespace

class ViewingDlgTest : public ChartTest {
  protected:
    TestPlatform platform;
};

TEST_F(ViewingDlgTest, SizingLockRescalesEverySize) {
    view.SizeLock = 1;
    view.MagBmp = 1.0;
    view.LineWidth = 1;
    view.DeltaVert = 2;
    view.DeltaHoriz = 3;
    view.LinesX = 40;
    view.LinesY = 41;
    view.HoldSize = 2;
    view.ChartLf.lfHeight = -13;
    view.NotesLf.lfHeight = -13;
    VDlg dlg(view);
    MapDataExchange dx;
    dlg.OnInitDialog(dx);
    EXPECT_FALSE(dx.enabled[VDlg::IDC_APPLY]);
    dlg.OnFocusIn(dx, IDC_MAG_BMP);
    dx.texts[IDC_MAG_BMP] = "2";
    dlg.OnFocusOut(dx, IDC_MAG_BMP);
    EXPECT_EQ(Int(dx, IDC_LINE_WIDTH), 2);
    EXPECT_EQ(Int(dx, IDC_DELTA_VERT), 4);
    EXPECT_EQ(Int(dx, IDC_DELTA_HORIZ), 6);
    EXPECT_EQ(Int(dx, IDC_LINES_X), 80);
    EXPECT_EQ(Int(dx, IDC_LINES_Y), 82);
    EXPECT_EQ(Int(dx, IDC_HOLD_SIZE), 4);
    EXPECT_EQ(dlg.Working.FindValue<LOGFONT>(IDC_CHART_FONT)->lfHeight, -27);
    EXPECT_EQ(dlg.Working.FindValue<LOGFONT>(IDC_NOTES_FONT)->lfHeight, -27);
    EXPECT_TRUE(dx.enabled[VDlg::IDC_APPLY]);
    EXPECT_EQ(view.LineWidth, 1) << "nothing reaches the view before OK or Apply";

    // Without the lock only the magnification changes.
    dx.checks[IDC_SIZE_LOCK] = 0;
    dlg.OnFocusIn(dx, IDC_MAG_BMP);
    dx.texts[IDC_MAG_BMP] = "4";
    dlg.OnFocusOut(dx, IDC_MAG_BMP);
    EXPECT_EQ(Int(dx, IDC_LINE_WIDTH), 2);
    EXPECT_EQ(Int(dx, IDC_HOLD_SIZE), 4);
}

TEST_F(ViewingDlgTest, TotalsAreRaisedToTheTrackCountsButNeverLowered) {
    doc.VertLines = 5;
    doc.HorizLines = 5;
    view.DeltaHoriz = 2;
    view.DeltaVert = 2;
    view.LineWidth = 1;
    view.LinesX = 15;
    view.LinesY = 30;
    VDlg dlg(view);
    MapDataExchange dx;
    dlg.OnInitDialog(dx);
    dlg.OnFocusOut(dx, IDC_DELTA_HORIZ);
    EXPECT_EQ(Int(dx, IDC_LINES_X), 17);
    dlg.OnFocusOut(dx, IDC_DELTA_VERT);
    EXPECT_EQ(Int(dx, IDC_LINES_Y), 30);
    dx.texts[IDC_LINE_WIDTH] = "3";
    dlg.OnFocusOut(dx, IDC_LINE_WIDTH);
    EXPECT_EQ(Int(dx, IDC_LINES_X), 27);
    EXPECT_EQ(Int(dx, IDC_LINES_Y), 30);
}

TEST_F(ViewingDlgTest, ApplyOkCancelAndTheStoredDefaults) {
    VDlg dlg(view);
    MapDataExchange dx;
    dlg.OnInitDialog(dx);
    dx.texts[VDlg::IDC_TITLE] = "Tank";
    dx.texts[VDlg::IDC_NOTES] = "level";
    dx.texts[IDC_HOLD_SIZE] = "7";
    dlg.OnChanged(dx);
    doc.SetModifiedFlag(false);
    dlg.OnCommand(dx, VDlg::IDC_APPLY);
    EXPECT_EQ(view.ChartTitle, "Tank");
    EXPECT_EQ(view.ChartNotes, "level");
    EXPECT_EQ(view.HoldSize, 7);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(dx.enabled[VDlg::IDC_APPLY]);

    // "Update", then a change that is cancelled: the defaults moved, the view kept the Apply.
    dx.texts[IDC_HOLD_SIZE] = "9";
    dlg.OnCommand(dx, VDlg::IDC_UPDATE);
    EXPECT_EQ(platform.store.GetProfileInt("MainView", "HoldSiz", 0), 9);
    EXPECT_EQ(view.HoldSize, 7);

    dlg.OnCommand(dx, VDlg::IDC_RESET);
    EXPECT_EQ(dx.texts[IDC_HOLD_SIZE], "2");
    dlg.OnCommand(dx, VDlg::IDC_RECALL);
    EXPECT_EQ(dx.texts[IDC_HOLD_SIZE], "9");

    // A refused value keeps the dialog open on that control and applies nothing.
    dx.texts[IDC_HOLD_SIZE] = "x";
    dx.texts[VDlg::IDC_TITLE] = "Other";
    EXPECT_FALSE(dlg.OnOK(dx));
    EXPECT_EQ(dx.focus, IDC_HOLD_SIZE);
    EXPECT_EQ(view.ChartTitle, "Tank");
    dx.texts[IDC_HOLD_SIZE] = "3";
    dx.texts[VDlg::IDC_TITLE] = std::string(29, 't');
    EXPECT_FALSE(dlg.OnOK(dx));
    EXPECT_EQ(dx.focus, VDlg::IDC_TITLE);
    dx.texts[VDlg::IDC_TITLE] = std::string(28, 't');
    EXPECT_TRUE(dlg.OnOK(dx));
    EXPECT_EQ(view.HoldSize, 3);
    EXPECT_EQ(view.ChartTitle, std::string(28, 't'));
}

TEST(ModelDlg, EditsTheWorkingCopyAndTheTitle) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    CSettingList working;
    working.CloneFrom(doc.ModelSettings);
    std::string title = "Old";
    CModelPropertiesDlg dlg(working, title);
    MapDataExchange dx;
    dlg.OnInitDialog(dx);
    EXPECT_EQ(dx.texts[CModelPropertiesDlg::IDC_TITLE], "Old");
    EXPECT_EQ(dx.texts[CModelPropertiesDlg::IDC_VERT_LINES], "5");
    EXPECT_EQ(dx.radios[CModelPropertiesDlg::IDC_INT_STYLE], 0);

    dx.texts[CModelPropertiesDlg::IDC_VERT_LINES] = "100"; // above its bound
    dx.texts[CModelPropertiesDlg::IDC_TITLE] = "New";
    EXPECT_FALSE(dlg.OnOK(dx));
    EXPECT_EQ(dx.focus, CModelPropertiesDlg::IDC_VERT_LINES);
    EXPECT_EQ(title, "Old");

    dx.texts[CModelPropertiesDlg::IDC_VERT_LINES] = "7";
    dx.radios[CModelPropertiesDlg::IDC_INT_STYLE] = 1;
    dlg.OnCommand(dx, CModelPropertiesDlg::IDC_UPDATE);
    EXPECT_EQ(platform.store.GetProfileInt("Model", "VertLines", 0), 7);
    dlg.OnCommand(dx, CModelPropertiesDlg::IDC_RESET);
    EXPECT_EQ(dx.texts[CModelPropertiesDlg::IDC_VERT_LINES], "5");
    dlg.OnCommand(dx, CModelPropertiesDlg::IDC_RECALL);
    EXPECT_EQ(dx.texts[CModelPropertiesDlg::IDC_VERT_LINES], "7");
    EXPECT_TRUE(dlg.OnOK(dx));
    EXPECT_EQ(title, "New");
    doc.ModelSettings.CopyValuesFrom(working);
    EXPECT_EQ(doc.VertLines, 7);
    EXPECT_EQ(doc.IntStyle, 1);
}

// The buttons every settings dialog shares behave alike: each "Help" opens its own topic; "Reset"
// shows the factory settings, keeps a typed title and enables "Apply"; other ids are not theirs.
TEST_F(ViewingDlgTest, EverySettingsDialogSharesItsButtons) {
    CGraphBase graph;
    CListBase list;
    doc.AddView(&graph);
    doc.AddView(&list);
    CSettingList modelWorking;
    modelWorking.CloneFrom(doc.ModelSettings);
    std::string modelTitle = "Model";
    CViewingPropertiesDlg chart(view);
    CModelPropertiesDlg model(modelWorking, modelTitle);
    CGraphPropertySheet sheet(graph);
    CListParamsDlg params(list);
    using Sheet = CGraphPropertySheet;
    struct Case {
        const char* name;
        CSettingsDialog& dlg;
        int title, number, reset, apply;
        std::vector<std::pair<int, int>> help;
    };
    const Case cases[] = {
        {"chart",
         chart,
         VDlg::IDC_TITLE,
         IDC_LINE_WIDTH,
         VDlg::IDC_RESET,
         VDlg::IDC_APPLY,
         {{VDlg::IDC_HELP, 357}}},
        {"model",
         model,
         CModelPropertiesDlg::IDC_TITLE,
         CModelPropertiesDlg::IDC_VERT_LINES,
         CModelPropertiesDlg::IDC_RESET,
         0,
         {{CModelPropertiesDlg::IDC_HELP, 284}}},
        {"graph",
         sheet,
         Sheet::IDC_MISC_TITLE,
         IDC_AXIS_WIDTH,
         Sheet::IDC_MISC_RESET,
         Sheet::IDC_APPLY_NOW,
         {{Sheet::IDC_X_HELP, 753},
          {Sheet::IDC_G1_HELP, 241},
          {Sheet::IDC_G2_HELP, 243},
          {Sheet::IDC_G3_HELP, 241},
          {Sheet::IDC_MISC_HELP, 411}}},
        {"list",
         params,
         CListParamsDlg::IDC_TITLE,
         IDC_LIST_PRECISION,
         CListParamsDlg::IDC_RESET,
         CListParamsDlg::IDC_APPLY,
         {{CListParamsDlg::IDC_HELP, 49}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MapDataExchange dx;
        c.dlg.OnInitDialog(dx);
        EXPECT_EQ(dx.enabled[c.apply], false);
        c.dlg.OnCommand(dx, c.reset);
        const std::string factory = dx.texts[c.number];
        dx.texts[c.number] += "1";
        dx.texts[c.title] = "Typed";
        c.dlg.OnCommand(dx, c.reset);
        EXPECT_EQ(dx.texts[c.number], factory);
        EXPECT_EQ(dx.texts[c.title], "Typed") << "Reset restores the settings, not the title";
        EXPECT_EQ(dx.enabled[c.apply], c.apply != 0) << "Apply enabled, where there is one";
        for (const auto& [id, topic] : c.help) {
            platform.windows.helpShown.clear();
            EXPECT_TRUE(c.dlg.OnCommand(dx, id));
            EXPECT_EQ(platform.windows.helpShown, std::vector<int>{topic}) << "help button " << id;
        }
        EXPECT_FALSE(c.dlg.OnCommand(dx, 4242));
    }
    EXPECT_EQ(modelTitle, "Model");
}
