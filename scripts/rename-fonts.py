#!/usr/bin/python3
"""Derives the three application fonts from an Apache-2.0 family in Debian.

Each weight becomes a family of its own ("Dravo Sans Regular", "Dravo Sans
Medium", "Dravo Sans Bold"), as the program asks for fonts by those family
names. The typographic (and WWS) family names are removed: font databases
prefer them, and would keep reporting the source family.

Run once, by hand, and commit the output; the build never needs fonttools.
  sudo apt-get install fonts-roboto-unhinted python3-fonttools
  scripts/rename-fonts.py [source folder]
"""
import os
import shutil
import sys

from fontTools.ttLib import TTFont

SOURCE_DIR = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF"
LICENCE = "/usr/share/common-licenses/Apache-2.0"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARGET_DIR = os.path.join(ROOT, "resources", "fonts")

# source file -> style of the target family
WEIGHTS = {"Roboto-Regular.ttf": "Regular", "Roboto-Medium.ttf": "Medium", "Roboto-Bold.ttf": "Bold"}

FAMILY = 1
SUBFAMILY = 2
UNIQUE_ID = 3
FULL_NAME = 4
POSTSCRIPT_NAME = 6
DROPPED = {16, 17, 21, 22}  # typographic and WWS family / subfamily
BOLD_FS_SELECTION = 1 << 5
REGULAR_FS_SELECTION = 1 << 6
BOLD_MAC_STYLE = 1


def rename(source, weight, target):
    font = TTFont(source)
    family = "Dravo Sans " + weight
    postscript = "DravoSans-" + weight
    names = {
        FAMILY: family,
        SUBFAMILY: "Regular",  # each weight is the only member of its family
        UNIQUE_ID: postscript,
        FULL_NAME: family,
        POSTSCRIPT_NAME: postscript,
    }
    table = font["name"]
    table.names = [n for n in table.names if n.nameID not in DROPPED and n.nameID not in names]
    for name_id, text in names.items():
        table.setName(text, name_id, 3, 1, 0x409)  # Windows, Unicode BMP, English
        table.setName(text, name_id, 1, 0, 0)  # Macintosh, Roman, English
    # A lone "Regular" style must not claim to be the bold member of a family.
    os2 = font["OS/2"]
    os2.fsSelection = (os2.fsSelection & ~BOLD_FS_SELECTION) | REGULAR_FS_SELECTION
    font["head"].macStyle &= ~BOLD_MAC_STYLE
    font.save(target)


def main():
    source_dir = sys.argv[1] if len(sys.argv) > 1 else SOURCE_DIR
    os.makedirs(TARGET_DIR, exist_ok=True)
    for source, weight in WEIGHTS.items():
        target = os.path.join(TARGET_DIR, "DravoSans-%s.ttf" % weight)
        rename(os.path.join(source_dir, source), weight, target)
        print("wrote", target)
    shutil.copyfile(LICENCE, os.path.join(TARGET_DIR, "LICENSE-Apache-2.0.txt"))


if __name__ == "__main__":
    main()
