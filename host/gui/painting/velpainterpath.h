#ifndef VELPAINTERPATH_H
#define VELPAINTERPATH_H

#include "velpointf.h"
#include "velrectf.h"

#include <vector>

// A sequence of sub-paths made of lines and cubic curves. Each cubic is stored
// as a CurveToElement (first control point) and two CurveToDataElements.
class VelPainterPath
{
public:
    enum ElementType {
        MoveToElement = 0,
        LineToElement = 1,
        CurveToElement = 2,
        CurveToDataElement = 3
    };
    enum FillRule { OddEvenFill = 0, WindingFill = 1 };

    struct Element {
        double x = 0;
        double y = 0;
        ElementType type = MoveToElement;

        bool isMoveTo() const { return type == MoveToElement; }
        bool isLineTo() const { return type == LineToElement; }
        bool isCurveTo() const { return type == CurveToElement; }
        operator VelPointF() const { return VelPointF(x, y); }
        bool operator==(const Element &e) const { return x == e.x && y == e.y && type == e.type; }
    };

    VelPainterPath() = default;
    explicit VelPainterPath(const VelPointF &start) { moveTo(start); }

    void moveTo(const VelPointF &p);
    void moveTo(double x, double y) { moveTo(VelPointF(x, y)); }
    void lineTo(const VelPointF &p);
    void lineTo(double x, double y) { lineTo(VelPointF(x, y)); }
    void quadTo(const VelPointF &c, const VelPointF &end);
    void quadTo(double cx, double cy, double ex, double ey)
    {
        quadTo(VelPointF(cx, cy), VelPointF(ex, ey));
    }
    void cubicTo(const VelPointF &c1, const VelPointF &c2, const VelPointF &end);
    void cubicTo(double c1x, double c1y, double c2x, double c2y, double ex, double ey)
    {
        cubicTo(VelPointF(c1x, c1y), VelPointF(c2x, c2y), VelPointF(ex, ey));
    }
    // Returns to the start of the current sub-path (a line is added if needed).
    void closeSubpath();
    void addRect(const VelRectF &rect);
    void addRect(double x, double y, double w, double h) { addRect(VelRectF(x, y, w, h)); }
    void addPath(const VelPainterPath &other);

    bool isEmpty() const
    {
        return m_elements.empty() || (m_elements.size() == 1 && m_elements[0].isMoveTo());
    }
    int elementCount() const { return int(m_elements.size()); }
    const Element &elementAt(int i) const { return m_elements[size_t(i)]; }
    const std::vector<Element> &elements() const { return m_elements; }
    VelPointF currentPosition() const;
    FillRule fillRule() const { return m_fillRule; }
    void setFillRule(FillRule rule) { m_fillRule = rule; }

    // The exact extent of the outline (curve extrema included).
    VelRectF boundingRect() const;
    // The extent of all points, control points included.
    VelRectF controlPointRect() const;
    void translate(double dx, double dy);
    void translate(const VelPointF &offset) { translate(offset.x(), offset.y()); }
    VelPainterPath translated(double dx, double dy) const;
    VelPainterPath translated(const VelPointF &offset) const
    {
        return translated(offset.x(), offset.y());
    }

    // Every sub-path as a closed polygon, curves flattened so that no point of
    // the polygon is further than tolerance from the curve.
    std::vector<std::vector<VelPointF>> toSubpathPolygons(double tolerance = 0.05) const;

    bool operator==(const VelPainterPath &other) const
    {
        return m_fillRule == other.m_fillRule && m_elements == other.m_elements;
    }
    bool operator!=(const VelPainterPath &other) const { return !(*this == other); }

private:
    void ensureMoveTo();
    std::vector<Element> m_elements;
    int m_subpathStart = -1;
    VelPointF m_restartPoint;
    FillRule m_fillRule = WindingFill;
};

// Appends a 1-bit bitmap (most significant bit first, pitch bytes a row) to a
// path: one rectangle per run of set bits, (x, y) being the top-left corner.
void vel_addBitmapToPath(double x, double y, const uchar *buffer, int pitch, int width, int rows,
                         VelPainterPath *path);

#endif
