// The dialogs of the chart on the offscreen platform: opened from the menus and from a block,
// driven through their controls, and drawn into gui-renders for people to look at.

#include "BlockEditorDialog.h"
#include "CommandIds.h"
#include "HelpWindow.h"
#include "PropertiesDialog.h"
#include "ShellSupport.h"
#include "ViewHost.h"
#include "blocks/FunctionGenerator.h"
#include "chart/OrventView.h"
#include "model/BlockTypes.h"
#include "render/QtDeviceContext.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
// Runs `act` on the dialog that `open` makes modal, once it shows.
template <class Dialog>
bool WhileModal(const std::function<void()>& open, const std::function<void(Dialog&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!d) return;
        seen = true;
        act(*d);
        // Anything the test left open ends here, so a failure cannot hang the run.
        if (d->isVisible()) d->reject();
    });
    open();
    return seen;
}

void SetText(CExchangeDialog& d, int id, const QString& text) {
    auto* e = qobject_cast<QLineEdit*>(d.Control(id));
    ASSERT_NE(e, nullptr) << "control " << id;
    e->setText(text);
}

// A picture of the dialog in the build's render folder.
void Grab(QWidget& w, const char* name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    w.adjustSize();
    EXPECT_TRUE(w.grab().save(QStringLiteral(KINTRA_RENDER_DIR "/%1.png").arg(QString::fromUtf8(name))));
}

bool Shown(CExchangeDialog& d, int id) {
    QWidget* w = d.Control(id);
    return w && !w->isHidden();
}
} // namespace

class DialogTest : public ShellTest {
  protected:
    COrventDoc& Doc() { return *Frame().ActiveDocument(); }
    CBlock* Add(int code, int column) {
        Doc().PendingBlock = Doc().CreateBlock(code);
        CBlock* b = Doc().PendingBlock.get();
        Doc().PlaceBlock(column, 0);
        return b;
    }
};

TEST_F(DialogTest, BlockEditorShowsTheBlockAndAppliesOk) {
    Start();
    CBlock* source = Add(BlockType::Constant, 1);
    source->Name = "Level";
    CBlock* gain = Add(BlockType::Gain, 2);
    gain->Inputs[0] = source;
    gain->Name = "Valve";

    const bool seen = WhileModal<CBlockEditorDialog>(
        [&] { gain->EditProperties(); },
        [&](CBlockEditorDialog& d) {
            using D = CBlockEditorDlg;
            Grab(d, "dialog-block-editor");
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Block Editor"));
            EXPECT_TRUE(Shown(d, D::IDC_CLEAR1));
            EXPECT_FALSE(Shown(d, D::IDC_CLEAR2));
            EXPECT_FALSE(Shown(d, D::IDC_PARAM2));
            EXPECT_FALSE(Shown(d, D::IDC_DATA));
            EXPECT_EQ(d.Exchange().GetText(D::IDC_SOURCE1), "Level");
            SetText(d, D::IDC_NAME, QStringLiteral("Throttle"));
            SetText(d, D::IDC_PARAM1, QStringLiteral("0.25"));
            QTest::keyClick(&d, Qt::Key_F1); // as the Help button
            EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), CHelpWindow::PageFor(gain->HelpId));
            CHelpWindow::Instance().ShowIndex();
            d.Click(D::IDC_HELP);
            EXPECT_EQ(CHelpWindow::Instance().CurrentPage(), CHelpWindow::PageFor(gain->HelpId));
            d.Click(D::IDC_CLEAR1);
            d.Click(D::IDC_INITIALIZE);
            SetText(d, D::IDC_PARAM1, QStringLiteral("1/4*k"));
            d.Click(D::IDOK);
            EXPECT_TRUE(d.isVisible()) << "a parameter that is no number nor expression keeps it open";
            EXPECT_EQ(d.focusWidget(), d.Control(D::IDC_PARAM1));
            SetText(d, D::IDC_PARAM1, QStringLiteral("1/4"));
            d.Click(D::IDOK);
            EXPECT_FALSE(d.isVisible());
        });
    ASSERT_TRUE(seen);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text,
        "Please enter a number or an expression for Gain (parameter 1): \"k\" is not a name Kintra knows.");
    EXPECT_EQ(gain->Name, "Throttle");
    EXPECT_DOUBLE_EQ(gain->Params[0], 0.25);
    EXPECT_EQ(gain->Inputs[0], nullptr);
    EXPECT_EQ(gain->AtFirst, 1);

    // Cancel leaves the block alone.
    WhileModal<CBlockEditorDialog>([&] { gain->EditProperties(); },
                                   [&](CBlockEditorDialog& d) {
                                       SetText(d, CBlockEditorDlg::IDC_NAME, QStringLiteral("Other"));
                                       d.Click(CBlockEditorDlg::IDCANCEL);
                                   });
    EXPECT_EQ(gain->Name, "Throttle");

    // A constant: no inputs, the box indeterminate.
    CBlock* constant = Add(BlockType::Constant, 3);
    // Texts the user does not touch come back as they were: a value "%g" would round, a name
    // from an old file in Latin-1 (not UTF-8).
    constant->Params[0] = 0.1234567891;
    constant->Name = "D\xE9"
                     "bit";
    WhileModal<CBlockEditorDialog>([&] { constant->EditProperties(); },
                                   [&](CBlockEditorDialog& d) {
                                       Grab(d, "dialog-block-editor-constant");
                                       EXPECT_FALSE(Shown(d, CBlockEditorDlg::IDC_INPUTS_GROUP));
                                       auto* box = qobject_cast<QCheckBox*>(
                                           d.Control(CBlockEditorDlg::IDC_INITIALIZE));
                                       ASSERT_NE(box, nullptr);
                                       EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
                                       d.Click(CBlockEditorDlg::IDC_INITIALIZE);
                                       EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
                                       d.Click(CBlockEditorDlg::IDOK);
                                   });
    EXPECT_NE(constant->AtFirst, 0);
    EXPECT_EQ(constant->Params[0], 0.1234567891);
    EXPECT_EQ(constant->Name, "D\xE9"
                              "bit");
}

