#include "veltransform.h"

#include "vellogging.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double kPi = 3.14159265358979323846;

bool fuzzyEqual(double a, double b)
{
    return velFuzzyIsNull(a - b);
}

// Exact values for quarter turns, so rotate(90) yields a transform without
// rounding noise whose type and mapped rectangles stay exact.
void sinCos(double degrees, double *s, double *c)
{
    double turn = std::fmod(degrees, 360.0);
    if (turn < 0)
        turn += 360.0;
    if (turn == 0.0) {
        *s = 0;
        *c = 1;
    } else if (turn == 90.0) {
        *s = 1;
        *c = 0;
    } else if (turn == 180.0) {
        *s = 0;
        *c = -1;
    } else if (turn == 270.0) {
        *s = -1;
        *c = 0;
    } else {
        const double radians = degrees * kPi / 180.0;
        *s = std::sin(radians);
        *c = std::cos(radians);
    }
}

} // namespace

VelTransform::VelTransform(double m11, double m12, double m21, double m22, double dx, double dy)
    : VelTransform(m11, m12, 0, m21, m22, 0, dx, dy, 1)
{
}

VelTransform::VelTransform(double m11, double m12, double m13, double m21, double m22, double m23,
                           double m31, double m32, double m33)
{
    setMatrix(m11, m12, m13, m21, m22, m23, m31, m32, m33);
}

VelTransform VelTransform::fromTranslate(double dx, double dy)
{
    return VelTransform(1, 0, 0, 1, dx, dy);
}

VelTransform VelTransform::fromScale(double sx, double sy)
{
    return VelTransform(sx, 0, 0, sy, 0, 0);
}

void VelTransform::setMatrix(double m11, double m12, double m13, double m21, double m22, double m23,
                             double m31, double m32, double m33)
{
    m_m[0][0] = m11;
    m_m[0][1] = m12;
    m_m[0][2] = m13;
    m_m[1][0] = m21;
    m_m[1][1] = m22;
    m_m[1][2] = m23;
    m_m[2][0] = m31;
    m_m[2][1] = m32;
    m_m[2][2] = m33;
}

VelTransform::TransformationType VelTransform::type() const
{
    if (!velFuzzyIsNull(m13()) || !velFuzzyIsNull(m23()) || !fuzzyEqual(m33(), 1.0))
        return TxProject;
    if (!velFuzzyIsNull(m12()) || !velFuzzyIsNull(m21())) {
        const double axesDot = m11() * m21() + m12() * m22();
        return velFuzzyIsNull(axesDot) ? TxRotate : TxShear;
    }
    if (!fuzzyEqual(m11(), 1.0) || !fuzzyEqual(m22(), 1.0))
        return TxScale;
    if (!velFuzzyIsNull(dx()) || !velFuzzyIsNull(dy()))
        return TxTranslate;
    return TxNone;
}

double VelTransform::determinant() const
{
    return m11() * (m33() * m22() - m32() * m23()) - m21() * (m33() * m12() - m32() * m13()) +
           m31() * (m23() * m12() - m22() * m13());
}

bool VelTransform::isInvertible() const
{
    return !velFuzzyIsNull(determinant());
}

VelTransform &VelTransform::translate(double dx, double dy)
{
    *this = fromTranslate(dx, dy) * *this;
    return *this;
}

VelTransform &VelTransform::scale(double sx, double sy)
{
    *this = fromScale(sx, sy) * *this;
    return *this;
}

VelTransform &VelTransform::rotate(double degrees)
{
    double s = 0;
    double c = 1;
    sinCos(degrees, &s, &c);
    *this = VelTransform(c, s, -s, c, 0, 0) * *this;
    return *this;
}

VelTransform &VelTransform::rotateRadians(double radians)
{
    return rotate(radians * 180.0 / kPi);
}

VelTransform &VelTransform::shear(double sh, double sv)
{
    *this = VelTransform(1, sv, sh, 1, 0, 0) * *this;
    return *this;
}

