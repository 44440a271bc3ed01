"""Draws a selection of the interchange file as the host shows it, before and
after a join, so that a reader sees what the join did to the drawing.

    draw_selection.py BEFORE AFTER DIR

BEFORE is KZC_TEMP.TXT as the host wrote it, AFTER the file k726 left. Writes
DIR/before.png and DIR/after.png, both in one frame and one scale, y up as on
paper. Lines, polylines, circles, arcs, the outlines of solids, points and
texts are drawn; a text stands on its insertion point, runs along its vector
and is as high as its text type (or its free size) says, in IPA Gothic. The
text that received the join is marked in the after picture.

The host deletes the selection when the file begins with "hd" and adds what
follows; "hq" leaves the drawing as it was, and so the after picture shows the
selection unchanged. Text types ("hch" and the like) come only in what the
host writes, so the after picture measures its texts by the before file's.

Standard library only; ImageMagick's convert turns the drawing commands (MVG)
into PNG.
"""
import math
import os
import re
import subprocess
import sys
import tempfile

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
# IPA Gothic's em box reaches 246/2048 of an em below the baseline; a
# double-byte character is one em wide and a single-byte one half an em, so
# a text's width is half an em per Shift-JIS byte.
FONT_DESCENT = 246 / 2048

# Pens 1 to 9 on white paper; colour 10 carries its own RGB value.
PENS = {1: "#1f6f8b", 2: "#222222", 3: "#2e7d32", 4: "#a07000", 5: "#c2185b",
        6: "#1565c0", 7: "#555555", 8: "#c62828", 9: "#6a1b9a"}
MARK_STROKE = "#ff8c00"
MARK_FILL = "#fff0d0"
CAPTION = "#777777"

MAX_WIDTH = 960   # the drawing's frame, in pixels, margins not counted
MAX_HEIGHT = 640
MARGIN = 28
CAPTION_BAND = 30

TEXT_WORDS = {b"ch", b"cv", b"cs", b"cr", b"co", b"cp", b"ct", b"ck", b"cz", b"c2"}


def is_lead(b):
    return 0x80 <= b <= 0x9F or 0xE0 <= b <= 0xFD


def tokens(line):
    """Splits a line as the host's reader does: blanks and tabs separate, a
    quote or an equals sign makes the rest of the line one token."""
    slots = [bytearray()]
    literal = False
    i = 0
    while i < len(line):
        b = line[i]
        if is_lead(b):
            if i + 1 == len(line):
                break
            slots[-1] += line[i:i + 2]
            i += 2
            continue
        if b == 0x22 and not literal:
            literal = True
        elif b == 0x3D and not literal:
            slots[-1].append(b)
            literal = True
        elif b in (0x20, 0x09) and not literal:
            if slots[-1]:
                slots.append(bytearray())
        elif 0x20 <= b <= 0xFD:
            slots[-1].append(b)
        i += 1
    return [bytes(s) for s in slots]


INT_FORM = re.compile(rb" *([+-]?)(?:([0-9]+)|(?:\$|0[xX]|[xX])([0-9a-fA-F]+))")
REAL_FORM = re.compile(rb" *[+-]?(?=[0-9.])[0-9]*\.?[0-9]*(?:[eE][+-]?[0-9]+)?")


def to_int(text):
    m = INT_FORM.fullmatch(text)
    if not m:
        return 0
    if m.group(2) is not None:
        value = int(m.group(1) + m.group(2))
        return value if -2**31 <= value < 2**31 else 0
    value = int(m.group(3), 16)
    if value >= 2**32:
        return 0
    return value - 2**32 if value >= 2**31 else value


def to_real(text):
    if not REAL_FORM.fullmatch(text):
        return 0.0
    body = text.strip()
    if body in (b".", b"+.", b"-."):
        return 0.0
    try:
        value = float(body)
    except ValueError:
        return 0.0
    return value if math.isfinite(value) else 0.0


