#!/usr/bin/env python3
"""Writes the icons of the program's icon library (res/Vexil/<n>.ico):
32 x 32 pictures with an alpha channel, drawn here from simple figures."""
import math
import os
import struct
import sys

SIZE = 32


def inside_polygon(x, y, points):
    inside = False
    n = len(points)
    for i in range(n):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


class Canvas:
    def __init__(self):
        self.pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def fill(self, test, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                if test(x + 0.5, y + 0.5):
                    self.pixels[y][x] = colour + (255,)

    def polygon(self, points, colour):
        self.fill(lambda x, y: inside_polygon(x, y, points), colour)

    def rect(self, left, top, right, bottom, colour):
        self.fill(lambda x, y: left <= x < right and top <= y < bottom, colour)

    def disc(self, cx, cy, r, colour):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def ico(self):
        xor = b""
        for row in reversed(self.pixels):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask = b""
        for row in reversed(self.pixels):
            bits = 0
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits |= 1 << (31 - x)
            mask += struct.pack(">I", bits)
        header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        image = header + xor + mask
        directory = struct.pack("<HHH", 0, 1, 1)
        entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
        return directory + entry + image


BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


def flag():
    c = Canvas()
    c.rect(6, 3, 9, 30, (90, 60, 30))
    c.polygon([(9, 4), (28, 9), (9, 16)], (220, 30, 30))
    c.rect(3, 28, 13, 31, (60, 60, 60))
    return c


def tree():
    c = Canvas()
    c.rect(14, 22, 18, 31, (110, 70, 30))
    c.polygon([(16, 1), (27, 14), (5, 14)], (20, 140, 40))
    c.polygon([(16, 7), (29, 23), (3, 23)], (20, 120, 35))
    return c


def house():
    c = Canvas()
    c.polygon([(16, 2), (30, 15), (2, 15)], (170, 40, 30))
    c.rect(6, 15, 26, 30, (235, 220, 180))
    c.rect(13, 20, 19, 30, (110, 70, 30))
    c.rect(21, 18, 24, 22, (80, 140, 220))
    return c


def star():
    c = Canvas()
    points = []
    for i in range(10):
        r = 15 if i % 2 == 0 else 6.5
        a = -math.pi / 2 + i * math.pi / 5
        points.append((16 + r * math.cos(a), 16.5 + r * math.sin(a)))
    c.polygon(points, (240, 190, 0))
    return c


def information():
    c = Canvas()
    c.disc(16, 16, 15, (30, 80, 190))
    c.disc(16, 9, 2.5, WHITE)
    c.rect(14, 13, 19, 25, WHITE)
    c.rect(12, 24, 21, 26, WHITE)
    return c


def parking():
    c = Canvas()
    blue = (30, 80, 190)
    c.rect(2, 2, 30, 30, blue)
    c.rect(9, 6, 14, 27, WHITE)
    c.rect(9, 6, 17, 10, WHITE)
    c.rect(9, 15, 17, 19, WHITE)
    c.fill(lambda x, y: x >= 17 and 2.5 ** 2 <= (x - 17) ** 2 + (y - 12.5) ** 2 <= 6.5 ** 2, WHITE)
    return c


def ring(c, radii_colours):
    for r, colour in radii_colours:
        c.disc(16, 16, r, colour)


def gps_lost():
    """The GPS position while no fix comes: a grey disc crossed out."""
    c = Canvas()
    ring(c, [(10.5, (60, 60, 60)), (9.5, (170, 170, 170))])
    c.fill(lambda x, y: (x - 16) ** 2 + (y - 16) ** 2 <= 7 ** 2 and (abs((x - 16) - (y - 16)) <= 1.5 or
                                                                      abs((x - 16) + (y - 16)) <= 1.5), BLACK)
    return c


def vehicle_centre():
    """The vehicle under its arrowhead: a red disc ringed in white."""
    c = Canvas()
    ring(c, [(8.5, (60, 20, 20)), (7.5, WHITE), (5.5, (220, 30, 30))])
    return c


def vehicle_without_course():
    """The vehicle standing or without a direction: a red ring around a dot."""
    c = Canvas()
    ring(c, [(9.5, (60, 20, 20)), (8.5, (220, 30, 30)), (5.5, WHITE), (3, (220, 30, 30))])
    return c


def error_place():
    """A place where lines nearly meet: a red ring, open in the middle so
    the lines show through, with a white edge for dark maps."""
    c = Canvas()
    c.fill(lambda x, y: 5.5 ** 2 <= (x - 16) ** 2 + (y - 16) ** 2 <= 11.5 ** 2, WHITE)
    c.fill(lambda x, y: 6.5 ** 2 <= (x - 16) ** 2 + (y - 16) ** 2 <= 10.5 ** 2, (230, 20, 20))
    c.disc(16, 16, 1.5, (230, 20, 20))
    return c


ICONS = {24: flag, 30: tree, 31: house, 32: star, 33: information, 34: parking, 95: error_place, 118: gps_lost,
         119: vehicle_centre, 121: vehicle_without_course}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "res", "Vexil")
    os.makedirs(folder, exist_ok=True)
    for number, draw in ICONS.items():
        with open(os.path.join(folder, "%d.ico" % number), "wb") as out:
            out.write(draw().ico())


if __name__ == "__main__":
    main()
