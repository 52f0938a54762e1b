#ifndef VELTRANSFORM_H
#define VELTRANSFORM_H

#include "velmetatype.h"
#include "velrectf.h"

// A 3x3 transformation of the plane applied to row vectors: a point (x, y)
// maps to (m11 x + m21 y + m31, m12 x + m22 y + m32) divided by
// (m13 x + m23 y + m33). a * b applies a first, then b. translate(), scale(),
// rotate() and shear() act before the existing transformation, so the last
// call is the first to touch a point.
class VelTransform
{
public:
    // Ordered: a transform of one type may also do everything the lower types do.
    enum TransformationType {
        TxNone = 0x00,
        TxTranslate = 0x01,
        TxScale = 0x02,
        TxRotate = 0x04,
        TxShear = 0x08,
        TxProject = 0x10
    };

    VelTransform() = default;
    VelTransform(double m11, double m12, double m21, double m22, double dx, double dy);
    VelTransform(double m11, double m12, double m13, double m21, double m22, double m23, double m31,
                 double m32, double m33);

    static VelTransform fromTranslate(double dx, double dy);
    static VelTransform fromScale(double sx, double sy);

    double m11() const { return m_m[0][0]; }
    double m12() const { return m_m[0][1]; }
    double m13() const { return m_m[0][2]; }
    double m21() const { return m_m[1][0]; }
    double m22() const { return m_m[1][1]; }
    double m23() const { return m_m[1][2]; }
    double m31() const { return m_m[2][0]; }
    double m32() const { return m_m[2][1]; }
    double m33() const { return m_m[2][2]; }
    double dx() const { return m_m[2][0]; }
    double dy() const { return m_m[2][1]; }
    void setMatrix(double m11, double m12, double m13, double m21, double m22, double m23,
                   double m31, double m32, double m33);
    void reset() { *this = VelTransform(); }

    // Rotation is reported only when axis-aligned rectangles stay rectangles
    // (the images of the two axes are orthogonal); other linear parts are shear.
    TransformationType type() const;
    bool isIdentity() const { return type() == TxNone; }
    bool isAffine() const { return type() < TxProject; }
    // "Translating or more", as with the other is*() tests: true for any
    // transform of type translate or above; isIdentity() separates the rest.
    bool isTranslating() const { return type() >= TxTranslate; }
    bool isScaling() const { return type() >= TxScale; }
    bool isRotating() const { return type() >= TxRotate; }
    bool isInvertible() const;
    double determinant() const;

    VelTransform &translate(double dx, double dy);
    VelTransform &scale(double sx, double sy);
    VelTransform &rotate(double degrees);
    VelTransform &rotateRadians(double radians);
    VelTransform &shear(double sh, double sv);

    // A singular transform yields the identity and *invertible = false.
    VelTransform inverted(bool *invertible = nullptr) const;
    VelTransform adjoint() const;
    VelTransform transposed() const;

    void map(double x, double y, double *tx, double *ty) const;
    void map(int x, int y, int *tx, int *ty) const;
    VelPointF map(const VelPointF &p) const;
    // Rounded to the nearest integer point.
    VelPoint map(const VelPoint &p) const;
    // The bounding rectangle of the mapped corners.
    VelRectF mapRect(const VelRectF &r) const;
    VelRect mapRect(const VelRect &r) const;

    VelTransform &operator*=(const VelTransform &o);
    VelTransform &operator*=(double factor);
    friend VelTransform operator*(VelTransform a, const VelTransform &b) { return a *= b; }
    friend bool operator==(const VelTransform &a, const VelTransform &b);
    friend bool operator!=(const VelTransform &a, const VelTransform &b) { return !(a == b); }

private:
    double m_m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

class VelDebug;
VelDebug &operator<<(VelDebug &d, const VelTransform &t);
VelDebug &&operator<<(VelDebug &&d, const VelTransform &t);

VEL_DECLARE_METATYPE(VelTransform)

#endif
