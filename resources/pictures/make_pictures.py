#!/usr/bin/env python3
"""Writes Kintra's picture set (block pictures, marks, cursor, buttons, .qrc).

Every picture is drawn here by hand as a few SVG strokes on a fixed grid; this
script only wraps the drawings in their frames, applies the colour family or
the black-on-white monochrome ink, and writes one tidy .svg file per picture.
Edit the drawings below and run

    python3 resources/pictures/make_pictures.py

from the repository root (or from anywhere: paths are relative to this file).

Grid conventions for the 48 x 48 block pictures (drawn at 24 px on screen at
magnification 1, so one picture pixel is two units):
  * bold strokes (width 4) sit on even coordinates, so they cover whole pixels;
  * thin strokes (width 2: axes, guides) sit on odd coordinates for the same
    reason;
  * the frame is a 2-unit line on the outer edge, so the block reads as a box.
"""

import math
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))

# --------------------------------------------------------------------------
# Colour families. ink: the drawing; thin: axes and guides; fill: the face;
# frame: the box edge; accent: light fill inside shapes (gain triangle, gates).
FAMILIES = {
    "math": dict(fill="#e6f0fb", frame="#4f7bb3", ink="#174a8b", thin="#86a7cf", accent="#bcd4f1"),
    "time": dict(fill="#e5f4e8", frame="#4f9662", ink="#17652f", thin="#86bb94", accent="#bfe2c8"),
    "trans": dict(fill="#f1e9fa", frame="#8866b0", ink="#542a88", thin="#ae95cc", accent="#dac8ef"),
    "logic": dict(fill="#fff0df", frame="#c58540", ink="#9a4700", thin="#dcab72", accent="#ffd6a3"),
    "gen": dict(fill="#e0f4f1", frame="#3f978d", ink="#0a655d", thin="#7fbdb4", accent="#b3e2db"),
    "nonlin": dict(fill="#fce8e8", frame="#bd6a6f", ink="#9e1c2a", thin="#d89aa0", accent="#f5c3c7"),
    "misc": dict(fill="#eef0f3", frame="#858f9b", ink="#333d4b", thin="#a7afb9", accent="#d2d7de"),
}
MONO = dict(fill="#ffffff", frame="#000000", ink="#000000", thin="#000000", accent="#ffffff")

# Stop-sign colours of the Quit picture (colour version only).
STOP_RED = "#d0312d"
STOP_EDGE = "#8c1614"

BOLD = 4.0
THIN = 2.0


# --------------------------------------------------------------------------
# Small drawing vocabulary. Each returns an SVG element as text with the
# tokens {ink} {thin} {accent} {fill} {W} {T} filled in later.

def bold(d, w=None):
    width = "{W}" if w is None else "{W%s}" % w
    return ('<path d="%s" fill="none" stroke="{ink}" stroke-width="%s" '
            'stroke-linecap="round" stroke-linejoin="round"/>' % (d, width))


def thin(d):
    return ('<path d="%s" fill="none" stroke="{thin}" stroke-width="{T}" '
            'stroke-linecap="butt"/>' % d)


def dashed(d):
    return ('<path d="%s" fill="none" stroke="{thin}" stroke-width="{T}" '
            'stroke-dasharray="3 3" stroke-linecap="butt"/>' % d)


def shape(d, w=None):
    """A closed outline filled with the family's accent tone."""
    width = "{W}" if w is None else "{W%s}" % w
    return ('<path d="%s" fill="{accent}" stroke="{ink}" stroke-width="%s" '
            'stroke-linejoin="round"/>' % (d, width))


def dot(cx, cy, r):
    return '<circle cx="%g" cy="%g" r="%g" fill="{ink}"/>' % (cx, cy, r)


def ring(cx, cy, r, w=None):
    width = "{W}" if w is None else "{W%s}" % w
    return ('<circle cx="%g" cy="%g" r="%g" fill="{accent}" stroke="{ink}" '
            'stroke-width="%s"/>' % (cx, cy, r, width))


