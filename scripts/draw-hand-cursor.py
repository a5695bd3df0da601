#!/usr/bin/env python3
"""Draws the program's hand pointer and writes it as a Windows cursor file (HAND-M.CUR).

Run once when the picture changes: scripts/draw-hand-cursor.py resources/HAND-M.CUR
"""
import struct
import sys

# '#' outline, '.' fill, ' ' transparent; the hotspot is the fingertip (marked 'H').
HAND = """
      H#
     #..#
     #..#
     #..#
     #..#
     #..###
     #..#..###
     #..#..#..##
 ### #..#..#..#.#
 #..##........#.#
 #...#..........#
  #.............#
  #.............#
   #............#
   #...........#
    #..........#
    #.........#
     #........#
     #........#
     ##########
"""


def main(path):
    size = 32
    rows = HAND.strip("\n").split("\n")
    pixels = [[None] * size for _ in range(size)]
    hotspot = (0, 0)
    for y, row in enumerate(rows):
        for x, mark in enumerate(row):
            if mark == "H":
                hotspot = (x, y)
                mark = "#"
            if mark == "#":
                pixels[y][x] = (0, 0, 0, 255)
            elif mark == ".":
                pixels[y][x] = (255, 255, 255, 255)

    # 32-bit BGRA rows bottom-up, then the 1-bit AND mask (1 = transparent), rows padded to 4 bytes.
    colour = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = pixels[y][x] or (0, 0, 0, 0)
            colour += bytes((b, g, r, a))
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (0 if pixels[y][x] else 1)
        mask += struct.pack(">I", bits)

    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "HAND-M.CUR")
