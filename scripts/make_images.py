#!/usr/bin/python3
"""Draws Moravik's own artwork and writes it into the source tree.

- apps/desktop/main_window/images/dragcar.png: the main window's greyscale drag car (32 greys).
- apps/desktop/main_window/images/support.jpg: the support window's dusk drag-strip "photograph".
- packaging/icons/hicolor/...: the application icon as SVG and as PNGs, and
  the Race Day icon (a stopwatch on the same tile) beside it.
- apps/web/app/icons/: the web app's icons: 192 and 512 px, a maskable 512 px one
  (the tile's colour to the edges, the icon inside the middle 80 %, which any
  mask keeps) and the 180 px apple-touch-icon, opaque as iOS wants it.

Every picture is drawn from code with fixed coordinates and a seeded noise
source, so running the script again reproduces the same files byte for byte.
Shapes are drawn at a multiple of the final size and scaled down, which gives
smooth edges without relying on the drawing library's anti-aliasing.
"""

from __future__ import annotations

import math
import random
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter

REPO_ROOT = Path(__file__).resolve().parent.parent
APP_ID = "org.example.Moravik"
RACEDAY_APP_ID = "org.example.Moravik.RaceDay"

DRAGCAR_SIZE = (277, 138)
DRAGCAR_GREYS = 32
SUPPORT_SIZE = (315, 252)
ICON_SIZES = (16, 32, 48, 64, 128, 256)

Point = tuple[float, float]


class ScaledDraw:
    """ImageDraw wrapper that takes coordinates in final-image pixels."""

    def __init__(self, image: Image.Image, scale: int, blend: bool = False):
        self.draw = ImageDraw.Draw(image, "RGBA" if blend else None)
        self.scale = scale

    def _points(self, points: list[Point]) -> list[Point]:
        return [(x * self.scale, y * self.scale) for x, y in points]

    def _box(self, box: tuple[float, float, float, float]) -> list[float]:
        x0, y0, x1, y1 = box
        k = self.scale
        return [x0 * k, y0 * k, x1 * k - 1, y1 * k - 1]

    def _width(self, width: float) -> int:
        return max(1, round(width * self.scale))

    def polygon(self, points: list[Point], fill) -> None:
        self.draw.polygon(self._points(points), fill=fill)

    def line(self, points: list[Point], fill, width: float) -> None:
        self.draw.line(self._points(points), fill=fill, width=self._width(width), joint="curve")

    def outline(self, points: list[Point], fill, width: float) -> None:
        """Closed outline with round joints, including the closing corner."""
        self.line(points + points[:2], fill, width)

    def rect(self, box, fill=None, outline=None, width: float = 0, radius: float = 0) -> None:
        self.draw.rounded_rectangle(
            self._box(box),
            radius=radius * self.scale,
            fill=fill,
            outline=outline,
            width=self._width(width) if outline is not None else 0,
        )

    def ellipse(self, box, fill=None, outline=None, width: float = 0) -> None:
        self.draw.ellipse(
            self._box(box), fill=fill, outline=outline, width=self._width(width) if outline is not None else 0
        )

    def circle(self, cx: float, cy: float, r: float, fill=None, outline=None, width: float = 0) -> None:
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, width)

    def arc(self, cx: float, cy: float, r: float, start: float, end: float, fill, width: float) -> None:
        self.draw.arc(self._box((cx - r, cy - r, cx + r, cy + r)), start, end, fill=fill, width=self._width(width))

    def pieslice(self, cx: float, cy: float, r: float, start: float, end: float, fill) -> None:
        self.draw.pieslice(self._box((cx - r, cy - r, cx + r, cy + r)), start, end, fill=fill)


def lerp(a: float, b: float, t: float) -> float:
    return a + (b - a) * t


def lerp_colour(a: tuple[int, ...], b: tuple[int, ...], t: float) -> tuple[int, ...]:
    return tuple(round(lerp(x, y, t)) for x, y in zip(a, b))