def fmt(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


def curve(f, df, x0, x1, n):
    """Smooth path of y = f(x) from x0 to x1 in n cubic pieces (Hermite)."""
    xs = [x0 + (x1 - x0) * i / n for i in range(n + 1)]
    d = "M%s %s" % (fmt(xs[0]), fmt(f(xs[0])))
    for a, b in zip(xs, xs[1:]):
        h = (b - a) / 3.0
        d += " C%s %s %s %s %s %s" % (
            fmt(a + h), fmt(f(a) + df(a) * h),
            fmt(b - h), fmt(f(b) - df(b) * h),
            fmt(b), fmt(f(b)))
    return d


def through(points):
    """Smooth path through the points (Catmull-Rom turned into cubics)."""
    p = points
    d = "M%s %s" % (fmt(p[0][0]), fmt(p[0][1]))
    for i in range(len(p) - 1):
        p0 = p[i - 1] if i > 0 else p[i]
        p1, p2 = p[i], p[i + 1]
        p3 = p[i + 2] if i + 2 < len(p) else p[i + 1]
        c1 = (p1[0] + (p2[0] - p0[0]) / 6.0, p1[1] + (p2[1] - p0[1]) / 6.0)
        c2 = (p2[0] - (p3[0] - p1[0]) / 6.0, p2[1] - (p3[1] - p1[1]) / 6.0)
        d += " C%s %s %s %s %s %s" % (fmt(c1[0]), fmt(c1[1]), fmt(c2[0]),
                                      fmt(c2[1]), fmt(p2[0]), fmt(p2[1]))
    return d


def sine(x0, x1, yc, amp, periods, phase=0.0, n=None):
    k = 2 * math.pi * periods / (x1 - x0)
    n = n or int(8 * periods)
    return curve(lambda x: yc - amp * math.sin(k * (x - x0) + phase),
                 lambda x: -amp * k * math.cos(k * (x - x0) + phase), x0, x1, n)


AXES_CROSS = thin("M6 25 H42 M25 6 V42")   # axes through the centre
AXES_L = thin("M9 7 V39 H42")              # axes from the lower left corner

# --------------------------------------------------------------------------
# Block pictures: image id -> (type name, family, elements, what it shows).

BLOCKS = {}


def block(image_id, name, family, shows, *elements):
    BLOCKS[image_id] = (name, family, list(elements), shows)


# Math -------------------------------------------------------------------
block(144, "Multiply", "math", "multiplication cross",
      bold("M14 14 L34 34 M34 14 L14 34", "5"))
block(149, "Divide", "math", "division sign",
      bold("M10 24 H38"), dot(24, 13, 3.6), dot(24, 35, 3.6))
block(150, "Power", "math", "x raised to the power y",
      bold("M8 22 L23 39 M23 22 L8 39"),
      bold("M28 8 L34 17.5 M40 8 L31.5 23 C30.5 25 29 26 27 26", "3.5"))
block(138, "Square Root", "math", "radical sign over x",
      bold("M6 27 L11 24 L18 38 L26 10 H42"),
      bold("M29 18 L39 32 M39 18 L29 32", "3.5"))
block(151, "Sum", "math", "capital sigma",
      bold("M36 14 V10 H12 L25 24 L12 38 H36 V34"))
block(152, "Negate", "math", "minus x",
      bold("M6 24 H18"), bold("M25 15 L40 33 M40 15 L25 33", "4.5"))
block(257, "Gain", "math", "amplifier triangle",
      shape("M11 9 L40 24 L11 39 Z"))

# Time -------------------------------------------------------------------
block(165, "Integrate", "time", "integral sign",
      bold("M33 11 C32 6 24 5 24 13 V35 C24 43 16 42 15 37", "5"))
block(166, "Delay", "time", "step delayed to the right",
      thin("M9 17 V31"),
      bold("M6 36 H28 V12 H42"),
      bold("M12 24 H22 M18 20 L22 24 L18 28", "3"))
block(167, "Decay", "time", "exponential decay curve",
      AXES_L,
      bold(curve(lambda x: 37 - 26 * math.exp(-(x - 10) / 7.0),
                 lambda x: 26 / 7.0 * math.exp(-(x - 10) / 7.0), 10, 41, 6)))
block(175, "Clock", "time", "clock face",
      ring(24, 24, 16, "3.5"),
      thin("M24 10 V13 M24 35 V38 M10 24 H13 M35 24 H38"),
      bold("M24 24 V14 M24 24 L31 28", "3.5"), dot(24, 24, 2.5))

# Transcendental -----------------------------------------------------------
block(168, "Sine", "trans", "one period of a sine wave from the origin",
      thin("M9 7 V41 M9 25 H42"),
      bold(sine(9, 41, 24, 13, 1)))
block(169, "Cosine", "trans", "one period of a cosine wave from its crest",
      thin("M9 7 V41 M9 25 H42"),
      bold(sine(9, 41, 24, 13, 1, math.pi / 2)))
block(170, "ArcTangent", "trans", "arctangent curve between its two asymptotes",
      thin("M25 6 V42"), dashed("M6 11 H42 M6 37 H42"),
      bold(curve(lambda x: 24 - 12.5 * 2 / math.pi * math.atan((x - 24) / 4.5),
                 lambda x: -12.5 * 2 / math.pi / 4.5 / (1 + ((x - 24) / 4.5) ** 2),
                 6, 42, 8)))
block(171, "Log e", "trans", "the letters ln",
      bold("M14 8 V38"),
      bold("M22 38 V20 M22 28 C22 18 36 17 36 27 V38"))
block(172, "Log 10", "trans", "the letters log with a subscript 10",
      bold("M8 8 V30", "3.5"),
      bold("M16.5 24 A5 5.5 0 1 1 26.5 24 A5 5.5 0 1 1 16.5 24 Z", "3.5"),
      bold("M39 24 A5 5.5 0 1 1 29 24 A5 5.5 0 1 1 39 24 Z M39 18 V33 "
           "C39 37.5 35.5 39.5 30.5 37.5", "3.5"),
      bold("M14 35 L16.5 33 V43", "2.6"),
      bold("M24 35.2 C24 33.5 19.5 33.5 19.5 35.2 V41 C19.5 42.7 24 42.7 24 41 Z",
           "2.6"))
block(173, "Exponent", "trans", "e raised to the power x",
      bold("M10 29 H28 A9 9 0 1 0 25.5 35.5", "4.5"),
      bold("M31 8 L41 20 M41 8 L31 20", "3.5"))
block(174, "Decibel", "trans", "the letters dB",
      bold("M22 28.5 A6.5 7.5 0 1 0 22 29 M22 12 V36"),
      bold("M28 12 V36 H34 C42 36 42 24 34 24 H28 M28 12 H33.5 C40 12 40 24 33.5 24"))

# Logic ------------------------------------------------------------------
block(180, "AND", "logic", "AND gate",
      thin("M3 17 H10 M3 31 H10 M37 25 H45"),
      shape("M10 11 H23 A13 13 0 0 1 23 37 H10 Z", "3.5"))
block(181, "Exclusive OR", "logic", "exclusive OR gate",
      thin("M3 17 H12 M3 31 H12 M41 25 H45"),
      bold("M7 11 Q13 24 7 37", "3"),
      shape("M12 11 Q18 24 12 37 Q31 37 41 24 Q31 11 12 11 Z", "3.5"))
block(182, "Inclusive OR", "logic", "OR gate",
      thin("M3 17 H11 M3 31 H11 M39 25 H45"),
      shape("M9 11 Q15 24 9 37 Q29 37 39 24 Q29 11 9 11 Z", "3.5"))
block(183, "Quit", "logic", "stop sign",
      '<path d="%s" fill="{stop}" stroke="{stopedge}" stroke-width="2.5" '
      'stroke-linejoin="round"/>' % " ".join(
          ("M" if i == 0 else "L") + "%s %s" % (
              fmt(24 + 18 * math.cos(math.radians(22.5 + 45 * i))),
              fmt(24 + 18 * math.sin(math.radians(22.5 + 45 * i))))
          for i in range(8)) + " Z",
      '<path d="M14 24 H34" fill="none" stroke="{stopmark}" stroke-width="6" '
      'stroke-linecap="round"/>')
block(184, "Relay", "logic", "change-over switch",
      thin("M3 29 H11 M39 15 H45 M39 35 H45"),
      bold("M12 29 L34 17", "3.5"),
      ring(36, 15, 3, "2.5"), ring(36, 35, 3, "2.5"), dot(12, 29, 3.5))
_zoh_f = lambda x: 24 - 12 * math.sin((x - 6) * 2 * math.pi / 35)
_zoh_df = lambda x: -12 * 2 * math.pi / 35 * math.cos((x - 6) * 2 * math.pi / 35)
_zoh_xs = [6, 13, 20, 27, 34]
block(185, "Zero Order Hold", "logic", "sine curve sampled and held as steps",
      dashed(curve(_zoh_f, _zoh_df, 6, 41, 8)),
      bold("M%s %s" % (fmt(_zoh_xs[0]), fmt(_zoh_f(_zoh_xs[0])))
           + "".join(" H%s V%s" % (fmt(x + 7), fmt(_zoh_f(x + 7))) for x in _zoh_xs[:-1])
           + " H%s" % fmt(_zoh_xs[-1] + 7), "3.5"),
      *[dot(x, _zoh_f(x), 2.6) for x in _zoh_xs])

# Generators -------------------------------------------------------------
block(186, "Gaussian", "gen", "bell curve",
      thin("M6 39 H42"),
      bold(curve(lambda x: 38 - 27 * math.exp(-((x - 24) / 6.5) ** 2 / 2),
                 lambda x: 27 * (x - 24) / 6.5 ** 2 * math.exp(-((x - 24) / 6.5) ** 2 / 2),
                 6, 42, 12)))
block(187, "Jitter", "gen", "short pulses at irregular times",
      bold("M4 36 H10 V12 V36 H16 V12 V36 H28 V12 V36 H38 V12 V36 H44"))
block(188, "Random", "gen", "scattered random dots",
      *[dot(x, y, 3.2) for x, y in [
          (10, 11), (23, 9), (37, 12), (16, 20), (30, 19), (40, 26),
          (9, 29), (23, 28), (32, 34), (14, 38), (25, 39), (39, 39)]])
block(189, "Sine Wave Generator", "gen", "sine wave in a source circle",
      ring(24, 24, 16, "3.5"),
      bold(sine(13, 35, 24, 7, 1), "3.5"))
block(190, "Time Pulse Generator", "gen", "evenly spaced pulse train",
      bold("M4 36 H8 V14 H14 V36 H20 V14 H26 V36 H32 V14 H38 V36 H44"))
block(209, "One Shot", "gen", "a single pulse",
      bold("M6 36 H18 V12 H30 V36 H42"))

# Non-linear -------------------------------------------------------------
block(191, "Absolute", "nonlin", "x between absolute-value bars",
      bold("M10 8 V40 M38 8 V40"),
      bold("M17 17 L31 31 M31 17 L17 31"))
block(192, "Back Lash", "nonlin", "backlash hysteresis loop",
      AXES_CROSS,
      bold("M8 36 H20 L40 12 H28 Z"))
block(193, "Bang", "nonlin", "sign function: a jump from -1 to +1",
      AXES_CROSS,
      bold("M6 36 H24 V12 H42"))
block(194, "Dead Space", "nonlin", "dead-zone characteristic",
      AXES_CROSS,
      bold("M6 40 L16 24 H32 L42 8"))
block(195, "Function Generator", "nonlin", "smooth curve through table points",
      bold(through([(8, 34), (17, 17), (30, 29), (40, 12)]), "3.5"),
      *[ring(x, y, 3, "2.5") for x, y in [(8, 34), (17, 17), (30, 29), (40, 12)]])
block(196, "Integer", "nonlin", "integer-part staircase",
      bold("M6 38 H16 V30 H24 V22 H32 V14 H42"))
block(197, "Limiter", "nonlin", "saturation curve",
      AXES_CROSS,
      bold("M6 36 H16 L32 12 H42"))
block(198, "Modulo", "nonlin", "sawtooth of the remainder",
      thin("M5 37 H43"),
      bold("M6 36 L18 13 V36 L30 13 V36 L42 13", "3.5"))
def _rest(path):
    """The path without its leading move, to continue another path."""
    return re.sub(r"^M\S+ \S+", "", path)


block(199, "Negative Clip", "nonlin", "wave with its negative half clipped to zero",
      thin("M6 25 H42"),
      dashed(sine(18, 30, 24, 12, 0.5, math.pi)),
      bold(sine(6, 18, 24, 12, 0.5) + " H30" + _rest(sine(30, 42, 24, 12, 0.5))))
block(201, "Positive Clip", "nonlin", "wave with its positive half clipped to zero",
      thin("M6 25 H42"),
      dashed(sine(18, 30, 24, 12, 0.5)),
      bold(sine(6, 18, 24, 12, 0.5, math.pi) + " H30" + _rest(sine(30, 42, 24, 12, 0.5, math.pi))))
block(200, "Offset", "nonlin", "plus c",
      bold("M7 24 H23 M15 16 V32", "4"),
      bold("M40.5 18.5 A8 8.5 0 1 0 40.5 29.5"))

# Miscellaneous ------------------------------------------------------------
block(202, "Constant", "misc", "constant level over time",
      AXES_L,
      bold("M9 18 H40"))
block(203, "Pi", "misc", "the letter pi",
      bold("M8 16 C10 12 13 12 17 12 H40"),
      bold("M19 12 C19 25 18 32 14 38"),
      bold("M32 12 V32 C32 37 35 38 39 35"))


# Simpler drawings for the 16-pixel palette buttons, where the block picture
# has detail that would not survive the reduction.
BUTTON_ELEMENTS = {
    172: ("the letters log", [bold("M8 8 V36"),
          bold("M12.5 28 A6 7.5 0 1 1 24.5 28 A6 7.5 0 1 1 12.5 28 Z"),
          bold("M40 28 A6 7.5 0 1 1 28 28 A6 7.5 0 1 1 40 28 Z M40 20 V37 "
               "C40 43 34 45 29 42")]),
}


# --------------------------------------------------------------------------
# Rendering of the block pictures.

def fill_tokens(text, colours, widths):
    out = text
    for key, val in widths.items():
        out = out.replace("{%s}" % key, val)
    for key, val in colours.items():
        out = out.replace("{%s}" % key, val)
    return out


def widths_for(scale_bold, scale_thin):
    w = {}
    for suffix in ["2.5", "2.6", "3", "3.5", "4", "4.5", "5"]:
        w["W" + suffix] = fmt(float(suffix) * scale_bold)
    w["W"] = fmt(BOLD * scale_bold)
    w["T"] = fmt(THIN * scale_thin)
    return w


def block_colours(family, mono):
    c = dict(MONO if mono else FAMILIES[family])
    c["stop"] = "#000000" if mono else STOP_RED
    c["stopedge"] = "#000000" if mono else STOP_EDGE
    c["stopmark"] = "#ffffff"
    return c


def block_svg(image_id, mono):
    name, family, elements, shows = BLOCKS[image_id]
    c = block_colours(family, mono)
    kind = "monochrome" if mono else "colour"
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<!-- Kintra block picture %d: %s (%s), %s. -->' % (
            image_id + (500 if mono else 0), name, kind, shows),
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="48" height="48" '
        'viewBox="0 0 48 48">',
        '  <rect x="1" y="1" width="46" height="46" rx="5" fill="%s" stroke="%s" '
        'stroke-width="2"/>' % (c["fill"], c["frame"]),
    ]
    for e in elements:
        lines.append("  " + fill_tokens(e, c, widths_for(1.0, 1.0)))
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