TEST_F(DialogTest, FunctionGeneratorDataFromTheBlockEditor) {
    Start();
    auto* fg = static_cast<CFunctionGeneratorBlock*>(Add(BlockType::FunctionGenerator, 1));
    fg->SetOrdinates({1.0, 2.0});
    WhileModal<CBlockEditorDialog>([&] { fg->EditProperties(); },
                                   [&](CBlockEditorDialog& editor) {
                                       Grab(editor, "dialog-block-editor-function");
                                       EXPECT_TRUE(Shown(editor, CBlockEditorDlg::IDC_DATA));
                                       WhileModal<CFunctionDataDialog>(
                                           [&] { editor.Click(CBlockEditorDlg::IDC_DATA); },
                                           [&](CFunctionDataDialog& data) {
                                               EXPECT_EQ(data.List()->count(), 2);
                                               SetText(data, CFunctionDataDlg::IDC_VALUE,
                                                       QStringLiteral("4"));
                                               data.Click(CFunctionDataDlg::IDC_ADD);
                                               EXPECT_EQ(data.List()->count(), 3);
                                               EXPECT_EQ(data.List()->currentRow(), 2);
                                               Grab(data, "dialog-function-data");
                                               data.Click(1);
                                           });
                                       editor.Click(CBlockEditorDlg::IDCANCEL);
                                   });
    EXPECT_EQ(fg->Ordinates, (std::vector<double>{1.0, 2.0, 4.0})) << "kept after the editor's Cancel";
}

TEST_F(DialogTest, FunctionDataSelectionIsWhatTheListShows) {
    Start();
    CFunctionDataDlg logic({1.0, 2.0, 3.0});
    CFunctionDataDialog d(logic);
    d.show();
    QApplication::setActiveWindow(&d);
    QListWidget* list = d.List();
    auto clickLine = [&](int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    };
    auto edit = [&] { return d.Exchange().GetText(CFunctionDataDlg::IDC_VALUE); };

    // Tabbing into the list selects nothing, so Remove asks for a line and removes none.
    d.Control(CFunctionDataDlg::IDC_VALUE)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(d.Control(CFunctionDataDlg::IDC_VALUE), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), list);
    d.Click(CFunctionDataDlg::IDC_REMOVE);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Select a string from the listbox first.");
    EXPECT_EQ(logic.Values.size(), 3u);

    // A click on a line, and on the line already highlighted, loads its text.
    clickLine(1);
    EXPECT_EQ(edit(), "2");
    SetText(d, CFunctionDataDlg::IDC_VALUE, QStringLiteral("4"));
    d.Click(CFunctionDataDlg::IDC_ADD);
    ASSERT_TRUE(list->item(3)->isSelected());
    EXPECT_EQ(edit(), "");
    clickLine(3);
    EXPECT_EQ(edit(), "4");
    d.Click(CFunctionDataDlg::IDC_REPLACE);
    EXPECT_EQ(logic.Values, (std::vector<double>{1.0, 2.0, 3.0, 4.0}));
}