def vertical_gradient(size: tuple[int, int], stops: list[tuple[float, tuple[int, int, int]]]) -> Image.Image:
    """RGB image whose colour runs through (position 0..1, colour) stops from top to bottom."""
    width, height = size
    rows = []
    for y in range(height):
        t = y / max(1, height - 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                rows.append(lerp_colour(c0, c1, (t - t0) / (t1 - t0)))
                break
    column = Image.new("RGB", (1, height))
    column.putdata(rows)
    return column.resize(size, Image.Resampling.NEAREST)


def add_glow(image: Image.Image, centre: Point, radius: float, colour, strength: float, scale: int) -> Image.Image:
    """Screen-blends a soft coloured halo, as bright lights bloom on film."""
    mask = Image.new("L", image.size, 0)
    cx, cy = centre
    ScaledDraw(mask, scale).circle(cx, cy, radius * 0.5, fill=round(255 * strength))
    mask = mask.filter(ImageFilter.GaussianBlur(radius * scale * 0.5))
    light = ImageChops.multiply(Image.new("RGB", image.size, colour), Image.merge("RGB", (mask, mask, mask)))
    return ImageChops.screen(image, light)


def paint_through(image: Image.Image, colour, mask: Image.Image) -> None:
    image.paste(Image.new(image.mode, image.size, colour), (0, 0), mask)


# ---------------------------------------------------------------------------
# Main window picture: a Pro Mod drag car in side view, greyscale.
# ---------------------------------------------------------------------------

CAR_BODY: list[Point] = [
    (34, 103), (31, 84), (27, 58), (31, 55), (46, 60), (92, 39), (136, 36),
    (168, 58), (232, 72), (260, 84), (269, 95), (264, 103),
]
CAR_WINDOW: list[Point] = [(99, 44), (133, 41), (156, 58), (101, 60)]
REAR_WHEEL = (70.0, 91.0, 27.0)
FRONT_WHEEL = (228.0, 108.0, 10.0)
GROUND_Y = 118
OUTLINE = 24


def draw_rear_wheel(pen: ScaledDraw) -> None:
    cx, cy, r = REAR_WHEEL
    pen.circle(cx, cy, r, fill=30)
    pen.circle(cx, cy, r - 3.5, outline=58, width=1.2)
    pen.arc(cx, cy, r - 2, 200, 255, fill=88, width=2.5)
    pen.circle(cx, cy, 15, fill=205, outline=OUTLINE, width=1.5)
    pen.circle(cx, cy, 12.5, outline=120, width=1.5)
    for bolt in range(12):
        angle = math.radians(bolt * 30)
        pen.circle(cx + 13.8 * math.cos(angle), cy + 13.8 * math.sin(angle), 0.9, fill=70)
    for hole in range(5):
        angle = math.radians(hole * 72 - 90)
        pen.circle(cx + 8 * math.cos(angle), cy + 8 * math.sin(angle), 2.6, fill=140)
    pen.circle(cx, cy, 4.5, fill=110, outline=OUTLINE, width=1)
    pen.circle(cx, cy, 1.8, fill=40)


def draw_front_wheel(pen: ScaledDraw) -> None:
    cx, cy, r = FRONT_WHEEL
    pen.circle(cx, cy, r, fill=30)
    pen.circle(cx, cy, 7, fill=215, outline=OUTLINE, width=1)
    for spoke in range(8):
        angle = math.radians(spoke * 45 + 10)
        pen.line([(cx, cy), (cx + 6.2 * math.cos(angle), cy + 6.2 * math.sin(angle))], fill=95, width=0.9)
    pen.circle(cx, cy, 1.8, fill=55)


def draw_wheelie_bar(pen: ScaledDraw) -> None:
    pen.line([(42, 101), (11, 111)], fill=40, width=2.5)
    pen.line([(42, 92), (11, 111)], fill=40, width=2)
    for x in (20, 29, 37):
        top_y = 92 + (42 - x) * 19 / 31
        bottom_y = 101 + (42 - x) * 10 / 31
        pen.line([(x, top_y), (x, bottom_y)], fill=60, width=1.3)
    pen.circle(10, 112.5, 5.5, fill=30)
    pen.circle(10, 112.5, 2.4, fill=200)


def draw_cockpit(pen: ScaledDraw) -> None:
    """Side window showing the driver's helmet and, behind it, the nitrous bottle."""
    pen.polygon(CAR_WINDOW, fill=222)
    pen.rect((104, 47.5, 113, 60), fill=52, radius=4)
    pen.rect((106.5, 44.5, 110.5, 48), fill=52)
    pen.rect((104, 52, 113, 54.5), fill=185)
    pen.circle(137, 52, 6.2, fill=64)
    pen.rect((138.5, 48.5, 143.5, 52.5), fill=165, radius=1.5)
    pen.outline(CAR_WINDOW, fill=OUTLINE, width=2)


def draw_body_details(pen: ScaledDraw) -> None:
    pen.polygon([(36, 74), (255, 88), (255, 93), (36, 80)], fill=205)
    pen.line([(49, 61), (92, 42.5), (134, 39.5)], fill=150, width=1.3)
    pen.line([(173, 62), (230, 75)], fill=150, width=1.3)
    pen.polygon([(246, 102.5), (271, 102.5), (271, 105.5), (246, 105.5)], fill=OUTLINE)
    pen.polygon([(255, 89), (263, 92), (262, 95), (255, 93)], fill=235)
    # The blower and its injector hat stick out of the hood.
    blower = [(176, 60), (176, 48), (200, 48), (200, 65)]
    pen.polygon(blower, fill=70)
    pen.outline(blower, fill=OUTLINE, width=1.6)
    hat = [(180, 48), (181.5, 40), (194.5, 40), (196, 48)]
    pen.polygon(hat, fill=125)
    pen.outline(hat, fill=OUTLINE, width=1.6)
    for x in (185, 188, 191):
        pen.line([(x, 42.5), (x, 46)], fill=OUTLINE, width=0.9)
    # Door roundel with the car number.
    pen.circle(128, 80, 10, fill=245, outline=OUTLINE, width=1.8)
    pen.line([(123, 75), (133.5, 75), (126.5, 87)], fill=OUTLINE, width=3)


def draw_dragcar() -> Image.Image:
    scale = 4
    width, height = DRAGCAR_SIZE
    image = Image.new("L", (width * scale, height * scale), 255)
    pen = ScaledDraw(image, scale)

    sky = vertical_gradient((width * scale, GROUND_Y * scale), [(0.0, (253,) * 3), (1.0, (232,) * 3)])
    image.paste(sky.convert("L"), (0, 0))
    track = vertical_gradient((width * scale, (height - GROUND_Y) * scale), [(0.0, (206,) * 3), (1.0, (176,) * 3)])
    image.paste(track.convert("L"), (0, GROUND_Y * scale))
    pen.line([(0, GROUND_Y), (width, GROUND_Y)], fill=150, width=1.2)
    for x in range(-6, width, 34):
        pen.line([(x, 129), (x + 14, 129)], fill=225, width=1.5)

    shadow = Image.new("L", image.size, 0)
    ScaledDraw(shadow, scale).ellipse((14, 112, 272, 124), fill=150)
    paint_through(image, 95, shadow.filter(ImageFilter.GaussianBlur(3 * scale)))

    for y, length in ((46, 20), (58, 27), (70, 16), (82, 23)):
        pen.line([(0, y), (length, y)], fill=178, width=2.2)

    draw_wheelie_bar(pen)
    pen.rect((21, 72, 30, 86), fill=175, outline=OUTLINE, width=1.4, radius=2)

    rear_x, rear_y, rear_r = REAR_WHEEL
    front_x, front_y, front_r = FRONT_WHEEL
    pen.polygon(CAR_BODY, fill=96)
    pen.pieslice(rear_x, rear_y, rear_r + 3.5, 180, 360, fill=40)
    pen.pieslice(front_x, front_y, front_r + 3.5, 180, 360, fill=40)
    draw_body_details(pen)
    pen.outline(CAR_BODY, fill=OUTLINE, width=2.6)
    draw_cockpit(pen)
    draw_rear_wheel(pen)
    draw_front_wheel(pen)

    return image.resize(DRAGCAR_SIZE, Image.Resampling.LANCZOS)


def quantise_to_greys(image: Image.Image, levels: int) -> Image.Image:
    """Palette image with exactly `levels` evenly spaced greys, black to white."""
    to_index = [round(value * (levels - 1) / 255) for value in range(256)]
    indexed = Image.frombytes("P", image.size, image.point(to_index).tobytes())
    palette = []
    for index in range(levels):
        grey = round(index * 255 / (levels - 1))
        palette += [grey, grey, grey]
    indexed.putpalette(palette)
    return indexed


def make_dragcar(path: Path) -> None:
    picture = quantise_to_greys(draw_dragcar(), DRAGCAR_GREYS)
    path.parent.mkdir(parents=True, exist_ok=True)
    # PNG, which Qt reads without loading a plugin.
    picture.save(path, format="PNG", optimize=True)


# ---------------------------------------------------------------------------
# Support window picture: a Pro Mod leaving the line at dusk, colour.
# ---------------------------------------------------------------------------

HORIZON_Y = 112
VANISH: Point = (158, HORIZON_Y)
TRACK_LEFT_X = -40
TRACK_RIGHT_X = 360
CAR_X = 230
CAR_GROUND_Y = 212


def ray(pen: ScaledDraw, near_x: float, near_width: float, fill, bottom: float) -> None:
    """Wedge from the vanishing point that is near_width wide at the bottom edge."""
    pen.polygon([VANISH, (near_x - near_width / 2, bottom), (near_x + near_width / 2, bottom)], fill=fill)


def draw_sky(image: Image.Image, scale: int) -> Image.Image:
    width, _ = SUPPORT_SIZE
    sky = vertical_gradient(
        (width * scale, HORIZON_Y * scale),
        [
            (0.0, (22, 24, 66)),
            (0.35, (70, 48, 110)),
            (0.65, (170, 82, 110)),
            (0.88, (242, 140, 78)),
            (1.0, (255, 196, 120)),
        ],
    )
    image.paste(sky, (0, 0))
    image = add_glow(image, (58, 110), 150, (255, 130, 50), 0.55, scale)
    ScaledDraw(image, scale).circle(58, 110, 13, fill=(255, 226, 160))
    image = add_glow(image, (58, 110), 40, (255, 210, 140), 0.8, scale)

    clouds = Image.new("RGBA", image.size, (0, 0, 0, 0))
    cloud_pen = ScaledDraw(clouds, scale)
    for cx, cy, half_w, half_h in ((95, 42, 70, 4), (230, 30, 60, 3.5), (250, 62, 45, 3), (40, 70, 50, 2.5)):
        cloud_pen.ellipse((cx - half_w, cy - half_h, cx + half_w, cy + half_h), fill=(60, 34, 74, 200))
        cloud_pen.ellipse(
            (cx - half_w * 0.8, cy + half_h * 0.4, cx + half_w * 0.8, cy + half_h * 1.3), fill=(255, 150, 110, 150)
        )
    clouds = clouds.filter(ImageFilter.GaussianBlur(2.5 * scale))
    return Image.alpha_composite(image.convert("RGBA"), clouds).convert("RGB")


def draw_skyline(image: Image.Image, scale: int) -> Image.Image:
    """Tree line, grandstand and light towers, dark against the sky."""
    width, height = SUPPORT_SIZE
    pen = ScaledDraw(image, scale)
    ground = vertical_gradient(
        (width * scale, (height - HORIZON_Y) * scale), [(0.0, (44, 38, 52)), (1.0, (20, 22, 26))]
    )
    image.paste(ground, (0, HORIZON_Y * scale))

    bumps = random.Random(11)
    trees: list[Point] = [(-5, HORIZON_Y + 1)]
    level = 6.0
    for x in range(-5, width + 6, 3):
        level = min(11.0, max(2.0, level + bumps.uniform(-2.2, 2.2)))
        trees.append((x, HORIZON_Y - level))
    trees.append((width + 5, HORIZON_Y + 1))
    pen.polygon(trees, fill=(30, 22, 38))

    stand = [(212, 126), (212, 100), (322, 76), (322, 150)]
    pen.polygon(stand, fill=(34, 28, 44))
    for row in range(7):
        t = (row + 1) / 8
        left_y = lerp(100, 126, t)
        right_y = lerp(76, 150, t)
        pen.line([(214, left_y), (322, right_y)], fill=(62, 48, 70), width=0.8)
    pen.line([(210, 99), (322, 74)], fill=(90, 70, 90), width=1.5)
    crowd = random.Random(3)
    crowd_colours = [(80, 62, 70), (62, 62, 84), (96, 80, 60), (54, 60, 56), (92, 48, 52)]
    for _ in range(320):
        x = crowd.uniform(216, 318)
        t = crowd.uniform(0.08, 0.95)
        y = lerp(lerp(100, 126, t), lerp(76, 150, t), (x - 214) / 108)
        size = lerp(0.5, 1.1, (x - 216) / 102)
        pen.circle(x, y, size, fill=crowd.choice(crowd_colours))

    pit_lights = random.Random(9)
    for _ in range(14):
        x = pit_lights.uniform(0, 140)
        y = pit_lights.uniform(HORIZON_Y + 1, HORIZON_Y + 9)
        pen.circle(x, y, 0.7, fill=(255, 214, 150))

    for pole_x, head_y, base_y in ((30, 26, 172), (298, 20, 80)):
        pen.line([(pole_x, head_y), (pole_x, base_y)], fill=(24, 20, 30), width=2)
        pen.rect((pole_x - 11, head_y - 5, pole_x + 11, head_y + 5), fill=(28, 24, 34))
        for lamp_row in (-2.2, 2.2):
            for lamp in range(4):
                pen.circle(pole_x - 7.5 + lamp * 5, head_y + lamp_row, 1.6, fill=(255, 246, 222))
        image = add_glow(image, (pole_x, head_y), 46, (255, 220, 170), 0.5, scale)
        pen = ScaledDraw(image, scale)
    return image


def draw_track(image: Image.Image, scale: int) -> None:
    width, height = SUPPORT_SIZE
    bottom = height
    mask = Image.new("L", image.size, 0)
    ScaledDraw(mask, scale).polygon([VANISH, (TRACK_LEFT_X, bottom), (TRACK_RIGHT_X, bottom)], fill=255)
    surface = vertical_gradient(
        image.size, [(0.0, (30, 30, 34)), (HORIZON_Y / height, (120, 86, 90)), (1.0, (42, 41, 47))]
    )
    image.paste(surface, (0, 0), mask)

    pen = ScaledDraw(image, scale, blend=True)
    for near_x in (12, 108, 228, 290):
        ray(pen, near_x, 36, (16, 14, 18, 120), bottom)
        ray(pen, near_x, 16, (10, 8, 12, 90), bottom)
    ray(pen, 160, 3.5, (228, 222, 206, 255), bottom)
    ray(pen, TRACK_LEFT_X + 8, 4, (228, 222, 206, 230), bottom)
    ray(pen, TRACK_RIGHT_X - 8, 4, (228, 222, 206, 230), bottom)
    pen.polygon([(-5, 236), (width + 5, 236), (width + 5, 239.5), (-5, 239.5)], fill=(232, 226, 210, 235))

    wall_pen = ScaledDraw(image, scale)
    wall_pen.polygon([VANISH, (TRACK_LEFT_X, 198), (TRACK_LEFT_X, bottom)], fill=(104, 98, 112))
    wall_pen.polygon([VANISH, (TRACK_RIGHT_X, 198), (TRACK_RIGHT_X, bottom)], fill=(196, 150, 128))
    wall_pen.line([VANISH, (TRACK_LEFT_X, 198)], fill=(150, 140, 150), width=1.6)
    wall_pen.line([VANISH, (TRACK_RIGHT_X, 198)], fill=(235, 196, 160), width=1.6)
    # Sponsor panels along the walls, spaced evenly in depth.
    for depth in (0.18, 0.32, 0.5, 0.75):
        for side_x, colour in ((TRACK_LEFT_X, (40, 80, 150)), (TRACK_RIGHT_X, (190, 40, 40))):
            near = depth + 0.05
            top_far = (lerp(VANISH[0], side_x, depth), lerp(VANISH[1], 208, depth))
            top_near = (lerp(VANISH[0], side_x, near), lerp(VANISH[1], 208, near))
            low_far = (lerp(VANISH[0], side_x, depth), lerp(VANISH[1], 240, depth))
            low_near = (lerp(VANISH[0], side_x, near), lerp(VANISH[1], 240, near))
            wall_pen.polygon([top_far, top_near, low_near, low_far], fill=colour)


def draw_christmas_tree(image: Image.Image, scale: int) -> Image.Image:
    """Starting lights between the lanes; the right lane shows green."""
    pen = ScaledDraw(image, scale)
    pen.rect((158.5, 212, 161.5, 240), fill=(40, 40, 46))
    pen.rect((150, 158, 170, 214), fill=(22, 22, 28), outline=(70, 66, 74), width=1, radius=2)
    lamps = [(164, 3), (169, 3), (177, 3.4), (185, 3.4), (193, 3.4), (201, 3.4), (209, 3.4)]
    lit_right = {0: (255, 248, 210), 1: (255, 248, 210), 5: (80, 255, 110)}
    unlit = [(70, 66, 50), (70, 66, 50), (70, 50, 20), (70, 50, 20), (70, 50, 20), (25, 60, 30), (70, 20, 20)]
    glows = []
    for row, (y, radius) in enumerate(lamps):
        pen.circle(155, y, radius * 0.8 if row < 2 else radius, fill=unlit[row])
        colour = lit_right.get(row, unlit[row])
        pen.circle(165, y, radius * 0.8 if row < 2 else radius, fill=colour)
        if row in lit_right:
            glows.append(((165, y), colour))
    for centre, colour in glows:
        image = add_glow(image, centre, 22, colour, 0.7, scale)
    return image


def draw_car_rear(image: Image.Image, scale: int) -> Image.Image:
    """The car seen from behind as it leaves the line in the right lane."""
    cx, gy = CAR_X, CAR_GROUND_Y
    red, dark_red, tyre = (160, 18, 28), (104, 8, 18), (14, 14, 17)
    shade = Image.new("L", image.size, 0)
    ScaledDraw(shade, scale).ellipse((cx - 58, gy - 6, cx + 58, gy + 8), fill=220)
    paint_through(image, (6, 6, 8), shade.filter(ImageFilter.GaussianBlur(3 * scale)))

    pen = ScaledDraw(image, scale)
    for bar_x in (-7, 7):
        pen.line([(cx + bar_x * 0.6, gy - 10), (cx + bar_x, gy + 12)], fill=(120, 120, 128), width=1.6)
        pen.rect((cx + bar_x - 3, gy + 10, cx + bar_x + 3, gy + 17), fill=tyre, radius=1.5)
    pen.line([(cx - 7, gy + 4), (cx + 7, gy + 4)], fill=(120, 120, 128), width=1.4)

    for side in (-1, 1):
        inner, outer = cx + side * 19, cx + side * 47
        left, right = min(inner, outer), max(inner, outer)
        pen.rect((left, gy - 38, right, gy + 1), fill=tyre, radius=8)
        edge = right - 5 if side > 0 else left + 2
        pen.rect((edge, gy - 30, edge + 3, gy - 4), fill=(84, 70, 92), radius=1.5)
        pen.line([(left + 4, gy - 29), (right - 4, gy - 29)], fill=(40, 34, 46), width=1)

    for strut_x in (-16, 16):
        pen.line([(cx + strut_x, gy - 50), (cx + strut_x * 1.15, gy - 76)], fill=(30, 30, 34), width=2)
    body = [
        (cx - 22, gy - 7), (cx + 22, gy - 7), (cx + 23, gy - 30), (cx + 49, gy - 31), (cx + 47, gy - 40),
        (cx + 30, gy - 46), (cx + 22, gy - 66), (cx - 22, gy - 66), (cx - 30, gy - 46), (cx - 47, gy - 40),
        (cx - 49, gy - 31), (cx - 23, gy - 30),
    ]
    pen.polygon(body, fill=red)
    pen.polygon([(cx - 22, gy - 7), (cx + 22, gy - 7), (cx + 23, gy - 30), (cx - 23, gy - 30)], fill=dark_red)
    pen.line([(cx - 47, gy - 40), (cx - 30, gy - 46), (cx + 30, gy - 46), (cx + 47, gy - 40)],
             fill=(240, 120, 110), width=1)
    window = [(cx - 19, gy - 63), (cx + 19, gy - 63), (cx + 26, gy - 48), (cx - 26, gy - 48)]
    pen.polygon(window, fill=(58, 44, 78))
    pen.polygon([(cx - 13, gy - 62), (cx - 6, gy - 62), (cx - 15, gy - 49), (cx - 22, gy - 49)], fill=(128, 90, 116))
    pen.rect((cx - 10, gy - 20, cx + 10, gy - 13), fill=(232, 226, 212), radius=1)
    for pack_x in (-16, 16):
        pen.rect((cx + pack_x - 4, gy - 11, cx + pack_x + 4, gy - 4), fill=(30, 30, 36), radius=2)

    pen.rect((cx - 44, gy - 82, cx + 44, gy - 75), fill=(26, 26, 30), radius=1)
    pen.line([(cx - 43, gy - 81.5), (cx + 43, gy - 81.5)], fill=(200, 120, 120), width=0.8)
    for end_x in (-45, 45):
        pen.rect((cx + end_x - 2, gy - 88, cx + end_x + 2, gy - 71), fill=red, radius=1)

    lights = ((cx - 38, gy - 35.5), (cx + 38, gy - 35.5))
    for lx, ly in lights:
        pen.rect((lx - 8, ly - 1.8, lx + 8, ly + 1.8), fill=(255, 70, 60), radius=1)
    for centre in lights:
        image = add_glow(image, centre, 22, (255, 40, 30), 0.6, scale)

    haze = Image.new("RGBA", image.size, (0, 0, 0, 0))
    haze_pen = ScaledDraw(haze, scale)
    for side in (-1, 1):
        haze_pen.ellipse((cx + side * 36 - 24, gy - 12, cx + side * 36 + 24, gy + 10), fill=(205, 185, 180, 100))
    haze = haze.filter(ImageFilter.GaussianBlur(5 * scale))
    return Image.alpha_composite(image.convert("RGBA"), haze).convert("RGB")


def draw_purge_cloud(image: Image.Image, scale: int) -> Image.Image:
    """Nitrous purge jets shooting up ahead of the car and spreading in the wind."""
    puffs = random.Random(5)
    circles = []
    for start_x, drift, height, steps in ((CAR_X + 10, -16, 88, 44), (CAR_X - 10, -22, 68, 36)):
        for step in range(steps):
            t = step / (steps - 1)
            x = start_x + drift * t + puffs.uniform(-9, 9) * t * t
            y = CAR_GROUND_Y - 62 - height * t + puffs.uniform(-6, 6) * t * t
            r = 3 + 13 * t + puffs.uniform(-5, 5) * t * t
            circles.append((t, x, y, r))
    cloud = Image.new("RGBA", image.size, (0, 0, 0, 0))
    pen = ScaledDraw(cloud, scale)
    # Thin, dense jet over thick, fading cloud: draw the faint puffs first.
    for t, x, y, r in sorted(circles, reverse=True):
        pen.circle(x, y, r, fill=(242, 232, 238, round(245 - 140 * t)))
    cloud = cloud.filter(ImageFilter.GaussianBlur(2.5 * scale))
    return Image.alpha_composite(image.convert("RGBA"), cloud).convert("RGB")


def add_vignette(image: Image.Image) -> Image.Image:
    width, height = image.size
    mask = Image.new("L", image.size, 0)
    ImageDraw.Draw(mask).ellipse((-width * 0.15, -height * 0.2, width * 1.15, height * 1.2), fill=255)
    mask = mask.filter(ImageFilter.GaussianBlur(width * 0.12))
    dark = Image.new("RGB", image.size, (8, 6, 14))
    return Image.composite(image, Image.blend(image, dark, 0.55), mask)


def add_grain(image: Image.Image, amount: int, seed: int) -> Image.Image:
    """Seeded film grain, so the 'photograph' does not look computer-flat."""
    noise_source = random.Random(seed)
    width, height = image.size
    samples = bytes(128 + noise_source.randint(-amount, amount) for _ in range(width * height))
    noise = Image.frombytes("L", image.size, samples)
    grain = Image.merge("RGB", (noise, noise, noise))
    return ImageChops.add(image, grain, scale=1.0, offset=-128)


def draw_support_photo() -> Image.Image:
    scale = 3
    width, height = SUPPORT_SIZE
    image = Image.new("RGB", (width * scale, height * scale))
    image = draw_sky(image, scale)
    image = draw_skyline(image, scale)
    draw_track(image, scale)
    image = draw_christmas_tree(image, scale)
    image = draw_purge_cloud(image, scale)
    image = draw_car_rear(image, scale)
    image = image.filter(ImageFilter.GaussianBlur(0.6 * scale))
    image = image.resize(SUPPORT_SIZE, Image.Resampling.LANCZOS)
    return add_grain(add_vignette(image), 5, seed=2024)


def make_support_photo(path: Path) -> None:
    path.parent.mkdir(parents=True, exist_ok=True)
    draw_support_photo().save(path, format="JPEG", quality=90, optimize=True)


# ---------------------------------------------------------------------------
# Application icon: a nitrous bottle on a dark tile. The SVG and the PNG
# renderer share one set of coordinates on a 256 x 256 grid.
# ---------------------------------------------------------------------------

TILE = (16, 16, 240, 240, 48)
BOTTLE_LEFT, BOTTLE_RIGHT = 84, 172
BOTTLE_DOME_CENTRE_Y = 116
BOTTLE_BOTTOM, BOTTLE_CORNER = 222, 14
HANDWHEEL = (98, 28, 158, 42, 7)
STEM = (121, 40, 135, 52)
VALVE = (106, 50, 150, 76, 6)
OUTLET = (146, 57, 174, 69, 3)
HIGHLIGHT = (96, 92, 108, 210, 6)
LABEL = (132, 170)
STRIPE = (146, 156)

TILE_COLOUR = "#22303c"
BOTTLE_COLOUR = "#2f7de1"
METAL_COLOUR = "#cfd8dc"
HANDWHEEL_COLOUR = "#eceff1"
OUTLET_COLOUR = "#b0bec5"
LABEL_COLOUR = "#ffffff"
STRIPE_COLOUR = "#e53935"
HIGHLIGHT_OPACITY = 0.3


def icon_svg() -> str:
    half = (BOTTLE_RIGHT - BOTTLE_LEFT) // 2
    x0, y0, x1, y1, radius = TILE
    bottle_path = (
        f"M{BOTTLE_LEFT},{BOTTLE_DOME_CENTRE_Y} A{half},{half} 0 0 1 {BOTTLE_RIGHT},{BOTTLE_DOME_CENTRE_Y} "
        f"L{BOTTLE_RIGHT},{BOTTLE_BOTTOM - BOTTLE_CORNER} "
        f"A{BOTTLE_CORNER},{BOTTLE_CORNER} 0 0 1 {BOTTLE_RIGHT - BOTTLE_CORNER},{BOTTLE_BOTTOM} "
        f"L{BOTTLE_LEFT + BOTTLE_CORNER},{BOTTLE_BOTTOM} "
        f"A{BOTTLE_CORNER},{BOTTLE_CORNER} 0 0 1 {BOTTLE_LEFT},{BOTTLE_BOTTOM - BOTTLE_CORNER} Z"
    )

    def rect(box, fill: str, extra: str = "") -> str:
        bx0, by0, bx1, by1, *rest = box
        rounding = f' rx="{rest[0]}"' if rest else ""
        size = f'width="{bx1 - bx0}" height="{by1 - by0}"'
        return f'  <rect x="{bx0}" y="{by0}" {size}{rounding} fill="{fill}"{extra}/>\n'

    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">\n'
        "  <title>Moravik</title>\n"
        + rect((x0, y0, x1, y1, radius), TILE_COLOUR)
        + rect(OUTLET, OUTLET_COLOUR)
        + rect(STEM, OUTLET_COLOUR)
        + rect(HANDWHEEL, HANDWHEEL_COLOUR)
        + rect(VALVE, METAL_COLOUR)
        + f'  <path d="{bottle_path}" fill="{BOTTLE_COLOUR}"/>\n'
        + rect(HIGHLIGHT, LABEL_COLOUR, f' fill-opacity="{HIGHLIGHT_OPACITY}"')
        + rect((BOTTLE_LEFT, LABEL[0], BOTTLE_RIGHT, LABEL[1]), LABEL_COLOUR)
        + rect((BOTTLE_LEFT, STRIPE[0], BOTTLE_RIGHT, STRIPE[1]), STRIPE_COLOUR)
        + "</svg>\n"
    )


