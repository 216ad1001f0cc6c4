#!/usr/bin/env python3
"""Writes the bundled example: a sample of shell-like outlines and its curve protocol.

Each specimen has 4 landmarks (apex, base and two muscle-scar points), a closed outline of
20 semi-landmarks and an open inner ridge from the apex to the base with 8 points between
them (6 semi-landmarks and 2 helper points). Specimens differ by smooth shape variation,
rotation, scale and translation, and the semi-landmarks are unevenly spaced along their curves,
so sliding has work to do. A fixed seed makes the files the same on every run.

OUTLINE and RIDGE change the number of outline semi-landmarks and of ridge points (at least
2, the first and last being helper points), for larger samples: 92 and 24 give 120 points.

usage: make_example.py [FOLDER] [SPECIMENS] [OUTLINE] [RIDGE]
"""
import math
import os
import random
import sys

SEED = 20261210
OUTLINE, RIDGE = 20, 8


def outline_point(t, shape):
    a, b, c = shape
    r = 1.0 + 0.18 * math.cos(2 * t) + a * math.cos(3 * t) + b * math.sin(t) + c * math.sin(2 * t)
    return r * math.cos(t) * 1.3, r * math.sin(t)


def specimen(rng):
    """One specimen's points: landmarks, outline, ridge."""
    shape = (rng.gauss(0, 0.05), rng.gauss(0, 0.06), rng.gauss(0, 0.04))
    apex = outline_point(0.0, shape)
    base = outline_point(math.pi, shape)
    apex = (apex[0] * 0.7, apex[1] * 0.7)
    base = (base[0] * 0.7, base[1] * 0.7)
    scar1 = (0.35 + rng.gauss(0, 0.03), 0.45 + rng.gauss(0, 0.03))
    scar2 = (-0.4 + rng.gauss(0, 0.03), 0.4 + rng.gauss(0, 0.03))
    points = [apex, base, scar1, scar2]
    # Outline semi-landmarks at uneven angles: jittered and drifted, as a digitiser places them.
    drift = rng.uniform(-0.15, 0.15)
    for i in range(OUTLINE):
        t = 2 * math.pi * i / OUTLINE + drift + rng.uniform(-0.08, 0.08)
        points.append(outline_point(t, shape))
    # The ridge bows downwards between apex and base; its points are unevenly spaced.
    bow = -0.25 + rng.gauss(0, 0.05)
    fractions = sorted(rng.uniform(0.05, 0.95) for _ in range(RIDGE))
    for f in fractions:
        x = apex[0] + (base[0] - apex[0]) * f
        y = apex[1] + (base[1] - apex[1]) * f + bow * math.sin(math.pi * f)
        points.append((x, y))
    return points


def pose(points, rng):
    turn, scale = rng.uniform(-math.pi, math.pi), rng.uniform(20, 60)
    dx, dy = rng.uniform(-200, 200), rng.uniform(-200, 200)
    c, s = math.cos(turn), math.sin(turn)
    return [(scale * (x * c - y * s) + dx + rng.gauss(0, 0.1), scale * (x * s + y * c) + dy + rng.gauss(0, 0.1))
            for x, y in points]


def protocol_rows():
    rows = [(0, 0, p, 0) for p in (1, 2, 3, 4)]
    rows += [(-1, 0, p, 1) for p in range(5, 5 + OUTLINE)]
    ridge = list(range(5 + OUTLINE, 5 + OUTLINE + RIDGE))
    rows.append((1, 0, 1, 0))
    for i, p in enumerate(ridge):
        rows.append((1, 0, p, 2 if i in (0, RIDGE - 1) else 1))
    rows.append((1, 0, 2, 0))
    return rows


def main():
    global OUTLINE, RIDGE
    if len(sys.argv) > 3:
        OUTLINE = int(sys.argv[3])
    if len(sys.argv) > 4:
        RIDGE = int(sys.argv[4])
    if OUTLINE < 3 or RIDGE < 2:
        sys.exit("make_example.py: the outline needs at least 3 points and the ridge at least 2")
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "examples")
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    rng = random.Random(SEED)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "shells.txt"), "w") as f:
        for i in range(count):
            pts = pose(specimen(rng), rng)
            f.write(" ".join("%.4f %.4f" % p for p in pts) + " %d\n" % (i + 1))
    with open(os.path.join(folder, "shells_protocol.txt"), "w") as f:
        for r in protocol_rows():
            f.write("%d %d %d %d\n" % r)


if __name__ == "__main__":
    main()
