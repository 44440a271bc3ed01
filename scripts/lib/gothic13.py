"""Writes a copy of IPA Gothic that Wine lays out with ＭＳ ゴシック's advances.

Wine gives every wide glyph of a monospaced font twice the average character
width, rounded: 2 x 7 = 14 pixels at height 13, where ＭＳ ゴシック draws
full-width characters 13 pixels wide (Label1's twelve fill its 156 pixels
exactly). IPA Gothic's own advance is one em, 13 pixels, and Wine uses it
once the font's PANOSE proportion no longer says monospaced. Glyphs, names
aside, stay as they are.

    python3 gothic13.py SOURCE.ttf TARGET.ttf FAMILY
"""
import sys

from fontTools.ttLib import TTFont


def main(source, target, family):
    font = TTFont(source)
    font["OS/2"].panose.bProportion = 3  # modern, not monospaced
    for record in font["name"].names:
        if record.nameID in (1, 4, 16):
            record.string = family
        elif record.nameID == 6:
            record.string = family.replace(" ", "")
    font.save(target)


if __name__ == "__main__":
    main(*sys.argv[1:4])