TEST_F(DialogTest, ModelPropertiesFromTheMenuRefusesABadValue) {
    Start();
    EXPECT_TRUE(Frame().Action(ID_PREFERENCES)->isEnabled());
    const bool seen = WhileModal<CModelPropertiesDialog>(
        [&] { Frame().OnCommand(ID_PREFERENCES); },
        [&](CModelPropertiesDialog& d) {
            Grab(d, "dialog-model-properties");
            SetText(d, CModelPropertiesDlg::IDC_TITLE, QStringLiteral("Tank"));
            SetText(d, CModelPropertiesDlg::IDC_VERT_LINES, QStringLiteral("x"));
            d.Click(1);
            EXPECT_TRUE(d.isVisible()) << "a refused value keeps the dialog open";
            EXPECT_EQ(d.focusWidget(), d.Control(CModelPropertiesDlg::IDC_VERT_LINES));
            SetText(d, CModelPropertiesDlg::IDC_VERT_LINES, QStringLiteral("8"));
            d.Click(CModelPropertiesDlg::IDC_INT_STYLE78);
            d.Click(1);
        });
    ASSERT_TRUE(seen);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(Doc().VertLines, 8);
    EXPECT_EQ(Doc().IntStyle, 1);
    EXPECT_EQ(Doc().Title, "Tank");
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Frame().ActiveChildFrame()->windowTitle(), QStringLiteral("Tank"));

    // An empty title gives every caption the chart's own title back.
    WhileModal<CModelPropertiesDialog>([&] { Frame().OnCommand(ID_PREFERENCES); },
                                       [&](CModelPropertiesDialog& d) {
                                           SetText(d, CModelPropertiesDlg::IDC_TITLE, QString());
                                           d.Click(1);
                                       });
    EXPECT_EQ(Frame().ActiveChildFrame()->windowTitle(), QStringLiteral("Chart1"));
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Kintra, The Analog Simulator - Chart1"));
}

TEST_F(DialogTest, ChartViewingPropertiesApplyAndOk) {
    Start();
    CViewHost* host = Frame().ActiveViewHost();
    ASSERT_NE(host, nullptr);
    auto* view = static_cast<COrventView*>(host->View());
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(ID_VIEW_PARAMETERS)->isEnabled());
    const bool seen = WhileModal<CViewingPropertiesDialog>(
        [&] { Frame().OnCommand(ID_VIEW_PARAMETERS); },
        [&](CViewingPropertiesDialog& d) {
            Grab(d, "dialog-chart-viewing-properties");
            EXPECT_FALSE(d.Control(CViewingPropertiesDlg::IDC_APPLY)->isEnabled());
            SetText(d, CViewingPropertiesDlg::IDC_TITLE, QStringLiteral("Tank level"));
            d.Click(IDC_NAME_DISPLAY);
            EXPECT_TRUE(d.Control(CViewingPropertiesDlg::IDC_APPLY)->isEnabled());
            d.Click(CViewingPropertiesDlg::IDC_APPLY);
            EXPECT_EQ(view->ChartTitle, "Tank level");
            EXPECT_EQ(host->Caption(), QStringLiteral("Tank level"));
            SetText(d, IDC_HOLD_SIZE, QStringLiteral("5"));
            d.Click(1);
        });
    ASSERT_TRUE(seen);
    EXPECT_EQ(view->HoldSize, 5);
    EXPECT_EQ(view->NameDisplay, 0);
}

