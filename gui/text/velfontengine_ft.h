#ifndef VELFONTENGINE_FT_H
#define VELFONTENGINE_FT_H

#include "velfontengine.h"
#include "velfreetypeface.h"

#include <list>
#include <memory>
#include <unordered_map>

// A font engine over a FreeType face shared with the other engines of its
// face key on the same thread. Rendered glyphs are kept in glyph sets: one for
// untransformed text and up to ten for transformations, most recently used
// first. An engine is used by one thread at a time.
class VelFontEngineFT : public VelFontEngine
{
public:
    // One rendered or measured glyph; the 8-bit fields bound what is cached.
    struct Glyph {
        Glyph() = default;
        ~Glyph() { delete[] data; }
        VEL_DISABLE_COPY(Glyph)

        short linearAdvance = 0; // 26.6, unhinted
        uchar width = 0;
        uchar height = 0;
        signed char x = 0;       // pen to left edge, pixels
        signed char y = 0;       // baseline up to top edge, pixels
        signed char advance = 0; // hinted, whole pixels
        signed char format = Format_None;
        uchar *data = nullptr;
        // An image over data, made the first time the record is handed out
        // locked; reset whenever data changes.
        VelImage image;
    };

    struct GlyphAndSubPixelPosition {
        glyph_t glyph;
        VelFixed subPixelPosition;
        bool operator==(const GlyphAndSubPixelPosition &o) const
        {
            return glyph == o.glyph && subPixelPosition == o.subPixelPosition;
        }
    };
    struct GlyphAndSubPixelPositionHash {
        size_t operator()(const GlyphAndSubPixelPosition &g) const noexcept
        {
            return (size_t(g.glyph) << 8) ^ size_t(uint(g.subPixelPosition.value()));
        }
    };

    // Glyph records of one transformation; owns them.
    class VelGlyphSet
    {
    public:
        VelGlyphSet();
        ~VelGlyphSet();
        VEL_DISABLE_COPY(VelGlyphSet)

        Glyph *findGlyph(glyph_t index, VelFixed subPixelPosition) const
        {
            if (useFastGlyphData(index, subPixelPosition))
                return fastGlyphs[index];
            const auto it = otherGlyphs.find({index, subPixelPosition});
            return it == otherGlyphs.end() ? nullptr : it->second;
        }
        // Takes ownership of glyph; the caller frees any record it replaces.
        void setGlyph(glyph_t index, VelFixed subPixelPosition, Glyph *glyph);
        void removeGlyphFromCache(glyph_t index, VelFixed subPixelPosition);
        void clear();
        int fastGlyphsInUse() const { return fastGlyphCount; }
        int otherGlyphsInUse() const { return int(otherGlyphs.size()); }

        FT_Matrix transformationMatrix;
        bool outline_drawing = false;

    private:
        static bool useFastGlyphData(glyph_t index, VelFixed subPixelPosition)
        {
            return index < 256 && subPixelPosition == VelFixed();
        }

        Glyph *fastGlyphs[256];
        int fastGlyphCount = 0;
        std::unordered_map<GlyphAndSubPixelPosition, Glyph *, GlyphAndSubPixelPositionHash>
            otherGlyphs;
    };

    enum Scaling { Scaled = 0, Unscaled = 1 };
    enum SubpixelLayout {
        Subpixel_None = 0,
        Subpixel_RGB,
        Subpixel_BGR,
        Subpixel_VRGB,
        Subpixel_VBGR
    };

    explicit VelFontEngineFT(const VelFontDef &fontDef);
    ~VelFontEngineFT() override;

    bool init(const FaceId &faceId, bool antialias, GlyphFormat format = Format_None,
              const VelByteArray &fontData = VelByteArray());
    bool init(const FaceId &faceId, bool antialias, GlyphFormat format,
              VelFreetypeFace *freetypeFace);
    bool initFromFontEngine(const VelFontEngineFT *other);

