#include "velrasterizer.h"

#include <algorithm>
#include <cmath>

namespace
{

// Signed area contributions of one row per entry, a row being width + 2 wide
// so that an edge on the right border still has a cell to land in. Summing a
// row from the left gives the winding-weighted coverage of each pixel.
class CoverageAccumulator
{
public:
    CoverageAccumulator(int width, int height)
        : m_width(width), m_height(height), m_stride(width + 2),
          m_cells(size_t(m_stride) * height, 0.0)
    {
    }

    void addLine(VelPointF a, VelPointF b)
    {
        // Pieces left or right of the image collapse onto its border: they
        // still change the winding of every pixel to their right.
        double ts[4] = {0, 1, 1, 1};
        int n = 1;
        const double dx = b.x() - a.x();
        if (dx != 0) {
            for (double border : {0.0, double(m_width)}) {
                const double t = (border - a.x()) / dx;
                if (t > 0 && t < 1)
                    ts[n++] = t;
            }
        }
        // At most two crossings follow the start: order them by hand (a general
        // sort of this tiny array trips a false array-bounds warning in GCC 12).
        if (n == 3 && ts[2] < ts[1])
            std::swap(ts[1], ts[2]);
        ts[n] = 1;
        for (int i = 0; i < n; ++i) {
            const VelPointF p = a + (b - a) * ts[i];
            const VelPointF q = a + (b - a) * ts[i + 1];
            addClippedLine(VelPointF(std::clamp(p.x(), 0.0, double(m_width)), p.y()),
                           VelPointF(std::clamp(q.x(), 0.0, double(m_width)), q.y()));
        }
    }

    double cell(int x, int y) const { return m_cells[size_t(y) * m_stride + x]; }

private:
    double &at(int x, int y) { return m_cells[size_t(y) * m_stride + x]; }

    void addClippedLine(VelPointF p0, VelPointF p1)
    {
        if (p0.y() == p1.y())
            return;
        double dir = 1;
        if (p0.y() > p1.y()) {
            std::swap(p0, p1);
            dir = -1;
        }
        const double dxdy = (p1.x() - p0.x()) / (p1.y() - p0.y());
        double x = p0.x();
        if (p0.y() < 0)
            x -= p0.y() * dxdy;
        const int yStart = std::max(0, int(std::floor(p0.y())));
        const int yEnd = std::min(m_height, int(std::ceil(p1.y())));
        for (int y = yStart; y < yEnd; ++y) {
            const double dy = std::min(double(y + 1), p1.y()) - std::max(double(y), p0.y());
            const double xNext = x + dxdy * dy;
            const double d = dy * dir;
            const double x0 = std::min(x, xNext), x1 = std::max(x, xNext);
            const double x0Floor = std::floor(x0);
            const int x0i = int(x0Floor);
            const double x1Ceil = std::ceil(x1);
            const int x1i = int(x1Ceil);
            if (x1i <= x0i + 1) {
                // Within one pixel column: split by the mean x.
                const double xmf = 0.5 * (x + xNext) - x0Floor;
                at(x0i, y) += d - d * xmf;
                at(x0i + 1, y) += d * xmf;
            } else {
                const double s = 1.0 / (x1 - x0);
                const double x0f = x0 - x0Floor;
                const double a0 = 0.5 * s * (1 - x0f) * (1 - x0f);
                const double x1f = x1 - x1Ceil + 1;
                const double am = 0.5 * s * x1f * x1f;
                at(x0i, y) += d * a0;
                if (x1i == x0i + 2) {
                    at(x0i + 1, y) += d * (1 - a0 - am);
                } else {
                    const double a1 = s * (1.5 - x0f);
                    at(x0i + 1, y) += d * (a1 - a0);
                    for (int xi = x0i + 2; xi < x1i - 1; ++xi)
                        at(xi, y) += d * s;
                    const double a2 = a1 + (x1i - x0i - 3) * s;
                    at(x1i - 1, y) += d * (1 - a2 - am);
                }
                at(x1i, y) += d * am;
            }
            x = xNext;
        }
    }

    int m_width;
    int m_height;
    int m_stride;
    std::vector<double> m_cells;
};

double applyFillRule(double winding, VelPainterPath::FillRule rule)
{
    const double magnitude = std::fabs(winding);
    if (rule == VelPainterPath::WindingFill)
        return std::min(1.0, magnitude);
    const double folded = std::fmod(magnitude, 2.0);
    return folded > 1 ? 2 - folded : folded;
}

} // namespace

void vel_rasterizePath(const VelPainterPath &path, VelImage *target, double dx, double dy)
{
    if (!target || target->isNull() || target->depth() != 8 || path.isEmpty())
        return;
    const int width = target->width(), height = target->height();
    CoverageAccumulator acc(width, height);
    const VelPointF offset(dx, dy);
    for (const std::vector<VelPointF> &polygon : path.toSubpathPolygons(0.005)) {
        for (size_t i = 1; i < polygon.size(); ++i)
            acc.addLine(polygon[i - 1] + offset, polygon[i] + offset);
    }
    for (int y = 0; y < height; ++y) {
        uchar *line = target->scanLine(y);
        double winding = 0;
        for (int x = 0; x < width; ++x) {
            winding += acc.cell(x, y);
            const int value = int(std::lround(applyFillRule(winding, path.fillRule()) * 255));
            line[x] = uchar(std::min(255, line[x] + value));
        }
    }
}