# --------------------------------------------------------------------------
# Marks and cursor.

PORT_MARK = """<?xml version="1.0" encoding="UTF-8"?>
<!-- Kintra port mark 179: the arrowhead drawn at every port of a block.
     3 x 5 chart units at magnification 1; it points in the direction of
     signal flow (to the right for an upright block, mirrored for an inverted
     one). The one-unit stem between arrowhead and block edge is drawn by the
     chart view in the colour of this mark. -->
<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="3" height="5" viewBox="0 0 3 5">
  <path d="M0 0 L3 2.5 L0 5 Z" fill="#000000"/>
</svg>
"""

AT_FIRST_MARK = """<?xml version="1.0" encoding="UTF-8"?>
<!-- Kintra AtFirst mark 291: a small bar beside the output edge of a block
     that is evaluated once, before the run (Constant, Pi).
     2 x 8 chart units at magnification 1. -->
<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="2" height="8" viewBox="0 0 2 8">
  <rect x="0" y="0" width="2" height="8" fill="#000000"/>
</svg>
"""

CURSOR = """<?xml version="1.0" encoding="UTF-8"?>
<!-- Kintra placing cursor 140: cross-hair around the outline of the block
     about to be placed. 32 x 32, hotspot at the centre: (16, 16). -->
<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="32" height="32" viewBox="0 0 32 32">
  <!-- white halo so the cursor shows on dark and light ground -->
  <g fill="none" stroke="#ffffff" stroke-width="3" stroke-linecap="square">
    <path d="M16.5 1.5 V9.5 M16.5 23.5 V30.5 M1.5 16.5 H9.5 M23.5 16.5 H30.5"/>
    <rect x="10.5" y="10.5" width="12" height="12"/>
  </g>
  <g fill="none" stroke="#000000" stroke-width="1">
    <path d="M16.5 1.5 V9.5 M16.5 23.5 V30.5 M1.5 16.5 H9.5 M23.5 16.5 H30.5"/>
    <rect x="10.5" y="10.5" width="12" height="12"/>
  </g>
  <rect x="16" y="16" width="1" height="1" fill="#000000"/>
</svg>
"""

