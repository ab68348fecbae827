#!/usr/bin/env python3
"""Draws the program's icons and menu bitmaps as pixel art.

Everything is drawn from rectangles, lines and discs on a small RGBA canvas
and written straight into .ico / .bmp containers, so only the Python
standard library is needed.

    python3 tools/icons/draw_icons.py [--out DIR] [--preview FILE]

Outputs (default DIR is src/res next to this script's repository root):
    tray0..tray4.ico   tray icons, 16/20/24/32 px, drawn separately per size
                       0 idle, 1 sending, 2 receiving, 3 both, 4 cable unplugged
    act0..act8.ico     32 px activity pictures
                       0..3 network idle/send/recv/both, 4 cable unplugged,
                       5..8 dial-up idle/send/recv/both
    kelvra.ico         program icon, 16/24/32/48 px
    menu_*.bmp         16x16 32-bit BGRA menu pictures, in MENU_PICTURES order
    net0..net5.ico     16 px browse tree pictures: network, domain, computer,
                       share, printer, network information

Conventions used by every picture: the front (lower right) computer is this
machine and lights up while it sends; the back (upper left) computer, or the
modem in the dial-up set, lights up while data comes in.
"""

import argparse
import os
import struct
import zlib

# ---------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------


def rgb(h, a=255):
    h = h.lstrip("#")
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16), a)


CLEAR = (0, 0, 0, 0)
OUTLINE = rgb("1c2129")
BEZEL_HI = rgb("f4f5f7")
BEZEL = rgb("cfd3da")
BEZEL_LO = rgb("9299a5")
STAND_D = rgb("6f7886")
SOFT_OUTLINE = rgb("1c2129", 120)

# screen gradients (top, bottom) and the glare colour
LIT = (rgb("b8f4ff"), rgb("1a9be6"))
LIT_GLARE = rgb("ffffff")
DIM = (rgb("56677c"), rgb("2e3846"))
DIM_GLARE = rgb("7d90a8")
DESK = (rgb("7fb4ef"), rgb("2a63c4"))  # program icon: a plain blue desktop
DESK_GLARE = rgb("d8ecff")

RED_EDGE = rgb("8e0e0e")
RED = rgb("e23b30")
RED_HI = rgb("ff8a7a")
WHITE = rgb("ffffff")

GREEN_EDGE = rgb("0d5a12")
GREEN = rgb("2fc63a")
GREEN_HI = rgb("b6ff9c")

CABLE = rgb("3b4350")
CABLE_HI = rgb("8a93a3")

BLUE_EDGE = rgb("0f3f96")
BLUE = rgb("2b74de")
BLUE_HI = rgb("7fb2ff")

FOLDER_EDGE = rgb("8a5a00")
FOLDER = rgb("f5c542")
FOLDER_HI = rgb("ffe9a0")
FOLDER_LO = rgb("d49b1c")


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(4))


# ---------------------------------------------------------------------------
# Canvas
# ---------------------------------------------------------------------------


