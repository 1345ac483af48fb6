#!/usr/bin/env python3
"""Checks line colours for kelmira-plot: the closest pair in CIELAB (CIE76) for normal vision and
for protanopia, deuteranopia and tritanopia simulated with Machado et al. (2009) at full severity,
and the lowest contrast on white (WCAG ratio).

    scripts/palette-distances.py 332288 cc3311 44aa99 9467bd 882255 ff7f0e 8c564b ee3377 228833 e377c2
"""
import itertools
import math
import sys

SIMULATIONS = {
    "normal": [[1, 0, 0], [0, 1, 0], [0, 0, 1]],
    "protan": [[0.152286, 1.052583, -0.204868], [0.114503, 0.786281, 0.099216], [-0.003882, -0.048116, 1.051998]],
    "deutan": [[0.367322, 0.860646, -0.227968], [0.280085, 0.672501, 0.047413], [-0.011820, 0.042940, 0.968881]],
    "tritan": [[1.255528, -0.076749, -0.178779], [-0.078411, 0.930809, 0.147602], [0.004733, 0.691367, 0.303900]],
}


def linear(hex_colour):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    return [channel(int(hex_colour[i:i + 2], 16)) for i in (0, 2, 4)]


def lab(rgb):
    r, g, b = rgb
    x, y, z = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047, 0.2126 * r + 0.7152 * g + 0.0722 * b, \
        (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883
    f = lambda t: t ** (1 / 3) if t > 0.008856 else 7.787 * t + 16 / 116
    return 116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))


def simulate(hex_colour, matrix):
    v = linear(hex_colour)
    return tuple(min(1.0, max(0.0, sum(matrix[i][j] * v[j] for j in range(3)))) for i in range(3))


def contrast_on_white(hex_colour):
    r, g, b = linear(hex_colour)
    return 1.05 / (0.2126 * r + 0.7152 * g + 0.0722 * b + 0.05)


colours = [c.lstrip("#").lower() for c in sys.argv[1:]]
if len(colours) < 2:
    sys.exit(__doc__)
for name, matrix in SIMULATIONS.items():
    seen = {c: lab(simulate(c, matrix)) for c in colours}
    d, a, b = min((math.dist(seen[a], seen[b]), a, b) for a, b in itertools.combinations(colours, 2))
    print(f"{name}: closest pair {a}/{b}, distance {d:.1f}")
print(f"lowest contrast on white: {min(contrast_on_white(c) for c in colours):.2f}")
