#pragma once
// The arithmetic of the main frame's tool-bar arrangement and window placement, kept free of Qt
// so that it can be checked on its own. The arrangement is stored in the settings store in the
// classic bar-state layout: "General-Summary" and "General-Bar" + index.

#include <map>
#include <string>
#include <vector>

class SettingsStore;

// Ids of the frame's parts as they appear in the stored arrangement.
constexpr int kMainBarId = 59392;
constexpr int kStatusBarId = 59393;
constexpr int kDockTopId = 59419;
constexpr int kDockLeftId = 59420;
constexpr int kDockRightId = 59421;
constexpr int kDockBottomId = 59422;

// One tool bar of the frame: its id (= the show/hide command), its section index in the stored
// arrangement and its button counts.
struct BarSpec {
    int id;
    int sectionIndex;
    int buttons;
    int separators;
};

// Width of a docked bar in the default arrangement.
constexpr int DefaultBarWidth(const BarSpec& b) {
    return 23 * b.buttons + 8 * b.separators + 16;
}

// Where the default arrangement puts one bar.
struct DefaultBarPlace {
    int id;
    int sectionIndex;
    int x;
    int y;
    int width;
    bool startsRow; // a row break comes before this bar
};

// Row filling: bars are taken in `order`; a bar that does not fit in what is left of the frame
// width starts a new row 30 units lower.
std::vector<DefaultBarPlace> DefaultBarRows(int frameWidth, const std::vector<BarSpec>& order);

// Writes the default arrangement for `order` under `prefix` ("General"), as a first run does.
void WriteDefaultBarState(SettingsStore& store, const std::string& prefix, int frameWidth, int screenWidth,
                          int screenHeight, const std::vector<BarSpec>& order);

// An arrangement as stored: the dock sides with their rows of bar ids, and each bar's state.
struct BarState {
    struct Dock {
        int dockId = kDockTopId;
        std::vector<std::vector<int>> rows;
    };
    struct Bar {
        int id = 0;
        int x = 0;
        int y = 0;
        bool visible = true;
        bool floating = false;
    };
    std::vector<Dock> docks;
    std::map<int, Bar> bars; // by bar id
    bool statusBarVisible = true;
    int screenWidth = 0;
    int screenHeight = 0;
    // The toolkit's own record of the bars ("Layout" in the summary, Base64), through which a
    // floating bar is floated again; empty when none is stored.
    std::string toolkitLayout;
};

// False when nothing is stored ("Bars" missing from prefix + "-Summary").
bool ReadBarState(SettingsStore& store, const std::string& prefix, BarState& state);
// Writes `state`; bar sections are numbered after the dock bars and the status bar in the order
// of `sectionOrder` (bar ids), which keeps the section of each bar stable.
void WriteBarState(SettingsStore& store, const std::string& prefix, const BarState& state,
                   const std::vector<int>& sectionOrder);

// The frame's placement: flags, show state, minimised and maximised positions, normal rectangle.
struct FramePlacement {
    unsigned flags = 0;
    unsigned showCmd = 1;
    int minX = -1;
    int minY = -1;
    int maxX = -1;
    int maxY = -1;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

constexpr unsigned kPlaceRestoreToMaximized = 2;
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

// "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d"
std::string FormatPlacement(const FramePlacement& p);
// True when the text yields ten numbers in that format.
bool ParsePlacement(const std::string& text, FramePlacement& p);
// The show state to use on start-up: the stored one, or the requested one unless that is
// show-normal. A window stored minimised comes back normal or maximised (never minimised).
int ResolveShowState(const FramePlacement& p, int requested);

// ---- The windows of a chart inside the main window ----

// A window's rectangle in the main window's client area.
struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};
// The window moved, and shrunk where it is larger, so that it lies wholly inside an area of
// that size.
WindowRect FitInside(WindowRect r, int areaWidth, int areaHeight);

// Where a chart's windows were when it was saved, in the order the chart keeps them; state 0
// normal, 1 maximised, 2 minimised.
struct ChildPlacement {
    WindowRect rect;
    int state = 0;
    bool operator==(const ChildPlacement&) const = default;
};
// "x,y,width,height,state" per window, separated by ";".
std::string FormatChildPlacements(const std::vector<ChildPlacement>& windows);
// False (and nothing) for text that is not such a list, or holds a window of no size.
bool ParseChildPlacements(const std::string& text, std::vector<ChildPlacement>& windows);
// The settings value name under which a chart file's placements are kept: a hash of its path,
// the same on every run.
std::string PlacementKey(const std::string& path);
