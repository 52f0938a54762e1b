#ifndef VELFONTENGINE_H
#define VELFONTENGINE_H

#include "velfaceid.h"
#include "velfixed.h"
#include "velfixedpoint.h"
#include "velfontdef.h"
#include "velglyphlayout.h"
#include "velglyphmetrics.h"
#include "velimage.h"
#include "velpainterpath.h"
#include "veltransform.h"

#include <memory>
#include <vector>

// Renders one face at one size and style: maps characters to glyphs, gives
// metrics and advances, and produces glyph images and outlines. Concrete
// engines override what they can do natively; the base class gives generic
// implementations built on the outline (addGlyphsToPath) and the font tables
// (getSfntTableData). The generic implementations may call back into the
// engine, so engines that lock around their own calls need recursive locks.
//
// Lengths are 26.6 fixed point (VelFixed) in pixels, y growing downwards from
// the baseline, unless stated otherwise.
class VelFontEngine
{
public:
    enum Type { Box = 0, Multi = 1, Mac = 2, Win = 3, Freetype = 4, TestFontEngine = 0x1000 };

    enum GlyphFormat { Format_None = 0, Format_Mono = 1, Format_A8 = 2, Format_A32 = 3 };

    enum ShaperFlag { RightToLeft = 0x0001, DesignMetrics = 0x0002, GlyphIndicesOnly = 0x0004 };
    using ShaperFlags = int;

    enum HintStyle { HintNone = 0, HintLight = 1, HintMedium = 2, HintFull = 3 };

    enum SynthesizedFlags {
        SynthesizedItalic = 0x1,
        SynthesizedBold = 0x2,
        SynthesizedStretch = 0x4
    };

    enum SubpixelAntialiasingType {
        Subpixel_None = 0,
        Subpixel_RGB = 1,
        Subpixel_BGR = 2,
        Subpixel_VRGB = 3,
        Subpixel_VBGR = 4
    };

    enum RenderFlag { DesignMetricsRender = 0x2 };
    using RenderFlags = int;

    // Font-wide values; lengths in the engine's units as the engine reports
    // them (26.6), the bounding box as real numbers.
    struct Properties {
        VelByteArray postscriptName;
        VelByteArray copyright;
        VelFixed emSquare;
        VelFixed ascent;
        VelFixed descent;
        VelFixed leading;
        VelRectF boundingBox;
        VelFixed italicAngle;
        VelFixed capHeight;
        VelFixed lineWidth;
    };

    struct KernPair {
        uint left_right; // left glyph << 16 | right glyph
        VelFixed adjust;
        bool operator<(const KernPair &o) const { return left_right < o.left_right; }
    };

    virtual ~VelFontEngine();
    VEL_DISABLE_COPY(VelFontEngine)

