#ifndef VELRASTERIZER_H
#define VELRASTERIZER_H

#include "velimage.h"
#include "velpainterpath.h"

// Scan-converts a path into an 8-bit coverage image (Alpha8, Grayscale8 or
// Indexed8; index = coverage). Pixel (i, j) covers the unit square
// [i, i + 1) x [j, j + 1); each pixel receives the exact area of the filled
// region inside it, with the path's fill rule deciding what is inside.
// Coverage is added to what is already there (saturating), so several paths
// can be drawn into one image. Parts outside the image are clipped.
void vel_rasterizePath(const VelPainterPath &path, VelImage *target, double dx = 0, double dy = 0);

#endif
