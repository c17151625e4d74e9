#include "FrameLayout.h"

#include "platform/SettingsStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {
std::string Section(const std::string& prefix, const char* suffix) {
    return prefix + suffix;
}
std::string BarSection(const std::string& prefix, int index) {
    return prefix + "-Bar" + std::to_string(index);
}
std::string BarKey(int n) {
    return "Bar#" + std::to_string(n);
}
bool IsDockId(int id) {
    return id >= kDockTopId && id <= kDockBottomId;
}
} // namespace

std::vector<DefaultBarPlace> DefaultBarRows(int frameWidth, const std::vector<BarSpec>& order) {
    std::vector<DefaultBarPlace> out;
    int left = frameWidth;
    int x = -2;
    int y = -2;
    for (const BarSpec& b : order) {
        const int e = DefaultBarWidth(b);
        bool startsRow = false;
        if (e < left) {
            left -= e;
        } else {
            startsRow = true;
            y += 30;
            x = -2;
            left = frameWidth - e;
        }
        out.push_back({b.id, b.sectionIndex, x, y, e, startsRow});
        x += e - 2;
    }
    return out;
}

void WriteDefaultBarState(SettingsStore& store, const std::string& prefix, int frameWidth, int screenWidth,
                          int screenHeight, const std::vector<BarSpec>& order) {
    const std::string dock = BarSection(prefix, 0);
    const std::string summary = Section(prefix, "-Summary");
    store.WriteProfileInt(dock, BarKey(0), 0);
    store.WriteProfileInt(summary, "Bars", 11);
    store.WriteProfileInt(summary, "ScreenCX", screenWidth);
    store.WriteProfileInt(summary, "ScreenCY", screenHeight);
    store.WriteProfileInt(dock, "BarId", kDockTopId);
    store.WriteProfileInt(BarSection(prefix, 1), "BarId", kStatusBarId);
    int n = 0;
    for (const DefaultBarPlace& p : DefaultBarRows(frameWidth, order)) {
        ++n;
        if (p.startsRow) {
            store.WriteProfileInt(dock, BarKey(n), 0);
            ++n;
        }
        store.WriteProfileInt(dock, BarKey(n), p.id);
        const std::string s = BarSection(prefix, p.sectionIndex);
        store.WriteProfileInt(s, "XPos", p.x);
        store.WriteProfileInt(s, "YPos", p.y);
        store.WriteProfileInt(s, "MRUDockLeftPos", p.x);
        store.WriteProfileInt(s, "MRUDockTopPos", p.y);
        store.WriteProfileInt(s, "MRUDockBottomPos", p.y + 32);
        store.WriteProfileInt(s, "MRUDockRightPos", p.width + p.x);
        store.WriteProfileInt(s, "MRUDockID", p.x < 0 ? 0 : kDockTopId);
        store.WriteProfileInt(s, "MRUFloatStyle", 8192);
        store.WriteProfileString(s, "MRUFloatXPos", "-2147483648");
        store.WriteProfileInt(s, "MRUFloatYPos", -842150451);
        store.WriteProfileInt(s, "Docking", 1);
        store.WriteProfileInt(s, "BarID", p.id);
    }
    ++n;
    store.WriteProfileInt(dock, BarKey(n), 0);
    store.WriteProfileInt(dock, "Bars", n + 1);
}

bool ReadBarState(SettingsStore& store, const std::string& prefix, BarState& state) {
    const std::string summary = Section(prefix, "-Summary");
    const int count = store.GetProfileInt(summary, "Bars", -1);
    if (count < 0) return false;
    state = BarState{};
    state.screenWidth = store.GetProfileInt(summary, "ScreenCX", 0);
    state.screenHeight = store.GetProfileInt(summary, "ScreenCY", 0);
    state.toolkitLayout = store.GetProfileString(summary, "Layout", "");
    // A damaged count must not make us walk a huge number of sections.
    const int sections = count > 256 ? 256 : count;
    for (int i = 0; i < sections; ++i) {
        const std::string s = BarSection(prefix, i);
        const int dockId = store.GetProfileInt(s, "BarId", 0);
        if (IsDockId(dockId)) {
            BarState::Dock dock;
            dock.dockId = dockId;
            int entries = store.GetProfileInt(s, "Bars", 0);
            if (entries > 1024) entries = 1024;
            std::vector<int> row;
            for (int n = 0; n < entries; ++n) {
                const int id = store.GetProfileInt(s, BarKey(n), 0);
                if (id == 0) {
                    if (!row.empty()) dock.rows.push_back(row);
                    row.clear();
                } else {
                    row.push_back(id);
                }
            }
            if (!row.empty()) dock.rows.push_back(row);
            state.docks.push_back(dock);
            continue;
        }
        if (dockId == kStatusBarId) {
            state.statusBarVisible = store.GetProfileInt(s, "Visible", 1) != 0;
            continue;
        }
        const int barId = store.GetProfileInt(s, "BarID", 0);
        if (barId == 0) continue;
        BarState::Bar bar;
        bar.id = barId;
        bar.x = store.GetProfileInt(s, "XPos", 0);
        bar.y = store.GetProfileInt(s, "YPos", 0);
        bar.visible = store.GetProfileInt(s, "Visible", 1) != 0;
        bar.floating = store.GetProfileInt(s, "Floating", 0) != 0;
        state.bars[barId] = bar;
    }
    return true;
}

