#include "vellogging.h"
#include "velpointf.h"
#include "velrect.h"
#include "velrectf.h"
#include "velregion.h"
#include "veltransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace
{

// Checks pixel by pixel over a window that the region holds exactly the
// pixels the predicate names, and that no two of its rectangles overlap.
void expectRegionCovers(const VelRegion &region, const VelRect &window,
                        const std::function<bool(int, int)> &inside)
{
    const auto &rects = region.rects();
    for (size_t i = 0; i < rects.size(); ++i) {
        ASSERT_FALSE(rects[i].isEmpty());
        for (size_t j = i + 1; j < rects.size(); ++j)
            ASSERT_FALSE(rects[i].intersects(rects[j])) << "rectangles " << i << " and " << j;
    }
    for (int y = window.top(); y <= window.bottom(); ++y) {
        for (int x = window.left(); x <= window.right(); ++x) {
            int hits = 0;
            for (const VelRect &r : region)
                hits += r.contains(x, y) ? 1 : 0;
            ASSERT_EQ(hits, inside(x, y) ? 1 : 0) << "pixel " << x << "," << y;
            ASSERT_EQ(region.contains(VelPoint(x, y)), inside(x, y));
        }
    }
}

TEST(VelRectTest, RightAndBottomAreInclusive)
{
    const VelRect r(10, 20, 5, 3);
    EXPECT_EQ(r.right(), 14);
    EXPECT_EQ(r.bottom(), 22);
    EXPECT_TRUE(r.contains(VelPoint(14, 22)));
    EXPECT_FALSE(r.contains(VelPoint(15, 22)));
    EXPECT_FALSE(r.contains(VelPoint(14, 23)));
    EXPECT_FALSE(r.contains(VelPoint(14, 22), true));
    EXPECT_TRUE(r.contains(VelPoint(11, 21), true));

    VelRect moved = r;
    moved.moveTopLeft(VelPoint(-3, -4));
    EXPECT_EQ(moved, VelRect(-3, -4, 5, 3));
    EXPECT_EQ(r.translated(1, 2), VelRect(11, 22, 5, 3));
    EXPECT_EQ(r.adjusted(1, 1, -1, -1), VelRect(11, 21, 3, 1));
    EXPECT_EQ(r.marginsAdded(VelMargins(1, 2, 3, 4)), VelRect(9, 18, 9, 9));

    VelRect edge = r;
    edge.setLeft(12); // the right edge stays put
    EXPECT_EQ(edge.right(), 14);
    EXPECT_EQ(edge.width(), 3);
}

TEST(VelRectTest, DefaultIsNullAndInvalid)
{
    const VelRect null;
    EXPECT_TRUE(null.isNull());
    EXPECT_TRUE(null.isEmpty());
    EXPECT_FALSE(null.isValid());
    EXPECT_EQ(null.width(), 0);
    EXPECT_EQ(null.height(), 0);
    EXPECT_FALSE(null.contains(VelPoint(0, 0)));

    const VelRect negative(5, 5, -3, 4);
    EXPECT_FALSE(negative.isValid());
    EXPECT_TRUE(negative.isEmpty());
    EXPECT_FALSE(negative.isNull());
    EXPECT_TRUE(negative.normalized().isValid());
}

TEST(VelRectTest, IntersectionAndUnionIgnoreEmptyRects)
{
    const VelRect a(0, 0, 10, 10);
    const VelRect b(5, 5, 10, 10);
    EXPECT_EQ(a.intersected(b), VelRect(5, 5, 5, 5));
    EXPECT_EQ(a.united(b), VelRect(0, 0, 15, 15));
    // Touching edges share no pixel.
    EXPECT_TRUE(a.intersected(VelRect(10, 0, 5, 5)).isEmpty());
    EXPECT_FALSE(a.intersects(VelRect(10, 0, 5, 5)));
    EXPECT_TRUE(a.intersects(VelRect(9, 9, 5, 5)));
    // An empty rectangle far away must not stretch the union.
    EXPECT_EQ(a.united(VelRect(100, 100, 0, 0)), a);
    EXPECT_EQ(VelRect().united(b), b);
    EXPECT_TRUE(a.intersected(VelRect()).isEmpty());
}

TEST(VelRectFTest, ToRectRoundsEachFieldAndAlignedRectCovers)
{
    EXPECT_EQ(VelRectF(1.4, 1.6, 10.5, 2.4).toRect(), VelRect(1, 2, 11, 2));
    EXPECT_EQ(VelRectF(-1.6, -0.4, 3.0, 3.0).toRect(), VelRect(-2, 0, 3, 3));
    // The aligned rectangle covers every touched pixel, also for negatives.
    EXPECT_EQ(VelRectF(-1.5, 0.5, 2.0, 1.0).toAlignedRect(), VelRect(-2, 0, 3, 2));
    EXPECT_EQ(VelRectF(2.0, 3.0, 4.0, 5.0).toAlignedRect(), VelRect(2, 3, 4, 5));

    const VelRectF r(0, 0, 10, 10);
    EXPECT_DOUBLE_EQ(r.right(), 10.0); // real rectangles have exclusive edges
    EXPECT_EQ(r.intersected(VelRectF(5, -5, 10, 10)), VelRectF(5, 0, 5, 5));
    EXPECT_EQ(r.united(VelRectF(-2, 3, 1, 1)), VelRectF(-2, 0, 12, 10));
    EXPECT_TRUE(r.intersected(VelRectF(10, 0, 5, 5)).isEmpty());
}

TEST(VelPointTest, PointFRoundsToNearest)
{
    EXPECT_EQ(VelPointF(1.5, -1.5).toPoint(), VelPoint(2, -2));
    EXPECT_EQ(VelPointF(-0.4, 2.49).toPoint(), VelPoint(0, 2));
    EXPECT_EQ(VelPoint(3, 4) * 0.5, VelPoint(2, 2));
}

TEST(VelRegionTest, UnionOfOverlappingRectsIsDisjointAndCoversBoth)
{
    const VelRect a(0, 0, 10, 10);
    const VelRect b(5, 5, 10, 10);
    const VelRegion u = VelRegion(a).united(b);
    expectRegionCovers(u, VelRect(-2, -2, 20, 20),
                       [&](int x, int y) { return a.contains(x, y) || b.contains(x, y); });
    EXPECT_EQ(u.boundingRect(), VelRect(0, 0, 15, 15));
    EXPECT_EQ(u.rectCount(), 3); // one band above, one shared, one below
    // Union is independent of order and of repetition.
    EXPECT_EQ(u, VelRegion(b).united(a));
    EXPECT_EQ(u, u.united(a));
}

TEST(VelRegionTest, SubtractingAHoleLeavesAFrame)
{
    const VelRect outer(0, 0, 9, 9);
    const VelRect hole(3, 3, 3, 3);
    const VelRegion frame = VelRegion(outer).subtracted(hole);
    expectRegionCovers(frame, VelRect(-1, -1, 11, 11),
                       [&](int x, int y) { return outer.contains(x, y) && !hole.contains(x, y); });
    EXPECT_EQ(frame.rectCount(), 4);
    EXPECT_FALSE(frame.contains(VelRect(2, 2, 3, 3)));
    EXPECT_TRUE(frame.contains(VelRect(0, 0, 9, 3)));
    // Filling the hole again restores the single rectangle.
    EXPECT_EQ(frame.united(hole), VelRegion(outer));
    EXPECT_TRUE(VelRegion(hole).subtracted(outer).isEmpty());
}

TEST(VelRegionTest, IntersectionWithRectAndRegion)
{
    const VelRegion l = VelRegion(0, 0, 10, 4).united(VelRect(0, 4, 4, 6)); // an L
    const VelRect probe(2, 2, 6, 6);
    const VelRegion i = l.intersected(probe);
    expectRegionCovers(i, VelRect(-1, -1, 12, 12), [&](int x, int y) {
        return probe.contains(x, y) &&
               (VelRect(0, 0, 10, 4).contains(x, y) || VelRect(0, 4, 4, 6).contains(x, y));
    });
    EXPECT_EQ(i, l.intersected(VelRegion(probe)));
    EXPECT_TRUE(l.intersected(VelRect(20, 20, 3, 3)).isEmpty());
    EXPECT_TRUE(l.intersects(probe));
    EXPECT_FALSE(l.intersects(VelRect(5, 5, 3, 3))); // inside the L's notch
}

TEST(VelRegionTest, XorTranslateAndEmptyInput)
{
    const VelRegion a(0, 0, 4, 4);
    const VelRegion b(2, 2, 4, 4);
    const VelRegion x = a.xored(b);
    expectRegionCovers(x, VelRect(-1, -1, 8, 8), [](int px, int py) {
        return VelRect(0, 0, 4, 4).contains(px, py) != VelRect(2, 2, 4, 4).contains(px, py);
    });
    const VelRegion moved = x.translated(10, -3);
    EXPECT_EQ(moved.boundingRect(), VelRect(10, -3, 6, 6));
    EXPECT_EQ(moved.translated(-10, 3), x);
    EXPECT_TRUE(VelRegion(VelRect()).isEmpty());
    EXPECT_TRUE(VelRegion(VelRect(3, 3, 0, 5)).isEmpty());
    EXPECT_EQ(VelRegion().united(a), a);
    int seen = 0;
    for (const VelRect &r : x) {
        EXPECT_TRUE(x.boundingRect().contains(r));
        ++seen;
    }
    EXPECT_EQ(seen, x.rectCount());
}

TEST(VelTransformTest, TypeClassification)
{
    VelTransform t;
    EXPECT_EQ(t.type(), VelTransform::TxNone);
    EXPECT_TRUE(t.isIdentity());
    EXPECT_FALSE(t.isTranslating());
    t.translate(3, 4);
    EXPECT_EQ(t.type(), VelTransform::TxTranslate);
    EXPECT_TRUE(t.isTranslating());
    t.scale(2, 3);
    EXPECT_EQ(t.type(), VelTransform::TxScale);
    EXPECT_EQ(VelTransform().rotate(30).type(), VelTransform::TxRotate);
    // Scale then rotate keeps rectangles rectangular: still a rotation.
    EXPECT_EQ((VelTransform::fromScale(2, 1) * VelTransform().rotate(30)).type(),
              VelTransform::TxRotate);
    // Rotate then scale unevenly skews right angles: shear.
    EXPECT_EQ((VelTransform().rotate(30) * VelTransform::fromScale(2, 1)).type(),
              VelTransform::TxShear);
    EXPECT_EQ(VelTransform().shear(0.5, 0).type(), VelTransform::TxShear);
    EXPECT_EQ(VelTransform(1, 0, 0.001, 0, 1, 0, 0, 0, 1).type(), VelTransform::TxProject);
    EXPECT_EQ(VelTransform().rotate(360).type(), VelTransform::TxNone);
    EXPECT_LT(VelTransform::TxRotate, VelTransform::TxShear);
}

TEST(VelTransformTest, OperationsApplyBeforeTheExistingTransform)
{
    VelTransform t;
    t.translate(10, 0);
    t.scale(2, 2);
    // scale happens first, then the translation.
    EXPECT_EQ(t.map(VelPointF(1, 1)), VelPointF(12, 2));
    const VelTransform product = VelTransform::fromScale(2, 2) * VelTransform::fromTranslate(10, 0);
    EXPECT_EQ(product, t);
    EXPECT_EQ(VelTransform().rotate(90).map(VelPoint(1, 0)), VelPoint(0, 1));
    EXPECT_DOUBLE_EQ(t.determinant(), 4.0);
    EXPECT_DOUBLE_EQ(VelTransform(1, 2, 3, 4, 5, 6).determinant(), -2.0);
}

TEST(VelTransformTest, MapRectUnderRotationIsTheBoundingBox)
{
    const VelRectF r(0, 0, 4, 2);
    EXPECT_EQ(VelTransform().rotate(90).mapRect(r), VelRectF(-2, 0, 2, 4));
    EXPECT_EQ(VelTransform().rotate(180).mapRect(r), VelRectF(-4, -2, 4, 2));

    const VelRectF square(0, 0, 2, 2);
    const VelRectF diamond = VelTransform().rotate(45).mapRect(square);
    const double s = std::sqrt(2.0);
    EXPECT_NEAR(diamond.left(), -s, 1e-9);
    EXPECT_NEAR(diamond.top(), 0.0, 1e-9);
    EXPECT_NEAR(diamond.width(), 2 * s, 1e-9);
    EXPECT_NEAR(diamond.height(), 2 * s, 1e-9);

    VelTransform moveAndTurn;
    moveAndTurn.rotate(90);
    moveAndTurn.translate(10, 20); // translate first, then rotate
    EXPECT_EQ(moveAndTurn.mapRect(VelRect(0, 0, 4, 2)), VelRect(-22, 10, 2, 4));
    EXPECT_EQ(VelTransform::fromScale(-1, 1).mapRect(VelRect(1, 1, 3, 3)), VelRect(-4, 1, 3, 3));
}

TEST(VelTransformTest, InverseUndoesAndSingularReportsFailure)
{
    VelTransform t;
    t.rotate(33).scale(2, 0.5).translate(7, -3).shear(0.2, 0.1);
    bool ok = false;
    const VelTransform inv = t.inverted(&ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE((t * inv).isIdentity());
    const VelPointF p(3.25, -8.5);
    const VelPointF back = inv.map(t.map(p));
    EXPECT_NEAR(back.x(), p.x(), 1e-9);
    EXPECT_NEAR(back.y(), p.y(), 1e-9);

    const VelTransform singular = VelTransform::fromScale(0, 1);
    ok = true;
    EXPECT_TRUE(singular.inverted(&ok).isIdentity());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(singular.isInvertible());
}

TEST(VelTransformTest, ProjectiveMapDividesByW)
{
    const VelTransform p(1, 0, 0.5, 0, 1, 0, 0, 0, 1);
    EXPECT_EQ(p.map(VelPointF(2, 4)), VelPointF(1, 2));
}

// Random rectangle sets checked against a pixel bitmap: every operation must
// cover exactly the right pixels, stay disjoint, and be canonical (equal
// pixel sets give equal regions whatever the construction order).
class RegionOracle
{
public:
    static constexpr int kSize = 24;
    bool at(int x, int y) const { return m_bits[size_t(y * kSize + x)]; }
    void set(int x, int y, bool v) { m_bits[size_t(y * kSize + x)] = v; }
    static RegionOracle of(const std::vector<VelRect> &rects)
    {
        RegionOracle o;
        for (const VelRect &r : rects)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    o.set(x, y, true);
        return o;
    }

private:
    std::vector<bool> m_bits = std::vector<bool>(kSize * kSize, false);
};

std::vector<VelRect> randomRects(std::mt19937 &rng, int count)
{
    std::uniform_int_distribution<int> pos(0, RegionOracle::kSize - 2);
    std::vector<VelRect> out;
    for (int i = 0; i < count; ++i) {
        const int x = pos(rng);
        const int y = pos(rng);
        std::uniform_int_distribution<int> w(1, RegionOracle::kSize - x);
        std::uniform_int_distribution<int> h(1, RegionOracle::kSize - y);
        out.push_back(VelRect(x, y, w(rng), h(rng)));
    }
    return out;
}

VelRegion regionOf(const std::vector<VelRect> &rects)
{
    VelRegion r;
    for (const VelRect &rect : rects)
        r += rect;
    return r;
}

TEST(VelRegionTest, RandomOperationsMatchAPixelOracle)
{
    std::mt19937 rng(12345);
    const VelRect window(0, 0, RegionOracle::kSize, RegionOracle::kSize);
    for (int round = 0; round < 200; ++round) {
        const auto a = randomRects(rng, 1 + int(rng() % 4));
        const auto b = randomRects(rng, 1 + int(rng() % 4));
        const RegionOracle oa = RegionOracle::of(a);
        const RegionOracle ob = RegionOracle::of(b);
        const VelRegion ra = regionOf(a);
        const VelRegion rb = regionOf(b);
        SCOPED_TRACE(round);
        expectRegionCovers(ra.united(rb), window,
                           [&](int x, int y) { return oa.at(x, y) || ob.at(x, y); });
        expectRegionCovers(ra.intersected(rb), window,
                           [&](int x, int y) { return oa.at(x, y) && ob.at(x, y); });
        expectRegionCovers(ra.subtracted(rb), window,
                           [&](int x, int y) { return oa.at(x, y) && !ob.at(x, y); });
        expectRegionCovers(ra.xored(rb), window,
                           [&](int x, int y) { return oa.at(x, y) != ob.at(x, y); });
        // Canonical: (A - B) + (A & B) rebuilds exactly A's rectangles.
        EXPECT_EQ(ra.subtracted(rb).united(ra.intersected(rb)), ra);
        std::vector<VelRect> reversed(a.rbegin(), a.rend());
        EXPECT_EQ(regionOf(reversed), ra);
        VelRegion fromList;
        fromList.setRects(a.data(), int(a.size()));
        EXPECT_EQ(fromList, ra);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(VelRegionTest, TouchingRectanglesMergeIntoBands)
{
    // Two halves side by side are one rectangle; stacked with equal spans, too.
    EXPECT_EQ(VelRegion(0, 0, 5, 5).united(VelRect(5, 0, 5, 5)).rectCount(), 1);
    EXPECT_EQ(VelRegion(0, 0, 5, 5).united(VelRect(0, 5, 5, 5)).rects().front(),
              VelRect(0, 0, 5, 10));
    // A gap row keeps the bands apart.
    EXPECT_EQ(VelRegion(0, 0, 5, 5).united(VelRect(0, 6, 5, 5)).rectCount(), 2);
    // Extreme coordinates do not overflow the exclusive edges.
    const VelRect huge(2147483600, 0, 47, 3);
    EXPECT_EQ(huge.right(), 2147483646);
    EXPECT_EQ(VelRegion(huge).united(VelRect(2147483600, 3, 47, 1)).rects().front(),
              VelRect(2147483600, 0, 47, 4));
}

TEST(VelTransformTest, QuarterTurnsAreExactAndCompose)
{
    for (const double angle : {90.0, -270.0, 450.0}) {
        const VelTransform t = VelTransform().rotate(angle);
        EXPECT_EQ(t.m11(), 0.0) << angle;
        EXPECT_EQ(t.m12(), 1.0) << angle;
        EXPECT_EQ(t.mapRect(VelRect(1, 2, 3, 4)), VelRect(-6, 1, 4, 3)) << angle;
    }
    EXPECT_TRUE((VelTransform().rotate(90) * VelTransform().rotate(-90)).isIdentity());
    // Composition order: a * b applied equals b.map(a.map(p)).
    const VelTransform a = VelTransform().rotate(30).translate(4, 5);
    const VelTransform b = VelTransform().scale(2, 3).shear(0.5, 0);
    const VelPointF p(1.25, -2);
    const VelPointF viaProduct = (a * b).map(p);
    const VelPointF stepwise = b.map(a.map(p));
    EXPECT_NEAR(viaProduct.x(), stepwise.x(), 1e-12);
    EXPECT_NEAR(viaProduct.y(), stepwise.y(), 1e-12);
    // Integer mapping rounds to nearest, also for negative results.
    EXPECT_EQ(VelTransform::fromScale(0.5, 0.5).map(VelPoint(-3, 3)), VelPoint(-2, 2));
    EXPECT_EQ(VelTransform::fromTranslate(0.5, -0.5).mapRect(VelRect(0, 0, 2, 2)),
              VelRect(1, 0, 2, 2));
}

std::vector<std::string> g_messages;

void captureMessage(VelMsgType, const VelMessageLogContext &, const VelString &text)
{
    g_messages.push_back(text.toStdString());
}

TEST(VelGeometryDebugTest, StreamedValuesAreSeparatedLikeOtherItems)
{
    const VelMessageHandler previous = velInstallMessageHandler(&captureMessage);
    velWarning() << "rect" << VelRect(1, 2, 3, 4) << "point" << VelPointF(0.5, -1) << 7;
    velWarning() << VelRegion(0, 0, 2, 2).united(VelRect(5, 0, 1, 1)) << VelSize(3, 4);
    velInstallMessageHandler(previous);
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0], "rect VelRect(1,2 3x4) point VelPointF(0.5,-1) 7");
    EXPECT_EQ(g_messages[1],
              "VelRegion(VelRect(0,0 2x1), VelRect(5,0 1x1), VelRect(0,1 2x1)) VelSize(3, 4)");
}

} // namespace
