#!/usr/bin/env python3
"""Draws the plinthor wizard artwork (template.gif, finish.gif, veridane.ico) from code; standard library only."""

# Run it from anywhere: the three files are written next to this script. The
# output is deterministic: no randomness, no clock, no dictionary-order effects,
# so every run writes the same bytes.
#
# Everything is drawn with signed distance functions (negative inside a shape):
# the coverage of a pixel is taken from the distance at its centre, which gives
# anti-aliased edges without supersampling and makes rotation trivial.

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------- colours

def hexrgb(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def smoothstep(t):
    t = clamp01(t)
    return t * t * (3.0 - 2.0 * t)


# The palette family shared by all three images.
NAVY_TOP = hexrgb("#0a1a36")
NAVY_MID = hexrgb("#0d3358")
TEAL_LOW = hexrgb("#0f5c6a")
GLOW = hexrgb("#2f93a8")
LINE = hexrgb("#7fd3cf")       # light teal strokes on the dark background
PAPER_TOP = hexrgb("#f8fbfd")
PAPER_BOT = hexrgb("#dde8ef")
FOLD = hexrgb("#b9ccda")
INK = hexrgb("#9fb4c6")        # "text" lines on paper
TEAL = hexrgb("#1fa89d")
AMBER = hexrgb("#f0b442")
SKY = hexrgb("#4f9fe0")
BADGE_HI = hexrgb("#3fd0a8")
BADGE_LO = hexrgb("#179a86")
WHITE = (1.0, 1.0, 1.0)
BLACK = (0.0, 0.0, 0.0)
OUTLINE = hexrgb("#10305a")    # icon outline: dark enough to hold on light and dark desktops


# ---------------------------------------------------------------- canvas

class Canvas:
    """Premultiplied RGBA floats; transparent until something is drawn."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def put(self, x, y, c, a):
        if a <= 0.0:
            return
        p = self.px[y * self.w + x]
        k = 1.0 - a
        p[0] = c[0] * a + p[0] * k
        p[1] = c[1] * a + p[1] * k
        p[2] = c[2] * a + p[2] * k
        p[3] = a + p[3] * k

    def shade(self, fn):
        """Paints every pixel with fn(x, y) -> (colour, alpha); used for backgrounds."""
        for y in range(self.h):
            for x in range(self.w):
                c, a = fn(x + 0.5, y + 0.5)
                self.put(x, y, c, a)

    def draw(self, shape, colour, alpha=1.0, soft=1.0, xf=None):
        """Fills a shape. shape = (sdf, (x0, y0, x1, y1)) in local coordinates;
        xf = (angle in degrees, pivot x, pivot y, dx, dy) places it on the canvas;
        colour is an RGB tuple or a function of the local point; soft widens the
        edge ramp (soft shadows)."""
        sdf, (bx0, by0, bx1, by1) = shape
        if xf is None:
            xf = (0.0, 0.0, 0.0, 0.0, 0.0)
        ang, px, py, dx, dy = xf
        ca, sa = math.cos(math.radians(ang)), math.sin(math.radians(ang))

        def fwd(x, y):
            x, y = x - px, y - py
            return px + x * ca - y * sa + dx, py + x * sa + y * ca + dy

        corners = [fwd(bx0, by0), fwd(bx1, by0), fwd(bx0, by1), fwd(bx1, by1)]
        m = soft + 1.5
        gx0 = max(0, int(math.floor(min(c[0] for c in corners) - m)))
        gy0 = max(0, int(math.floor(min(c[1] for c in corners) - m)))
        gx1 = min(self.w, int(math.ceil(max(c[0] for c in corners) + m)))
        gy1 = min(self.h, int(math.ceil(max(c[1] for c in corners) + m)))
        flat = not callable(colour)
        for y in range(gy0, gy1):
            for x in range(gx0, gx1):
                # inverse transform: canvas pixel centre -> local point
                qx, qy = x + 0.5 - dx - px, y + 0.5 - dy - py
                lx = px + qx * ca + qy * sa
                ly = py - qx * sa + qy * ca
                d = sdf(lx, ly)
                cov = 0.5 - d / soft
                if cov <= 0.0:
                    continue
                if soft > 1.0:
                    cov = smoothstep(cov)
                elif cov > 1.0:
                    cov = 1.0
                self.put(x, y, colour if flat else colour(lx, ly), cov * alpha)

    def rgba8(self):
        out = []
        for r, g, b, a in self.px:
            if a > 0.0:
                r, g, b = r / a, g / a, b / a
            out.append(tuple(int(clamp01(v) * 255.0 + 0.5) for v in (r, g, b, a)))
        return out


# ---------------------------------------------------------------- shapes
# Each returns (sdf, bounding box in local coordinates).

def rbox(x0, y0, x1, y1, r=0.0):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r
    return f, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return (lambda x, y: math.hypot(x - cx, y - cy) - r), (cx - r, cy - r, cx + r, cy + r)


def ring(cx, cy, r, width):
    return ((lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2),
            (cx - r - width, cy - r - width, cx + r + width, cy + r + width))


def seg_dist(x, y, ax, ay, bx, by):
    vx, vy, wx, wy = bx - ax, by - ay, x - ax, y - ay
    t = clamp01((wx * vx + wy * vy) / (vx * vx + vy * vy))
    return math.hypot(wx - vx * t, wy - vy * t)


def polyline(points, width):
    """A stroke with round caps and joins."""
    segs = list(zip(points, points[1:]))

    def f(x, y):
        return min(seg_dist(x, y, a[0], a[1], b[0], b[1]) for a, b in segs) - width / 2
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return f, (min(xs) - width, min(ys) - width, max(xs) + width, max(ys) + width)


def polygon(points):
    """Exact signed distance to a simple polygon (winding test for the sign)."""
    n = len(points)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            d = min(d, seg_dist(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                inside = not inside
        return -d if inside else d
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return f, (min(xs), min(ys), max(xs), max(ys))


def outline(shape, width):
    f, (x0, y0, x1, y1) = shape
    return (lambda x, y: abs(f(x, y)) - width / 2), (x0 - width, y0 - width, x1 + width, y1 + width)


def sheet(x0, y0, x1, y1, r, fold):
    """A page with its top-right corner folded down: the rounded box cut by a 45 degree line."""
    box, _ = rbox(x0, y0, x1, y1, r)
    ax, ay = x1 - fold, y0
    s = 1 / math.sqrt(2)

    def f(x, y):
        return max(box(x, y), ((x - ax) - (y - ay)) * s)
    return f, (x0, y0, x1, y1)


def fold_flap(x0, y0, x1, y1, fold):
    # the flap of a folded corner: a right triangle under the cut
    return polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])


def bezier(p0, p1, p2, t):
    u = 1 - t
    return (u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
            u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1])


# ---------------------------------------------------------------- scenes

W, H = 120, 260


def background(cv, glow_at):
    gx, gy = glow_at

    def bg(x, y):
        t = y / H
        # two-stop gradient, eased so the teal gathers toward the bottom
        c = mix(NAVY_TOP, NAVY_MID, smoothstep(t / 0.55)) if t < 0.55 else \
            mix(NAVY_MID, TEAL_LOW, smoothstep((t - 0.55) / 0.45))
        r = math.hypot((x - gx) * 1.25, y - gy) / 105.0
        g = max(0.0, 1.0 - r)
        c = mix(c, GLOW, 0.30 * g * g)
        return c, 1.0
    cv.shade(bg)

    # A faint blueprint dot grid: the "skeleton" the templates are laid out on.
    for j in range(H // 12 + 1):
        for i in range(W // 12 + 1):
            x, y = 6 + 12 * i, 6 + 12 * j
            fade = max(0.0, 1.0 - math.hypot((x - gx) * 1.1, y - gy) / 150.0)
            if fade > 0.0:
                cv.draw(circle(x, y, 0.75), LINE, alpha=0.05 + 0.18 * fade)

    # Two quiet arcs at the foot of the banner give it a base.
    for r, a in ((150.0, 0.10), (168.0, 0.06)):
        cv.draw(ring(60.0, 260.0 + 120.0, r, 1.0), LINE, alpha=a)


def paper(lx, ly, y0, y1):
    return mix(PAPER_TOP, PAPER_BOT, clamp01((ly - y0) / (y1 - y0)))


def draw_page(cv, x0, y0, x1, y1, accent, xf, lines):
    """A filled page: shadow, paper, folded corner, text lines with filled-in values."""
    fold = round((x1 - x0) * 0.27)
    shp = sheet(x0, y0, x1, y1, 2.5, fold)
    ang, px, py, dx, dy = xf
    cv.draw(shp, BLACK, alpha=0.35, soft=4.0, xf=(ang, px, py, dx + 1.5, dy + 3.0))
    cv.draw(shp, lambda lx, ly: paper(lx, ly, y0, y1), xf=xf)
    cv.draw(fold_flap(x0, y0, x1, y1, fold), FOLD, xf=xf)
    cv.draw(polyline([(x1 - fold, y0 + 0.6), (x1 - fold, y0 + fold), (x1 - 0.6, y0 + fold)], 0.8),
            hexrgb("#9fb3c4"), alpha=0.8, xf=xf)
    for (lx0, ly, lx1, kind) in lines:
        colour = accent if kind == "value" else INK
        h = 4.0 if kind == "value" else 3.0
        cv.draw(rbox(x0 + lx0, y0 + ly - h / 2, x0 + lx1, y0 + ly + h / 2, h / 2), colour, xf=xf)


def template_gif():
    cv = Canvas(W, H)
    background(cv, (60, 96))

    # --- the skeleton: an outlined sheet whose fields are still empty slots
    x0, y0, x1, y1, fold = 28.0, 26.0, 92.0, 108.0, 15.0
    sk = sheet(x0, y0, x1, y1, 4.0, fold)
    cv.draw(sk, BLACK, alpha=0.25, soft=5.0, xf=(0, 0, 0, 1.5, 3.0))
    cv.draw(sk, hexrgb("#123f66"), alpha=0.85)
    cv.draw(outline(sk, 1.5), LINE)
    cv.draw(fold_flap(x0, y0, x1, y1, fold), hexrgb("#1d5a7e"))
    cv.draw(outline(fold_flap(x0, y0, x1, y1, fold), 1.2), LINE)
    # heading bar
    cv.draw(rbox(36, 36, 66, 41, 2.5), LINE, alpha=0.95)
    # label + empty slot rows (slots are outlined: nothing filled in yet)
    for k, y in enumerate((52.0, 64.0, 76.0)):
        cv.draw(rbox(36, y, 46, y + 3, 1.5), LINE, alpha=0.55)
        sw = (34.0, 28.0, 38.0)[k]
        cv.draw(outline(rbox(49, y - 1.5, 49 + sw - 1, y + 4.5, 3.0), 1.2), AMBER)
    # a couple of plain text lines at the foot of the sheet
    cv.draw(rbox(36, 89, 84, 92, 1.5), LINE, alpha=0.45)
    cv.draw(rbox(36, 96, 70, 99, 1.5), LINE, alpha=0.45)

    # --- the pages it turns into, fanned about a pivot below the banner
    # (the pivot sits far enough down that the outer pages keep a margin)
    pivot = (60.0, 318.0)
    pages = [(-12.0, TEAL), (12.0, SKY), (0.0, AMBER)]  # outer ones first: the middle page lies on top
    px0, py0, px1, py1 = 40.0, 156.0, 80.0, 210.0

    # dashed trails from the foot of the skeleton to the top of each page
    for ang, sx in ((-12.0, 46.0), (0.0, 60.0), (12.0, 74.0)):
        c, s = math.cos(math.radians(ang)), math.sin(math.radians(ang))
        mx, my = 60.0 - pivot[0], py0 - 6.0 - pivot[1]
        end = (pivot[0] + mx * c - my * s, pivot[1] + mx * s + my * c)
        start = (sx, y1 + 6.0)
        ctrl = (sx, (start[1] + end[1]) / 2)
        # short dashes rather than dots, so the trails do not read as part of the grid
        steps = 6
        for i in range(steps):
            t0, t1 = i / steps, (i + 0.45) / steps
            cv.draw(polyline([bezier(start, ctrl, end, t0), bezier(start, ctrl, end, t1)], 1.6),
                    LINE, alpha=0.30 + 0.6 * t1)

    lines = [(5, 9, 22, "ink"), (5, 17, 14, "ink"), (16, 17, 35, "value"),
             (5, 25, 14, "ink"), (16, 25, 30, "value"), (5, 33, 14, "ink"),
             (16, 33, 33, "value"), (5, 42, 35, "ink"), (5, 48, 25, "ink")]
    for ang, accent in pages:
        draw_page(cv, px0, py0, px1, py1, accent, (ang, pivot[0], pivot[1], 0.0, 0.0), lines)
    return cv


def sparkle(cv, x, y, r, colour, alpha):
    # a four-pointed star: two thin diamonds crossed
    cv.draw(polygon([(x, y - r), (x + r * 0.22, y), (x, y + r), (x - r * 0.22, y)]), colour, alpha)
    cv.draw(polygon([(x - r, y), (x, y - r * 0.22), (x + r, y), (x, y + r * 0.22)]), colour, alpha)


def finish_gif():
    cv = Canvas(W, H)
    background(cv, (60, 110))

    # --- three finished pages, stacked neatly
    lines = [(6, 10, 28, "ink"), (6, 19, 17, "ink"), (20, 19, 44, "value"),
             (6, 28, 17, "ink"), (20, 28, 38, "value"), (6, 37, 17, "ink"),
             (20, 37, 41, "value"), (6, 48, 44, "ink"), (6, 55, 32, "ink")]
    w, h = 52.0, 68.0
    for k, accent in enumerate((SKY, TEAL, AMBER)):
        x0, y0 = 40.0 - 6.0 * k, 86.0 + 6.0 * k
        if k < 2:
            # the pages behind only show their top edge; keep them plain
            shp = sheet(x0, y0, x0 + w, y0 + h, 2.5, 14)
            cv.draw(shp, BLACK, alpha=0.30, soft=4.0, xf=(0, 0, 0, 1.5, 3.0))
            cv.draw(shp, lambda lx, ly, y0=y0: mix(paper(lx, ly, y0, y0 + h), INK, 0.28 - 0.14 * k))
            cv.draw(fold_flap(x0, y0, x0 + w, y0 + h, 14), mix(FOLD, INK, 0.4))
            cv.draw(rbox(x0 + 6, y0 + 3.5, x0 + 20, y0 + 5.5, 1.0), accent, alpha=0.9)
        else:
            draw_page(cv, x0, y0, x0 + w, y0 + h, accent, (0, 0, 0, 0, 0), lines)

    # --- the check badge over the front page's lower right corner
    bx, by, br = 80.0, 166.0, 17.0
    cv.draw(circle(bx, by, br), BLACK, alpha=0.35, soft=4.0, xf=(0, 0, 0, 1.0, 2.5))
    cv.draw(circle(bx, by, br + 2.2), hexrgb("#0e3a5c"))
    cv.draw(circle(bx, by, br),
            lambda lx, ly: mix(BADGE_HI, BADGE_LO, clamp01((ly - (by - br)) / (2 * br))))
    cv.draw(ring(bx, by, br - 1.2, 1.0), WHITE, alpha=0.25)
    cv.draw(polyline([(bx - 8.0, by + 0.5), (bx - 2.5, by + 6.0), (bx + 8.5, by - 6.5)], 4.2), WHITE)

    # --- a few quiet sparkles
    sparkle(cv, 24.0, 72.0, 5.0, LINE, 0.85)
    sparkle(cv, 103.0, 96.0, 3.5, AMBER, 0.9)
    sparkle(cv, 106.0, 140.0, 2.5, LINE, 0.6)
    sparkle(cv, 20.0, 186.0, 3.0, LINE, 0.55)
    cv.draw(circle(96.0, 66.0, 1.2), LINE, alpha=0.6)
    return cv


def icon_canvas():
    cv = Canvas(32, 32)
    # page behind: teal, offset up and right
    back = sheet(11.0, 1.0, 29.0, 25.0, 2.0, 6.0)
    cv.draw(back, OUTLINE)
    cv.draw(sheet(12.0, 2.0, 28.0, 24.0, 1.2, 5.6), TEAL)
    cv.draw(fold_flap(11.0, 1.0, 29.0, 25.0, 6.0), OUTLINE)
    cv.draw(polygon([(24.0, 2.4), (24.0, 6.0), (27.6, 6.0)]), LINE)
    # front page: the template sheet with its fields
    x0, y0, x1, y1, fold = 3.0, 6.0, 23.0, 31.0, 7.0
    cv.draw(sheet(x0, y0, x1, y1, 2.0, fold), OUTLINE)
    cv.draw(sheet(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 1.2, fold - 0.4),
            lambda lx, ly: paper(lx, ly, y0, y1))
    cv.draw(fold_flap(x0, y0, x1, y1, fold), OUTLINE)
    cv.draw(polygon([(x1 - fold + 1, y0 + 1.4), (x1 - fold + 1, y0 + fold - 1), (x1 - 1.4, y0 + fold - 1)]), FOLD)
    # fields: label + filled value, on whole pixel rows so they stay sharp
    cv.draw(rbox(6, 15, 13, 17), INK)
    cv.draw(rbox(6, 19, 10, 21), INK)
    cv.draw(rbox(11, 19, 20, 21), AMBER)
    cv.draw(rbox(6, 23, 10, 25), INK)
    cv.draw(rbox(11, 23, 18, 25), TEAL)
    cv.draw(rbox(6, 27, 16, 28), INK)
    return cv


# ---------------------------------------------------------------- quantising

def nearest(c, pal):
    best, bi = None, 0
    for i, p in enumerate(pal):
        dr, dg, db = c[0] - p[0], c[1] - p[1], c[2] - p[2]
        d = 2 * dr * dr + 4 * dg * dg + 3 * db * db   # rough perceptual weights
        if best is None or d < best:
            best, bi = d, i
    return bi


def median_cut(hist, n):
    """hist: sorted list of ((r, g, b), count). Returns up to n colours.
    Boxes are split where range times the square root of the pixel count is largest,
    so the background gradient gets steps fine enough not to band while the small
    bright shapes still get their own entries."""
    boxes = [hist]
    while len(boxes) < n:
        best, bi, bch = -1.0, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            rng = [max(c[0][k] for c in box) - min(c[0][k] for c in box) for k in range(3)]
            ch = max(range(3), key=lambda k: rng[k])
            score = rng[ch] * math.sqrt(sum(c[1] for c in box))
            if score > best:
                best, bi, bch = score, i, ch
        if bi < 0:
            break
        box = sorted(boxes[bi], key=lambda c: (c[0][bch], c[0]))
        total, acc, cut = sum(c[1] for c in box), 0, 1
        for j, c in enumerate(box):
            acc += c[1]
            if acc * 2 >= total:
                cut = min(max(j + 1, 1), len(box) - 1)
                break
        boxes[bi:bi + 1] = [box[:cut], box[cut:]]
    pal = []
    for box in boxes:
        t = sum(c[1] for c in box)
        pal.append(tuple(int(sum(c[0][k] * c[1] for c in box) / t + 0.5) for k in range(3)))
    return pal


def refine(hist, pal, rounds):
    """A few k-means rounds starting from the median cut palette."""
    for _ in range(rounds):
        sums = [[0, 0, 0, 0] for _ in pal]
        for c, cnt in hist:
            s = sums[nearest(c, pal)]
            s[0] += c[0] * cnt
            s[1] += c[1] * cnt
            s[2] += c[2] * cnt
            s[3] += cnt
        pal = [tuple(int(s[k] / s[3] + 0.5) for k in range(3)) if s[3] else p
               for s, p in zip(sums, pal)]
    return pal


def quantise(colours, n, reserved=()):
    counts = {}
    for c in colours:
        counts[c] = counts.get(c, 0) + 1
    hist = sorted(counts.items())
    room = n - len(reserved)
    if len(hist) <= room:
        pal = [c for c, _ in hist]
    else:
        pal = refine(hist, median_cut(hist, room), 3)
    pal = list(reserved) + sorted(set(pal) - set(reserved))
    lookup = {c: nearest(c, pal) for c, _ in hist}
    return pal, [lookup[c] for c in colours]


# ---------------------------------------------------------------- GIF89a

def lzw(indices, min_size):
    """GIF flavoured LZW: variable code width (LSB first), clear code at the start
    and whenever the 4096-entry table fills up."""
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc, nbits = 0, 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    size = min_size + 1
    table, nxt = {}, eoi + 1
    emit(clear, size)
    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix << 8) | k
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, size)
        if nxt < 4096:
            table[key] = nxt
            nxt += 1
            # The decoder adds its entries one code later than we do, so the width
            # grows once the code just assigned no longer fits the current width.
            if nxt - 1 == (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, nxt, size = {}, eoi + 1, min_size + 1
        prefix = k
    emit(prefix, size)
    emit(eoi, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif89a(w, h, palette, indices):
    pal = list(palette) + [(0, 0, 0)] * (256 - len(palette))
    data = bytearray(b"GIF89a")
    # global colour table of 256 entries, 8 bits of colour resolution
    data += struct.pack("<HHBBB", w, h, 0xF7, 0, 0)
    for c in pal:
        data += bytes(c)
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, w, h, 0)
    data.append(8)
    body = lzw(indices, 8)
    for i in range(0, len(body), 255):
        chunk = body[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data.append(0)
    data.append(0x3B)
    return bytes(data)


def write_gif(name, cv):
    rgba = cv.rgba8()
    pal, idx = quantise([p[:3] for p in rgba], 256)
    blob = gif89a(cv.w, cv.h, pal, idx)
    save(name, blob)


# ---------------------------------------------------------------- ICO

def dib(w, h, bpp, rows_xor, mask_rows, palette=None):
    """One icon image: BITMAPINFOHEADER with the height doubled (colour + mask),
    optional palette, bottom-up colour rows, bottom-up 1-bit AND mask rows."""
    xor = b"".join(rows_xor[::-1])
    andm = b"".join(mask_rows[::-1])
    hdr = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, len(xor) + len(andm), 0, 0,
                      0, 0)
    pal = b""
    if palette is not None:
        pal = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in palette)
        pal += b"\0" * (4 * 256 - len(pal))
    return hdr + pal + xor + andm


def write_ico(name, cv):
    w, h = cv.w, cv.h
    rgba = cv.rgba8()
    opaque = [p[3] >= 128 for p in rgba]

    mask_rows = []
    for y in range(h):
        bits = bytearray((w + 31) // 32 * 4)
        for x in range(w):
            if not opaque[y * w + x]:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask_rows.append(bytes(bits))

    # 256 colours: index 0 is black so that masked pixels leave the screen as it is
    # (screen AND 1 XOR 0).
    solid = [p[:3] for p, o in zip(rgba, opaque) if o]
    pal, idx = quantise(solid, 256, reserved=[(0, 0, 0)])
    it = iter(idx)
    pix8 = [next(it) if o else 0 for o in opaque]
    rows8 = [bytes(pix8[y * w:(y + 1) * w]) for y in range(h)]  # 32 bytes: already 4-aligned
    img8 = dib(w, h, 8, rows8, mask_rows, pal)

    rows32 = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            r, g, b, a = rgba[y * w + x]
            row += bytes((b, g, r, a) if a else (0, 0, 0, 0))
        rows32.append(bytes(row))
    img32 = dib(w, h, 32, rows32, mask_rows)

    images = [(8, img8), (32, img32)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for bpp, img in images:
        # width/height 32; colour count 0 means "256 or more"
        out += struct.pack("<BBBBHHII", w, h, 0, 0, 1, bpp, len(img), offset)
        offset += len(img)
    for _, img in images:
        out += img
    save(name, bytes(out))


def save(name, blob):
    path = os.path.join(HERE, name)
    with open(path, "wb") as f:
        f.write(blob)
    print("%-14s %6d bytes  crc32 %08x" % (name, len(blob), zlib.crc32(blob)))


if __name__ == "__main__":
    write_gif("template.gif", template_gif())
    write_gif("finish.gif", finish_gif())
    write_ico("veridane.ico", icon_canvas())