class Selection:
    """The entities of one file, in drawing units."""

    def __init__(self, text_types=None):
        # Text types 1 to 10: width, height, spacing, colour.
        self.text_types = text_types or [None] + [[3.0, 3.0, 0.0, 2] for _ in range(10)]
        self.entities = []
        self.unchanged = False  # an "hq" answer
        self.color = 1
        self.color10 = 0
        self.point_color = 1
        self.text_type = 1
        self.free = [2.0, 2.0, 0.0, 1]
        self.message_mode = False
        self.pending_line = (0.0, 0.0, 1.0, 0.0, 1, 0)

    def pen(self, color, color10=None):
        if color == 10:
            rgb = self.color10 if color10 is None else color10
            # A Windows colour value: red in the low byte.
            return "#%02x%02x%02x" % (rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF)
        return PENS.get(color, PENS[2])

    def add(self, kind, **fields):
        fields.setdefault("pen", self.pen(self.color))
        self.entities.append(dict(kind=kind, **fields))
        self.message_mode = False

    def text_size(self):
        if 1 <= self.text_type <= 10:
            return self.text_types[self.text_type]
        return self.free

    def add_text(self, t):
        width, height, spacing, color = self.text_size()
        x, y, vx, vy = (to_real(t[k]) for k in range(1, 5))
        # Numbers come back in the tool's own form ("5.0" as "5"), so texts
        # are matched by value.
        key = (t[0],) + tuple(round(v, 6) for v in (x, y, vx, vy))
        self.add("text", x=x, y=y, vx=vx, vy=vy, height=height, raw=t[5], key=key,
                 pen=self.pen(color))

    def read(self, path):
        with open(path, "rb") as f:
            data = f.read()
        first = True
        for raw in data.split(b"\n"):
            line = raw[:-1] if raw.endswith(b"\r") else raw
            if line.startswith(b"\x1a"):
                break
            if not line:
                continue
            t = tokens(line)
            if len(t) == 1 and not t[0]:
                continue
            if first and t[0] == b"hq":
                self.unchanged = True
            first = False
            self.parse(t)

    def parse(self, t):
        n = len(t)
        w = t[0]
        arg = lambda k: t[k] if k < n else b""
        if b"file=" in w:
            return
        if w in (b"hcw", b"hch", b"hcd", b"hcc") and n >= 11:
            field = {b"hcw": 0, b"hch": 1, b"hcd": 2, b"hcc": 3}[w]
            for k in range(1, 11):
                self.text_types[k][field] = to_int(t[k]) if field == 3 else to_real(t[k])
            return
        if w in (b"hk", b"hs", b"hzs", b"hn") and n >= {b"hk": 2, b"hs": 17, b"hzs": 3, b"hn": 5}[w]:
            return
        if w == b"bz" or w.startswith((b"lgn", b"lyn", b"lg", b"ly", b"lt", b"lw", b"cn$", b"cc", b"pn")):
            if w.startswith(b"pn"):
                self.point_color = to_int(w[2:])
            return
        if w.startswith(b"lc"):
            self.color = to_int(w[2:])
            if self.color == 10 and n >= 2:
                self.color10 = to_int(t[1])
            return
        if w.startswith(b"cn"):
            self.text_type = to_int(w[2:])
            if self.text_type == 0 and n >= 5:
                self.free = [to_real(t[1]), to_real(t[2]), to_real(t[3]), to_int(t[4])]
            return
        if w in (b"z1", b"z2", b"z3", b"z4", b"z5", b"pl", b"#"):
            if w in (b"pl", b"#"):
                self.message_mode = False
            return
        if w == b"msg":
            self.message_mode = True
            return
        if w.startswith(b"hp") and n >= 3 or w.startswith(b"hhp"):
            return
        v = [to_real(arg(k)) for k in range(1, 9)]
        if w == b"ci" and n == 4:
            self.add("arc", cx=v[0], cy=v[1], r=v[2], start=0.0, end=360.0, flat=1.0, tilt=0.0)
        elif w == b"ci" and n >= 8:
            # Centre, radius, start and end angle, flatness, tilt.
            self.add("arc", cx=v[0], cy=v[1], r=v[2], start=v[3], end=v[4], flat=v[5], tilt=v[6])
        elif w in TEXT_WORDS and n >= 6:
            if w == b"cs" and self.message_mode:
                x1, y1, x2, y2, pen10, color = self.pending_line
                self.add("line", points=[(x1, y1), (x2, y2)], pen=self.pen(color, pen10))
            self.add_text(t)
        elif w == b"pt" and (n == 3 or n >= 6):
            self.add("point", x=v[0], y=v[1], pen=self.pen(self.point_color))
        elif w == b"BL" and n >= 4:
            self.add("point", x=v[0], y=v[1])
        elif w == b"sl" and n in (5, 7) or w == b"sl" and n >= 9:
            corners = min(n - 1, 8) // 2
            self.add("outline", points=[(v[2 * k], v[2 * k + 1]) for k in range(corners)])
        elif w in (b"sc", b"se", b"so", b"sg") and n >= 9:
            # Centre, radius, flatness, start and end angle, tilt; "so" and
            # "sg" also an inner radius.
            self.add("sector", cx=v[0], cy=v[1], r=v[2], flat=v[3], start=v[4], end=v[5],
                     tilt=v[6], inner=v[7] if w in (b"so", b"sg") else 0.0)
        elif n == 4:
            x1, y1, x2, y2 = (to_real(t[k]) for k in range(4))
            if self.message_mode:
                self.pending_line = (x1, y1, x2, y2, self.color10, self.color)
            else:
                self.entities.append(dict(kind="line", points=[(x1, y1), (x2, y2)],
                                          pen=self.pen(self.color)))


