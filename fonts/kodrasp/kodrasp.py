#!/usr/bin/python3
"""Builds KodraSp.ttf, the font the dictionaries' special characters are drawn in.

A special character U+F000 + n has no Unicode counterpart of its own. The
article RTF names it by its position in this font, 0xC0 + n, so every glyph
is reachable both at its position and at its own code point.

    kodrasp.py OUTPUT.ttf

Coordinates are font units, 1000 to the em, y upwards from the baseline.
A contour is a list of (x, y, on_curve) points; the points off the curve
are quadratic control points. The helpers turn outer contours clockwise and
holes anticlockwise, as TrueType fills them.
"""
import math
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.misc.timeTools import timestampFromString
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "KodraSp"
VERSION = "1.000"
# Fixed, so that every build writes the same bytes.
TIMESTAMP = timestampFromString("Mon Jan  1 00:00:00 2024")

UNITS_PER_EM = 1000
# Within what common text faces reserve, so that a line does not grow for a
# special character; the lower numeral sign reaches down to the descent.
ASCENT, DESCENT = 880, -210
X_HEIGHT, CAP_HEIGHT = 500, 700

FIRST_CODE, FIRST_POSITION = 0xF000, 0xC0


# Outline helpers ---------------------------------------------------------

def polygon(*points):
    return [(x, y, True) for x, y in points]


def arc(cx, cy, r, start, end, steps):
    """Points of a circular arc from angle start to end (degrees), drawn as
    quadratic segments of at most 45 degrees each; the first point is left
    out so that arcs and polygons can be chained."""
    points = []
    step = (end - start) / steps
    control = r / math.cos(math.radians(abs(step) / 2))
    for i in range(steps):
        middle = math.radians(start + step * (i + 0.5))
        stop = math.radians(start + step * (i + 1))
        points.append((round(cx + control * math.cos(middle)), round(cy + control * math.sin(middle)), False))
        points.append((round(cx + r * math.cos(stop)), round(cy + r * math.sin(stop)), True))
    return points


def circle(cx, cy, r):
    return [(cx + r, cy, True)] + arc(cx, cy, r, 0, 360, 8)[:-1]


def signed_area(contour):
    return sum(x0 * y1 - x1 * y0
               for (x0, y0, _), (x1, y1, _) in zip(contour, contour[1:] + contour[:1])) / 2


def outer(contour):
    return contour if signed_area(contour) < 0 else contour[::-1]


def hole(contour):
    return contour if signed_area(contour) > 0 else contour[::-1]


def draw(contours):
    pen = TTGlyphPen(None)
    for contour in contours:
        # Start at an on-curve point.
        first = next(i for i, point in enumerate(contour) if point[2])
        contour = contour[first:] + contour[:first]
        pen.moveTo(contour[0][:2])
        pending = []
        for x, y, on in contour[1:] + contour[:1]:
            if not on:
                pending.append((x, y))
            elif pending:
                pen.qCurveTo(*pending, (x, y))
                pending = []
            else:
                pen.lineTo((x, y))
        pen.closePath()
    return pen.glyph()


# The glyphs --------------------------------------------------------------

def stroke(top, bottom, top_width, bottom_width):
    """A straight stroke from a top centre to a bottom centre, wider at the
    top: the wedge of a numeral sign."""
    (tx, ty), (bx, by) = top, bottom
    return outer(polygon((tx - top_width // 2, ty), (tx + top_width // 2, ty),
                         (bx + bottom_width // 2, by), (bx - bottom_width // 2, by)))


def cup(cx, cy, r_outer, r_inner, spread):
    """The bottom of a ring, spread degrees either side of its lowest point,
    its ends cut along the radius: a breve."""
    start, end = 270 - spread, 270 + spread
    def at(r, angle):
        return (round(cx + r * math.cos(math.radians(angle))), round(cy + r * math.sin(math.radians(angle))))
    return outer(polygon(at(r_outer, start)) + arc(cx, cy, r_outer, start, end, 4)
                 + polygon(at(r_inner, end)) + arc(cx, cy, r_inner, end, start, 4))


# U+F000, the Greek numeral sign (keraia, U+0374): a wedge slanting down to
# the left from above the capitals to the x-height.
NUMERAL_SIGN = [stroke((205, 760), (125, 530), 90, 34)]

# U+F001, the Greek lower numeral sign (U+0375): the same wedge below the
# baseline.
LOWER_NUMERAL_SIGN = [stroke((205, 20), (125, -210), 90, 34)]

# U+F002: a breve, a shallow cup raised to the height of the capitals.
BREVE = [cup(250, 860, 230, 168, 65)]

# U+F010: a dot in a circle standing on the baseline, a little above the x-height.
DOT_IN_CIRCLE = [outer(circle(340, 300, 300)), hole(circle(340, 300, 240)),
                 outer(circle(340, 300, 85))]

NOTDEF = [outer(polygon((60, 0), (60, CAP_HEIGHT), (440, CAP_HEIGHT), (440, 0))),
          hole(polygon((110, 50), (110, CAP_HEIGHT - 50), (390, CAP_HEIGHT - 50), (390, 50)))]

# Name, advance width, contours, the special character it draws (or None).
GLYPHS = [
    (".notdef", 500, NOTDEF, None),
    ("space", 250, [], None),
    ("uniF000", 330, NUMERAL_SIGN, 0xF000),
    ("uniF001", 330, LOWER_NUMERAL_SIGN, 0xF001),
    ("uniF002", 500, BREVE, 0xF002),
    ("uniF010", 680, DOT_IN_CIRCLE, 0xF010),
]


def build(path):
    builder = FontBuilder(UNITS_PER_EM, isTTF=True)
    builder.setupHead(unitsPerEm=UNITS_PER_EM, fontRevision=float(VERSION),
                      created=TIMESTAMP, modified=TIMESTAMP)
    builder.setupGlyphOrder([name for name, *_ in GLYPHS])
    cmap = {0x20: "space"}
    for name, _, _, code in GLYPHS:
        if code is not None:
            cmap[code] = name
            cmap[FIRST_POSITION + code - FIRST_CODE] = name
    builder.setupCharacterMap(cmap)
    builder.setupGlyf({name: draw(contours) for name, _, contours, _ in GLYPHS})
    glyf = builder.font["glyf"]
    builder.setupHorizontalMetrics({name: (advance, getattr(glyf[name], "xMin", 0))
                                    for name, advance, _, _ in GLYPHS})
    builder.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    builder.setupNameTable({
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": f"{FAMILY} {VERSION}",
        "fullName": FAMILY,
        "version": f"Version {VERSION}",
        "psName": FAMILY,
    })
    builder.setupOS2(
        sTypoAscender=ASCENT, sTypoDescender=DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT, usWinDescent=-DESCENT,
        sxHeight=X_HEIGHT, sCapHeight=CAP_HEIGHT,
        achVendID="KODR", fsType=0,
        ulCodePageRange1=1 << 0)  # the positions are those of code page 1252
    builder.setupPost()
    builder.save(path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(f"usage: {sys.argv[0]} OUTPUT.ttf")
    build(sys.argv[1])