# --------------------------------------------------------------------------
# Palette buttons (16 x 16).

# Insert command id -> image id of the block it inserts.
INSERT_COMMANDS = {
    32792: 165, 32794: 166, 32795: 167,
    32796: 144, 32797: 149, 32798: 150, 32799: 138, 32800: 257, 32801: 151, 32802: 152,
    32818: 169, 32819: 168, 32820: 172, 32821: 171, 32822: 170, 32823: 173, 32824: 174,
    32834: 180, 32835: 181, 32836: 182, 32837: 183, 32838: 184, 32839: 185,
    32840: 186, 32841: 187, 32858: 188, 32842: 189, 32843: 190, 32859: 209,
    32844: 191, 32845: 192, 32846: 193, 32847: 194, 32848: 195, 32849: 196, 32850: 197,
    32851: 198, 32852: 199, 32853: 200, 32854: 201,
    32855: 202, 32856: 203,
}


def insert_button_svg(command_id):
    image_id = INSERT_COMMANDS[command_id]
    name, family, elements, shows = BLOCKS[image_id]
    shows, elements = BUTTON_ELEMENTS.get(image_id, (shows, elements))
    c = block_colours(family, False)
    # The 48-unit drawing is shrunk to the 16-unit button; strokes are widened
    # so that they stay about 1.5 pixels wide.
    s = 16.0 / 48.0
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<!-- Kintra palette button %d: insert %s (%s). -->' % (command_id, name, shows),
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="16" height="16" '
        'viewBox="0 0 16 16">',
        '  <rect x="0.5" y="0.5" width="15" height="15" rx="2" fill="%s" stroke="%s" '
        'stroke-width="1"/>' % (c["fill"], c["frame"]),
        '  <g transform="scale(%s)">' % fmt(s),
    ]
    for e in elements:
        lines.append("    " + fill_tokens(e, c, widths_for(1.25, 1.5)))
    lines += ["  </g>", "</svg>"]
    return "\n".join(lines) + "\n"


