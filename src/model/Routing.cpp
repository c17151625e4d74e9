// Connection lines: each connected input is drawn as an orthogonal line from the input port back
// to the output of its source. A route record picks a vertical track in the gutter beside the
// destination, a horizontal track in a gap between two rows and a vertical track in the gutter
// beside the source; the search takes the first combination that runs along no other line.

#include "model/Routing.h"

#include "model/OrventDoc.h"
#include "platform/Platform.h"
#include "platform/Text.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

enum RouteField { DEST_TRACK = 0, GAP = 1, GAP_TRACK = 2, SOURCE_TRACK = 3 };

int Cut(double v) {
    return static_cast<int>(v);
}

// Route records are read from files as they stand, so a damaged record can hold any track or gap;
// coordinates are summed wide and saturated, so such a line lands far off instead of overflowing.
int Coordinate(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

void RoutePointsOf(const CBlock& b, int input, const CBlock& s, const RouteGeometry& g,
                   std::array<CPoint, 6>& p) {
    using Wide = long long;
    const double m = g.mag;
    const Wide w2 = g.cellWidth / 2;
    const Wide h2 = g.cellHeight / 2;
    const Wide cw = g.cellWidth;
    const Wide ch = g.cellHeight;
    const bool bInv = b.Invert != 0;
    const bool sInv = s.Invert != 0;
    const auto& r = b.RouteRecord[input].v;
    const int slot = InputSlot(b.InputsShown, input);
    const Wide bx = g.xOrigin + cw * b.Position.x;
    const Wide sx = g.xOrigin + cw * s.Position.x;

    p[0] = {Coordinate(bx + Cut(m * (bInv ? 15 : -15))),
            Coordinate(Cut(m * (11 - kPortOffset[slot])) + ch * b.Position.y - g.yOrigin)};
    p[5] = {Coordinate(sx + Cut(m * (sInv ? -15 : 15))),
            Coordinate(Cut(m * 4) + ch * s.Position.y - g.yOrigin)};

    if (r[DEST_TRACK] == ROUTE_DIRECT) {
        const int x = Coordinate(Wide{p[0].x} + Cut(m * (bInv ? 4 : -4)));
        p[1] = p[2] = {x, p[0].y};
        p[3] = p[4] = {x, p[5].y};
    } else if (r[GAP] == ROUTE_VERTICAL) {
        const int x = Coordinate(bx + Wide{g.vertSpacing} * r[DEST_TRACK] + (bInv ? w2 : -w2));
        p[1] = p[2] = {x, p[0].y};
        p[3] = p[4] = {x, p[5].y};
    } else {
        const int x1 = Coordinate(bx + Wide{g.vertSpacing} * r[DEST_TRACK] + (bInv ? w2 : -w2));
        const int y =
            Coordinate(ch * r[GAP] + Wide{g.horizSpacing} * r[GAP_TRACK] - h2 - g.yOrigin - g.labelOffset);
        const int x2 = Coordinate(sx + Wide{g.vertSpacing} * r[SOURCE_TRACK] + (sInv ? -w2 : w2));
        p[1] = {x1, p[0].y};
        p[2] = {x1, y};
        p[3] = {x2, y};
        p[4] = {x2, p[5].y};
    }
}

// The middle segments of every stored line that a candidate of one source must not run along,
// indexed by their coordinate: horizontal runs by y, vertical runs by x.
class RouteObstacles {
  public:
    RouteObstacles(const COrventDoc& doc, const CBlock* source) {
        std::array<CPoint, 6> p;
        for (const auto& q : doc.Blocks) {
            for (int j = 0; j < 3; ++j) {
                const CBlock* s = q->Inputs[j];
                if (!s || s == source) continue;
                // Lines shown as labels take no room.
                if (q->RouteRecord[j].v[DEST_TRACK] == ROUTE_UNROUTABLE) continue;
                RoutePointsOf(*q, j, *s, kReferenceRouteGeometry, p);
                for (int i = 1; i < 4; ++i)
                    Add(p[i], p[i + 1]);
            }
        }
    }

    bool IsFree(const std::array<CPoint, 6>& p) const {
        for (int i = 1; i < 4; ++i)
            if (Collides(p[i], p[i + 1])) return false;
        return true;
    }

  private:
    using Spans = std::vector<std::pair<int, int>>;

    void Add(CPoint a, CPoint b) {
        if (a.y == b.y) m_horizontal[a.y].emplace_back(std::min(a.x, b.x), std::max(a.x, b.x));
        if (a.x == b.x) m_vertical[a.x].emplace_back(std::min(a.y, b.y), std::max(a.y, b.y));
    }

    static bool Overlaps(const std::unordered_map<int, Spans>& index, int at, int lo, int hi) {
        auto it = index.find(at);
        if (it == index.end()) return false;
        for (const auto& [l, h] : it->second)
            if (std::max(l, lo) <= std::min(h, hi)) return true;
        return false;
    }

    bool Collides(CPoint a, CPoint b) const {
        if (a.y == b.y && Overlaps(m_horizontal, a.y, std::min(a.x, b.x), std::max(a.x, b.x))) return true;
        if (a.x == b.x && Overlaps(m_vertical, a.x, std::min(a.y, b.y), std::max(a.y, b.y))) return true;
        return false;
    }

    std::unordered_map<int, Spans> m_horizontal;
    std::unordered_map<int, Spans> m_vertical;
};

// Tracks of a gutter or gap from `first` towards its other end.
std::vector<int> Tracks(int half, bool ascending) {
    std::vector<int> out;
    for (int t = -half; t <= half; ++t)
        out.push_back(ascending ? t : -t);
    return out;
}

} // namespace

