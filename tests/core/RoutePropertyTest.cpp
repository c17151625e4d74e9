// Random charts: every line the search stores runs along no line of another source that stood
// when it was made, and every line is made of horizontal and vertical runs only.

#include "ChartTestSupport.h"

#include <random>
#include <set>

namespace {

struct Segment {
    CPoint a;
    CPoint b;
};

// An independent statement of the collision rule.
bool Collide(const Segment& s, const Segment& t) {
    const int sl = std::min(s.a.x, s.b.x), sr = std::max(s.a.x, s.b.x);
    const int st = std::min(s.a.y, s.b.y), sb = std::max(s.a.y, s.b.y);
    const int tl = std::min(t.a.x, t.b.x), tr = std::max(t.a.x, t.b.x);
    const int tt = std::min(t.a.y, t.b.y), tb = std::max(t.a.y, t.b.y);
    if (st == sb && tt == tb && st == tt && std::max(sl, tl) <= std::min(sr, tr)) return true;
    if (sl == sr && tl == tr && sl == tl && std::max(st, tt) <= std::min(sb, tb)) return true;
    return false;
}

bool Orthogonal(const std::array<CPoint, 6>& p) {
    for (int i = 0; i < 5; ++i)
        if (p[i].x != p[i + 1].x && p[i].y != p[i + 1].y) return false;
    return true;
}

class RouteProperty : public ChartTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(RouteProperty, StoredLinesAreFreeAndOrthogonal) {
    std::mt19937 rng(GetParam());
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    doc.VertLines = pick(1, 5);
    doc.HorizLines = pick(1, 5);
    view.MagBmp = pick(0, 1) ? 1.0 : 1.7;
    view.RecalcLayout(&dc);

    std::set<std::pair<int, int>> used{{0, 0}};
    std::vector<PassBlock*> blocks;
    const int count = pick(6, 20);
    while (static_cast<int>(blocks.size()) < count) {
        const int x = pick(0, 6);
        const int y = -pick(0, 6);
        if (!used.insert({x, y}).second) continue;
        blocks.push_back(Add(x, y, pick(0, 3), pick(0, 3) == 0));
    }

    int checked = 0;
    for (int n = 0; n < 40; ++n) {
        PassBlock* to = blocks[pick(0, count - 1)];
        if (to->InputsShown == 0) continue;
        const int input = pick(0, to->InputsShown - 1);
        if (to->Inputs[input]) continue;
        CBlock* from = blocks[pick(0, count - 1)];
        if (pick(0, 9) == 0 && !to->Invert) {
            to->Inputs[input] = from;
            doc.RerouteBlock(to);
        } else {
            Connect(from, to, input);
        }
        const auto& r = to->RouteRecord[input].v;
        doc.ComputeRoute(to, input);
        const auto made = doc.RoutePoints;
        ASSERT_TRUE(Orthogonal(made));
        doc.ComputeRoute(to, input, view.LineGeometry());
        ASSERT_TRUE(Orthogonal(doc.RoutePoints));
        if (r[0] == ROUTE_UNROUTABLE) {
            EXPECT_EQ(from->LineLabel.size(), 1u);
            continue;
        }
        if (r[0] == ROUTE_DIRECT) continue; // neighbours are joined without a search
        ++checked;
        for (const auto& q : doc.Blocks) {
            for (int j = 0; j < 3; ++j) {
                const CBlock* src = q->Inputs[j];
                if (!src || src == from || q->RouteRecord[j].v[0] == ROUTE_UNROUTABLE) continue;
                doc.ComputeRoute(q.get(), j);
                const auto other = doc.RoutePoints;
                for (int a = 1; a < 4; ++a)
                    for (int b = 1; b < 4; ++b)
                        ASSERT_FALSE(Collide({made[a], made[a + 1]}, {other[b], other[b + 1]}))
                            << "seed " << GetParam() << ": line into " << to->Name
                            << " runs along a line into " << q->Name;
            }
        }
    }
    // Each message box was a "Line Error" about an unroutable line.
    for (const auto& m : platform.messages.shown)
        EXPECT_EQ(m.caption, "Line Error");
    EXPECT_GT(checked, 0) << "no searched line in this chart";
}

INSTANTIATE_TEST_SUITE_P(Seeds, RouteProperty, ::testing::Range(1u, 121u));

} // namespace