void WriteBarState(SettingsStore& store, const std::string& prefix, const BarState& state,
                   const std::vector<int>& sectionOrder) {
    int index = 0;
    for (const BarState::Dock& dock : state.docks) {
        const std::string s = BarSection(prefix, index++);
        store.WriteProfileInt(s, "BarId", dock.dockId);
        int n = 0;
        store.WriteProfileInt(s, BarKey(n++), 0);
        for (std::size_t r = 0; r < dock.rows.size(); ++r) {
            if (r > 0) store.WriteProfileInt(s, BarKey(n++), 0);
            for (int id : dock.rows[r])
                store.WriteProfileInt(s, BarKey(n++), id);
        }
        store.WriteProfileInt(s, BarKey(n++), 0);
        store.WriteProfileInt(s, "Bars", n);
    }
    const std::string status = BarSection(prefix, index++);
    store.WriteProfileInt(status, "BarId", kStatusBarId);
    store.WriteProfileInt(status, "Visible", state.statusBarVisible ? 1 : 0);
    for (int id : sectionOrder) {
        auto it = state.bars.find(id);
        if (it == state.bars.end()) continue;
        const BarState::Bar& b = it->second;
        const std::string s = BarSection(prefix, index++);
        store.WriteProfileInt(s, "BarID", id);
        store.WriteProfileInt(s, "XPos", b.x);
        store.WriteProfileInt(s, "YPos", b.y);
        store.WriteProfileInt(s, "Visible", b.visible ? 1 : 0);
        store.WriteProfileInt(s, "Docking", 1);
        store.WriteProfileInt(s, "Floating", b.floating ? 1 : 0);
    }
    const std::string summary = Section(prefix, "-Summary");
    store.WriteProfileInt(summary, "Bars", index);
    store.WriteProfileInt(summary, "ScreenCX", state.screenWidth);
    store.WriteProfileInt(summary, "ScreenCY", state.screenHeight);
    if (!state.toolkitLayout.empty()) store.WriteProfileString(summary, "Layout", state.toolkitLayout);
}

std::string FormatPlacement(const FramePlacement& p) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", p.flags, p.showCmd, p.minX, p.minY,
                  p.maxX, p.maxY, p.left, p.top, p.right, p.bottom);
    return buf;
}

bool ParsePlacement(const std::string& text, FramePlacement& p) {
    if (text.empty()) return false;
    FramePlacement q;
    if (std::sscanf(text.c_str(), "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", &q.flags, &q.showCmd, &q.minX, &q.minY,
                    &q.maxX, &q.maxY, &q.left, &q.top, &q.right, &q.bottom) != 10)
        return false;
    p = q;
    return true;
}

int ResolveShowState(const FramePlacement& p, int requested) {
    int show = requested == kShowNormal ? static_cast<int>(p.showCmd) : requested;
    // Minimised states (2, 6, 7): a program that starts as an icon looks as if it did not start.
    if (show == kShowMinimized || show == 6 || show == 7)
        show = (p.flags & kPlaceRestoreToMaximized) ? kShowMaximized : kShowNormal;
    if (show != kShowMaximized) show = kShowNormal;
    return show;
}

WindowRect FitInside(WindowRect r, int areaWidth, int areaHeight) {
    r.width = std::max(1, std::min(r.width, areaWidth));
    r.height = std::max(1, std::min(r.height, areaHeight));
    r.x = std::max(0, std::min(r.x, areaWidth - r.width));
    r.y = std::max(0, std::min(r.y, areaHeight - r.height));
    return r;
}

std::string FormatChildPlacements(const std::vector<ChildPlacement>& windows) {
    std::string text;
    for (const ChildPlacement& w : windows) {
        if (!text.empty()) text.push_back(';');
        char buf[80];
        std::snprintf(buf, sizeof buf, "%d,%d,%d,%d,%d", w.rect.x, w.rect.y, w.rect.width, w.rect.height,
                      w.state);
        text.append(buf);
    }
    return text;
}

bool ParseChildPlacements(const std::string& text, std::vector<ChildPlacement>& windows) {
    windows.clear();
    std::vector<ChildPlacement> out;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string item = text.substr(start, end - start);
        ChildPlacement w;
        int used = 0;
        if (std::sscanf(item.c_str(), "%d,%d,%d,%d,%d%n", &w.rect.x, &w.rect.y, &w.rect.width, &w.rect.height,
                        &w.state, &used) != 5 ||
            used != static_cast<int>(item.size()) || w.rect.width <= 0 || w.rect.height <= 0 || w.state < 0 ||
            w.state > 2)
            return false;
        out.push_back(w);
        start = end + 1;
    }
    if (out.empty()) return false;
    windows = std::move(out);
    return true;
}

std::string PlacementKey(const std::string& path) {
    // 64-bit FNV-1a.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : path) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}