def draw_icon_master(scale: int) -> Image.Image:
    """The SVG's shapes, in the same order, at 256 * scale pixels."""
    image = Image.new("RGBA", (256 * scale, 256 * scale), (0, 0, 0, 0))
    pen = ScaledDraw(image, scale)
    x0, y0, x1, y1, radius = TILE
    pen.rect((x0, y0, x1, y1), fill=TILE_COLOUR, radius=radius)
    pen.rect(OUTLET[:4], fill=OUTLET_COLOUR, radius=OUTLET[4])
    pen.rect(STEM, fill=OUTLET_COLOUR)
    pen.rect(HANDWHEEL[:4], fill=HANDWHEEL_COLOUR, radius=HANDWHEEL[4])
    pen.rect(VALVE[:4], fill=METAL_COLOUR, radius=VALVE[4])
    half = (BOTTLE_RIGHT - BOTTLE_LEFT) / 2
    pen.pieslice((BOTTLE_LEFT + BOTTLE_RIGHT) / 2, BOTTLE_DOME_CENTRE_Y, half, 180, 360, fill=BOTTLE_COLOUR)
    pen.rect((BOTTLE_LEFT, BOTTLE_DOME_CENTRE_Y, BOTTLE_RIGHT, BOTTLE_BOTTOM - BOTTLE_CORNER), fill=BOTTLE_COLOUR)
    pen.rect(
        (BOTTLE_LEFT, BOTTLE_DOME_CENTRE_Y, BOTTLE_RIGHT, BOTTLE_BOTTOM), fill=BOTTLE_COLOUR, radius=BOTTLE_CORNER
    )
    highlight = Image.new("RGBA", image.size, (0, 0, 0, 0))
    ScaledDraw(highlight, scale).rect(
        HIGHLIGHT[:4], fill=(255, 255, 255, round(255 * HIGHLIGHT_OPACITY)), radius=HIGHLIGHT[4]
    )
    image = Image.alpha_composite(image, highlight)
    pen = ScaledDraw(image, scale)
    pen.rect((BOTTLE_LEFT, LABEL[0], BOTTLE_RIGHT, LABEL[1]), fill=LABEL_COLOUR)
    pen.rect((BOTTLE_LEFT, STRIPE[0], BOTTLE_RIGHT, STRIPE[1]), fill=STRIPE_COLOUR)
    return image