class Canvas:
    def __init__(self, w, h=None):
        self.w = w
        self.h = h if h is not None else w
        self.px = [CLEAR] * (self.w * self.h)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def put(self, x, y, c):
        if not (0 <= x < self.w and 0 <= y < self.h):
            return
        if c[3] == 255:
            self.px[y * self.w + x] = c
            return
        if c[3] == 0:
            return
        d = self.px[y * self.w + x]
        sa = c[3] / 255.0
        da = d[3] / 255.0
        oa = sa + da * (1 - sa)
        out = [0, 0, 0, int(round(oa * 255))]
        for i in range(3):
            out[i] = int(round((c[i] * sa + d[i] * da * (1 - sa)) / oa)) if oa else 0
        self.px[y * self.w + x] = tuple(out)

    def erase(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = CLEAR

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, c)

    def frame(self, x, y, w, h, c):
        self.hline(x, x + w - 1, y, c)
        self.hline(x, x + w - 1, y + h - 1, c)
        self.vline(x, y, y + h - 1, c)
        self.vline(x + w - 1, y, y + h - 1, c)

    def hline(self, x0, x1, y, c):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.put(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def vgrad(self, x, y, w, h, top, bottom):
        for i in range(h):
            t = i / (h - 1) if h > 1 else 0
            self.hline(x, x + w - 1, y + i, mix(top, bottom, t))

    def disc(self, cx, cy, r, c, ss=5):
        """Anti-aliased filled circle; cx, cy, r in pixel units (pixel
        centres sit at .5)."""
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                hit = 0
                for j in range(ss):
                    for i in range(ss):
                        px = x + (i + 0.5) / ss
                        py = y + (j + 0.5) / ss
                        if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                            hit += 1
                if hit:
                    a = int(round(c[3] * hit / (ss * ss)))
                    self.put(x, y, (c[0], c[1], c[2], a))

    def pattern(self, x, y, rows, colours):
        """Stamps a character map; '.' or ' ' is skipped."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch in colours:
                    self.put(x + i, y + j, colours[ch])

    def blit(self, other, dx, dy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(dx + x, dy + y, other.get(x, y))


# ---------------------------------------------------------------------------
# Building blocks
# ---------------------------------------------------------------------------


def screen(cv, x, y, w, h, look, glare=True):
    top, bottom = {"lit": LIT, "dim": DIM, "desk": DESK}[look]
    gl = {"lit": LIT_GLARE, "dim": DIM_GLARE, "desk": DESK_GLARE}[look]
    cv.vgrad(x, y, w, h, top, bottom)
    if not glare:
        return
    if w <= 7 or h <= 4:
        cv.put(x, y, gl)
        if w >= 6:
            cv.put(x + 1, y, mix(gl, top, 0.5))
            cv.put(x, y + 1, mix(gl, top, 0.5))
        return
    # a short diagonal glare in the upper left corner
    n = max(2, min(w, h) // 2)
    for i in range(n):
        a = int(255 * (1 - i / n) * 0.85)
        for k in range(2 if min(w, h) >= 9 else 1):
            xx, yy = x + i - k, y + (n - 1 - i)
            if xx >= x:
                cv.put(xx, yy, (gl[0], gl[1], gl[2], a))


def monitor(cv, x, y, w, h, bez, chin, look, stand=None, led=None):
    """Monitor with its top left outline pixel at x,y; w,h include the
    outline.  stand = (neck_w, neck_h, base_w, base_h) below the case."""
    cx2 = 2 * x + w  # doubled centre, keeps odd/even widths symmetric
    if stand:
        nw, nh, bw, bh = stand
        ny = y + h
        nx = (cx2 - nw) // 2
        bx = (cx2 - bw) // 2
        by = ny + nh
        if bh == 1:
            # small drawings: a solid grey post and foot that still shows
            # up on a dark taskbar
            for r in range(nh):
                cv.hline(nx, nx + nw - 1, ny + r, STAND_D)
            cv.hline(bx + 1, bx + bw - 2, by, STAND_D)
            cv.put(bx, by, OUTLINE)
            cv.put(bx + bw - 1, by, OUTLINE)
        else:
            for r in range(nh):
                cv.put(nx, ny + r, OUTLINE)
                cv.put(nx + nw - 1, ny + r, OUTLINE)
                cv.hline(nx + 1, nx + nw - 2, ny + r, BEZEL_LO)
            for r in range(bh):
                last = r == bh - 1
                cv.put(bx, by + r, OUTLINE if not last else SOFT_OUTLINE)
                cv.put(bx + bw - 1, by + r, OUTLINE if not last else SOFT_OUTLINE)
                cv.hline(bx + 1, bx + bw - 2, by + r,
                         OUTLINE if last else (BEZEL if r == 0 else BEZEL_LO))

    cv.rect(x, y, w, h, OUTLINE)
    cv.rect(x + 1, y + 1, w - 2, h - 2, BEZEL)
    cv.hline(x + 1, x + w - 2, y + 1, BEZEL_HI)
    cv.vline(x + 1, y + 1, y + h - 2, BEZEL_HI)
    cv.hline(x + 2, x + w - 2, y + h - 2, BEZEL_LO)
    cv.vline(x + w - 2, y + 2, y + h - 2, BEZEL_LO)
    # soften the case corners a little on the larger drawings
    if w >= 14:
        for (xx, yy) in ((x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)):
            cv.erase(xx, yy)
            cv.put(xx, yy, (OUTLINE[0], OUTLINE[1], OUTLINE[2], 120))

    sx, sy = x + 1 + bez, y + 1 + bez
    sw, sh = w - 2 - 2 * bez, h - 2 - bez - chin
    if bez >= 2:
        # recessed glass: a dark rim around the picture
        cv.frame(sx - 1, sy - 1, sw + 2, sh + 2, BEZEL_LO)
        cv.hline(sx - 1, sx + sw, sy + sh, BEZEL_HI)
        cv.vline(sx + sw, sy, sy + sh, BEZEL_HI)
        cv.frame(sx, sy, sw, sh, OUTLINE)
        screen(cv, sx + 1, sy + 1, sw - 2, sh - 2, look)
    else:
        screen(cv, sx, sy, sw, sh, look)
    if led:
        # power light on the chin, bottom right
        lx = x + w - 2 - bez - (1 if bez >= 2 else 0)
        ly = y + h - 2 - (chin - 1) // 2
        cv.put(lx - 1, ly - (1 if chin >= 3 else 0), led)
    return (sx, sy, sw, sh)


BADGE_X_7 = [
    ".aDDDa.",
    "aDRRRDa",
    "DRWRWRD",
    "DRRWRRD",
    "DRWRWRD",
    "aDRRRDa",
    ".aDDDa.",
]


def badge_x(cv, cx, cy, r):
    """Red disc with a white cross: cable unplugged."""
    if r < 4:
        # hand placed for the 16 px tray icon
        cv.pattern(int(cx - 3.5), int(cy - 3.5), BADGE_X_7, {
            "D": RED_EDGE, "R": RED, "W": WHITE,
            "a": (RED_EDGE[0], RED_EDGE[1], RED_EDGE[2], 120)})
        return
    cv.disc(cx, cy, r, RED_EDGE)
    cv.disc(cx, cy, r - 0.9, RED)
    if r >= 5:
        cv.disc(cx - r * 0.25, cy - r * 0.3, r * 0.35, (RED_HI[0], RED_HI[1], RED_HI[2], 90))
    k = max(1, int(r - 2))  # half length of the cross arms
    ix, iy = int(cx), int(cy)
    odd = (cx - int(cx)) > 0.25  # disc centred on a pixel centre
    thick = r >= 5.5
    if odd:
        for d in range(-k, k + 1):
            cv.put(ix + d, iy + d, WHITE)
            cv.put(ix + d, iy - d, WHITE)
            if thick:
                cv.put(ix + d + 1, iy + d, WHITE)
                cv.put(ix + d + 1, iy - d, WHITE)
    else:
        for d in range(-k, k):
            cv.put(ix + d, iy + d, WHITE)
            cv.put(ix + d, iy - d - 1, WHITE)


def badge_led(cv, cx, cy, r):
    """Green activity light with a small glint."""
    cv.disc(cx, cy, r, GREEN_EDGE)
    cv.disc(cx, cy, r - 0.9, GREEN)
    cv.disc(cx - r * 0.28, cy - r * 0.28, max(0.8, r * 0.38), GREEN_HI)


# ---------------------------------------------------------------------------
# Two screens: tray icons and program icon
# ---------------------------------------------------------------------------

# per size: back case, front case (x, y, w, h), bezel, chin, stands, badge
PAIR_LAYOUT = {
    16: dict(back=(0, 0, 10, 8), front=(6, 6, 10, 8), bez=1, chin=1,
             bstand=(2, 1, 6, 1), fstand=(2, 1, 6, 1),
             x=(3.5, 12.5, 3.5), led=(3, 13, 3)),
    20: dict(back=(0, 0, 13, 10), front=(7, 8, 13, 10), bez=1, chin=1,
             bstand=(3, 1, 7, 1), fstand=(3, 1, 7, 1),
             x=(4.5, 15.5, 4.5), led=(4, 16, 3.6)),
    24: dict(back=(0, 0, 15, 12), front=(9, 10, 15, 12), bez=1, chin=2,
             bstand=(3, 1, 9, 1), fstand=(3, 1, 9, 1),
             x=(4.5, 19.5, 4.5), led=(4.5, 19.5, 4.2)),
    32: dict(back=(0, 0, 20, 16), front=(12, 13, 20, 16), bez=2, chin=2,
             bstand=(4, 1, 12, 2), fstand=(4, 1, 12, 2),
             x=(5.5, 26.5, 5.5), led=(5, 27, 4.8)),
    48: dict(back=(0, 1, 29, 23), front=(18, 20, 30, 23), bez=2, chin=3,
             bstand=(6, 2, 16, 3), fstand=(6, 2, 18, 3),
             x=(8.5, 39.5, 8), led=(7.5, 40.5, 7)),
}


def draw_pair(size, back_look, front_look, badge=None):
    L = PAIR_LAYOUT[size]
    cv = Canvas(size)
    bx, by, bw, bh = L["back"]
    fx, fy, fw, fh = L["front"]
    monitor(cv, bx, by, bw, bh, L["bez"], L["chin"], back_look, L["bstand"])
    if size >= 24:
        # a one pixel gap between the two cases keeps them apart
        for yy in range(fy - 1, fy + fh):
            cv.erase(fx - 1, yy)
        cv.hline(fx - 1, fx + fw - 1, fy - 1, CLEAR)
        for yy in range(fy - 1, min(size, fy + fh)):
            for xx in range(fx - 1, size):
                if xx == fx - 1 or yy == fy - 1:
                    cv.erase(xx, yy)
    monitor(cv, fx, fy, fw, fh, L["bez"], L["chin"], front_look, L["fstand"])
    if badge:
        cx, cy, r = L[badge]
        if badge == "x":
            badge_x(cv, cx, cy, r)
        else:
            badge_led(cv, cx, cy, r)
    return cv


TRAY_STATES = [
    ("dim", "dim", None),   # 0 idle
    ("dim", "lit", None),   # 1 sending: this computer (front) lights up
    ("lit", "dim", None),   # 2 receiving: the far computer (back) lights up
    ("lit", "lit", None),   # 3 both
    ("dim", "dim", "x"),    # 4 cable unplugged
]
TRAY_SIZES = [16, 20, 24, 32]
PROGRAM_SIZES = [16, 24, 32, 48]


def draw_tray(index, size):
    back, front, badge = TRAY_STATES[index]
    return draw_pair(size, back, front, badge)


def draw_program(size):
    return draw_pair(size, "desk", "desk", "led")


# ---------------------------------------------------------------------------
# 32 px activity pictures
# ---------------------------------------------------------------------------


def cable_path(cv, points, broken=False):
    """Two pixel wide cable along an orthogonal polyline."""
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        if y0 == y1:
            cv.hline(x0, x1, y0, CABLE)
            cv.hline(x0, x1, y0 + 1, CABLE)
        else:
            cv.vline(x0, y0, y1, CABLE)
            cv.vline(x0 + 1, y0, y1, CABLE)
    # highlight on the left/top edge of the cable
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        if y0 == y1:
            cv.hline(min(x0, x1) + 1, max(x0, x1), y0, CABLE_HI)
        else:
            cv.vline(x0, min(y0, y1), max(y0, y1) - 1, CABLE_HI)


def plug(cv, x, y, facing):
    """Small RJ-style plug head, 4x3, drawn at x,y facing 'right' or 'left'."""
    body = rgb("d9dde3")
    if facing == "right":
        cv.pattern(x, y, ["OOOO.",
                          "OBBBO",
                          "OBBBO",
                          "OOOO."], {"O": OUTLINE, "B": body})
        cv.put(x + 4, y + 1, rgb("c9a227"))
        cv.put(x + 4, y + 2, rgb("c9a227"))
    else:
        cv.pattern(x, y, [".OOOO",
                          "OBBBO",
                          "OBBBO",
                          ".OOOO"], {"O": OUTLINE, "B": body})
        cv.put(x, y + 1, rgb("c9a227"))
        cv.put(x, y + 2, rgb("c9a227"))


# front computer, shared by every activity picture
ACT_FRONT = (13, 12, 19, 15)
ACT_FRONT_STAND = (4, 1, 11, 2)
# the cable drops from under the far device and runs along the desk into
# the foot of this computer
ACT_CABLE = [(8, 17), (8, 27), (17, 27)]
ACT_CABLE_CUT = [(8, 17), (8, 27), (9, 27)]


def front_computer(cv, look):
    fx, fy, fw, fh = ACT_FRONT
    for yy in range(fy - 1, fy + fh):
        cv.erase(fx - 1, yy)
    cv.hline(fx - 1, fx + fw - 1, fy - 1, CLEAR)
    monitor(cv, fx, fy, fw, fh, 2, 2, look, ACT_FRONT_STAND)


def act_network(back_look, front_look, unplugged=False):
    cv = Canvas(32)
    cable_path(cv, ACT_CABLE_CUT if unplugged else ACT_CABLE)
    monitor(cv, 0, 0, 18, 14, 2, 2, back_look, (4, 1, 10, 2))
    front_computer(cv, front_look)
    if unplugged:
        plug(cv, 10, 26, "right")
        badge_x(cv, 4.5, 22.5, 4.5)
    return cv


def modem(cv, x, y, look):
    """Desk modem (x,y = top left of a 17x8 case) with a telephone handset
    resting on top.  The row of lights shows incoming data."""
    w, h = 17, 8
    # handset, lying across the top of the case
    hs = rgb("687182")
    hs_hi = rgb("aab2c0")
    cv.pattern(x + 1, y - 6, [
        "..OOOOOOOOOOOO..",
        ".OHHHHHHHHHHHHO.",
        "OHSSOOOOOOOOSSHO",
        "OSSSO......OSSSO",
        "OOOO........OOOO",
    ], {"O": OUTLINE, "H": hs_hi, "S": hs})
    # cradle
    cv.rect(x + 1, y - 2, 4, 2, OUTLINE)
    cv.rect(x + w - 5, y - 2, 4, 2, OUTLINE)
    cv.rect(x + 2, y - 1, 2, 1, BEZEL_LO)
    cv.rect(x + w - 4, y - 1, 2, 1, BEZEL_LO)
    # case
    cv.rect(x, y, w, h, OUTLINE)
    cv.rect(x + 1, y + 1, w - 2, h - 2, BEZEL)
    cv.hline(x + 1, x + w - 2, y + 1, BEZEL_HI)
    cv.vline(x + 1, y + 1, y + h - 2, BEZEL_HI)
    cv.hline(x + 2, x + w - 2, y + h - 2, BEZEL_LO)
    cv.vline(x + w - 2, y + 2, y + h - 2, BEZEL_LO)
    for (xx, yy) in ((x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)):
        cv.erase(xx, yy)
        cv.put(xx, yy, (OUTLINE[0], OUTLINE[1], OUTLINE[2], 120))
    # light window
    wx, wy, ww, wh = x + 3, y + 2, w - 6, 4
    cv.rect(wx, wy, ww, wh, OUTLINE)
    top, bottom = LIT if look == "lit" else DIM
    for i in range(3):
        lx = wx + 1 + i * 3
        cv.rect(lx, wy + 1, 2, 2, bottom)
        cv.put(lx, wy + 1, top)
        if look == "lit":
            cv.put(lx, wy + 1, LIT_GLARE)


def act_dialup(modem_look, front_look):
    cv = Canvas(32)
    cable_path(cv, [(8, 15)] + ACT_CABLE[1:])
    modem(cv, 0, 7, modem_look)
    front_computer(cv, front_look)
    return cv


def draw_act(index):
    if index <= 3:
        back, front, _ = TRAY_STATES[index]
        return act_network(back, front)
    if index == 4:
        return act_network("dim", "dim", unplugged=True)
    back, front, _ = TRAY_STATES[index - 5]
    return act_dialup(back, front)


# ---------------------------------------------------------------------------
# Menu pictures
# ---------------------------------------------------------------------------


def draw_info_letter(cv, x, y, tall, colour):
    """'i' whose dot is at x,y (2 px wide)."""
    cv.rect(x, y, 2, 2, colour)
    cv.rect(x, y + 3, 2, tall, colour)
    cv.put(x - 1, y + 3, colour)
    cv.hline(x - 1, x + 2, y + 3 + tall - 1, colour)


def menu_about():
    cv = Canvas(16)
    cv.disc(8, 8, 7.5, BLUE_EDGE)
    cv.disc(8, 8, 6.6, BLUE)
    cv.disc(6.2, 5.8, 3.6, (BLUE_HI[0], BLUE_HI[1], BLUE_HI[2], 120))
    draw_info_letter(cv, 7, 3, 7, WHITE)
    return cv


def menu_balloon():
    cv = Canvas(16)
    cv.pattern(0, 0, [
        "..OOOOOOOOOOOO..",
        ".OWWWWWWWWWWWWO.",
        "OWWWWWWWWWWWWWSO",
        "OWWWWWWWWWWWWWSO",
        "OWWWWWWWWWWWWWSO",
        "OWWWWWWWWWWWWWSO",
        "OWWWWWWWWWWWWWSO",
        "OWWWWWWWWWWWWWSO",
        "OWWWWWWWWWWWWWSO",
        "OWWWWWWWWWWWWWSO",
        ".OSSSSSSSSSSSSO.",
        "..OOOWWOOOOOOO..",
        "....OWO.........",
        "....OO..........",
        "....O...........",
        "................",
    ], {"O": OUTLINE, "W": rgb("fffbe6"), "S": rgb("e5dcb4")})
    draw_info_letter(cv, 7, 2, 6, BLUE)
    return cv


def menu_status():
    return draw_tray(3, 16)


def menu_netconn():
    cv = Canvas(16)
    cv.pattern(0, 0, [
        "................",
        ".OOOOO..........",
        "OHHHHHOOOOOOOOO.",
        "OHFFFFHHHHHHHHHO",
        "OHOOOOOOOOOOOOOO",
        "OHHHHHHHHHHHHHHO",
        "OHFFFFFFFFFFFFLO",
        "OHFFFFFFFFFFFFLO",
        "OHFFFFFFFFFFFFLO",
        "OHFFFFFFFFFFFFLO",
        "OLLLLLLLLLLLLLLO",
        ".OOOOOOOOOOOOOO.",
        ".......OO.......",
        ".......OO.......",
        "OOOOOOOOOOOOOOOO",
        "OCCCCCCCCCCCCCCO",
    ], {"O": OUTLINE, "F": FOLDER, "H": FOLDER_HI, "L": FOLDER_LO,
        "C": CABLE_HI})
    # network stem and line in grey/cable colours
    cv.rect(7, 12, 2, 2, CABLE)
    cv.hline(0, 15, 14, CABLE)
    cv.hline(0, 15, 15, OUTLINE)
    cv.hline(1, 14, 14, CABLE_HI)
    cv.put(7, 14, CABLE)
    cv.put(8, 14, CABLE)
    # three little port marks on the folder front show it is shared
    return cv


def menu_mapdrive():
    """A drive on the network: the drive box above a cable."""
    cv = Canvas(16)
    cv.rect(0, 3, 16, 8, OUTLINE)
    cv.rect(1, 4, 14, 6, BEZEL)
    cv.hline(1, 14, 4, BEZEL_HI)
    cv.hline(1, 14, 9, BEZEL_LO)
    cv.hline(3, 9, 7, STAND_D)
    cv.rect(12, 6, 2, 2, GREEN)
    cv.rect(7, 11, 2, 3, CABLE)
    cv.hline(0, 15, 14, CABLE_HI)
    cv.hline(0, 15, 15, OUTLINE)
    return cv


def menu_explore():
    """A folder under a magnifying glass."""
    cv = Canvas(16)
    cv.pattern(0, 1, [
        ".OOOOO.........",
        "OHHHHHOOOOOOOO.",
        "OHFFFFHHHHHHHHO",
        "OHOOOOOOOOOOOOO",
        "OHHHHHHHHHHHHHO",
        "OHFFFFFFFFFFFLO",
        "OHFFFFFFFFFFFLO",
        "OHFFFFFFFFFFFLO",
        "OHFFFFFFFFFFFLO",
        "OLLLLLLLLLLLLLO",
        ".OOOOOOOOOOOOO.",
    ], {"O": OUTLINE, "F": FOLDER, "H": FOLDER_HI, "L": FOLDER_LO})
    cv.disc(10.5, 9.5, 3.9, OUTLINE)
    cv.disc(10.5, 9.5, 2.9, rgb("d8ecff"))
    cv.disc(9.8, 8.8, 1.2, WHITE)
    cv.line(13, 12, 15, 14, OUTLINE)
    cv.line(13, 13, 14, 14, OUTLINE)
    cv.line(14, 12, 15, 13, OUTLINE)
    return cv


def menu_disconnect_drive():
    cv = menu_mapdrive()
    badge_x(cv, 12.5, 3.5, 3.5)
    return cv


def menu_printer():
    return tree_printer()


def menu_disconnect_printer():
    cv = tree_printer()
    badge_x(cv, 12.5, 3.5, 3.5)
    return cv


# The menu pictures in the order of the menus' picture list: the tray menu's four, then
# those of the browse tree's menu (4 map a drive, 5 explore, 8 connect a printer).
MENU_PICTURES = (("balloon", menu_balloon), ("about", menu_about), ("status", menu_status),
                 ("netconn", menu_netconn), ("mapdrive", menu_mapdrive), ("explore", menu_explore),
                 ("unmapdrive", menu_disconnect_drive), ("unprinter", menu_disconnect_printer),
                 ("printer", menu_printer))


# ---------------------------------------------------------------------------
# Browse tree pictures (16 px): network, domain, computer, share, printer, info
# ---------------------------------------------------------------------------


def small_computer(cv, x, y, look):
    """A 9 x 9 computer with its top left at x, y."""
    cv.rect(x, y, 9, 7, OUTLINE)
    cv.rect(x + 1, y + 1, 7, 5, BEZEL)
    screen(cv, x + 2, y + 2, 5, 3, look, glare=False)
    cv.rect(x + 3, y + 7, 3, 1, STAND_D)
    cv.hline(x + 1, x + 7, y + 8, OUTLINE)


def tree_network():
    cv = Canvas(16)
    cv.disc(8, 8, 7.5, BLUE_EDGE)
    cv.disc(8, 8, 6.6, BLUE)
    green = rgb("4fbf5a")
    cv.pattern(3, 4, ["..GGG....", ".GGGGG...", "GGGG.....", ".GG...GG.", "......GGG", ".....GGG."],
               {"G": green})
    return cv


def tree_domain():
    cv = Canvas(16)
    small_computer(cv, 0, 0, "dim")
    small_computer(cv, 7, 7, "lit")
    return cv


def tree_computer():
    cv = Canvas(16)
    cv.rect(1, 1, 14, 10, OUTLINE)
    cv.rect(2, 2, 12, 8, BEZEL)
    screen(cv, 3, 3, 10, 6, "lit")
    cv.rect(6, 11, 4, 2, STAND_D)
    cv.rect(3, 13, 10, 2, OUTLINE)
    cv.rect(4, 13, 8, 1, BEZEL_LO)
    return cv


def tree_share():
    return menu_netconn()


def tree_printer():
    cv = Canvas(16)
    cv.pattern(0, 0, [
        "...OOOOOOOOO....",
        "...OWWWWWWWO....",
        "...OWOOOOOWO....",
        "...OWWWWWWWO....",
        ".OOOOOOOOOOOOOO.",
        "OHHHHHHHHHHHHHHO",
        "OBBBBBBBBBBBBGBO",
        "OBBBBBBBBBBBBBBO",
        "OLLLLLLLLLLLLLLO",
        "OLOOOOOOOOOOOOLO",
        "OLOWWWWWWWWWWOLO",
        ".OOWOOOOOOOOWOO.",
        "...OWWWWWWWWO...",
        "...OOOOOOOOOO...",
        "................",
        "OOOOOOOOOOOOOOOO",
    ], {"O": OUTLINE, "W": WHITE, "H": BEZEL_HI, "B": BEZEL, "L": BEZEL_LO,
        "G": GREEN})
    cv.hline(1, 14, 15, CABLE)
    return cv


def tree_info():
    return menu_about()


TREE_PICTURES = (tree_network, tree_domain, tree_computer, tree_share, tree_printer, tree_info)


# ---------------------------------------------------------------------------
# Writers
# ---------------------------------------------------------------------------


def dib_bytes(cv, with_mask=True):
    """BITMAPINFOHEADER + bottom-up BGRA rows (+ AND mask for icons)."""
    w, h = cv.w, cv.h
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = cv.get(x, y)
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    mask = bytearray()
    if with_mask:
        stride = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):
            row = bytearray(stride)
            for x in range(w):
                if cv.get(x, y)[3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
    height = h * 2 if with_mask else h
    hdr = struct.pack("<IiiHHIIiiII", 40, w, height, 1, 32, 0,
                      len(xor) + len(mask), 0, 0, 0, 0)
    return hdr + bytes(xor) + bytes(mask)


def write_ico(path, canvases):
    canvases = sorted(canvases, key=lambda c: c.w)
    images = [dib_bytes(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def write_bmp(path, cv):
    # Menu pictures get all-or-nothing alpha: with every pixel either fully
    # opaque or fully transparent (and black), the data is the same whether
    # the reader treats it as straight or premultiplied alpha.
    hard = Canvas(cv.w, cv.h)
    for y in range(cv.h):
        for x in range(cv.w):
            r, g, b, a = cv.get(x, y)
            hard.px[y * cv.w + x] = (r, g, b, 255) if a >= 128 else CLEAR
    dib = dib_bytes(hard, with_mask=False)
    size = 14 + len(dib)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", size, 0, 0, 14 + 40))
        f.write(dib)


def write_png(path, w, h, rows):
    """rows: list of bytes objects, RGBA, one per scanline."""
    raw = b"".join(b"\x00" + r for r in rows)

    def chunk(tag, data):
        c = struct.pack(">I", len(data)) + tag + data
        return c + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# ---------------------------------------------------------------------------
# Preview sheet
# ---------------------------------------------------------------------------


def preview(path, groups, scale=4):
    """groups: list of rows; each row is a list of canvases.  Every row is
    drawn twice, on a light and on a dark strip, enlarged and at 1:1."""
    pad = 6
    backgrounds = [rgb("f0f0f0"), rgb("1f2a36")]
    rows_h = []
    width = 0
    for row in groups:
        big = sum(c.w * scale + pad for c in row) + pad
        small = sum(c.w + pad for c in row) + pad
        width = max(width, big + small + pad)
        rows_h.append(max(c.h for c in row) * scale + 2 * pad)
    height = sum(rows_h) * len(backgrounds)
    sheet = Canvas(width, height)
    y = 0
    for row, rh in zip(groups, rows_h):
        for bg in backgrounds:
            sheet.rect(0, y, width, rh, bg)
            x = pad
            for c in row:
                for yy in range(c.h):
                    for xx in range(c.w):
                        p = c.get(xx, yy)
                        if p[3]:
                            sheet.rect(x + xx * scale, y + pad + yy * scale, scale, scale, p)
                x += c.w * scale + pad
            x += pad
            for c in row:
                sheet.blit(c, x, y + pad)
                x += c.w + pad
            y += rh
    rows = []
    for yy in range(sheet.h):
        rows.append(bytes(v for xx in range(sheet.w) for v in sheet.get(xx, yy)))
    write_png(path, sheet.w, sheet.h, rows)


# ---------------------------------------------------------------------------


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.normpath(os.path.join(here, "..", "..", "src", "res"))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=default_out)
    ap.add_argument("--preview", default=None,
                    help="also write an enlarged preview sheet (PNG)")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)

    groups = []
    for i in range(5):
        imgs = [draw_tray(i, s) for s in TRAY_SIZES]
        write_ico(os.path.join(args.out, "tray%d.ico" % i), imgs)
        groups.append(imgs)

    acts = []
    for i in range(9):
        img = draw_act(i)
        write_ico(os.path.join(args.out, "act%d.ico" % i), [img])
        acts.append(img)
    groups.append(acts[:5])
    groups.append(acts[5:])

    prog = [draw_program(s) for s in PROGRAM_SIZES]
    write_ico(os.path.join(args.out, "kelvra.ico"), prog)
    groups.append(prog)

    menus = []
    for name, fn in MENU_PICTURES:
        img = fn()
        write_bmp(os.path.join(args.out, "menu_%s.bmp" % name), img)
        menus.append(img)
    groups.append(menus)

    tree = []
    for i, fn in enumerate(TREE_PICTURES):
        img = fn()
        write_ico(os.path.join(args.out, "net%d.ico" % i), [img])
        tree.append(img)
    groups.append(tree)

    if args.preview:
        preview(args.preview, groups)


if __name__ == "__main__":
    main()
