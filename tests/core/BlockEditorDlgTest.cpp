// The Block Editor and Debugging Settings logic, driven through a map of controls.

#include "blocks/BlockEditorDlg.h"
#include "BlockTestSupport.h"
#include "blocks/FunctionDataDlg.h"
#include "blocks/FunctionGenerator.h"
#include "model/BlockTypes.h"
#include "platform/DataExchange.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using Dlg = CBlockEditorDlg;

namespace {
// The dialog as the user drives it: open on the block, let `edit` act on the controls, then OK
// (or Cancel); returns whether it was OK.
struct Editor {
    explicit Editor(CBlock& b) : data(b.MakeEditorData()), dlg(data) { dlg.OnInitDialog(dx); }
    void Ok() {
        ASSERT_TRUE(dlg.OnOK(dx));
        data.Block->ApplyEditorData(data);
    }
    CBlockEditorData data;
    Dlg dlg;
    MapDataExchange dx;
};
} // namespace

TEST_F(BlockRun, EditorInitializeBoxFollowsTheKind) {
    CBlock* constant = Constant(3.0);
    constant->AtFirst = 1;
    {
        Editor e(*constant);
        EXPECT_EQ(e.dx.checks[Dlg::IDC_INITIALIZE], 2);
        EXPECT_TRUE(e.dx.visible[Dlg::IDC_INITIALIZE]);
        e.dlg.OnCommand(e.dx, Dlg::IDC_INITIALIZE);
        EXPECT_EQ(e.dx.checks[Dlg::IDC_INITIALIZE], 2) << "a constant's box cannot be toggled";
        // One input-less row set: no input group, one parameter captioned "Value".
        EXPECT_FALSE(e.dx.visible[Dlg::IDC_INPUTS_GROUP]);
        EXPECT_EQ(e.dx.texts[Dlg::IDC_CLEAR_CAPTION], "");
        EXPECT_EQ(e.dx.texts[Dlg::IDC_PARAM_LABEL1], "Value");
        EXPECT_FALSE(e.dx.visible[Dlg::IDC_PARAM2]);
        e.Ok();
        EXPECT_NE(constant->AtFirst, 0);
    }

    CBlock* integrate = Add(BlockType::Integrate);
    integrate->AtFirst = 1;
    {
        Editor e(*integrate);
        EXPECT_FALSE(e.dx.visible[Dlg::IDC_INITIALIZE]);
        e.Ok();
        EXPECT_EQ(integrate->AtFirst, 0) << "a hidden box yields 0";
    }

    CBlock* sum = Add(BlockType::Sum);
    sum->AtFirst = 1;
    {
        Editor e(*sum);
        EXPECT_EQ(e.dx.checks[Dlg::IDC_INITIALIZE], 1);
        e.dlg.OnCommand(e.dx, Dlg::IDC_INITIALIZE);
        EXPECT_EQ(e.dx.checks[Dlg::IDC_INITIALIZE], 0);
        e.Ok();
        EXPECT_EQ(sum->AtFirst, 0);
    }
}

TEST_F(BlockRun, EditorShowsOnlyTheRowsOfTheType) {
    CBlock* gain = Add(BlockType::Gain);
    Editor e(*gain);
    EXPECT_TRUE(e.dx.visible[Dlg::IDC_CLEAR1]);
    EXPECT_FALSE(e.dx.visible[Dlg::IDC_CLEAR2]);
    EXPECT_FALSE(e.dx.visible[Dlg::IDC_CLEAR3]);
    EXPECT_EQ(e.dx.texts[Dlg::IDC_INPUT_LABEL2], "");
    EXPECT_EQ(e.dx.texts[Dlg::IDC_INPUT_LABEL3], "");
    EXPECT_TRUE(e.dx.visible[Dlg::IDC_PARAM1]);
    EXPECT_FALSE(e.dx.visible[Dlg::IDC_PARAM2]);
    EXPECT_EQ(e.dx.texts[Dlg::IDC_PARAM_LABEL2], "");
    EXPECT_EQ(e.dx.texts[Dlg::IDC_CLEAR_CAPTION], "Clear");
    EXPECT_EQ(e.dx.texts[Dlg::IDC_CURRENT_CAPTION], "Current");
    EXPECT_FALSE(e.dx.visible[Dlg::IDC_DATA]) << "only the Function Generator has Data";

    CBlock* quit = Add(BlockType::Quit);
    Editor q(*quit);
    EXPECT_EQ(q.dx.texts[Dlg::IDC_CURRENT_VALUE], "");
    EXPECT_EQ(q.dx.texts[Dlg::IDC_CURRENT_CAPTION], "");
}

