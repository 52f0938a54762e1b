#ifndef VELFREETYPEFACE_H
#define VELFREETYPEFACE_H

#include "velatomic.h"
#include "velbytearray.h"
#include "velfaceid.h"
#include "velfacelock.h"
#include "velfixedpoint.h"
#include "velfontdef.h"
#include "velfontengine.h"
#include "velpainterpath.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
#include <unordered_map>

class VelFreetypeFace;

// FreeType state of one thread: FreeType objects may not be shared across
// threads, so every thread opens its own library and its own faces.
struct VelFreetypeData {
    FT_Library library = nullptr;
    std::unordered_map<FaceId, VelFreetypeFace *> faces;
};

VelFreetypeData *vel_getFreetypeData();
FT_Library vel_getFreetype();

// One open FreeType face shared by every engine of the same face key on a
// thread. Engines of different sizes take turns on it: each applies its own
// size and transform under the lock, and only when they differ from the ones
// last applied (xsize, ysize, matrix).
class VelFreetypeFace
{
public:
    // A face with a reference taken for the caller, or null.
    static VelFreetypeFace *getFace(const FaceId &faceId,
                                    const VelByteArray &fontData = VelByteArray());
    // Drops the caller's reference; faceId must be the key getFace() was given.
    void release(const FaceId &faceId);

    int fsType() const;
    // 26.6 sizes for a request; bitmap-only faces snap to their nearest strike.
    void computeSize(const VelFontDef &fontDef, int *xsize, int *ysize, bool *outlineDrawing);
    VelFontEngine::Properties properties() const;
    bool getSfntTable(uint tag, uchar *buffer, uint *length) const;
    // 0 on success, a FreeType error, or 0x1570 (invalid outline / point).
    int getPointInOutline(glyph_t glyph, int flags, uint point, VelFixed *xpos, VelFixed *ypos,
                          uint *nPoints);

    // Appends a loaded outline glyph, scaling its points in place.
    static void addGlyphToPath(FT_Face face, FT_GlyphSlot g, const VelFixedPoint &point,
                               VelPainterPath *path, FT_Fixed xScale, FT_Fixed yScale);
    // Appends a loaded 1-bit bitmap glyph; other slots add nothing.
    static void addBitmapToPath(FT_GlyphSlot slot, const VelFixedPoint &point,
                                VelPainterPath *path);

    void lock() { m_lock.lock(); }
    void unlock() { m_lock.unlock(); }
    bool tryLock() { return m_lock.try_lock(); }
    // Another reference for an engine that shares the face (a clone).
    void ref() { m_ref.ref(); }
    int refCount() const { return m_ref.load(); }

    enum { cmapCacheSize = 0x200 };

    FT_Face face = nullptr;
    // Size and transform last applied to face.
    int xsize = 0;
    int ysize = 0;
    FT_Matrix matrix;
    FT_CharMap unicode_map = nullptr;
    FT_CharMap symbol_map = nullptr;
    glyph_t cmapCache[cmapCacheSize];
    void *shapingFace = nullptr;
    void (*shapingFaceDestroy)(void *) = nullptr;

    ~VelFreetypeFace();

private:
    VelFreetypeFace();
    VEL_DISABLE_COPY(VelFreetypeFace)

    void chooseCharmaps();

    VelAtomicInt m_ref;
    // Guards face and the applied size and transform. Recursive because the
    // host's generic fallbacks call back into the engine while it holds the
    // lock; taken alone, never together with another lock.
    VelFaceLock m_lock;
    // Backs face when it was opened from memory; must outlive it.
    VelByteArray m_fontData;
};

#endif