def plain_button(command_id, what, body):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<!-- Kintra tool bar button %d: %s. -->\n'
            '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="16" height="16" '
            'viewBox="0 0 16 16">\n%s</svg>\n' % (command_id, what, body))


EDGE = "#3a4350"      # outline of paper-like shapes
PAPER = "#ffffff"

BUTTONS = {
    32857: ("unused place of the Miscellaneous palette, always disabled: blank face",
            '  <rect x="0.5" y="0.5" width="15" height="15" rx="2" fill="#eef0f3" '
            'stroke="#b7bec7" stroke-width="1"/>\n'),
    57600: ("New: blank page",
            '  <path d="M3.5 1.5 H9.5 L12.5 4.5 V14.5 H3.5 Z" fill="%s" stroke="%s"/>\n'
            '  <path d="M9.5 1.5 V4.5 H12.5" fill="none" stroke="%s"/>\n' % (PAPER, EDGE, EDGE)),
    57601: ("Open: open folder",
            '  <path d="M1.5 3.5 H5.5 L7 5 H12.5 V13.5 H1.5 Z" fill="#e9b43c" stroke="#8a5d00"/>\n'
            '  <path d="M1.5 13.5 L3.5 7.5 H15 L12.5 13.5 Z" fill="#fbd872" stroke="#8a5d00" '
            'stroke-linejoin="round"/>\n'),
    57602: ("Close: page with a red cross",
            '  <path d="M2.5 1.5 H8.5 L11.5 4.5 V14.5 H2.5 Z" fill="%s" stroke="%s"/>\n'
            '  <path d="M8.5 1.5 V4.5 H11.5" fill="none" stroke="%s"/>\n'
            '  <path d="M9 9 L14 14 M14 9 L9 14" fill="none" stroke="#c62828" stroke-width="2" '
            'stroke-linecap="round"/>\n' % (PAPER, EDGE, EDGE)),
    57603: ("Save: diskette",
            '  <path d="M1.5 1.5 H12.5 L14.5 3.5 V14.5 H1.5 Z" fill="#2f65ad" stroke="#173a6b" '
            'stroke-linejoin="round"/>\n'
            '  <rect x="4.5" y="1.5" width="7" height="4" fill="#dce6f2" stroke="#173a6b"/>\n'
            '  <rect x="9" y="2.5" width="1.5" height="2" fill="#173a6b"/>\n'
            '  <rect x="3.5" y="8.5" width="9" height="6" fill="%s" stroke="#173a6b"/>\n'
            '  <path d="M5 10.5 H11 M5 12.5 H11" stroke="#8aa4c8" stroke-width="1"/>\n' % PAPER),
    57635: ("Cut: scissors",
            '  <path d="M5.5 10 L11 1.5 M10.5 10 L5 1.5" fill="none" stroke="%s" stroke-width="1.4" '
            'stroke-linecap="round"/>\n'
            '  <circle cx="4.5" cy="12" r="2.3" fill="none" stroke="#c62828" stroke-width="1.4"/>\n'
            '  <circle cx="11.5" cy="12" r="2.3" fill="none" stroke="#c62828" stroke-width="1.4"/>\n'
            % EDGE),
    57634: ("Copy: two pages",
            '  <rect x="1.5" y="1.5" width="8" height="10" fill="%s" stroke="%s"/>\n'
            '  <path d="M3.5 4.5 H7.5 M3.5 6.5 H7.5 M3.5 8.5 H6.5" stroke="#8a94a1"/>\n'
            '  <rect x="6.5" y="4.5" width="8" height="10" fill="%s" stroke="%s"/>\n'
            '  <path d="M8.5 7.5 H12.5 M8.5 9.5 H12.5 M8.5 11.5 H11.5" stroke="#8a94a1"/>\n'
            % (PAPER, EDGE, PAPER, EDGE)),
    57637: ("Paste: clipboard with a page",
            '  <rect x="1.5" y="2.5" width="10" height="12" rx="1" fill="#c8914a" stroke="#6d4615"/>\n'
            '  <rect x="4.5" y="1.5" width="4" height="2" fill="#d9dde3" stroke="#3a4350"/>\n'
            '  <rect x="6.5" y="6.5" width="8" height="8" fill="%s" stroke="%s"/>\n'
            '  <path d="M8.5 9.5 H12.5 M8.5 11.5 H12.5" stroke="#8a94a1"/>\n' % (PAPER, EDGE)),
    57607: ("Print: printer",
            '  <rect x="4.5" y="1.5" width="7" height="5" fill="%s" stroke="%s"/>\n'
            '  <rect x="1.5" y="6.5" width="13" height="6" rx="1" fill="#9aa3ae" stroke="%s"/>\n'
            '  <rect x="4.5" y="10.5" width="7" height="4" fill="%s" stroke="%s"/>\n'
            '  <rect x="11.5" y="8" width="1.5" height="1.5" fill="#3ec15a"/>\n'
            % (PAPER, EDGE, EDGE, PAPER, EDGE)),
    57609: ("Print Preview: page under a magnifier",
            '  <path d="M1.5 1.5 H7.5 L10.5 4.5 V14.5 H1.5 Z" fill="%s" stroke="%s"/>\n'
            '  <circle cx="9.5" cy="9" r="3.5" fill="#dcecfb" stroke="%s" stroke-width="1.3"/>\n'
            '  <path d="M12 11.5 L14.8 14.3" stroke="%s" stroke-width="2" stroke-linecap="round"/>\n'
            % (PAPER, EDGE, EDGE, EDGE)),
    57664: ("About: information sign",
            '  <circle cx="8" cy="8" r="6.8" fill="#2f65ad" stroke="#173a6b"/>\n'
            '  <circle cx="8" cy="4.6" r="1.2" fill="#ffffff"/>\n'
            '  <path d="M8 7 V12" stroke="#ffffff" stroke-width="2"/>\n'),
    57669: ("Context help: arrow with a question mark",
            '  <path d="M1.5 1.5 V11.5 L4 9.3 L5.8 13.3 L7.3 12.6 L5.6 8.7 H8.8 Z" fill="#ffffff" '
            'stroke="#000000" stroke-linejoin="round"/>\n'
            '  <path d="M9.6 5.4 C9.6 3.3 14.4 3.3 14.4 5.6 C14.4 7.4 12 7.4 12 9.6" fill="none" '
            'stroke="#2f65ad" stroke-width="1.6" stroke-linecap="round"/>\n'
            '  <circle cx="12" cy="12.6" r="1" fill="#2f65ad"/>\n'),
    32832: ("Chart window: two blocks wired together",
            '  <rect x="0.5" y="2.5" width="6" height="5" rx="1" fill="#bcd4f1" stroke="#174a8b"/>\n'
            '  <rect x="9.5" y="8.5" width="6" height="5" rx="1" fill="#bfe2c8" stroke="#17652f"/>\n'
            '  <path d="M6.5 5 H8 V11 H9.5" fill="none" stroke="%s"/>\n' % EDGE),
    32831: ("Graph window: curve on axes",
            '  <path d="M1.5 1 V14.5 H15" fill="none" stroke="%s"/>\n'
            '  <path d="M2 12 C5 12 5 4 8 4 C11 4 11 9 15 9" fill="none" stroke="#c62828" '
            'stroke-width="1.5"/>\n' % EDGE),
    32830: ("List window: table",
            '  <rect x="1.5" y="2.5" width="13" height="11" fill="%s" stroke="%s"/>\n'
            '  <rect x="2" y="3" width="12" height="2.5" fill="#bcd4f1"/>\n'
            '  <path d="M1.5 5.5 H14.5 M1.5 8.5 H14.5 M1.5 11 H14.5 M6.5 2.5 V13.5" '
            'fill="none" stroke="%s" stroke-width="1"/>\n' % (PAPER, EDGE, EDGE)),
    32816: ("Viewing properties: sheet with two sliders",
            '  <rect x="1.5" y="1.5" width="13" height="13" rx="1" fill="%s" stroke="%s"/>\n'
            '  <path d="M3.5 5.5 H12.5 M3.5 10.5 H12.5" stroke="#8a94a1"/>\n'
            '  <rect x="5" y="4" width="2" height="3" fill="#2f65ad"/>\n'
            '  <rect x="9" y="9" width="2" height="3" fill="#2f65ad"/>\n' % (PAPER, EDGE)),
    32861: ("Preferences (model properties): gear",
            '  <path d="%s" fill="#9aa3ae" stroke="%s" stroke-linejoin="round"/>\n'
            '  <circle cx="8" cy="8" r="2.2" fill="#ffffff" stroke="%s"/>\n' % (
                " ".join(("M" if i == 0 and j == 0 else "L") + "%s %s" % (
                    fmt(8 + r * math.cos(math.radians(i * 45 + a))),
                    fmt(8 + r * math.sin(math.radians(i * 45 + a))))
                    for i in range(8)
                    for j, (r, a) in enumerate([(5, -16), (7, -8), (7, 8), (5, 16)])) + " Z",
                EDGE, EDGE)),
    32829: ("Run: green play triangle",
            '  <path d="M4 2 L14 8 L4 14 Z" fill="#2e9b48" stroke="#17652f" '
            'stroke-linejoin="round"/>\n'),
    32865: ("Initialize: circular reset arrow",
            '  <path d="M12.6 5 A5.5 5.5 0 1 0 13.5 9" fill="none" stroke="#2f65ad" '
            'stroke-width="2" stroke-linecap="round"/>\n'
            '  <path d="M9.2 4.7 L14.4 2.2 L14 7.6 Z" fill="#2f65ad"/>\n'),
    32863: ("Terminate Run: red stop square",
            '  <rect x="3" y="3" width="10" height="10" rx="1" fill="#d0312d" stroke="#8c1614"/>\n'),
    32860: ("Delete the selected block: red cross",
            '  <path d="M3 3 L13 13 M13 3 L3 13" fill="none" stroke="#c62828" stroke-width="2.5" '
            'stroke-linecap="round"/>\n'),
}


