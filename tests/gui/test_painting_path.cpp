#include "velpainterpath.h"
#include "velrasterizer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

VelImage coverageOf(const VelPainterPath &path, int w, int h)
{
    VelImage image(w, h, VelImage::Format_Alpha8);
    vel_rasterizePath(path, &image);
    return image;
}

int at(const VelImage &image, int x, int y)
{
    return image.constScanLine(y)[x];
}

long long totalCoverage(const VelImage &image)
{
    long long sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += at(image, x, y);
    return sum;
}

} // namespace

TEST(PainterPath, ElementsAndClosing)
{
    VelPainterPath path;
    EXPECT_TRUE(path.isEmpty());
    path.moveTo(1, 2);
    EXPECT_TRUE(path.isEmpty()) << "a lone move draws nothing";
    path.lineTo(5, 2);
    path.quadTo(VelPointF(5, 6), VelPointF(1, 6));
    path.closeSubpath();
    EXPECT_FALSE(path.isEmpty());
    ASSERT_EQ(path.elementCount(), 6);
    EXPECT_EQ(path.elementAt(0).type, VelPainterPath::MoveToElement);
    EXPECT_EQ(path.elementAt(2).type, VelPainterPath::CurveToElement);
    // The quadratic's control point (5, 6) becomes cubic controls at 2/3.
    EXPECT_NEAR(path.elementAt(2).x, 5, 1e-9);
    EXPECT_NEAR(path.elementAt(2).y, 2 + 8.0 / 3, 1e-9);
    EXPECT_NEAR(path.elementAt(3).x, 1 + 8.0 / 3, 1e-9);
    EXPECT_EQ(path.elementAt(5).type, VelPainterPath::LineToElement)
        << "close returns to the start";
    EXPECT_EQ(VelPointF(path.elementAt(5)), VelPointF(1, 2));
    // Drawing on after a close starts a new sub-path at the closed start.
    path.lineTo(9, 9);
    EXPECT_EQ(path.elementAt(6).type, VelPainterPath::MoveToElement);
    EXPECT_EQ(VelPointF(path.elementAt(6)), VelPointF(1, 2));
}

TEST(PainterPath, BoundingRectFollowsCurveExtremaNotControlPoints)
{
    VelPainterPath path;
    path.moveTo(0, 0);
    path.cubicTo(0, 10, 10, 10, 10, 0);
    const VelRectF bounds = path.boundingRect();
    EXPECT_NEAR(bounds.height(), 7.5, 1e-9); // the curve peaks at 3/4 of the control height
    EXPECT_NEAR(bounds.width(), 10, 1e-9);
    EXPECT_NEAR(path.controlPointRect().height(), 10, 1e-9);
    const VelPainterPath moved = path.translated(3, -1);
    EXPECT_NEAR(moved.boundingRect().x(), 3, 1e-9);
    EXPECT_NEAR(moved.boundingRect().y(), -1, 1e-9);
    EXPECT_EQ(path.elementAt(0).x, 0) << "translated() leaves the original alone";
}

TEST(PathRasterizer, FractionalRectangleGetsExactAreaCoverage)
{
    VelPainterPath path;
    path.addRect(1.25, 1.5, 2.5, 1.0); // x 1.25..3.75, y 1.5..2.5
    const VelImage image = coverageOf(path, 6, 4);
    EXPECT_EQ(at(image, 0, 1), 0);
    EXPECT_EQ(at(image, 1, 1), std::lround(0.75 * 0.5 * 255));
    EXPECT_EQ(at(image, 2, 1), std::lround(0.5 * 255));
    EXPECT_EQ(at(image, 3, 2), std::lround(0.75 * 0.5 * 255));
    EXPECT_EQ(at(image, 4, 2), 0);
    EXPECT_EQ(at(image, 2, 3), 0);
}

TEST(PathRasterizer, NonZeroWindingAndHoles)
{
    // Two overlapping squares of the same direction: the overlap is covered once.
    VelPainterPath overlap;
    overlap.addRect(0, 0, 4, 4);
    overlap.addRect(2, 2, 4, 4);
    const VelImage a = coverageOf(overlap, 8, 8);
    EXPECT_EQ(at(a, 3, 3), 255);
    EXPECT_EQ(at(a, 1, 1), 255);
    EXPECT_EQ(at(a, 5, 5), 255);
    EXPECT_EQ(at(a, 1, 5), 0);

    // An inner square drawn the other way round is a hole.
    VelPainterPath ring;
    ring.addRect(0, 0, 6, 6);
    ring.moveTo(2, 2);
    ring.lineTo(2, 4);
    ring.lineTo(4, 4);
    ring.lineTo(4, 2);
    ring.closeSubpath();
    const VelImage b = coverageOf(ring, 6, 6);
    EXPECT_EQ(at(b, 3, 3), 0);
    EXPECT_EQ(at(b, 1, 3), 255);

    // The same inner square in the same direction fills under non-zero and
    // is a hole under odd-even.
    VelPainterPath nested;
    nested.addRect(0, 0, 6, 6);
    nested.addRect(2, 2, 2, 2);
    EXPECT_EQ(at(coverageOf(nested, 6, 6), 3, 3), 255);
    nested.setFillRule(VelPainterPath::OddEvenFill);
    EXPECT_EQ(at(coverageOf(nested, 6, 6), 3, 3), 0);
}

TEST(PathRasterizer, CircleAreaAndClipping)
{
    const double r = 10, k = 0.5522847498 * r;
    VelPainterPath circle;
    const double cx = 12, cy = 12;
    circle.moveTo(cx + r, cy);
    circle.cubicTo(cx + r, cy + k, cx + k, cy + r, cx, cy + r);
    circle.cubicTo(cx - k, cy + r, cx - r, cy + k, cx - r, cy);
    circle.cubicTo(cx - r, cy - k, cx - k, cy - r, cx, cy - r);
    circle.cubicTo(cx + k, cy - r, cx + r, cy - k, cx + r, cy);
    circle.closeSubpath();
    const VelImage whole = coverageOf(circle, 24, 24);
    EXPECT_NEAR(totalCoverage(whole) / 255.0, M_PI * r * r, 0.5);

    // Shifted so that it hangs over the left and top edges: what remains
    // visible is exactly a quarter of the circle.
    VelImage clipped(24, 24, VelImage::Format_Alpha8);
    vel_rasterizePath(circle, &clipped, -12, -12);
    EXPECT_NEAR(totalCoverage(clipped) / 255.0, M_PI * r * r / 4, 0.5);
    // And far outside on the right it leaves nothing.
    VelImage outside(24, 24, VelImage::Format_Alpha8);
    vel_rasterizePath(circle, &outside, 40, 0);
    EXPECT_EQ(totalCoverage(outside), 0);
}

TEST(PathRasterizer, BitmapRunsBecomeRectangles)
{
    // Row 0: bits 0-2 and 9; row 1: bit 4.
    const uchar bits[2 * 2] = {0xe0, 0x40, 0x08, 0x00};
    VelPainterPath path;
    vel_addBitmapToPath(2, 1, bits, 2, 10, 2, &path);
    EXPECT_EQ(path.elementCount(), 3 * 5);
    const VelImage image = coverageOf(path, 14, 4);
    for (int x = 2; x <= 4; ++x)
        EXPECT_EQ(at(image, x, 1), 255);
    EXPECT_EQ(at(image, 5, 1), 0);
    EXPECT_EQ(at(image, 11, 1), 255);
    EXPECT_EQ(at(image, 6, 2), 255);
    EXPECT_EQ(totalCoverage(image), 5 * 255);
}