std::array<CPoint, 6> RouteLine(const CBlock& block, int input, const RouteGeometry& geometry) {
    std::array<CPoint, 6> p{};
    RoutePointsOf(block, input, *block.Inputs[input], geometry, p);
    return p;
}

void COrventDoc::ComputeRoute(const CBlock* block, int input, const RouteGeometry& geometry) {
    const CBlock* source = block ? block->Inputs[input] : nullptr;
    if (!source) {
        RoutePoints = {};
        return;
    }
    RoutePointsOf(*block, input, *source, geometry, RoutePoints);
}

bool COrventDoc::IsRouteFree(const CBlock* block, int input) {
    const CBlock* source = block->Inputs[input];
    if (!source) return true;
    ComputeRoute(block, input);
    const auto candidate = RoutePoints;
    return RouteObstacles(*this, source).IsFree(candidate);
}

void COrventDoc::RouteInput(CBlock* block, int input) {
    CBlock* source = block->Inputs[input];
    if (!source) return;
    auto& r = block->RouteRecord[input].v;
    const CPoint b = block->Position;
    const CPoint s = source->Position;
    const bool bInv = block->Invert != 0;
    const bool sInv = source->Invert != 0;
    // The counts are brought into range when read; clamped here too, no count asks for millions of tracks.
    const int v2 = std::clamp(VertLines, 1, 99) / 2;
    const int h2 = std::clamp(HorizLines, 1, 99) / 2;

    // 1. Neighbours facing each other: straight across, nothing to search.
    if (b.y == s.y && bInv == sInv && b.x == s.x + (bInv ? -1 : 1)) {
        r[DEST_TRACK] = ROUTE_DIRECT;
        ComputeRoute(block, input);
        return;
    }

    const RouteObstacles obstacles(*this, source);
    auto tryCandidate = [&](const char* caption) {
        ComputeRoute(block, input);
        if (RouteDebug) {
            UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
            if (Platform().Messages().MessageBox("Check this out!", caption, MB_OKCANCEL) == IDCANCEL)
                RouteDebug = 0;
        }
        return obstacles.IsFree(RoutePoints);
    };

    auto unroutable = [&](const char* text) {
        Platform().Messages().MessageBox(text, "Line Error", MB_OK);
        if (source->LineLabel.empty()) {
            // Codes past 127 are the Latin-1 letters, stored as UTF-8 like every text.
            source->LineLabel = Utf8Encode(static_cast<char32_t>(NextLabel & 0xFF));
            ++NextLabel;
        }
        r[DEST_TRACK] = ROUTE_UNROUTABLE;
    };

    // 2. Source output and destination input open into the same gutter: one vertical run.
    if (s.x + (sInv ? 0 : 1) == b.x + (bInv ? 1 : 0)) {
        r[GAP] = ROUTE_VERTICAL;
        for (int t : Tracks(v2, !sInv)) {
            r[DEST_TRACK] = t;
            if (tryCandidate("Vertical Line")) return;
        }
        unroutable("Vertical Line Not Available");
        return;
    }

    // 3. Down or up the source's gutter, along a gap, into the destination's gutter.
    std::vector<int> gaps;
    if (s.y < b.y)
        for (int g = s.y + 1; g <= b.y; ++g)
            gaps.push_back(g);
    else if (s.y > b.y)
        for (int g = s.y; g >= b.y + 1; --g)
            gaps.push_back(g);
    else
        gaps = {s.y, s.y + 1};
    const std::vector<int> sourceTracks = Tracks(v2, !sInv);
    const std::vector<int> destTracks = Tracks(v2, bInv);
    for (int gap : gaps) {
        r[GAP] = gap;
        for (int st : sourceTracks) {
            r[SOURCE_TRACK] = st;
            for (int gt : Tracks(h2, s.y < gap)) {
                r[GAP_TRACK] = gt;
                for (int dt : destTracks) {
                    r[DEST_TRACK] = dt;
                    if (tryCandidate("General Line")) return;
                }
            }
        }
    }
    unroutable("General Line Not Available");
}

void COrventDoc::RerouteBlock(CBlock* block) {
    if (!block) return;
    for (int k = 0; k < 3; ++k)
        if (block->Inputs[k]) RouteInput(block, k);
    for (const auto& q : Blocks)
        for (int j = 0; j < 3; ++j)
            if (q->Inputs[j] == block) RouteInput(q.get(), j);
    UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
}
