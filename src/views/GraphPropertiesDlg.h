#pragma once
// The logic of a graph's property sheet: the pages "X Axis", "Graph 1", "Graph 2", "Graph 3" and
// "Miscellaneous", each on a working copy of one of the graph's settings lists. The axis pages
// choose their trace's block among the document's blocks; nothing reaches the graph before
// "Apply" or OK.

#include "settings/SettingList.h"
#include "settings/SettingsDialog.h"

#include <array>
#include <string>
#include <vector>

class CBlock;
class CGraphBase;
class DataExchange;

class CGraphPropertySheet : public CSettingsDialog {
  public:
    // Pages in the order the sheet shows them.
    enum Page { PAGE_X = 0, PAGE_GRAPH1 = 1, PAGE_GRAPH2 = 2, PAGE_GRAPH3 = 3, PAGE_MISC = 4 };

    enum {
        IDC_APPLY_NOW = 0x3021,
        // X Axis
        IDC_X_BLOCKS = 1077,
        IDC_X_CLEAR = 1230,
        IDC_X_HELP = 1231,
        IDC_GRID_HORIZONTAL = 1237,
        IDC_GRID_VERTICAL = 1238,
        IDC_GRID_BOTH = 1239,
        // Graph 1
        IDC_G1_BLOCKS = 1051,
        IDC_G1_CLEAR = 1177,
        IDC_G1_HELP = 1232,
        IDC_G1_RIGHT = 1240,
        // Graph 2
        IDC_G2_BLOCKS = 1064,
        IDC_G2_CLEAR = 1115,
        IDC_G2_HELP = 1234,
        IDC_G2_WITH1 = 1241,
        IDC_G2_OPPOSITE1 = 1242,
        // Graph 3
        IDC_G3_BLOCKS = 1065,
        IDC_G3_CLEAR = 1114,
        IDC_G3_HELP = 1236,
        IDC_G3_WITH1 = 1243,
        IDC_G3_WITH2 = 1244,
        // Miscellaneous
        IDC_MISC_TITLE = 1204,
        IDC_MISC_NOTES = 1225,
        IDC_MISC_UPDATE = 1221,
        IDC_MISC_RECALL = 4,
        IDC_MISC_RESET = 5,
        IDC_MISC_HELP = 1207,
    };
    static constexpr int kHelpX = 753;
    static constexpr int kHelpGraph1 = 241;
    static constexpr int kHelpGraph2 = 243;
    static constexpr int kHelpGraph3 = 241;
    static constexpr int kHelpMisc = 411;
    static constexpr std::size_t kMaxTitleLength = 28;
    static constexpr const char* kFixedMessage = "Fixed is ignored if Low is not less than High";

    // Offers every block whose AtFirst flag is clear; the working lists are clones of the
    // graph's, the chosen blocks its traces, the title and notes its own.
    explicit CGraphPropertySheet(CGraphBase& graph);
    ~CGraphPropertySheet();

    // The sheet's caption: the graph's title, or "Graph".
    std::string Caption() const;
    // Shows every page's values; "Apply" starts disabled.
    void OnInitDialog(DataExchange& dx) override;
    // Every page's controls: titles and notes, then the five working lists. Throws
    // DataExchangeFailure.
    void DoDataExchange(DataExchange& dx) override;

    // ---- The drop-down lists of the axis pages (page 0..3) ----
    // The candidates' names, in order.
    std::vector<std::string> BlockNames() const;
    // Index of the page's chosen block among the candidates; -1 for none.
    int SelectedIndex(int page) const;
    // The user chose the entry `index` (-1: no selection).
    void OnSelectBlock(DataExchange& dx, int page, int index);
    // Graph 1's "Clear" works only while graph 2 has a block; graph 3's list only then too.
    bool Graph1ClearEnabled() const { return Chosen[2] != nullptr; }
    bool Graph3ListEnabled() const { return Chosen[2] != nullptr; }
    // Shows the enabled state of Graph 1's "Clear" and Graph 3's list (page activation).
    void ShowPageStates(DataExchange& dx);

    // Buttons, check boxes and radio buttons by control id: colours and fonts, "Fixed", "Clear",
    // then the shared ones ("Help" of every page, "Update", "Recall", "Reset", "Apply"). False for
    // an id that is none of them; an edit's text or a radio button that changed goes to
    // OnChanged.
    bool OnCommand(DataExchange& dx, int id) override;

    // Writes the working lists, blocks, title and notes into the graph, then redraws it; the
    // pages then show the graph's automatic ranges. `dx` may be null (no controls to refresh).
    void ApplyProperties(DataExchange* dx);
    // For every axis whose range is not fixed in the graph, the working High and Low := the
    // graph's current (automatic) range; shown when `dx` is given.
    void RefreshPageRanges(DataExchange* dx);

    // The clear buttons of the axis pages (k = 1..3).
    void ClearGraph(DataExchange& dx, int k);
    // The "Fixed" check box of axis k (0 the X axis, 1..3 graphs 1..3): Fixed with Low not below
    // High is refused with a message and the box cleared.
    void OnFixed(DataExchange& dx, int k);

    CGraphBase& Graph;
    std::vector<CBlock*> Candidates;
    std::array<CSettingList, 5> Working;
    // 0: the X source, 1..3: graphs 1..3 (none allowed).
    std::array<CBlock*, 4> Chosen{};
    std::string Title;
    std::string Notes;

  protected:
    std::span<CSettingList> WorkingLists() override { return Working; }
    // Every control, then a page whose Fixed box is ticked over a range with Low not below High
    // has it cleared, with the message.
    bool TakeForApply(DataExchange& dx) override;
    void ApplyWorking(DataExchange& dx) override { ApplyProperties(&dx); }
    // Recalled or reset pages show the graph's automatic ranges where they are not fixed.
    void AfterDefaults() override { RefreshPageRanges(nullptr); }

  private:
    // Clears page k's working "Fixed" when its Low is not below its High; true when it did.
    bool DropUnusableFixed(int k);
    // Working value of control `id` in list `k`.
    template <class T> T& Value(int k, int id) {
        return *Working[static_cast<std::size_t>(k)].FindValue<T>(id);
    }
};