TEST_F(DialogTest, DebuggingSettingsSetsTheRouteFlag) {
    Start();
    const bool seen =
        WhileModal<CDebugSettingsDialog>([&] { Frame().OnCommand(ID_DEBUG_SETTINGS); },
                                         [&](CDebugSettingsDialog& d) {
                                             Grab(d, "dialog-debugging-settings");
                                             EXPECT_EQ(d.windowTitle(), QStringLiteral("Debugging Settings"));
                                             d.Click(CDebugSettingsDlg::IDC_CONNECT);
                                             d.Click(1);
                                         });
    ASSERT_TRUE(seen);
    EXPECT_EQ(Doc().RouteDebug, 1);
}

TEST_F(DialogTest, LeavingMagFactRescalesWithTheSizingLock) {
    Start();
    auto* view = static_cast<COrventView*>(Frame().ActiveViewHost()->View());
    view->SizeLock = 1;
    view->MagBmp = 1.0;
    view->LineWidth = 1;
    const bool seen =
        WhileModal<CViewingPropertiesDialog>([&] { Frame().OnCommand(ID_VIEW_PARAMETERS); },
                                             [&](CViewingPropertiesDialog& d) {
                                                 QApplication::setActiveWindow(&d);
                                                 QWidget* mag = d.Control(IDC_MAG_BMP);
                                                 mag->setFocus(Qt::TabFocusReason);
                                                 SetText(d, IDC_MAG_BMP, QStringLiteral("3"));
                                                 d.Control(IDC_HOLD_SIZE)->setFocus(Qt::TabFocusReason);
                                                 EXPECT_EQ(d.Exchange().GetText(IDC_LINE_WIDTH), "3");
                                                 d.Click(2);
                                             });
    ASSERT_TRUE(seen);
    EXPECT_EQ(view->LineWidth, 1) << "Cancel applies nothing";
}

TEST_F(DialogTest, CancelClosesTheViewingPropertiesEvenWithABadMagnification) {
    Start();
    auto* view = static_cast<COrventView*>(Frame().ActiveViewHost()->View());
    view->SizeLock = 1;
    const double mag = view->MagBmp;
    const bool seen =
        WhileModal<CViewingPropertiesDialog>([&] { Frame().OnCommand(ID_VIEW_PARAMETERS); },
                                             [&](CViewingPropertiesDialog& d) {
                                                 QApplication::setActiveWindow(&d);
                                                 d.Control(IDC_MAG_BMP)->setFocus(Qt::TabFocusReason);
                                                 SetText(d, IDC_MAG_BMP, QStringLiteral("abc"));
                                                 QTest::mouseClick(d.Control(2), Qt::LeftButton);
                                                 EXPECT_FALSE(d.isVisible());
                                             });
    ASSERT_TRUE(seen);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(view->MagBmp, mag);
}

TEST_F(DialogTest, FontChooserOpensOnTheDrawnFontAndKeepsWhatWasNotChanged) {
    Start();
    const LOGFONT original = DefaultLogFont(); // the chart's default font
    const QFont drawn = QtDeviceContext::FontFor(original, 1.0);
    auto choose = [&](const std::function<void(QFontDialog&)>& act) {
        LOGFONT font = original;
        COLORREF color = RGB(1, 2, 3);
        WhileModal<QDialog>([&] { EXPECT_TRUE(Platform().Windows().ChooseFont(font, &color, 0x101)); },
                            [&](QDialog& d) {
                                auto* chooser = d.findChild<QFontDialog*>();
                                ASSERT_NE(chooser, nullptr);
                                Grab(d, "dialog-font-chooser");
                                EXPECT_EQ(chooser->currentFont().family(), QFontInfo(drawn).family());
                                EXPECT_EQ(chooser->currentFont().pointSize(), 9)
                                    << "13 units are 9.36 points";
                                act(*chooser);
                                d.accept();
                            });
        EXPECT_EQ(color, RGB(1, 2, 3));
        return font;
    };
    EXPECT_EQ(choose([](QFontDialog&) {}), original) << "OK without a change changes nothing";
    const LOGFONT bold =
        choose([](QFontDialog& c) { c.setCurrentFont(QFont(c.currentFont().family(), 12, QFont::Bold)); });
    EXPECT_EQ(bold.lfWeight, 700);
    EXPECT_EQ(bold.lfHeight, -17);
    EXPECT_EQ(bold.FaceName(), original.FaceName()) << "the face was left alone";
}
