#include "velbasicfontdatabase.h"

#include "veldir.h"
#include "velfile.h"
#include "velfileinfo.h"
#include "velfontengine_ft.h"
#include "vellogging.h"
#include "veluuid.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <memory>

namespace
{

int weightFromWeightClass(int weightClass, int weight)
{
    if (weightClass == 0)
        return weight;
    if (weightClass < 350)
        return VelFontDef::Light;
    if (weightClass < 450)
        return VelFontDef::Normal;
    if (weightClass < 650)
        return VelFontDef::DemiBold;
    if (weightClass < 750)
        return VelFontDef::Bold;
    if (weightClass < 1000)
        return VelFontDef::Black;
    return weight;
}

int weightFromPanose(int panoseWeight, int weight)
{
    if (panoseWeight < 2)
        return weight;
    if (panoseWeight <= 3)
        return VelFontDef::Light;
    if (panoseWeight <= 5)
        return VelFontDef::Normal;
    if (panoseWeight <= 7)
        return VelFontDef::DemiBold;
    if (panoseWeight == 8)
        return VelFontDef::Bold;
    if (panoseWeight <= 10)
        return VelFontDef::Black;
    return weight;
}

bool hasSymbolCharmap(FT_Face face)
{
    for (int i = 0; i < face->num_charmaps; ++i) {
        const FT_Encoding e = face->charmaps[i]->encoding;
        if (e == FT_ENCODING_MS_SYMBOL || e == FT_ENCODING_ADOBE_CUSTOM)
            return true;
    }
    return false;
}

FT_Error openFace(const VelByteArray &fontData, const VelByteArray &file, int index, FT_Face *face)
{
    FT_Library library = vel_getFreetype();
    if (!fontData.isEmpty())
        return FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte *>(fontData.constData()),
                                  FT_Long(fontData.size()), index, face);
    return FT_New_Face(library, file.constData(), index, face);
}

struct FaceCloser {
    void operator()(FT_FaceRec_ *face) const { FT_Done_Face(face); }
};

// Big-endian reads of exactly n bytes from the file; a short read fails.
class BigEndianFile
{
public:
    explicit BigEndianFile(const VelString &name) : m_file(name) {}
    bool open() { return m_file.open(VelIODevice::ReadOnly); }
    bool read(int n, VelByteArray *out)
    {
        *out = m_file.read(n);
        return out->size() == n;
    }
    bool seek(velint64 pos) { return pos >= 0 && m_file.seek(pos); }
    velint64 pos() const { return m_file.pos(); }

private:
    VelFile m_file;
};

veluint16 be16(const VelByteArray &b, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    return veluint16((p[0] << 8) | p[1]);
}

veluint32 be32(const VelByteArray &b, int at)
{
    return (veluint32(be16(b, at)) << 16) | be16(b, at + 2);
}

VelString decodeUtf16BigEndian(const VelByteArray &bytes)
{
    const int units = bytes.size() / 2;
    std::vector<char16_t> text(static_cast<size_t>(units));
    for (int i = 0; i < units; ++i)
        text[size_t(i)] = char16_t(be16(bytes, 2 * i));
    return VelString::fromUtf16(text.data(), units);
}

} // namespace

VelBasicFontDatabase::~VelBasicFontDatabase() = default;

void VelBasicFontDatabase::populateFromDirectory(const VelStringList &nameFilters, bool refresh)
{
    const VelString fontpath = fontDir();
    VelDir dir(fontpath);
    if (!dir.exists())
        velFatal("VelFontDatabase: Cannot find font directory %s - is Vel installed correctly?",
                 fontpath.toLocal8Bit().constData());
    if (refresh)
        dir.refresh();
    const std::vector<VelFileInfo> entries =
        dir.entryInfoList(nameFilters, VelDir::AllEntries, VelDir::Name | VelDir::IgnoreCase);
    for (const VelFileInfo &entry : entries) {
        const VelByteArray file = VelFile::encodeName(entry.absoluteFilePath());
        addTTFile(VelByteArray(), file);
    }
}