VelTransform VelTransform::adjoint() const
{
    const double h11 = m22() * m33() - m23() * m32();
    const double h21 = m23() * m31() - m21() * m33();
    const double h31 = m21() * m32() - m22() * m31();
    const double h12 = m13() * m32() - m12() * m33();
    const double h22 = m11() * m33() - m13() * m31();
    const double h32 = m12() * m31() - m11() * m32();
    const double h13 = m12() * m23() - m13() * m22();
    const double h23 = m13() * m21() - m11() * m23();
    const double h33 = m11() * m22() - m12() * m21();
    return VelTransform(h11, h12, h13, h21, h22, h23, h31, h32, h33);
}

VelTransform VelTransform::transposed() const
{
    return VelTransform(m11(), m21(), m31(), m12(), m22(), m32(), m13(), m23(), m33());
}

VelTransform VelTransform::inverted(bool *invertible) const
{
    const double det = determinant();
    const bool ok = !velFuzzyIsNull(det);
    if (invertible)
        *invertible = ok;
    if (!ok)
        return VelTransform();
    VelTransform inv = adjoint();
    inv *= 1.0 / det;
    return inv;
}

void VelTransform::map(double x, double y, double *tx, double *ty) const
{
    double fx = m11() * x + m21() * y + m31();
    double fy = m12() * x + m22() * y + m32();
    if (type() == TxProject) {
        const double w = m13() * x + m23() * y + m33();
        // A point on the vanishing line has no image; leave it unscaled
        // rather than producing infinities.
        if (w != 0.0) {
            fx /= w;
            fy /= w;
        }
    }
    *tx = fx;
    *ty = fy;
}

void VelTransform::map(int x, int y, int *tx, int *ty) const
{
    double fx = 0;
    double fy = 0;
    map(double(x), double(y), &fx, &fy);
    *tx = velRound(fx);
    *ty = velRound(fy);
}

VelPointF VelTransform::map(const VelPointF &p) const
{
    double x = 0;
    double y = 0;
    map(p.x(), p.y(), &x, &y);
    return VelPointF(x, y);
}

VelPoint VelTransform::map(const VelPoint &p) const
{
    return map(VelPointF(p)).toPoint();
}

VelRectF VelTransform::mapRect(const VelRectF &r) const
{
    const VelPointF corners[4] = {map(r.topLeft()), map(r.topRight()), map(r.bottomLeft()),
                                  map(r.bottomRight())};
    double left = corners[0].x();
    double right = left;
    double top = corners[0].y();
    double bottom = top;
    for (const VelPointF &p : corners) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return VelRectF(left, top, right - left, bottom - top);
}

VelRect VelTransform::mapRect(const VelRect &r) const
{
    // The pixel rectangle spans x .. x + width; map that area, then round its
    // edges all in the same direction (half up), so that a translation by
    // half a pixel moves the rectangle without changing its size.
    const VelRectF mapped = mapRect(VelRectF(r));
    const auto edge = [](double v) { return int(std::floor(v + 0.5)); };
    const int left = edge(mapped.left());
    const int top = edge(mapped.top());
    return VelRect(left, top, edge(mapped.right()) - left, edge(mapped.bottom()) - top);
}

VelTransform &VelTransform::operator*=(const VelTransform &o)
{
    double out[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            out[row][col] = m_m[row][0] * o.m_m[0][col] + m_m[row][1] * o.m_m[1][col] +
                            m_m[row][2] * o.m_m[2][col];
        }
    }
    std::copy(&out[0][0], &out[0][0] + 9, &m_m[0][0]);
    return *this;
}

VelTransform &VelTransform::operator*=(double factor)
{
    for (auto &row : m_m) {
        for (double &v : row)
            v *= factor;
    }
    return *this;
}

bool operator==(const VelTransform &a, const VelTransform &b)
{
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (!fuzzyEqual(a.m_m[row][col], b.m_m[row][col]))
                return false;
        }
    }
    return true;
}

VelDebug &operator<<(VelDebug &d, const VelTransform &t)
{
    std::string text = "VelTransform(";
    const double values[9] = {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(),
                              t.m23(), t.m31(), t.m32(), t.m33()};
    for (int i = 0; i < 9; ++i) {
        text += VelByteArray::number(values[i]).constData();
        text += i < 8 ? ", " : ")";
    }
    d.appendRaw(text);
    return d.maybeSpace();
}

VelDebug &&operator<<(VelDebug &&d, const VelTransform &t)
{
    d << t;
    return std::move(d);
}
