#!/usr/bin/env python3
"""Writes the seed inputs of engine_fuzz into fuzz/corpus/ (or the folder given), in the input layout
described at the top of engine_fuzz.cpp. The seeds are committed; rerun this only after changing
that layout."""
import os
import struct
import sys

U8, U16, F32 = 0, 1, 2
PLAIN, KEY, KEY_INVERT = 0, 1, 2
INDEXED, SHAPES, PACKED, RAW = 0, 1, 2, 3
RECT, STAIR_DOWN, STAIR_RIGHT, DIAG, LINE, DOT, CHECKER = range(7)
FULL, ZERO, SCALED, EXOTIC = range(4)


def size_code(n):
    return 2 if n == 0 else 4 | (n - 1) << 3 if n <= 32 else 5 | (n - 33) << 3


def threshold_code(t):  # any 0..1020
    return (2 | t << 2).to_bytes(2, "little")


def percent_code(p):  # softness or bias 0..100
    return 1 | p << 2 if p < 64 else 2 | (p - 37) << 2


def header(depth, mode, w, h, threshold=10, softness=70, bias=0, key=(0, 0, 0), key_threshold=0,
           pads=0, source=SHAPES, palette_size=4, flags=0):
    return (bytes([depth + 3 * mode, size_code(w), size_code(h)]) + threshold_code(threshold)
            + bytes([percent_code(softness), percent_code(bias), *key]) + threshold_code(key_threshold)
            + bytes([pads, source | min(palette_size - 2, 2) << 2 | flags, 0]))


def opaque(r, g, b):
    return (FULL, 0), (SCALED, r), (SCALED, g), (SCALED, b)


def clear(r, g, b):
    return ((ZERO, 0),) + opaque(r, g, b)[1:]


STANDARD = [opaque(0, 0, 0), opaque(255, 255, 255), clear(0, 0, 0), opaque(255, 0, 0)]
DEFAULT_PALETTE = bytes([0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255,
                         1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0])


def palette(colours):
    """Four colours of four (selector, value) pairs, XORed with the default palette as the fuzzer reads them."""
    raw = bytes(b for colour in colours for pair in colour for b in pair)
    return bytes(a ^ b for a, b in zip(raw, DEFAULT_PALETTE))


def shapes(*each):  # (kind, x, y, size, colour) each
    return b"".join(bytes(s) for s in each)


SEEDS = {
    # Staircases, a 45-degree line, a dot and a one-pixel line on white: every kind of step.
    "u8_plain_shapes": header(U8, PLAIN, 32, 24)
    + palette([opaque(255, 255, 255), opaque(0, 0, 0), opaque(40, 90, 200), clear(0, 0, 0)])
    + shapes((STAIR_DOWN, 0, 4, 3, 1), (STAIR_RIGHT, 20, 0, 2, 2), (DIAG, 2, 20, 12 | 64, 1), (DOT, 26, 18, 1, 3),
             (LINE, 4, 2, 9, 2)),
    # Keyed 16-bit: a green-screen-like background removed by the key, with soft bias.
    "u16_key_shapes": header(U16, KEY, 40, 30, threshold=20, softness=100, bias=50, key=(0, 255, 0), key_threshold=30)
    + palette([opaque(0, 255, 0), opaque(200, 40, 40), opaque(10, 250, 5), ((EXOTIC, 200),) + opaque(0, 0, 255)[1:]])
    + shapes((RECT, 8, 6, 0x7B, 1), (STAIR_DOWN, 0, 20, 4 | 8, 3), (CHECKER, 30, 2, 5, 2)),
    # Float, inverted key, exotic values (NaN, infinities, -0.0) in the palette.
    "f32_keyinvert_exotic": header(F32, KEY_INVERT, 16, 16, threshold=3, softness=35, bias=100, key=(255, 255, 255),
                                   key_threshold=100)
    + palette([opaque(255, 255, 255), ((FULL, 0), (EXOTIC, 0), (SCALED, 0), (EXOTIC, 4)),
               ((EXOTIC, 6), (SCALED, 9), (EXOTIC, 5), (SCALED, 7)), opaque(0, 0, 0)])
    + shapes((STAIR_RIGHT, 3, 0, 1, 1), (DOT, 10, 10, 0, 2), (DIAG, 15, 0, 15 | 128, 3)),
    # One row and one column.
    "u8_row": header(U8, PLAIN, 64, 1, threshold=0, softness=100, source=INDEXED, palette_size=3)
    + palette(STANDARD) + bytes([0] * 7 + [1] * 5 + [2] * 3 + [0, 1, 0, 2, 2]),
    "u16_column": header(U16, PLAIN, 1, 33, threshold=0, softness=1, source=INDEXED, palette_size=2)
    + palette(STANDARD) + bytes([0, 0, 0, 1, 1, 0, 1]),
    # Packed indices, tiled at a period that is not the row length: diagonal bands.
    "u8_packed_bands": header(U8, KEY, 23, 19, threshold=5, softness=60, bias=10, key=(255, 0, 0), pads=0b11100100,
                              source=PACKED, flags=0x30)
    + palette(STANDARD) + bytes([0x00, 0x55, 0xAA, 0xFF, 0x1B, 0xE4, 0x00]),
    # Host values at their extremes, put through the plug-in's mapping: INT_MIN, INT_MAX, -7, 99999.
    "u8_key_host_values": bytes([U8 + 3 * KEY, 0x10, 0x10] + [0] * 4 + [255] + [0] * 5 + [SHAPES, 0xE0])
    + struct.pack("<4i", -2**31, 2**31 - 1, -7, 99999) + bytes(len(DEFAULT_PALETTE)) + bytes(range(64)),
    # Raw float bytes.
    "f32_raw": header(F32, PLAIN, 5, 4, threshold=0, softness=90, source=RAW, flags=0x40)
    + palette(STANDARD) + bytes(range(0, 256, 3)),
}

if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    os.makedirs(out, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
