#ifndef VELPAINTER_H
#define VELPAINTER_H

#include "velcolor.h"
#include "velfont.h"
#include "velimage.h"
#include "velpainterpath.h"
#include "velrect.h"

class VelPaintDevice;
class VelFontEngine;

// A small raster painter over an image (RGB32, ARGB32,
// ARGB32_Premultiplied or RGB16; a pixmap paints into its image). Drawing is
// source-over by default, clipped to the image and to an optional clip
// rectangle, and offset by the painter's translation.
class VelPainter
{
public:
    enum CompositionMode { CompositionMode_SourceOver = 0, CompositionMode_Source = 2 };

    VelPainter() = default;
    explicit VelPainter(VelPaintDevice *device) { begin(device); }
    ~VelPainter() { end(); }
    VEL_DISABLE_COPY(VelPainter)

    bool begin(VelPaintDevice *device);
    bool end();
    bool isActive() const { return m_image != nullptr; }
    VelPaintDevice *device() const { return m_device; }

    void setPen(const VelColor &color) { m_pen = color; }
    VelColor pen() const { return m_pen; }
    void setBrush(const VelColor &color) { m_brush = color; }
    VelColor brush() const { return m_brush; }
    void setFont(const VelFont &font) { m_font = font; }
    const VelFont &font() const { return m_font; }
    void setCompositionMode(CompositionMode mode) { m_mode = mode; }
    CompositionMode compositionMode() const { return m_mode; }
    void setClipRect(const VelRect &rect);
    void setClipping(bool enabled) { m_clipEnabled = enabled; }
    bool hasClipping() const { return m_clipEnabled; }
    VelRect clipRect() const { return m_clip; }
    void translate(int dx, int dy);
    VelPoint translation() const { return m_origin; }

    void fillRect(const VelRect &rect, const VelColor &color);
    void fillRect(int x, int y, int w, int h, const VelColor &color)
    {
        fillRect(VelRect(x, y, w, h), color);
    }
    // Fills with the brush.
    void drawRect(const VelRect &rect) { fillRect(rect, m_brush); }
    void eraseRect(const VelRect &rect);
    // Draws source (the whole image when null) scaled into target, nearest pixel.
    void drawImage(const VelRect &target, const VelImage &image, const VelRect &source = VelRect());
    void drawImage(const VelPoint &topLeft, const VelImage &image);
    void drawLine(const VelPoint &from, const VelPoint &to);
    void drawLine(int x1, int y1, int x2, int y2) { drawLine(VelPoint(x1, y1), VelPoint(x2, y2)); }
    // Fills a path with the brush, anti-aliased, non-zero winding by default.
    void fillPath(const VelPainterPath &path, const VelColor &color);
    // Draws text in the pen colour; position is the left end of the baseline.
    void drawText(const VelPointF &position, const VelString &text);
    void drawText(int x, int y, const VelString &text) { drawText(VelPointF(x, y), text); }
    // How far drawText moves the pen for text in that font, in pixels (0 when
    // no font engine serves the font).
    static double horizontalAdvance(const VelFont &font, const VelString &text);
    // Blends an 8-bit coverage mask (Indexed8/Alpha8/Grayscale8: value =
    // coverage; Mono/MonoLSB: set bits; ARGB32/RGB32: per-channel coverage)
    // in the given colour with its top-left corner at (x, y).
    void drawCoverageMask(int x, int y, const VelImage &mask, const VelColor &color);

private:
    VelRect effectiveClip() const;
    void blendPixel(uchar *line, int x, uint premultipliedSource);
    void blendSpan(int x, int y, int count, uint premultipliedSource);

    VelPaintDevice *m_device = nullptr;
    VelImage *m_image = nullptr;
    VelColor m_pen = VelColor(0, 0, 0);
    VelColor m_brush = VelColor(0, 0, 0);
    VelFont m_font;
    CompositionMode m_mode = CompositionMode_SourceOver;
    VelRect m_clip;
    bool m_clipEnabled = false;
    VelPoint m_origin;
};

#endif
