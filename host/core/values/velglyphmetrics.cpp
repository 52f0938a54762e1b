#include "velglyphmetrics.h"

glyph_metrics_t::glyph_metrics_t(VelFixed x_, VelFixed y_, VelFixed width_, VelFixed height_,
                                 VelFixed xoff_, VelFixed yoff_)
    : x(x_), y(y_), width(width_), height(height_), xoff(xoff_), yoff(yoff_)
{
}

bool glyph_metrics_t::isValid() const
{
    return x != VelFixed(kNoBoxPixels) && y != VelFixed(kNoBoxPixels);
}

bool operator==(const glyph_metrics_t &a, const glyph_metrics_t &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height &&
           a.xoff == b.xoff && a.yoff == b.yoff;
}
