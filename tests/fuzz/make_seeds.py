#!/usr/bin/env python3
"""Writes the small seed inputs of the fuzz targets into corpus/<target>/ (seeded, so the same
files every time). The test fixtures seed the targets too: CMakeLists.txt names the folders of
each. Run from any folder: python3 tests/fuzz/make_seeds.py"""
import json
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
rng = random.Random(6)


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def sample(points, n, noise=0.02):
    """n specimens of the given points, jittered, each row ending with a trailing value."""
    lines = []
    for s in range(n):
        row = []
        for x, y in points:
            row += [x + rng.gauss(0, noise), y + rng.gauss(0, noise)]
        lines.append(" ".join("%.3f" % v for v in row) + " %d" % (s + 1))
    return "\n".join(lines) + "\n"


def protocol(rows):
    return "".join("%d %d %d %d\n" % r for r in rows)


# An open ridge: landmarks 1 and 2 at its ends, five semi-landmarks between, landmark 8 aside.
ridge = [(0, 0), (1, 0)] + [(t / 6, 0.3 * math.sin(math.pi * t / 6)) for t in range(1, 6)] + [(0.5, -0.5)]
ridge_data = sample(ridge, 5)
ridge_protocol = protocol([(0, 0, 1, 0), (0, 0, 2, 0), (0, 0, 8, 0)] +
                          [(1, 0, p, t) for p, t in [(1, 0), (3, 1), (4, 1), (5, 1), (6, 1), (7, 1), (2, 0)]])
# A closed outline of eight semi-landmarks around two landmarks.
ring = [(-0.2, 0), (0.2, 0)] + [(math.cos(2 * math.pi * i / 8), 0.7 * math.sin(2 * math.pi * i / 8)) for i in range(8)]
ring_data = sample(ring, 4)
ring_protocol = protocol([(0, 0, 1, 0), (0, 0, 2, 0)] + [(-1, 0, p, 1) for p in range(3, 11)])

def tps(points, n, landmarks, curve, noise=0.02):
    """n specimens as TPS: the given landmark points, then one CURVES block of the curve points."""
    text = ""
    for s in range(n):
        jit = [(x + rng.gauss(0, noise), y + rng.gauss(0, noise)) for x, y in points]
        text += "LM=%d\n" % len(landmarks) + "".join("%.3f %.3f\n" % jit[p - 1] for p in landmarks)
        text += "CURVES=1\nPOINTS=%d\n" % len(curve) + "".join("%.3f %.3f\n" % jit[p - 1] for p in curve)
        text += "ID=s%d\nSCALE=%.2f\n" % (s + 1, 1 + 0.1 * s)
    return text


# The ridge as TPS: landmarks 1, 2, 8 become points 1 to 3, the curve points 3 to 7 points 4 to 8.
ridge_tps = tps(ridge, 4, [1, 2, 8], [3, 4, 5, 6, 7])
ridge_tps_protocol = protocol([(0, 0, 1, 0), (0, 0, 2, 0), (0, 0, 3, 0)] +
                              [(1, 0, p, t) for p, t in [(1, 0), (4, 1), (5, 1), (6, 1), (7, 1), (8, 1), (2, 0)]])

put("fuzz_recognise", "ridge.tps", ridge_tps)
put("fuzz_recognise", "ridge.txt", ridge_data)
put("fuzz_recognise", "ridge_protocol.txt", ridge_protocol)
put("fuzz_recognise", "commas_crlf.txt", "1.5,2,3e-1\r\n-4,5.25,6\r\n")
put("fuzz_recognise", "end_line.txt", "1 2 3\n4 5 6\n\n7 8 9\n")
put("fuzz_recognise", "bad_token.txt", "1 2 3\n4 x 6\n")

# The other programs' layouts, from the format fixtures, and a TPS file with missing points.
FORMATS = os.path.join(HERE, "..", "data", "formats")
for name in ("twin.nts", "twin_morphoj.txt", "twin_morphologika.txt"):
    with open(os.path.join(FORMATS, name), "rb") as f:
        put("fuzz_recognise", name, f.read())