TEST_F(BlockRun, EditorTakesTheEntriesOnOkOnly) {
    CBlock* source = Constant(1.0);
    source->Name = "Source";
    CBlock* gain = WithInputs(BlockType::Gain, {kOpen});
    gain->Inputs[0] = source;
    {
        Editor e(*gain);
        EXPECT_EQ(e.dx.texts[Dlg::IDC_SOURCE1], "Source");
        e.dlg.OnCommand(e.dx, Dlg::IDC_CLEAR1);
        EXPECT_EQ(e.dx.texts[Dlg::IDC_SOURCE1], "");
        // Cancel: nothing applied.
    }
    EXPECT_EQ(gain->Inputs[0], source);

    Editor e(*gain);
    e.dx.texts[Dlg::IDC_NAME] = std::string(50, 'n');
    e.dx.texts[Dlg::IDC_PARAM1] = "5^2";
    e.dx.texts[Dlg::IDC_NOTES] = "two\nlines";
    e.dx.checks[Dlg::IDC_INVERT] = 1;
    e.dlg.OnCommand(e.dx, Dlg::IDC_CLEAR1);
    EXPECT_EQ(e.dx.texts[Dlg::IDC_NAME], std::string(35, 'n')) << "the X takes the controls first";
    platform.windows.colorAnswer = std::make_unique<COLORREF>(RGB(1, 2, 3));
    e.dlg.OnCommand(e.dx, Dlg::IDC_LINE_COLOR);
    e.Ok();
    EXPECT_EQ(gain->Name, std::string(35, 'n'));
    EXPECT_DOUBLE_EQ(gain->Params[0], 25.0);
    EXPECT_EQ(gain->Notes, "two\nlines");
    EXPECT_EQ(gain->Invert, 1);
    EXPECT_EQ(gain->Inputs[0], nullptr);
    EXPECT_EQ(gain->LineColor, RGB(1, 2, 3));
}

TEST_F(BlockRun, EditorLeavesUntouchedParametersExactlyAsTheyWere) {
    // A Gain shows one parameter row; the hidden two must survive OK as well.
    CBlock* gain = Add(BlockType::Gain);
    const double values[] = {0.1234567891, 1.0 / 3.0, -2.5e-300, 6.02214076e23, 100000.0, -0.0};
    for (double shownValue : values) {
        gain->Params = {shownValue, std::nextafter(1.0, 2.0), -std::nan("")};
        Editor e(*gain);
        EXPECT_EQ(std::strtod(e.dx.texts[Dlg::IDC_PARAM1].c_str(), nullptr), shownValue)
            << e.dx.texts[Dlg::IDC_PARAM1] << " reads back to the value";
        const auto before = gain->Params;
        e.Ok();
        EXPECT_EQ(std::memcmp(&before, &gain->Params, sizeof before), 0) << shownValue;
    }
    Editor e(*gain);
    e.dx.texts[Dlg::IDC_PARAM1] = "0.1234567891e1";
    e.Ok();
    EXPECT_EQ(gain->Params[0], 1.234567891) << "an edited text is read";
}

