#ifndef VELGLYPHMETRICS_H
#define VELGLYPHMETRICS_H

#include "velfixed.h"

// The ink box and advance of a glyph or a run, in 26.6 fixed point. A
// default-constructed record has x = y = 100000 pixels: the sentinel for "no
// box yet", which min() accumulation then replaces.
struct glyph_metrics_t {
    static constexpr int kNoBoxPixels = 100000;

    VelFixed x = VelFixed(kNoBoxPixels);
    VelFixed y = VelFixed(kNoBoxPixels);
    VelFixed width;
    VelFixed height;
    VelFixed xoff;
    VelFixed yoff;

    glyph_metrics_t() = default;
    glyph_metrics_t(VelFixed x, VelFixed y, VelFixed width, VelFixed height, VelFixed xoff,
                    VelFixed yoff);

    bool isValid() const;
    friend bool operator==(const glyph_metrics_t &a, const glyph_metrics_t &b);
    friend bool operator!=(const glyph_metrics_t &a, const glyph_metrics_t &b) { return !(a == b); }
};

#endif