put("fuzz_recognise", "morphoj_tabs.txt", "ID\tx1\ty1\tx2\ty2\na\t1\t2\t3\t4\nb\t1.5\t2\t3\t4.5\n")
put("fuzz_recognise", "missing_points.tps", "LM=3\n10 20\n-1 -1\n20 40\nID=a\nLM=3\n11 21\n30 19\n-999 -999\n")
# An NTS parameter line whose count lies far beyond any whole number.
put("fuzz_recognise", "huge_count.nts", "1 4e58 4 0 DIM=2\n0 0 1 1\n")

# Sliders tables: a header and comma rows, a closed chain in blank-separated rows, and a
# four-column protocol that is no sliders table.
put("fuzz_sliders", "open_header.csv", "before,slider,after\n1,2,3\n2,3,4\n3,4,5\n")
put("fuzz_sliders", "closed.txt", "8 5 6\n5 6 7\n6 7 8\n7 8 5\n")
put("fuzz_sliders", "semicolons.csv", "a;b;c\r\n9;10;11\r\n")
put("fuzz_sliders", "loop_through_landmark.csv", "8- 5 6\n5 6 7\n6 7 8\n7 8 5\n")
put("fuzz_sliders", "protocol.txt", ridge_protocol)

with open(os.path.join(HERE, "..", "..", "resources", "tavrel6.fig")) as f:
    window = json.load(f)
put("fuzz_figure_file", "window.fig", json.dumps(window, separators=(",", ":")))
put("fuzz_figure_file", "small.fig", json.dumps({
    "figure": {"Name": "t", "Position": [10, 10, 300, 200], "Units": "pixels"},
    "objects": [{"type": "axes", "Tag": "Axes"},
                {"type": "uicontrol", "Style": "checkbox", "Tag": "IterBox", "Value": 0,
                 "Callback": ["zidudezu", "LoadProtocol"]},
                {"type": "uipanel", "children": [{"type": "uicontrol", "Style": "text", "Tag": "FileBox"}]}]}))

# One control byte (1 iterate, 2 distance, 4 no alignment, 8 reference, 16 tangents, 32 curves),
# the data, '|', the protocol.
for bits in (0, 1, 2, 4, 10, 16 | 32):
    put("fuzz_load_run", "ridge_%02d" % bits, bytes([bits]) + (ridge_data + "|" + ridge_protocol).encode())
for bits in (0, 2):
    put("fuzz_load_run", "ridge_tps_%02d" % bits, bytes([bits]) + (ridge_tps + "|" + ridge_tps_protocol).encode())
for bits in (0, 2):
    put("fuzz_load_run", "ring_%02d" % bits, bytes([bits]) + (ring_data + "|" + ring_protocol).encode())

# A seed per reader of its own: the layouts above, and what each reader's fixtures leave out.
put("fuzz_rows", "ridge.txt", ridge_data)
put("fuzz_rows", "commas_crlf.txt", "1.5,2,3e-1\r\n-4,5.25,6\r\n")
put("fuzz_rows", "end_line.txt", "1 2 3\n4 5 6\n\n7 8 9\n")
put("fuzz_tps", "ridge.tps", ridge_tps)
put("fuzz_tps", "missing_points.tps", "LM=3\n10 20\n-1 -1\n20 40\nID=a\nLM=3\n11 21\n30 19\n-999 -999\n")
# Labels for rows and columns, a missing-value code, a comment.
put("fuzz_nts", "labels.nts", "\"wings\n1 2L 4L 1 -999 DIM=2\na b\nx1 y1 x2 y2\n0 0 1 1\n2 2 3 3\n")
put("fuzz_nts", "huge_count.nts", "1 4e58 4 0 DIM=2\n0 0 1 1\n")
put("fuzz_morphologika", "sizes.txt",
    "' two individuals\n[individuals]\n2\n[landmarks]\n2\n[dimensions]\n2\n[names]\na\nb\n"
    "[labels]\nSex CentroidSize\n[labelvalues]\nf 1.5\nm 2.5\n[rawpoints]\n0 0\n1 1\n0 1\n1 0\n[wireframe]\n1 2\n")
put("fuzz_morphoj", "tabs.txt", "ID\tx1\ty1\tx2\ty2\na\t1\t2\t3\t4\nb\t1.5\t2\t3\t4.5\n")
put("fuzz_morphoj", "semicolons.csv", "ID;x1;y1;x2;y2\r\na;1;2;3;4\r\n")
put("fuzz_protocol", "ridge_protocol.txt", ridge_protocol)
put("fuzz_protocol", "ring_protocol.txt", ring_protocol)