# --------------------------------------------------------------------------

def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


FAMILY_NAMES = {
    "math": "math, blue", "time": "time, green", "trans": "transcendental, purple",
    "logic": "logic, orange", "gen": "generators, teal", "nonlin": "non-linear, red",
    "misc": "miscellaneous, grey",
}


def readme():
    out = [
        "# Kintra pictures",
        "",
        "Vector pictures of the program, compiled in through `pictures.qrc` (prefix",
        "`/pictures`, alias = file name): `:/pictures/165.svg`,",
        "`:/pictures/buttons/32792.svg`.",
        "",
        "The files are written by `make_pictures.py`, which holds the drawings; change",
        "a picture there and run `python3 resources/pictures/make_pictures.py`, which",
        "also rewrites `pictures.qrc` and this file. `tools/render_pictures.sh OUTDIR`",
        "renders everything to PNG with contact sheets for a check by eye.",
        "",
        "## Block pictures",
        "",
        "48 x 48 view box, drawn at 24 x 24 chart units times the magnification.",
        "`<id>.svg` is the colour picture (light face in the colour of the block's",
        "family), `<id + 500>.svg` the monochrome one (black on white).",
        "",
        "| Colour | Mono | Block | Family | Shows |",
        "|---|---|---|---|---|",
    ]
    for image_id in sorted(BLOCKS):
        name, family, elements, shows = BLOCKS[image_id]
        out.append("| %d | %d | %s | %s | %s |" % (
            image_id, image_id + 500, name, FAMILY_NAMES[family], shows))
    out += [
        "",
        "## Marks and cursor",
        "",
        "| Id | Size | Shows |",
        "|---|---|---|",
        "| 179 | 3 x 5 | port mark: black arrowhead pointing in the direction of signal "
        "flow; the chart view adds the one-unit stem to the block edge and mirrors it "
        "for inverted blocks |",
        "| 291 | 2 x 8 | AtFirst mark: black bar beside the output edge of a block "
        "evaluated before the run |",
        "| 140 | 32 x 32 | placing cursor: cross-hair around a small block outline, "
        "hotspot (16, 16) |",
        "",
        "## Buttons",
        "",
        "16 x 16 view box, `buttons/<command id>.svg`.",
        "",
        "| Command | Shows |",
        "|---|---|",
    ]
    rows = []
    for command_id, image_id in INSERT_COMMANDS.items():
        shows = BUTTON_ELEMENTS.get(image_id, BLOCKS[image_id][3:4])[0]
        rows.append((command_id, "insert %s: %s" % (BLOCKS[image_id][0], shows)))
    for command_id, (what, body) in BUTTONS.items():
        rows.append((command_id, what))
    for command_id, what in sorted(rows):
        out.append("| %d | %s |" % (command_id, what))
    return "\n".join(out) + "\n"