# ---------------------------------------------------------------------------
# Race Day icon: a stopwatch on the application's tile, its elapsed sector in
# the bottle's stripe red. Same 256 x 256 grid and the same two renderers.
# ---------------------------------------------------------------------------

WATCH_CENTRE = (128, 142)
WATCH_RADIUS = 82
WATCH_RIM = 10
WATCH_CROWN = (114, 30, 142, 48, 4)
WATCH_STEM = (121, 46, 135, 62)
WATCH_BUTTON = (176, 62, 194, 80, 4)
WATCH_SECTOR = (-90, 40)  # degrees clockwise from three o'clock, as PIL counts
WATCH_HAND_END = (176, 102)
WATCH_HUB = 9

WATCH_FACE_COLOUR = "#ffffff"
WATCH_RIM_COLOUR = BOTTLE_COLOUR
WATCH_HAND_COLOUR = TILE_COLOUR


def watch_point(angle_degrees: float, radius: float) -> tuple[float, float]:
    cx, cy = WATCH_CENTRE
    angle = math.radians(angle_degrees)
    return (round(cx + radius * math.cos(angle), 2), round(cy + radius * math.sin(angle), 2))


def raceday_icon_svg() -> str:
    x0, y0, x1, y1, radius = TILE
    cx, cy = WATCH_CENTRE
    face = WATCH_RADIUS - WATCH_RIM
    start, end = WATCH_SECTOR
    sx, sy = watch_point(start, face)
    ex, ey = watch_point(end, face)
    large = 1 if (end - start) % 360 > 180 else 0

    def rect(box, fill: str) -> str:
        bx0, by0, bx1, by1, *rest = box
        rounding = f' rx="{rest[0]}"' if rest else ""
        return f'  <rect x="{bx0}" y="{by0}" width="{bx1 - bx0}" height="{by1 - by0}"{rounding} fill="{fill}"/>\n'

    hx, hy = WATCH_HAND_END
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">\n'
        "  <title>Moravik Race Day</title>\n"
        + rect((x0, y0, x1, y1, radius), TILE_COLOUR)
        + rect(WATCH_STEM, OUTLET_COLOUR)
        + rect(WATCH_CROWN, HANDWHEEL_COLOUR)
        + rect(WATCH_BUTTON, OUTLET_COLOUR)
        + f'  <circle cx="{cx}" cy="{cy}" r="{WATCH_RADIUS}" fill="{WATCH_RIM_COLOUR}"/>\n'
        + f'  <circle cx="{cx}" cy="{cy}" r="{face}" fill="{WATCH_FACE_COLOUR}"/>\n'
        + f'  <path d="M{cx},{cy} L{sx},{sy} A{face},{face} 0 {large} 1 {ex},{ey} Z" fill="{STRIPE_COLOUR}"/>\n'
        + f'  <line x1="{cx}" y1="{cy}" x2="{hx}" y2="{hy}" stroke="{WATCH_HAND_COLOUR}" stroke-width="10"'
        ' stroke-linecap="round"/>\n'
        + f'  <circle cx="{cx}" cy="{cy}" r="{WATCH_HUB}" fill="{WATCH_HAND_COLOUR}"/>\n'
        + "</svg>\n"
    )