    // Virtual operations, in this order (derived engines rely on the layout).
    virtual Properties properties() const;
    // The glyph's outline and metrics in font units (x 64) at the em size.
    virtual void getUnscaledGlyph(glyph_t glyph, VelPainterPath *path, glyph_metrics_t *metrics);
    // Copies an SFNT table: with a null buffer only the length is reported.
    virtual bool getSfntTableData(uint tag, uchar *buffer, uint *length) const;
    virtual FaceId faceId() const { return FaceId(); }
    virtual int synthesized() const { return 0; }
    virtual bool supportsSubPixelPositions() const { return false; }
    // The sub-pixel position of a pen x: its fraction rounded to one of
    // subPixelPositionCount steps.
    virtual VelFixed subPixelPositionForX(VelFixed x) const;
    virtual VelFixed emSquareSize() const { return ascent(); }
    virtual bool stringToCMap(const VelChar *str, int len, VelGlyphLayout *glyphs, int *nglyphs,
                              ShaperFlags flags) const = 0;
    virtual void recalcAdvances(VelGlyphLayout *glyphs, ShaperFlags flags) const;
    // Applies the kerning pairs loaded with loadKerningPairs().
    virtual void doKerning(VelGlyphLayout *glyphs, ShaperFlags flags) const;
    // Appends the outlines of glyphs at the given pen positions (26.6).
    virtual void addGlyphsToPath(glyph_t *glyphs, VelFixedPoint *positions, int nglyphs,
                                 VelPainterPath *path, RenderFlags flags);
    // Generic: positions the layout at (x, y) and calls addGlyphsToPath().
    virtual void addOutlineToPath(double x, double y, const VelGlyphLayout &glyphs,
                                  VelPainterPath *path, RenderFlags flags = 0);
    // Generic: the rasterised outline, an Indexed8 coverage image (index i is
    // black with alpha i) whose top-left corner is at boundingBox(glyph)'s
    // (x, y) rounded down. Null for a glyph more than 4096 pixels wide or tall.
    virtual VelImage alphaMapForGlyph(glyph_t glyph);
    virtual VelImage alphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition);
    virtual VelImage alphaMapForGlyph(glyph_t glyph, const VelTransform &t);
    virtual VelImage alphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                      const VelTransform &t);
    // Generic: the alpha map as opaque-alpha RGB32 with coverage in each channel.
    virtual VelImage alphaRGBMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                         const VelTransform &t);
    virtual VelImage bitmapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                    const VelTransform &t);
    // An image owned by the engine, valid until unlockAlphaMapForGlyph();
    // offset receives the position of its top-left corner relative to the pen.
    // Generic: alphaMapForGlyph() converted to the needed format, held until
    // unlocked. Null for glyphs without pixels.
    virtual VelImage *lockedAlphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                             GlyphFormat neededFormat,
                                             const VelTransform &t = VelTransform(),
                                             VelPoint *offset = nullptr);
    virtual void unlockAlphaMapForGlyph();
    virtual bool hasInternalCaching() const { return false; }
    virtual glyph_metrics_t alphaMapBoundingBox(glyph_t glyph, VelFixed subPixelPosition,
                                                const VelTransform &matrix, GlyphFormat format);
    virtual void removeGlyphFromCache(glyph_t glyph);
    virtual glyph_metrics_t boundingBox(const VelGlyphLayout &glyphs) = 0;
    virtual glyph_metrics_t boundingBox(glyph_t glyph) = 0;
    virtual glyph_metrics_t boundingBox(glyph_t glyph, const VelTransform &matrix);
    virtual VelFixed ascent() const = 0;
    virtual VelFixed descent() const = 0;
    virtual VelFixed leading() const = 0;
    virtual VelFixed xHeight() const;
    virtual VelFixed averageCharWidth() const;
    virtual VelFixed lineThickness() const;
    virtual VelFixed underlinePosition() const;
    virtual double maxCharWidth() const = 0;
    virtual double minLeftBearing() const;
    virtual double minRightBearing() const;
    virtual void getGlyphBearings(glyph_t glyph, double *leftBearing = nullptr,
                                  double *rightBearing = nullptr);
    virtual const char *name() const = 0;
    virtual bool canRender(const VelChar *str, int len) const = 0;
    virtual bool supportsTransformation(const VelTransform &transform) const;
    virtual Type type() const = 0;
    virtual int glyphCount() const;
    virtual int glyphMargin(GlyphFormat format) { return format == Format_A32 ? 2 : 0; }
    virtual VelFontEngine *cloneWithSize(double pixelSize) const
    {
        VEL_UNUSED(pixelSize);
        return nullptr;
    }
    virtual int getPointInOutline(glyph_t glyph, int flags, uint point, VelFixed *xpos,
                                  VelFixed *ypos, uint *nPoints);
    virtual void setDefaultHintStyle(HintStyle style) { VEL_UNUSED(style); }

    // Non-virtual helpers.
    bool supportsScript(int script) const;
    // The shaping face (a HarfBuzz face over getSfntTableData), built on first
    // use and kept in shapingFace / shapingFaceDestroy.
    void *harfbuzzFace() const;
    // Reads the 'kern' table; adjustments are divided by scalingFactor
    // (font units per pixel).
    void loadKerningPairs(VelFixed scalingFactor);
    const std::vector<KernPair> &kerningPairs() const { return m_kerningPairs; }
    // Pen positions of a laid-out run at (x, y), mapped by matrix.
    void getGlyphPositions(const VelGlyphLayout &glyphs, const VelTransform &matrix,
                           RenderFlags flags, std::vector<glyph_t> &glyphsOut,
                           std::vector<VelFixedPoint> &positions);
    // The lines drawn for text decorations fall back to these.
    VelFixed lastRightBearing(const VelGlyphLayout &glyphs);
    static VelByteArray convertToPostscriptFontFamilyName(const VelByteArray &fontFamily);

    // State shared with derived engines.
    VelFontDef fontDef;
    // How glyph images are cached (the format alpha maps come in).
    GlyphFormat glyphFormat = Format_None;
    bool symbol = false;
    // OS/2 fsType embedding permissions.
    int fsType = 0;
    // The shaping face and the function that frees it; a derived engine that
    // hands the face to someone else clears the function.
    mutable void *shapingFace = nullptr;
    mutable void (*shapingFaceDestroy)(void *) = nullptr;
    uint cache_cost = 0;
    int subPixelPositionCount = 0;

protected:
    VelFontEngine() = default;

private:
    std::vector<KernPair> m_kerningPairs;
    // Generic lockedAlphaMapForGlyph keeps the image it hands out here.
    std::unique_ptr<VelImage> m_lockedAlphaMap;
};

#endif