def main():
    files = []
    for image_id in sorted(BLOCKS):
        for mono in (False, True):
            name = "%d.svg" % (image_id + (500 if mono else 0))
            write(os.path.join(HERE, name), block_svg(image_id, mono))
            files.append(name)
    for name, text in (("179.svg", PORT_MARK), ("291.svg", AT_FIRST_MARK), ("140.svg", CURSOR)):
        write(os.path.join(HERE, name), text)
        files.append(name)
    for command_id in sorted(INSERT_COMMANDS):
        name = "buttons/%d.svg" % command_id
        write(os.path.join(HERE, name), insert_button_svg(command_id))
        files.append(name)
    for command_id, (what, body) in sorted(BUTTONS.items()):
        name = "buttons/%d.svg" % command_id
        write(os.path.join(HERE, name), plain_button(command_id, what, body))
        files.append(name)

    files.sort(key=lambda n: (n.count("/"), int(os.path.basename(n)[:-4])))
    qrc = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '  <qresource prefix="/pictures">']
    qrc += ['    <file alias="%s">%s</file>' % (n, n) for n in files]
    qrc += ['  </qresource>', '</RCC>']
    write(os.path.join(HERE, "pictures.qrc"), "\n".join(qrc) + "\n")
    write(os.path.join(HERE, "README.md"), readme())
    print("%d pictures written" % len(files))


if __name__ == "__main__":
    main()