def draw_raceday_icon_master(scale: int) -> Image.Image:
    """The Race Day SVG's shapes, in the same order, at 256 * scale pixels."""
    image = Image.new("RGBA", (256 * scale, 256 * scale), (0, 0, 0, 0))
    pen = ScaledDraw(image, scale)
    x0, y0, x1, y1, radius = TILE
    pen.rect((x0, y0, x1, y1), fill=TILE_COLOUR, radius=radius)
    pen.rect(WATCH_STEM, fill=OUTLET_COLOUR)
    pen.rect(WATCH_CROWN[:4], fill=HANDWHEEL_COLOUR, radius=WATCH_CROWN[4])
    pen.rect(WATCH_BUTTON[:4], fill=OUTLET_COLOUR, radius=WATCH_BUTTON[4])
    cx, cy = WATCH_CENTRE
    pen.circle(cx, cy, WATCH_RADIUS, fill=WATCH_RIM_COLOUR)
    pen.circle(cx, cy, WATCH_RADIUS - WATCH_RIM, fill=WATCH_FACE_COLOUR)
    pen.pieslice(cx, cy, WATCH_RADIUS - WATCH_RIM, *WATCH_SECTOR, fill=STRIPE_COLOUR)
    pen.line([WATCH_CENTRE, WATCH_HAND_END], fill=WATCH_HAND_COLOUR, width=10)
    pen.circle(*WATCH_HAND_END, 5, fill=WATCH_HAND_COLOUR)
    pen.circle(cx, cy, WATCH_HUB, fill=WATCH_HAND_COLOUR)
    return image


