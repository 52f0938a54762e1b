#!/usr/bin/python3
"""Builds the small TrueType fonts the font tests need.

Each font exists to put one edge case in front of the font code: chosen OS/2
weights and PANOSE bytes, symbol and Apple Roman character maps, several faces
in one collection, bitmap-only strikes, all-off-curve contours and a 'kern'
table. Usage: make_test_fonts.py <output-dir>
"""
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection, TTFont, newTable
from fontTools.ttLib.tables._c_m_a_p import CmapSubtable
from fontTools.ttLib.tables._g_l_y_f import Glyph

UPEM = 1000
ASCENT = 800
DESCENT = -200


def box_glyph(x0, y0, x1, y1):
    pen = TTGlyphPen(None)
    pen.moveTo((x0, y0))
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()
    return pen.glyph()


def off_curve_glyph():
    # Four quadratic control points and no on-curve point: a rounded blob whose
    # contour starts at an implied point between the last and the first.
    pen = TTGlyphPen(None)
    pen.qCurveTo((100, 100), (100, 600), (600, 600), (600, 100), None)
    pen.closePath()
    return pen.glyph()


def off_then_on_glyph():
    # A contour whose first point is off the curve and whose last is on it.
    from fontTools.ttLib.tables._g_l_y_f import GlyphCoordinates
    g = Glyph()
    g.numberOfContours = 1
    g.coordinates = GlyphCoordinates([(100, 100), (100, 600), (600, 600), (600, 100)])
    g.flags = bytearray([0, 1, 0, 1])
    g.endPtsOfContours = [3]
    g.program = None
    from fontTools.ttLib.tables import ttProgram
    g.program = ttProgram.Program()
    g.program.fromBytecode(b"")
    return g


def build(family, style, weight=400, panose_weight=0, cmaps=("unicode",),
          extra_glyphs=None, kern_pairs=None, italic=False, glyph_names=True):
    names = [".notdef", "space", "A", "B", "V", "offcurve"]
    fb = FontBuilder(UPEM, isTTF=True)
    fb.setupGlyphOrder(names)
    mapping = {0x20: "space", 0x41: "A", 0x42: "B", 0x56: "V", 0xE000: "offcurve"}
    fb.setupCharacterMap(mapping)
    glyphs = {
        ".notdef": box_glyph(50, 0, 450, 700),
        "space": Glyph(),
        "A": box_glyph(50, 0, 550, 700),
        "B": box_glyph(60, 0, 500, 700),
        "V": box_glyph(40, 0, 560, 700),
        "offcurve": off_curve_glyph(),
    }
    fb.setupGlyf(glyphs)
    metrics = {n: (600, glyphs[n].xMin if hasattr(glyphs[n], "xMin") else 0) for n in names}
    metrics["space"] = (300, 0)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    fb.setupNameTable({"familyName": family, "styleName": style})
    panose = {"bFamilyType": 2, "bSerifStyle": 0, "bWeight": panose_weight, "bProportion": 0,
              "bContrast": 0, "bStrokeVariation": 0, "bArmStyle": 0, "bLetterForm": 0,
              "bMidline": 0, "bXHeight": 0}
    fs_selection = 0x01 if italic else (0x20 if weight >= 700 else 0x40)
    fb.setupOS2(usWeightClass=weight, sTypoAscender=ASCENT, sTypoDescender=DESCENT,
                usWinAscent=ASCENT, usWinDescent=-DESCENT, panose=panose,
                fsSelection=fs_selection, ulUnicodeRange1=0x1, ulCodePageRange1=0x1)
    # Without glyph names FreeType cannot synthesise a Unicode map from them,
    # so a font's own character maps are all it offers.
    fb.setupPost(keepGlyphNames=glyph_names)
    font = fb.font
    set_cmaps(font, mapping, cmaps)
    if kern_pairs:
        add_kern(font, kern_pairs)
    return font


