#!/usr/bin/env python3
"""Writes map_every_record.map: a map file that holds every kind of record
the layer list can store, spelled out byte by byte from the record layouts
(not by the program), so reading it and writing it back must give the same
bytes. Run it from this folder."""

import struct

CP = "cp1257"
DBL_MAX = 1.7976931348623157e308


class Out:
    def __init__(self):
        self.b = bytearray()
        self.next_index = 1  # classes and objects are numbered together from 1
        self.classes = {}

    def i16(self, v): self.b += struct.pack("<h", v)
    def u16(self, v): self.b += struct.pack("<H", v)
    def i32(self, v): self.b += struct.pack("<i", v)
    def u32(self, v): self.b += struct.pack("<I", v)
    def f64(self, v): self.b += struct.pack("<d", v)
    def raw(self, data): self.b += data

    def string(self, text):
        data = text.encode(CP)
        n = len(data)
        if n < 255:
            self.b += bytes([n])
        elif n < 0xFFFE:
            self.b += b"\xff" + struct.pack("<H", n)
        else:
            self.b += b"\xff\xff\xff" + struct.pack("<I", n)
        self.b += data

    def count(self, n):
        if n < 0xFFFF:
            self.u16(n)
        else:
            self.u16(0xFFFF)
            self.u32(n)

    def object_tag(self, class_name):
        if class_name in self.classes:
            self.u16(0x8000 | self.classes[class_name])
        else:
            self.u16(0xFFFF)
            self.u16(1)  # schema
            self.u16(len(class_name))
            self.b += class_name.encode("ascii")
            self.classes[class_name] = self.next_index
            self.next_index += 1
        self.next_index += 1  # the object itself


def label_style(colour=0, height=-8, weight=0, italic=0, face="Arial"):
    # colour, then the 60-byte logical font
    data = struct.pack("<I5i8B", colour, height, 0, 0, 0, weight, italic, 0, 0, 186, 0, 0, 0, 0)
    return data + face.encode(CP).ljust(32, b"\0")


def draw_style(pen_style, pen_width, pen_colour, back, brush_style, brush_colour, hatch, mode):
    return struct.pack("<IIIIiIii", pen_style, pen_width, pen_colour, back, brush_style, brush_colour, hatch, mode)


def point_style(symbol, kind, size, angle, colour, options, ref_scale):
    # the name reference at offset 4 is always written as 0
    return struct.pack("<HhIiiIIii", symbol, kind, 0, size, angle, colour, options, ref_scale, 0)


def track_style(symbol, line_shown, pen_style, width, colour, back):
    return struct.pack("<iiiiII8x", symbol, line_shown, pen_style, width, colour, back)


def layer(o, cls, name, path, id_field, filt, notes, type_, flags, aliases=(), hidden=(), files=(),
          interval=None, members=None, sublayers=()):
    o.object_tag(cls)
    for s in (name, path, id_field, filt, notes):
        o.string(s)
    o.i16(type_)
    o.u32(flags)
    if flags & 0x40:
        o.count(len(aliases))
        for field, alias in aliases:
            o.string(field)
            o.string(alias)
    if flags & 0x80:
        o.count(len(hidden))
        for field in hidden:
            o.string(field)
    if flags & 0x100:
        o.count(len(files))
        for file_path, (left, top, right, bottom) in files:
            o.string(file_path)
            for v in (left, top, right, bottom):
                o.f64(v)
    if flags & 0x400:
        o.i32(interval)
    if flags & 0x10000000:
        o.i32(members)
    o.count(len(sublayers))
    for sub in sublayers:
        sublayer(o, **sub)


def sublayer(o, label, style, name=None, flags=0, frame=None, limit=0, kind=1, placement=24, distance=0,
             label_field="", class_field="", ref_scale=None, rotation=None, classes=None):
    o.object_tag("CSublayer")
    o.raw(label)
    o.raw(style)
    if name is not None:  # the style names a font (kind 1) or a picture (kind 2)
        o.string(name)
    o.u32(flags)
    if flags & 0x22:
        o.raw(frame)
    o.i32(limit)
    o.i16(kind)
    o.i16(placement)
    o.i16(distance)
    o.string(label_field)
    o.string(class_field)
    if flags & 0x40:
        o.i32(ref_scale)
    if flags & 0x80:
        o.string(rotation)
    if kind == 2:
        class_kind, entries = classes
        o.count(len(entries))
        o.i16(class_kind)
        for entry in entries:
            style_bytes, style_name, value = entry
            o.raw(style_bytes)
            if style_name is not None:
                o.string(style_name)
            if class_kind == 0:
                o.f64(value)
            elif class_kind == 1:
                o.f64(value[0])
                o.f64(value[1])
            elif class_kind == 2:
                o.string(value)
            else:
                o.string(value[0])
                o.string(value[1])


def area(fill):
    return draw_style(0, 4, 0, 0xFFFFFF, 0, fill, 0, 1)


def line(colour):
    return draw_style(0, 4, colour, 0xFFFFFF, 1, 0xFFFFFF, 0, 1)