def make_icon_set(icon_root: Path, app_id: str, svg: str, master: Image.Image) -> None:
    svg_path = icon_root / "scalable" / "apps" / f"{app_id}.svg"
    svg_path.parent.mkdir(parents=True, exist_ok=True)
    svg_path.write_text(svg, encoding="utf-8")
    for size in ICON_SIZES:
        png_path = icon_root / f"{size}x{size}" / "apps" / f"{app_id}.png"
        png_path.parent.mkdir(parents=True, exist_ok=True)
        master.resize((size, size), Image.Resampling.LANCZOS).save(png_path, format="PNG", optimize=True)


def make_icons(icon_root: Path) -> None:
    make_icon_set(icon_root, APP_ID, icon_svg(), draw_icon_master(scale=4))
    make_icon_set(icon_root, RACEDAY_APP_ID, raceday_icon_svg(), draw_raceday_icon_master(scale=4))


def make_web_icons(folder: Path) -> None:
    folder.mkdir(parents=True, exist_ok=True)
    master = draw_icon_master(scale=8)
    for size in (192, 512):
        master.resize((size, size), Image.Resampling.LANCZOS).save(folder / f"icon-{size}.png", optimize=True)
    for name, size in (("icon-maskable-512.png", 512), ("apple-touch-icon.png", 180)):
        tile = Image.new("RGBA", (size, size), TILE_COLOUR)
        inner = round(size * 0.8)
        tile.alpha_composite(master.resize((inner, inner), Image.Resampling.LANCZOS), ((size - inner) // 2,) * 2)
        tile.convert("RGB").save(folder / name, optimize=True)


def main() -> None:
    make_dragcar(REPO_ROOT / "apps" / "desktop" / "main_window" / "images" / "dragcar.png")
    make_support_photo(REPO_ROOT / "apps" / "desktop" / "main_window" / "images" / "support.jpg")
    make_icons(REPO_ROOT / "packaging" / "icons" / "hicolor")
    make_web_icons(REPO_ROOT / "apps" / "web" / "app" / "icons")


if __name__ == "__main__":
    main()
