#!/usr/bin/env python3
"""Writes map_every_setting.ini: the settings file of map_every_record.map
with every key the map document reads, saved places with a gap in their
numbers, one with a broken checksum and one without an extent, a key and
a section the program does not know, in code page 1257. Run it from this
folder."""

import struct


def extent(left, top, right, bottom, checksum_error=0):
    data = struct.pack("<4d", left, top, right, bottom)
    return data.hex().upper() + "%02X" % ((sum(data) + checksum_error) & 0xFF)


TEXT = f"""; Vilniaus apylinkių žemėlapis
[Map]
Name=Vilniaus apylinkės
AutoLoad=1
AutoRecalcMapExtent=0
MapUnits=0
CS=3
Limits=21.25 56.5 27 53.75
OptimScale=25000
Owner=Jonas

[Bookmarks]
Bookmark0=Senamiestis
Extent0={extent(25.25, 54.75, 25.3125, 54.6875)}
Bookmark2=Trakai
Extent2={extent(24.875, 54.6875, 25.0, 54.625)}
Bookmark3=Sugadinta
Extent3={extent(1.0, 2.0, 3.0, 1.0, checksum_error=1)}
Bookmark5=Be ribų
Extent7={extent(1.0, 2.0, 3.0, 1.0)}

[Legend]
AutoUpdate=0
Type=2

[Routes]
Layer=Gatvės
FromNodeField=NUO
ToNodeField=IKI
ArcLengthField=ILGIS
DirMaskField=KRYPTIS
WeightField=SVORIS
SignificanceField=RANGAS

[Streets]
Layer=Gatvės
StreetNameField=PAV
CodeField=KODAS
CityNameField=MIESTAS

[Addresses]
Layer=Taškai
StreetCodeField=G_KODAS
NumField=NR
LetterField=RAIDE
StreetCodeField2=G_KODAS2
NumField2=NR2
LetterField2=RAIDE2

[Placemarks]
Layer=Mano vietos

[ScaleBar]
Show=1
Pos=500 750 1 0

[AdminSearch]
County=Vilniaus
"""

if __name__ == "__main__":
    with open("map_every_setting.ini", "wb") as f:
        f.write(TEXT.replace("\n", "\r\n").encode("cp1257"))