void VelBasicFontDatabase::populateFontDatabase()
{
    VelStringList filters;
    filters << VelString("*.ttf") << VelString("*.ttc") << VelString("*.pfa") << VelString("*.pfb");
    populateFromDirectory(filters, true);
}

VelFontEngine *VelBasicFontDatabase::fontEngine(const VelFontDef &fontDef, int script, void *handle)
{
    const auto *fontfile = static_cast<const FontFileHandle *>(handle);
    if (!fontfile)
        return nullptr;
    FaceId fid;
    fid.filename = VelFile::encodeName(fontfile->fileName);
    fid.index = fontfile->indexValue;

    const bool antialias = !(fontDef.styleStrategy & VelFontDef::NoAntialias);
    const VelFontEngine::GlyphFormat format =
        antialias ? VelFontEngine::Format_A8 : VelFontEngine::Format_Mono;

    std::unique_ptr<VelFontEngineFT> engine(new VelFontEngineFT(fontDef));
    if (!engine->init(fid, antialias, format) || engine->invalid())
        return nullptr;
    if (!engine->supportsScript(script)) {
        velWarning("  OpenType support missing for script %d", script);
        return nullptr;
    }
    return engine.release();
}

VelFontEngine *VelBasicFontDatabase::fontEngine(const VelByteArray &fontData, double pixelSize,
                                                VelFontDef::HintingPreference hintingPreference)
{
    VelFontDef fontDef;
    fontDef.pixelSize = pixelSize;
    fontDef.pointSize = -1;

    std::unique_ptr<VelFontEngineFTRawData> fe(new VelFontEngineFTRawData(fontDef));
    FaceId faceId;
    faceId.filename = VelByteArray("");
    faceId.index = 0;
    // A fresh key per call: two engines from the same bytes never share a face.
    faceId.uuid = VelUuid::createUuid().toString().toLatin1();
    if (!fe->init(faceId, true, VelFontEngine::Format_None, fontData))
        return nullptr;

    const FT_Face face = fe->non_locked_face();
    fe->fontDef.family = VelString::fromLatin1(face->family_name ? face->family_name : "");
    if (face->style_flags & FT_STYLE_FLAG_ITALIC)
        fe->fontDef.style = VelFontDef::StyleItalic;
    if (face->style_flags & FT_STYLE_FLAG_BOLD)
        fe->fontDef.weight = VelFontDef::Bold;

    switch (hintingPreference) {
    case VelFontDef::PreferNoHinting:
        fe->setDefaultHintStyle(VelFontEngine::HintNone);
        break;
    case VelFontDef::PreferVerticalHinting:
        fe->setDefaultHintStyle(VelFontEngine::HintLight);
        break;
    case VelFontDef::PreferFullHinting:
        fe->setDefaultHintStyle(VelFontEngine::HintFull);
        break;
    default:
        break;
    }
    return fe.release();
}

VelStringList VelBasicFontDatabase::fallbacksForFamily(const VelString &, VelFontDef::Style,
                                                       VelFontDef::StyleHint, int) const
{
    return VelStringList();
}

VelStringList VelBasicFontDatabase::addApplicationFont(const VelByteArray &fontData,
                                                       const VelString &fileName)
{
    return addTTFile(fontData, VelFile::encodeName(fileName));
}

void VelBasicFontDatabase::releaseHandle(void *handle)
{
    delete static_cast<FontFileHandle *>(handle);
}

