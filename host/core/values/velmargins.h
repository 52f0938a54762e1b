#ifndef VELMARGINS_H
#define VELMARGINS_H

// Four integer margins around a rectangle (left, top, right, bottom).
class VelMargins
{
public:
    constexpr VelMargins() = default;
    constexpr VelMargins(int left, int top, int right, int bottom)
        : m_left(left), m_top(top), m_right(right), m_bottom(bottom)
    {
    }

    constexpr bool isNull() const { return !m_left && !m_top && !m_right && !m_bottom; }
    constexpr int left() const { return m_left; }
    constexpr int top() const { return m_top; }
    constexpr int right() const { return m_right; }
    constexpr int bottom() const { return m_bottom; }
    void setLeft(int v) { m_left = v; }
    void setTop(int v) { m_top = v; }
    void setRight(int v) { m_right = v; }
    void setBottom(int v) { m_bottom = v; }

    VelMargins &operator+=(const VelMargins &m);
    VelMargins &operator-=(const VelMargins &m);

    friend constexpr bool operator==(const VelMargins &a, const VelMargins &b)
    {
        return a.m_left == b.m_left && a.m_top == b.m_top && a.m_right == b.m_right &&
               a.m_bottom == b.m_bottom;
    }
    friend constexpr bool operator!=(const VelMargins &a, const VelMargins &b) { return !(a == b); }
    friend VelMargins operator+(VelMargins a, const VelMargins &b) { return a += b; }
    friend VelMargins operator-(VelMargins a, const VelMargins &b) { return a -= b; }
    friend constexpr VelMargins operator-(const VelMargins &m)
    {
        return VelMargins(-m.m_left, -m.m_top, -m.m_right, -m.m_bottom);
    }

private:
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
};

#endif