def arc_points(cx, cy, r, start, end, flat, tilt):
    sweep = end - start
    if sweep <= 0:
        sweep += 360.0
    steps = max(8, int(abs(sweep) / 4))
    ct, st = math.cos(math.radians(tilt)), math.sin(math.radians(tilt))
    points = []
    for k in range(steps + 1):
        a = math.radians(start + sweep * k / steps)
        ex, ey = r * math.cos(a), r * flat * math.sin(a)
        points.append((cx + ex * ct - ey * st, cy + ex * st + ey * ct))
    return points


def text_box(e):
    """The text's em box: its four corners, insertion point first."""
    ux, uy = unit(e["vx"], e["vy"])
    h = e["height"]
    width = 0.5 * h * len(e["raw"])
    x, y = e["x"], e["y"]
    return [(x, y), (x + width * ux, y + width * uy),
            (x + width * ux - h * uy, y + width * uy + h * ux), (x - h * uy, y + h * ux)]


def paths(e):
    """The runs of points a shape is drawn through, in drawing units."""
    kind = e["kind"]
    if kind in ("line", "outline"):
        return [e["points"]]
    if kind == "arc":
        return [arc_points(e["cx"], e["cy"], e["r"], e["start"], e["end"], e["flat"], e["tilt"])]
    if kind == "sector":
        outer = arc_points(e["cx"], e["cy"], e["r"], e["start"], e["end"], e["flat"], e["tilt"])
        inner = []
        if e["inner"] > 0:
            inner = arc_points(e["cx"], e["cy"], e["inner"], e["start"], e["end"], e["flat"],
                               e["tilt"])
        if (e["end"] - e["start"]) % 360.0 == 0:
            return [outer, inner] if inner else [outer]
        return [outer + (inner[::-1] or [(e["cx"], e["cy"])]) + outer[:1]]
    if kind == "text":
        return [text_box(e)]
    return [[(e["x"], e["y"])]]


class Frame:
    """Drawing units to pixels, y up, one frame for both pictures."""

    def __init__(self, selections):
        points = [p for s in selections for e in s.entities for path in paths(e) for p in path]
        if not points:
            points = [(0.0, 0.0)]
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.left, self.bottom = min(xs), min(ys)
        width, height = max(xs) - self.left, max(ys) - self.bottom
        span = max(width, height, 1e-9)
        self.scale = min(MAX_WIDTH / max(width, span / 100), MAX_HEIGHT / max(height, span / 100))
        self.width = round(width * self.scale) + 2 * MARGIN
        self.height = round(height * self.scale) + 2 * MARGIN + CAPTION_BAND
        self.top = CAPTION_BAND + MARGIN + height * self.scale

    def px(self, p):
        return (MARGIN + (p[0] - self.left) * self.scale, self.top - (p[1] - self.bottom) * self.scale)


def mvg_text(s):
    return "'" + s.replace("\\", "\\\\").replace("'", "\\'") + "'"


def mvg_points(frame, points):
    return " ".join("%.2f,%.2f" % frame.px(p) for p in points)