    // Virtual operations, in the base class's order.
    Properties properties() const override;
    void getUnscaledGlyph(glyph_t glyph, VelPainterPath *path, glyph_metrics_t *metrics) override;
    bool getSfntTableData(uint tag, uchar *buffer, uint *length) const override;
    FaceId faceId() const override { return face_id; }
    int synthesized() const override;
    bool supportsSubPixelPositions() const override;
    VelFixed emSquareSize() const override;
    bool stringToCMap(const VelChar *str, int len, VelGlyphLayout *glyphs, int *nglyphs,
                      ShaperFlags flags) const override;
    void recalcAdvances(VelGlyphLayout *glyphs, ShaperFlags flags) const override;
    void doKerning(VelGlyphLayout *glyphs, ShaperFlags flags) const override;
    void addGlyphsToPath(glyph_t *glyphs, VelFixedPoint *positions, int nglyphs,
                         VelPainterPath *path, RenderFlags flags) override;
    void addOutlineToPath(double x, double y, const VelGlyphLayout &glyphs, VelPainterPath *path,
                          RenderFlags flags = 0) override;
    using VelFontEngine::alphaMapForGlyph;
    VelImage alphaMapForGlyph(glyph_t glyph) override;
    VelImage alphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition) override;
    VelImage alphaRGBMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                 const VelTransform &t) override;
    VelImage *lockedAlphaMapForGlyph(glyph_t glyph, VelFixed subPixelPosition,
                                     GlyphFormat neededFormat,
                                     const VelTransform &t = VelTransform(),
                                     VelPoint *offset = nullptr) override;
    void unlockAlphaMapForGlyph() override;
    bool hasInternalCaching() const override { return cacheEnabled; }
    glyph_metrics_t alphaMapBoundingBox(glyph_t glyph, VelFixed subPixelPosition,
                                        const VelTransform &matrix, GlyphFormat format) override;
    void removeGlyphFromCache(glyph_t glyph) override;
    glyph_metrics_t boundingBox(const VelGlyphLayout &glyphs) override;
    glyph_metrics_t boundingBox(glyph_t glyph) override;
    glyph_metrics_t boundingBox(glyph_t glyph, const VelTransform &matrix) override;
    VelFixed ascent() const override;
    VelFixed descent() const override;
    VelFixed leading() const override;
    VelFixed xHeight() const override;
    VelFixed averageCharWidth() const override;
    VelFixed lineThickness() const override { return line_thickness; }
    VelFixed underlinePosition() const override { return underline_position; }
    double maxCharWidth() const override;
    double minLeftBearing() const override;
    double minRightBearing() const override;
    const char *name() const override { return "freetype"; }
    bool canRender(const VelChar *str, int len) const override;
    bool supportsTransformation(const VelTransform &transform) const override;
    Type type() const override { return Freetype; }
    int glyphCount() const override;
    int glyphMargin(GlyphFormat format) override
    {
        VEL_UNUSED(format);
        return 0;
    }
    VelFontEngine *cloneWithSize(double pixelSize) const override;
    int getPointInOutline(glyph_t glyph, int flags, uint point, VelFixed *xpos, VelFixed *ypos,
                          uint *nPoints) override;
    void setDefaultHintStyle(HintStyle style) override { default_hint_style = style; }

    // The face with this engine's size and transform applied, locked.
    FT_Face lockFace(Scaling scale = Scaled) const;
    void unlockFace() const;
    FT_Face non_locked_face() const;

    int loadFlags(VelGlyphSet *set, GlyphFormat format, int flags, bool &hsubpixel,
                  int &vfactor) const;
    // A record owned by set, or by the caller when set is null; null when the
    // glyph does not fit a record.
    Glyph *loadGlyph(VelGlyphSet *set, uint glyph, VelFixed subPixelPosition,
                     GlyphFormat format = Format_None, bool fetchMetricsOnly = false) const;
    Glyph *loadGlyphFor(glyph_t g, VelFixed subPixelPosition, GlyphFormat format);
    VelGlyphSet *loadTransformedGlyphSet(const VelTransform &matrix);

    HintStyle defaultHintStyle() const { return default_hint_style; }
    // Sub-pixel (LCD) rendering of 32-bit glyphs for screens of that layout;
    // glyphs already cached keep the layout they were rendered with.
    void setSubpixelLayout(SubpixelLayout layout) { subpixelType = layout; }
    SubpixelLayout subpixelLayout() const { return subpixelType; }
    bool isScalableBitmap() const { return false; }
    int pixelWidth() const { return xsize; }
    int pixelHeight() const { return ysize; }
    VelFreetypeFace *sharedFace() const { return freetype; }
    VelGlyphSet *defaultGlyphSet() { return &defaultGlyphSet_; }
    const std::list<VelGlyphSet> &transformedGlyphSets() const { return transformedGlyphSets_; }
    bool invalid() const { return xsize == 0 && ysize == 0; }

protected:
    bool shouldUseDesignMetrics(ShaperFlags flags) const;

    VelFreetypeFace *freetype = nullptr;
    int default_load_flags = FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH;
    HintStyle default_hint_style = HintNone;
    bool antialias = true;
    bool embolden = false;
    bool obliquen = false;
    SubpixelLayout subpixelType = Subpixel_None;
    int lcdFilterType = 1;
    bool embeddedbitmap = false;
    GlyphFormat defaultFormat = Format_None;
    FT_Matrix matrix;

private:
    void getMinBearings() const;
    Glyph *cachedGlyphAnyFormat(glyph_t glyph);
    // Through the face's character cache, filling it.
    glyph_t glyphForCodePoint(uint codePoint) const;
    GlyphFormat lockedMapFormat(GlyphFormat requested) const
    {
        if (defaultFormat == Format_Mono)
            return Format_Mono;
        if (requested == Format_None)
            return defaultFormat != Format_None ? defaultFormat : Format_A8;
        return requested;
    }
    static VelImage *lockedImageOf(Glyph *glyph, GlyphFormat format, VelPoint *offset);
    static VelImage imageOver(const Glyph *glyph, GlyphFormat format);
    VelImage *lockedAlphaMapUncached(glyph_t glyph, VelFixed subPixelPosition,
                                     GlyphFormat neededFormat, const VelTransform &t,
                                     VelPoint *offset);
    glyph_metrics_t boxFromSlot(FT_Face face) const;

    std::list<VelGlyphSet> transformedGlyphSets_;
    mutable VelGlyphSet defaultGlyphSet_;
    FaceId face_id;
    int xsize = 0;
    int ysize = 0;
    mutable VelFixed lbearing;
    mutable VelFixed rbearing;
    VelFixed line_thickness;
    VelFixed underline_position;
    FT_Size_Metrics metrics;
    mutable bool kerning_pairs_loaded = false;
    bool cacheEnabled = true;
    // The image handed out by lockedAlphaMapForGlyph until it is unlocked.
    VelImage currentlyLockedAlphaMap;
};

// Marks engines made from font data in memory.
class VelFontEngineFTRawData : public VelFontEngineFT
{
public:
    explicit VelFontEngineFTRawData(const VelFontDef &fontDef) : VelFontEngineFT(fontDef) {}
    ~VelFontEngineFTRawData() override;
};

#endif