TEST_F(BlockRun, EditorRefusesAParameterThatIsNeitherNumberNorExpression) {
    // The Clock has three labelled rows.
    CBlock* clock = doc.Clock();
    const auto before = clock->Params;
    Editor e(*clock);
    e.dx.texts[Dlg::IDC_PARAM1] = "1e-3";
    e.dx.texts[Dlg::IDC_PARAM2] = "2**";
    e.dx.texts[Dlg::IDC_NAME] = "Time";
    EXPECT_FALSE(e.dlg.OnOK(e.dx)) << "the dialog stays open";
    EXPECT_EQ(e.dx.focus, Dlg::IDC_PARAM2);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Please enter a number or an expression for Output Interval "
                                               "(parameter 2): \"*\" cannot stand at character 3.");
    EXPECT_EQ(platform.messages.shown[0].caption, "Kintra");
    EXPECT_EQ(clock->Params, before);
    EXPECT_NE(clock->Name, "Time");

    e.dx.texts[Dlg::IDC_PARAM2] = "1/8";
    e.dx.texts[Dlg::IDC_PARAM3] = "2*pi";
    e.Ok();
    EXPECT_EQ(clock->Params, (std::array<double, 3>{1e-3, 0.125, 2 * 3.141592653589793}));
    EXPECT_EQ(clock->Name, "Time");

    // Only OK judges the parameters: "X" takes the controls as they are.
    CBlock* gain = WithInputs(BlockType::Gain, {1.0});
    Editor g(*gain);
    g.dx.texts[Dlg::IDC_PARAM1] = "k";
    platform.messages.shown.clear();
    g.dlg.OnCommand(g.dx, Dlg::IDC_CLEAR1);
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(g.dx.texts[Dlg::IDC_SOURCE1], "");
    EXPECT_EQ(g.dx.texts[Dlg::IDC_PARAM1], "k");
    EXPECT_FALSE(g.dlg.OnOK(g.dx));
}

TEST_F(BlockRun, EditorCutsOnlyTheLinksClearedWithX) {
    CBlock* unnamed = Constant(2.0);
    unnamed->Name.clear();
    CBlock* sum = Add(BlockType::Sum);
    sum->Inputs = {unnamed, unnamed, unnamed};
    {
        Editor e(*sum);
        EXPECT_EQ(e.dx.texts[Dlg::IDC_SOURCE1], "");
        e.Ok();
    }
    EXPECT_EQ(sum->Inputs, (std::array<CBlock*, 3>{unnamed, unnamed, unnamed})) << "OK alone cuts nothing";
    Editor e(*sum);
    e.dlg.OnCommand(e.dx, Dlg::IDC_CLEAR2);
    e.Ok();
    EXPECT_EQ(sum->Inputs, (std::array<CBlock*, 3>{unnamed, nullptr, unnamed}));
}

TEST_F(BlockRun, EditorLimitsTheNameInCharacters) {
    CBlock* gain = Add(BlockType::Gain);
    std::string accented;
    for (int i = 0; i < 40; ++i)
        accented += "\xC3\xA9";
    Editor e(*gain);
    e.dx.texts[Dlg::IDC_NAME] = accented;
    e.Ok();
    EXPECT_EQ(gain->Name, accented.substr(0, 70)) << "35 whole characters";
}

TEST_F(BlockRun, EditorDataButtonReplacesTheTableAtOnce) {
    auto* fg = static_cast<CFunctionGeneratorBlock*>(Add(BlockType::FunctionGenerator));
    fg->SetOrdinates({0.0, 1.0, 4.0});
    Editor e(*fg);
    EXPECT_TRUE(e.dx.visible[Dlg::IDC_DATA]);
    std::vector<double> shown;
    e.dlg.RunDataDialog = [&](CFunctionDataDlg& d) {
        shown = d.Values;
        d.Values.push_back(9.0);
        return false; // Cancel
    };
    e.dlg.OnCommand(e.dx, Dlg::IDC_DATA);
    EXPECT_EQ(shown, (std::vector<double>{0.0, 1.0, 4.0}));
    EXPECT_EQ(fg->Ordinates.size(), 3u);

    e.dlg.RunDataDialog = [](CFunctionDataDlg& d) {
        d.Values = {5.0, 6.0, 7.0, 8.0};
        return true;
    };
    doc.SetModifiedFlag(false);
    e.dlg.OnCommand(e.dx, Dlg::IDC_DATA);
    // Cancelling the Block Editor afterwards keeps the new table.
    EXPECT_EQ(fg->Ordinates, (std::vector<double>{5.0, 6.0, 7.0, 8.0}));
    EXPECT_TRUE(fg->Abscissas.empty()) << "the spline is prepared again";
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(BlockRun, DebugSettingsCarriesTheConnectBox) {
    CDebugSettingsDlg dlg(1);
    MapDataExchange dx;
    dlg.DoDataExchange(dx);
    EXPECT_EQ(dx.checks[CDebugSettingsDlg::IDC_CONNECT], 1);
    dx.checks[CDebugSettingsDlg::IDC_CONNECT] = 0;
    dx.saving = true;
    dlg.DoDataExchange(dx);
    EXPECT_EQ(dlg.RouteDebug, 0);
}