def draw(selection, frame, marked, caption, target):
    out = ["viewbox 0 0 %d %d" % (frame.width, frame.height),
           "fill white", "rectangle 0,0 %d,%d" % (frame.width, frame.height),
           "font %s" % mvg_text(FONT), "stroke-linecap round", "stroke-linejoin round",
           "fill %s" % CAPTION, "stroke none", "font-size 15",
           "text %d,%d %s" % (MARGIN, 21, mvg_text(caption))]
    for e in selection.entities:
        kind = e["kind"]
        if kind == "text":
            box = text_box(e)
            if id(e) in marked:
                grow = 0.25 * e["height"]
                out += ["fill %s" % MARK_FILL, "stroke %s" % MARK_STROKE, "stroke-width 2",
                        "polygon " + mvg_points(frame, expand(box, grow))]
            origin = frame.px(box[0])
            angle = math.degrees(math.atan2(box[1][1] - box[0][1], box[1][0] - box[0][0]))
            size = e["height"] * frame.scale
            out += ["push graphic-context", "stroke none", "fill %s" % e["pen"],
                    "translate %.2f,%.2f" % origin, "rotate %.3f" % -angle,
                    "font-size %.2f" % size,
                    "text 0,%.2f %s" % (-FONT_DESCENT * size,
                                        mvg_text(e["raw"].decode("cp932", errors="replace"))),
                    "pop graphic-context"]
        elif kind == "point":
            x, y = frame.px((e["x"], e["y"]))
            out += ["fill %s" % e["pen"], "stroke none", "circle %.2f,%.2f %.2f,%.2f" % (x, y, x + 2.5, y)]
        else:
            shape = "polygon" if kind == "outline" else "polyline"
            out += ["fill none", "stroke %s" % e["pen"], "stroke-width 1.6"]
            out += ["%s %s" % (shape, mvg_points(frame, path)) for path in paths(e)]
    with tempfile.NamedTemporaryFile("w", suffix=".mvg", encoding="utf-8", delete=False) as f:
        f.write("\n".join(out) + "\n")
        mvg = f.name
    try:
        subprocess.run(["convert", "-size", "%dx%d" % (frame.width, frame.height),
                        "mvg:" + mvg, "-depth", "8",
                        # No time stamps: a picture drawn again is the same file.
                        "-define", "png:exclude-chunk=date,time",
                        # Always truecolour: the kind of PNG does not change with
                        # the number of colours a drawing happens to use.
                        "PNG24:" + target], check=True)
    finally:
        os.unlink(mvg)


def expand(box, d):
    """The box grown by d on every side."""
    (x0, y0), (x1, y1), _, (x3, y3) = box
    ux, uy = unit(x1 - x0, y1 - y0)
    nx, ny = unit(x3 - x0, y3 - y0)
    sx, sy = -d * (ux + nx), -d * (uy + ny)
    along = math.hypot(x1 - x0, y1 - y0) + 2 * d
    up = math.hypot(x3 - x0, y3 - y0) + 2 * d
    return [(x0 + sx, y0 + sy), (x0 + sx + along * ux, y0 + sy + along * uy),
            (x0 + sx + along * ux + up * nx, y0 + sy + along * uy + up * ny),
            (x0 + sx + up * nx, y0 + sy + up * ny)]


def unit(x, y):
    length = math.hypot(x, y)
    return (x / length, y / length) if length > 0 else (1.0, 0.0)


def receiving_texts(before, after):
    """The texts of the answer whose content differs from the text the host
    wrote at the same place: the one that took the others in."""
    wrote = {}
    for e in before.entities:
        if e["kind"] == "text":
            wrote.setdefault(e["key"], []).append(e["raw"])
    return {id(e) for e in after.entities
            if e["kind"] == "text" and e["raw"] not in wrote.get(e["key"], [])}


def counted(selection):
    texts = sum(1 for e in selection.entities if e["kind"] == "text")
    return "%d text%s, %d entities in all" % (texts, "" if texts == 1 else "s",
                                              len(selection.entities))


def main(before_path, after_path, folder):
    if not os.path.isfile(FONT):
        sys.exit("draw_selection.py: the font %s is missing (Debian: fonts-ipafont-gothic)" % FONT)
    before = Selection()
    before.read(before_path)
    after = Selection([list(t) if t else None for t in before.text_types])
    after.read(after_path)
    if after.unchanged:
        after = before
    frame = Frame([before, after])
    os.makedirs(folder, exist_ok=True)
    draw(before, frame, set(), "before: " + counted(before), os.path.join(folder, "before.png"))
    if after is before:
        caption = "after: hq, the drawing stays as it was"
        marked = set()
    else:
        marked = receiving_texts(before, after)
        caption = "after: %s; %s" % (counted(after), "the joined text is framed"
                                     if marked else "nothing was joined")
    draw(after, frame, marked, caption, os.path.join(folder, "after.png"))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:4])
