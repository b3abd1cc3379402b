#!/usr/bin/env python3
"""Draws the program's icon, a broom sweeping up a spark, and writes it as
res/brumix.ico with a 16 x 16 and a 32 x 32 image (32-bit, alpha blended).

Run it again after changing a shape or colour:  python3 res/make_icon.py
No third-party module: each pixel is sampled on a fine grid and the shapes,
given in a 0..1 square, are tested point by point.
"""

import math
import os
import struct

SAMPLES = 8  # per pixel side, for the anti-aliased edges

OUTLINE = (58, 36, 20)
HANDLE = (166, 104, 48)
HANDLE_LIGHT = (214, 154, 88)
BAND = (196, 40, 36)
STRAW = (246, 196, 52)
STRAW_DARK = (204, 132, 24)
SPARK = (255, 255, 255)
SPARK_EDGE = (40, 120, 220)


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1]


def segment_distance(p, a, b):
    ab, ap = sub(b, a), sub(p, a)
    t = max(0.0, min(1.0, dot(ap, ab) / dot(ab, ab)))
    return math.hypot(ap[0] - ab[0] * t, ap[1] - ab[1] * t)


def polygon_distance(p, points):
    """Signed: negative inside, the distance to the nearest edge outside."""
    edges = list(zip(points, points[1:] + points[:1]))
    nearest = min(segment_distance(p, a, b) for a, b in edges)
    inside = False
    for a, b in edges:
        if (a[1] > p[1]) != (b[1] > p[1]):
            x = a[0] + (p[1] - a[1]) * (b[0] - a[0]) / (b[1] - a[1])
            if p[0] < x:
                inside = not inside
    return -nearest if inside else nearest


# The broom lies along one axis, handle up and to the right.
HANDLE_TOP = (0.92, 0.07)
BINDING = (0.48, 0.50)
AXIS_LENGTH = math.hypot(BINDING[0] - HANDLE_TOP[0], BINDING[1] - HANDLE_TOP[1])
AXIS = ((BINDING[0] - HANDLE_TOP[0]) / AXIS_LENGTH, (BINDING[1] - HANDLE_TOP[1]) / AXIS_LENGTH)
ACROSS = (-AXIS[1], AXIS[0])


def along(point, length, width):
    return (point[0] + AXIS[0] * length + ACROSS[0] * width,
            point[1] + AXIS[1] * length + ACROSS[1] * width)


BRISTLES = [along(BINDING, 0.0, -0.10), along(BINDING, 0.0, 0.10),
            along(BINDING, 0.38, 0.21), along(BINDING, 0.42, 0.0),
            along(BINDING, 0.38, -0.21)]
BAND_SHAPE = [along(BINDING, -0.05, -0.11), along(BINDING, -0.05, 0.11),
              along(BINDING, 0.05, 0.12), along(BINDING, 0.05, -0.12)]


def spark_shape(centre, radius):
    """A four-pointed star."""
    points = []
    for i in range(8):
        angle = math.pi / 4 * i
        r = radius if i % 2 == 0 else radius * 0.3
        points.append((centre[0] + r * math.cos(angle), centre[1] - r * math.sin(angle)))
    return points


SPARK_SHAPE = spark_shape((0.26, 0.24), 0.22)


def bristle_colour(p, size):
    """Straw with darker strands that fan out from the binding."""
    rel = sub(p, along(BINDING, -0.25, 0.0))
    fan = dot(rel, ACROSS) / max(dot(rel, AXIS), 1e-6)
    strands = 4 if size <= 16 else 7
    phase = (fan + 1.0) * strands / 1.1
    return STRAW_DARK if phase - math.floor(phase) < 0.28 else STRAW


def sample(p, size):
    """Colour and coverage (0 or 1) of one sample point."""
    px = 1.0 / size
    outline = px * (1.0 if size <= 16 else 1.25)
    handle_radius = 0.055 if size > 16 else 0.07
    handle = segment_distance(p, HANDLE_TOP, BINDING) - handle_radius
    bristles = polygon_distance(p, BRISTLES)
    band = polygon_distance(p, BAND_SHAPE)
    spark = polygon_distance(p, SPARK_SHAPE)

    if spark <= 0:
        return SPARK
    if spark <= outline * 0.9:
        return SPARK_EDGE
    if band <= 0:
        return BAND
    if bristles <= 0:
        return bristle_colour(p, size)
    if handle <= 0:
        # A highlight along one side rounds the stick.
        side = dot(sub(p, HANDLE_TOP), ACROSS)
        return HANDLE_LIGHT if side < -handle_radius * 0.2 else HANDLE
    if min(handle, bristles, band) <= outline:
        return OUTLINE
    return None


def render(size):
    """Rows top first, each pixel (r, g, b, a)."""
    rows = []
    step = 1.0 / (size * SAMPLES)
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    p = ((x * SAMPLES + sx + 0.5) * step, (y * SAMPLES + sy + 0.5) * step)
                    colour = sample(p, size)
                    if colour:
                        r, g, b = r + colour[0], g + colour[1], b + colour[2]
                        covered += 1
            if covered:
                row.append((r // covered, g // covered, b // covered,
                            covered * 255 // (SAMPLES * SAMPLES)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    """A BITMAPINFOHEADER, the BGRA pixels and the AND mask, both bottom-up."""
    rows = render(size)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def write_icon(path, sizes):
    images = [icon_image(size) for size in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    write_icon(os.path.join(os.path.dirname(os.path.abspath(__file__)), "brumix.ico"), [16, 32])