def build():
    o = Out()
    o.count(6)

    # A group of the two layers that follow it.
    layer(o, "CLayer", "Keliai", "", "Id", "", "", 1, 0x10000003, members=2)

    # Aliases, hidden fields, many files and a redraw interval; a label
    # frame with a reference scale, then a double line classified by texts.
    layer(o, "CLayer", "Gatvės", "data\\gatves.gdb", "PAV", "TIPAS > 1", "Miesto gatvės", 1,
          0x1F | 0x40 | 0x80 | 0x100 | 0x400,
          aliases=[("PAV", "Pavadinimas"), ("KODAS", "Kodas")],
          hidden=["ID", "X_TMP"],
          files=[("data\\gatves1.gdb", (21.0, 55.5, 21.5, 55.0)),
                 ("..\\bendri\\gatves2.gdb", (22.0, 56.0, 22.5, 55.5))],
          interval=90,
          sublayers=[
              dict(label=label_style(0x000080, -10, 700, 1), style=draw_style(0, 8, 0x0000FF, 0xFFFFFF, 1, 0xFFFFFF, 0, 1),
                   flags=0x42, frame=draw_style(0, 1, 0, 0xFFFFFF, 0, 0xE0FFFF, 0, 1), limit=0, kind=1,
                   placement=30, label_field="PAV", ref_scale=25000),
              dict(label=label_style(), style=draw_style(0x10020000, 0x00030006, 0, 0x00FFFF, 1, 0xFFFFFF, 0, 1),
                   limit=50000, kind=2, class_field="TIPAS",
                   classes=(2, [(line(0x0000C0), None, "Magistralė"),
                                (line(0x404040), None, "Gatvė"),
                                (line(0xC0C0C0), None, "")])),
          ])

    # Point symbols of every kind: a library shape rotated by a field, a
    # font character with outlined labels, a picture classified by numbers.
    layer(o, "CLayer", "Taškai", "D:\\gis\\taskai.dbf", "Id", "", "", 0, 0x1F | 0x800,
          sublayers=[
              dict(label=label_style(), style=point_style(5, 0, 120, 0, 0x0000FF, 0x08, 0),
                   flags=0x80, limit=0, kind=1, placement=256, distance=79, label_field="PAV", rotation="KAMPAS"),
              dict(label=label_style(), style=point_style(0x41, 1, 160, 0, 0x008000, 0x03, 10000),
                   name="Golden Symbols", flags=0x20, frame=draw_style(0, 0, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 1),
                   limit=10000, kind=1, placement=26, distance=79),
              dict(label=label_style(), style=point_style(0, 2, 200, 0, 0, 0, 0), name="Symbols\\bokstas.bmp",
                   flags=0x08, limit=100000, kind=2, distance=79, class_field="AUKSTIS",
                   classes=(0, [(point_style(0x42, 1, 160, 0, 0xFF0000, 0, 0), "Golden Symbols", 1.0),
                                (point_style(7, 0, 100, 0, 0x00FF00, 0x10, 0), None, 2.5),
                                (point_style(0, 2, 100, 0, 0, 0, 0), "Symbols\\kita.bmp", DBL_MAX)])),
          ])

    # An elevation model of two grid tiles, classified by height ranges.
    layer(o, "CDtmLayer", "Reljefas", "reljefas\\r1.rmp", "Id", "", "", 4, 0x17 | 0x100 | 0x1000000,
          files=[("reljefas\\r1.rmp", (20.0, 56.0, 21.0, 55.0)),
                 ("reljefas\\r2.rmp", (21.0, 56.0, 22.0, 55.0))],
          sublayers=[
              dict(label=label_style(), style=bytes(32), flags=0x04, limit=0, kind=2,
                   classes=(1, [(area(0x00CD00), None, (-DBL_MAX, 100.0)),
                                (area(0x499AEE), None, (-DBL_MAX, 500.0)),
                                (area(0xC0C0C0), None, (DBL_MAX, DBL_MAX))])),
          ])

    # The older layer class, areas classified by text ranges, framed outlined labels.
    layer(o, "CGridLayer", "Senas", "..\\senas\\plotai.shp", "Id", "", "", 2, 0x17 | 0x20,
          sublayers=[
              dict(label=label_style(0xFFFFFF), style=area(0xD0FFD0), flags=0x22,
                   frame=draw_style(0, 2, 0x808080, 0xFFFFFF, 0, 0xFFFFFF, 0, 2), limit=0, kind=2,
                   placement=512, label_field="PAV", class_field="PAV",
                   classes=(3, [(area(0xFFD0D0), None, ("A", "K")),
                                (area(0xD0D0FF), None, ("L", "Ž")),
                                (area(0xE0E0E0), None, ("", ""))])),
          ])

    # A GPS track.
    layer(o, "CLayer", "Trasa", "trasos\\t1.trk", "Id", "", "", 10, 0x1F,
          sublayers=[
              dict(label=label_style(), style=track_style(3, 1, 0, 4, 0x0000FF, 0xFFFFFF),
                   limit=0, kind=1, placement=256, distance=79),
          ])
    return bytes(o.b)


if __name__ == "__main__":
    with open("map_every_record.map", "wb") as f:
        f.write(build())