def set_cmaps(font, mapping, cmaps):
    tables = []
    for kind in cmaps:
        if kind == "unicode":
            platform, encoding = 3, 1
            cmap = dict(mapping)
        elif kind == "apple-roman":
            platform, encoding = 1, 0
            cmap = {c: g for c, g in mapping.items() if c < 0x80}
        elif kind == "symbol":
            platform, encoding = 3, 0
            # Symbol fonts map their glyphs into the private area at U+F0xx.
            cmap = {0xF000 + (c & 0xFF): g for c, g in mapping.items() if c < 0x100}
        else:
            raise ValueError(kind)
        sub = CmapSubtable.newSubtable(4 if platform == 3 else 0)
        sub.platformID = platform
        sub.platEncID = encoding
        sub.language = 0
        sub.cmap = cmap
        tables.append(sub)
    font["cmap"].tables = tables


def add_kern(font, pairs):
    from fontTools.ttLib.tables._k_e_r_n import KernTable_format_0
    kern = newTable("kern")
    kern.version = 0
    sub = KernTable_format_0()
    sub.version = 0
    sub.coverage = 1
    sub.format = 0
    sub.kernTable = dict(pairs)
    kern.kernTables = [sub]
    font["kern"] = kern


def build_bitmap_only(path, strikes):
    """A font without outlines, with one 1-bit strike per size in `strikes`."""
    from fontTools.ttLib import newTable
    from fontTools.ttLib.tables import E_B_D_T_, E_B_L_C_
    from fontTools.ttLib.tables.BitmapGlyphMetrics import BigGlyphMetrics, SmallGlyphMetrics
    from fontTools.ttLib.tables.E_B_D_T_ import ebdt_bitmap_format_1
    from fontTools.ttLib.tables.E_B_L_C_ import (BitmapSizeTable, SbitLineMetrics,
                                                 eblc_index_sub_table_1)

    names = [".notdef", "space", "A"]
    fb = FontBuilder(UPEM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({0x20: "space", 0x41: "A"})
    fb.setupGlyf({n: Glyph() for n in names})
    fb.setupHorizontalMetrics({n: (600, 0) for n in names})
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    fb.setupNameTable({"familyName": "VelTestBitmap", "styleName": "Regular"})
    fb.setupOS2(usWeightClass=400, sTypoAscender=ASCENT, sTypoDescender=DESCENT,
                usWinAscent=ASCENT, usWinDescent=-DESCENT)
    fb.setupPost(underlinePosition=-100, underlineThickness=50)
    font = fb.font
    del font["glyf"]
    del font["loca"]
    font["head"].glyphDataFormat = 0

    ebdt = newTable("EBDT")
    ebdt.version = 2.0
    ebdt.strikeData = []
    eblc = newTable("EBLC")
    eblc.version = 2.0
    eblc.strikes = []
    for (xppem, yppem, width) in strikes:
        height = yppem
        glyph_data = {}
        for name in ("space", "A"):
            bm = ebdt_bitmap_format_1(None, font)
            del bm.data
            del bm.ttFont
            m = SmallGlyphMetrics()
            m.height = height
            m.width = width
            m.BearingX = 0
            m.BearingY = height - 2
            m.Advance = width + 1
            bm.metrics = m
            row_bytes = (width + 7) // 8
            if name == "space":
                rows = [bytes(row_bytes)] * height
            else:
                rows = [bytes([0xFF] * row_bytes)] * height
            bm.setRows(rows)
            glyph_data[name] = bm
        ebdt.strikeData.append(glyph_data)

        strike = E_B_L_C_.Strike()
        size = strike.bitmapSizeTable
        for attr in ("hori", "vert"):
            lm = SbitLineMetrics()
            lm.ascender = height - 2
            lm.descender = -2
            lm.widthMax = width + 1
            lm.caretSlopeNumerator = 0
            lm.caretSlopeDenominator = 0
            lm.caretOffset = 0
            lm.minOriginSB = 0
            lm.minAdvanceSB = 0
            lm.maxBeforeBL = height - 2
            lm.minAfterBL = -2
            lm.pad1 = 0
            lm.pad2 = 0
            setattr(size, attr, lm)
        size.colorRef = 0
        size.startGlyphIndex = 1
        size.endGlyphIndex = 2
        size.ppemX = xppem
        size.ppemY = yppem
        size.bitDepth = 1
        size.flags = 1
        sub = eblc_index_sub_table_1(None, font)
        del sub.data
        del sub.ttFont
        sub.indexFormat = 1
        sub.imageFormat = 1
        sub.names = ["space", "A"]
        sub.firstGlyphIndex = 1
        sub.lastGlyphIndex = 2
        strike.indexSubTables = [sub]
        eblc.strikes.append(strike)
    font["EBDT"] = ebdt
    font["EBLC"] = eblc
    font.save(path)


def build_size_limits(path):
    """'W' is exactly one em wide with a small advance, 'L' is tiny with a
    one-em advance: at n pixels their bitmap width or advance is n pixels."""
    names = [".notdef", "space", "W", "L", "Q"]
    fb = FontBuilder(UPEM, isTTF=True)
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({0x20: "space", 0x57: "W", 0x4C: "L", 0x51: "Q"})
    glyphs = {
        ".notdef": box_glyph(50, 0, 450, 700),
        "space": Glyph(),
        "W": box_glyph(0, 0, UPEM, 10),
        "L": box_glyph(0, 0, 10, 10),
        "Q": off_then_on_glyph(),
    }
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({".notdef": (500, 50), "space": (300, 0), "W": (100, 0),
                               "L": (UPEM, 0), "Q": (700, 100)})
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    fb.setupNameTable({"familyName": "VelTestLimits", "styleName": "Regular"})
    fb.setupOS2(usWeightClass=400, sTypoAscender=ASCENT, sTypoDescender=DESCENT,
                usWinAscent=ASCENT, usWinDescent=-DESCENT)
    fb.setupPost()
    fb.font.save(path)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    kern = {("A", "V"): -120, ("V", "A"): -80}
    build("VelTestSans", "Regular", weight=400, kern_pairs=kern).save(os.path.join(out, "VelTestSans-Regular.ttf"))
    build("VelTestSans", "Bold", weight=700).save(os.path.join(out, "VelTestSans-Bold.ttf"))
    build("VelTestSans", "Italic", weight=400, italic=True).save(os.path.join(out, "VelTestSans-Italic.ttf"))
    # Weight only in PANOSE: usWeightClass 0 makes the database fall back to it.
    build("VelTestPanose", "Heavy", weight=0, panose_weight=9).save(os.path.join(out, "VelTestPanose-Heavy.ttf"))
    build("VelTestPanoseBold", "Regular", weight=400, panose_weight=8).save(os.path.join(out, "VelTestPanoseBold.ttf"))
    build("VelTestNoWeight", "Bold", weight=0, panose_weight=1).save(os.path.join(out, "VelTestNoWeight.ttf"))
    build_size_limits(os.path.join(out, "VelTestLimits.ttf"))
    build("VelTestLight", "Light", weight=300).save(os.path.join(out, "VelTestLight.ttf"))
    build("VelTestSymbol", "Regular", cmaps=("symbol",), glyph_names=False).save(os.path.join(out, "VelTestSymbol.ttf"))
    build("VelTestRoman", "Regular", cmaps=("apple-roman", "unicode")).save(os.path.join(out, "VelTestRomanThenUnicode.ttf"))
    build("VelTestRomanOnly", "Regular", cmaps=("apple-roman",), glyph_names=False).save(os.path.join(out, "VelTestRomanOnly.ttf"))

    collection = TTCollection()
    collection.fonts = [build("VelTestCollection", s, weight=w)
                        for s, w in (("Regular", 400), ("Medium", 500), ("Black", 900))]
    collection.save(os.path.join(out, "VelTestCollection.ttc"))

    # 13 and 15 pixel strikes with equal width distances from a 14-pixel request.
    build_bitmap_only(os.path.join(out, "VelTestBitmap.ttf"), [(13, 13, 8), (15, 15, 8)])


if __name__ == "__main__":
    main()
