#!/usr/bin/env python3
"""Writes ring.obj and ring.mtl: a low-poly ring (a torus lying in the
x-z plane, 24 x 12 segments, 576 triangles) in two alternating colours.

The build does not run this; it imports the committed ring.obj with
`vtxmesh import`. Run it again only to change the model:
    python3 make_ring.py   (in this folder)
"""
import math

MAJOR, MINOR = 1.2, 0.45  # radius of the ring and of its tube
AROUND, ACROSS = 24, 12   # segments along the ring and around the tube
STRIPE = 3                # segments of one colour before the other


def main():
    positions, normals = [], []
    for i in range(AROUND):
        a = 2 * math.pi * i / AROUND
        for j in range(ACROSS):
            b = 2 * math.pi * j / ACROSS
            n = (math.cos(b) * math.cos(a), math.sin(b), math.cos(b) * math.sin(a))
            centre = (MAJOR * math.cos(a), 0.0, MAJOR * math.sin(a))
            positions.append(tuple(centre[k] + MINOR * n[k] for k in range(3)))
            normals.append(n)

    def index(i, j):  # 1-based OBJ index of ring segment i, tube segment j
        return (i % AROUND) * ACROSS + (j % ACROSS) + 1

    with open("ring.mtl", "w") as mtl:
        mtl.write("# Two colours of the ring (made by make_ring.py)\n")
        mtl.write("newmtl amber\nKd 0.95 0.6 0.15\n")
        mtl.write("newmtl cream\nKd 0.95 0.92 0.8\n")
    with open("ring.obj", "w") as obj:
        obj.write("# A low-poly ring: %d vertices, %d triangles (made by make_ring.py)\n"
                  % (len(positions), 2 * AROUND * ACROSS))
        obj.write("mtllib ring.mtl\n")
        for p in positions:
            obj.write("v %.5f %.5f %.5f\n" % p)
        for n in normals:
            obj.write("vn %.5f %.5f %.5f\n" % n)
        for stripe, material in ((0, "amber"), (1, "cream")):
            obj.write("usemtl %s\n" % material)
            for i in range(AROUND):
                if (i // STRIPE) % 2 != stripe:
                    continue
                for j in range(ACROSS):
                    # Counter-clockwise seen from outside: a, c, b and b, c, d.
                    a, b = index(i, j), index(i, j + 1)
                    c, d = index(i + 1, j), index(i + 1, j + 1)
                    for f in ((a, b, c), (c, b, d)):
                        obj.write("f %s\n" % " ".join("%d//%d" % (v, v) for v in f))


if __name__ == "__main__":
    main()