VelStringList VelBasicFontDatabase::addTTFile(const VelByteArray &fontData,
                                              const VelByteArray &file)
{
    VelStringList families;
    FT_Long index = 0;
    FT_Long numFaces = 0;
    do {
        FT_Face rawFace = nullptr;
        const FT_Error error = openFace(fontData, file, int(index), &rawFace);
        if (error != FT_Err_Ok) {
            velDebug("FT_New_Face failed with index %d : %x", int(index), uint(error));
            break;
        }
        const std::unique_ptr<FT_FaceRec_, FaceCloser> face(rawFace);
        numFaces = face->num_faces;

        int weight =
            (face->style_flags & FT_STYLE_FLAG_BOLD) ? VelFontDef::Bold : VelFontDef::Normal;
        const VelFontDef::Style style = (face->style_flags & FT_STYLE_FLAG_ITALIC)
                                            ? VelFontDef::StyleItalic
                                            : VelFontDef::StyleNormal;
        const bool fixedPitch = FT_IS_FIXED_WIDTH(face.get());

        VelSupportedWritingSystems writingSystems;
        if (hasSymbolCharmap(face.get()))
            writingSystems.setSupported(VelWritingSystem::Symbol);

        const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face.get(), FT_SFNT_OS2));
        if (os2) {
            const veluint32 unicodeRange[4] = {
                veluint32(os2->ulUnicodeRange1), veluint32(os2->ulUnicodeRange2),
                veluint32(os2->ulUnicodeRange3), veluint32(os2->ulUnicodeRange4)};
            const veluint32 codePageRange[2] = {veluint32(os2->ulCodePageRange1),
                                                veluint32(os2->ulCodePageRange2)};
            writingSystems = writingSystemsFromTrueTypeBits(unicodeRange, codePageRange);
            weight = weightFromWeightClass(os2->usWeightClass, weight);
            weight = weightFromPanose(os2->panose[2], weight);
        }

        const VelString family = VelString::fromLatin1(face->family_name ? face->family_name : "");
        const VelString styleName = VelString::fromLatin1(face->style_name ? face->style_name : "");

        auto *handle = new FontFileHandle;
        handle->fileName = VelFile::decodeName(file);
        handle->indexValue = int(index);

        registerFont(family, styleName, VelString(), weight, style, 100, true, true, 0, fixedPitch,
                     writingSystems, handle);
        families.append(family);
        ++index;
    } while (index < numFaces);
    return families;
}

VelString VelBasicFontDatabase::fontNameFromTTFile(const VelString &filename)
{
    BigEndianFile f(filename);
    if (!f.open())
        return VelString();

    VelByteArray header;
    if (!f.read(12, &header) || be16(header, 0) != 1 || be16(header, 2) != 0)
        return VelString();
    const int numTables = be16(header, 4);

    veluint32 nameOffset = 0;
    bool found = false;
    for (int i = 0; i < numTables && !found; ++i) {
        VelByteArray record;
        if (!f.read(16, &record))
            return VelString();
        if (record.startsWith("name")) {
            nameOffset = be32(record, 8);
            found = true;
        }
    }
    if (!found || !f.seek(velint64(nameOffset)))
        return VelString();

    VelByteArray nameHeader;
    if (!f.read(6, &nameHeader))
        return VelString();
    const int count = be16(nameHeader, 2);
    const veluint32 storageOffset = be16(nameHeader, 4);

    for (int i = 0; i < count; ++i) {
        VelByteArray record;
        if (!f.read(12, &record))
            return VelString();
        if (be16(record, 6) != 1)
            continue;
        const int encodingId = be16(record, 2);
        const int length = be16(record, 8);
        const veluint32 stringOffset = be16(record, 10);
        const velint64 resume = f.pos();
        // Offsets are at most 32 + 16 + 16 bits: no overflow in 64 bits.
        const velint64 at = velint64(nameOffset) + storageOffset + stringOffset;
        VelByteArray bytes;
        if (f.seek(at))
            f.read(length, &bytes);
        if (bytes.isEmpty()) {
            if (!f.seek(resume))
                return VelString();
            continue;
        }
        // Part of a name is not the name.
        if (bytes.size() < length)
            return VelString();
        if (encodingId == 1 || encodingId == 3)
            return decodeUtf16BigEndian(bytes);
        if (encodingId == 0)
            return VelString::fromLatin1(bytes);
        velWarning("Could not retrieve Font name from file: %s",
                   VelDir::toNativeSeparators(filename).toLocal8Bit().constData());
        return VelString();
    }
    return VelString();
}
