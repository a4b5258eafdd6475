#!/usr/bin/env python3
"""Writes the painting tools' scenes under resources/scenes/ and the bristle picture
resources/images/BrushBristles.png, from the tables of tool dimensions below.

    scripts/make_tool_scenes.py           write every file
    scripts/make_tool_scenes.py --check   write nothing; list the files that differ from what this
                                          script makes and exit 1 if any does

Every scene is COLLADA 1.4.1, Y up, one unit a metre (resources/scenes/README.md). A tool stands
upright along +y with the point that meets the canvas at the origin: its head runs from y = 0 (the
tip, "MarkDown") up to y = length ("MarkTop"), the handle above. The head's footprint lies in the
x-z plane at y = 0, where the other five markers sit: "MarkHeadTop" on the front of the rim (least
z), "MarkHeadLeft" and "MarkHeadRight" at the sides, "MarkLeft" and "MarkRight" at the x extremes
behind the rim (greater z than "MarkHeadTop"). The markers are empty nodes beside the meshes under
the one top-level node of each file, so nothing that moves a mesh moves a marker.

The brush scenes hang the bristles from the ferrule as a chain of five segments: "Brush" (the
segment next to the ferrule, whose geometry takes the bristle picture), then "Bone2" to "Bone5",
each a child of the one before, so turning a bone bends the rest of the tuft.

The tools shown at viewer scale 0.1 (roller, sander, turpentine, fluffy mop) are authored ten times
larger, so that every head measures a few tens of model cells (the README has the table).

The output depends on nothing but this file: numbers are written with six decimals, the picture is
drawn from a fixed linear congruential sequence and stored uncompressed, so running the script again
gives the same bytes.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SCENES = ROOT / "resources" / "scenes"
IMAGES = ROOT / "resources" / "images"

# --- colours of the materials: diffuse RGB, shininess ------------------------------------------------

MATERIALS = {
    "Wood": ((0.55, 0.34, 0.18), 0.3),
    "Metal": ((0.72, 0.72, 0.76), 0.8),
    "Plastic": ((0.16, 0.18, 0.22), 0.5),
    "Bristle": ((0.86, 0.78, 0.62), 0.15),
    "Blade": ((0.62, 0.63, 0.68), 0.9),
    "Cloth": ((0.93, 0.91, 0.86), 0.05),
    "Paper": ((0.78, 0.66, 0.45), 0.05),
    "Sponge": ((0.95, 0.85, 0.45), 0.05),
    "Fluff": ((0.96, 0.94, 0.90), 0.05),
    "Rubber": ((0.30, 0.30, 0.32), 0.2),
    "Paint": ((0.85, 0.20, 0.15), 0.6),
}


# --- meshes: (points, triangles) ---------------------------------------------------------------------

def fmt(v):
    text = f"{v:.6f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def frustum(rx0, rz0, rx1, rz1, y0, y1, sides=16, cx=0.0, cz=0.0):
    """A closed elliptic frustum along y: radii (rx0, rz0) at y0 and (rx1, rz1) at y1."""
    pts = []
    for rx, rz, y in ((rx0, rz0, y0), (rx1, rz1, y1)):
        for i in range(sides):
            a = 2 * math.pi * i / sides
            pts.append((cx + rx * math.cos(a), y, cz + rz * math.sin(a)))
    pts += [(cx, y0, cz), (cx, y1, cz)]
    c0, c1 = 2 * sides, 2 * sides + 1
    tris = []
    for i in range(sides):
        j = (i + 1) % sides
        tris += [(c0, i, j), (c1, sides + j, sides + i), (i, sides + i, sides + j), (i, sides + j, j)]
    return pts, tris


def cylinder(r, y0, y1, sides=16, cx=0.0, cz=0.0):
    return frustum(r, r, r, r, y0, y1, sides, cx, cz)


def box(x0, y0, z0, x1, y1, z1):
    pts = [(x, y, z) for z in (z0, z1) for y in (y0, y1) for x in (x0, x1)]
    quads = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)]
    tris = []
    for a, b, c, d in quads:
        tris += [(a, b, c), (a, c, d)]
    return pts, tris


def plate(outline, z0, z1):
    """A convex outline in the x-y plane (counter-clockwise), made solid from z0 to z1."""
    n = len(outline)
    pts = [(x, y, z) for z in (z0, z1) for x, y in outline]
    tris = []
    for i in range(1, n - 1):
        tris += [(0, i + 1, i), (n, n + i, n + i + 1)]
    for i in range(n):
        j = (i + 1) % n
        tris += [(i, j, n + j), (i, n + j, n + i)]
    return pts, tris


def mapped(mesh, f):
    pts, tris = mesh
    return [f(*p) for p in pts], tris


def merged(*meshes):
    pts, tris = [], []
    for p, t in meshes:
        base = len(pts)
        pts += p
        tris += [tuple(base + i for i in tri) for tri in t]
    return pts, tris


def along_x(mesh):
    """A mesh made along y, laid along x (y becomes x, x becomes -y)."""
    return mapped(mesh, lambda x, y, z: (y, -x, z))


def along_z(mesh):
    """A mesh made along y, laid along z (y becomes z, z becomes -y)."""
    return mapped(mesh, lambda x, y, z: (x, -z, y))


def arc(cx, cy, r, a0, a1, steps):
    return [(cx + r * math.cos(a0 + (a1 - a0) * i / steps), cy + r * math.sin(a0 + (a1 - a0) * i / steps))
            for i in range(steps + 1)]


# --- the markers -----------------------------------------------------------------------------------

class Head:
    """The markers of a tool head: its length along the tool axis and five footprint points (x, z)."""

    def __init__(self, length, head_top, head_left, head_right, left, right):
        self.length = length
        self.points = {"MarkHeadTop": head_top, "MarkHeadLeft": head_left, "MarkHeadRight": head_right,
                       "MarkLeft": left, "MarkRight": right}

    def markers(self):
        nodes = [Node("MarkTop", (0, self.length, 0)), Node("MarkDown", (0, 0, 0))]
        nodes += [Node(name, (x, 0, z)) for name, (x, z) in self.points.items()]
        return nodes


def rim(cx, cz, r, degrees):
    """The point of the circle of radius r round (cx, cz) at `degrees` from its front (least z)."""
    a = math.radians(degrees)
    return (cx + r * math.sin(a), cz - r * math.cos(a))


# --- the document ----------------------------------------------------------------------------------

class Node:
    def __init__(self, name, translate=(0, 0, 0), mesh=None, material=None, children=()):
        self.name, self.translate, self.mesh, self.material = name, translate, mesh, material
        self.children = list(children)

    def geometries(self):
        own = [(self.name + "Mesh", self.mesh)] if self.mesh else []
        return own + [g for c in self.children for g in c.geometries()]

    def materials(self):
        own = [self.material] if self.mesh else []
        return own + [m for c in self.children for m in c.materials()]

    def xml(self, indent):
        pad = " " * indent
        lines = [f'{pad}<node id="{self.name}" name="{self.name}">']
        if any(self.translate):
            lines.append(f"{pad}  <translate>{' '.join(fmt(c) for c in self.translate)}</translate>")
        if self.mesh:
            lines += [f'{pad}  <instance_geometry url="#{self.name}Mesh">',
                      f"{pad}    <bind_material><technique_common>",
                      f'{pad}      <instance_material symbol="{self.material}" target="#{self.material}Material"/>',
                      f"{pad}    </technique_common></bind_material>",
                      f"{pad}  </instance_geometry>"]
        lines += [c.xml(indent + 2) for c in self.children]
        lines.append(f"{pad}</node>")
        return "\n".join(lines)


def geometry_xml(gid, mesh, material):
    pts, tris = mesh
    floats = " ".join(fmt(c) for p in pts for c in p)
    indices = " ".join(str(i) for t in tris for i in t)
    return f"""    <geometry id="{gid}" name="{gid}">
      <mesh>
        <source id="{gid}-positions">
          <float_array id="{gid}-positions-array" count="{3 * len(pts)}">{floats}</float_array>
          <technique_common>
            <accessor source="#{gid}-positions-array" count="{len(pts)}" stride="3">
              <param name="X" type="float"/>
              <param name="Y" type="float"/>
              <param name="Z" type="float"/>
            </accessor>
          </technique_common>
        </source>
        <vertices id="{gid}-vertices">
          <input semantic="POSITION" source="#{gid}-positions"/>
        </vertices>
        <triangles material="{material}" count="{len(tris)}">
          <input semantic="VERTEX" source="#{gid}-vertices" offset="0"/>
          <p>{indices}</p>
        </triangles>
      </mesh>
    </geometry>
"""


def document(title, top):
    used = sorted(set(top.materials()))
    effects = "".join(f"""    <effect id="{m}Effect">
      <profile_COMMON>
        <technique sid="common">
          <phong>
            <diffuse><color sid="diffuse">{' '.join(fmt(c) for c in MATERIALS[m][0])} 1</color></diffuse>
            <specular><color sid="specular">1 1 1 1</color></specular>
            <shininess><float sid="shininess">{fmt(MATERIALS[m][1])}</float></shininess>
          </phong>
        </technique>
      </profile_COMMON>
    </effect>
""" for m in used)
    materials = "".join(f"""    <material id="{m}Material" name="{m}Material">
      <instance_effect url="#{m}Effect"/>
    </material>
""" for m in used)
    geos = "".join(geometry_xml(gid, mesh, mat) for (gid, mesh), mat in zip(top.geometries(), top.materials()))
    return f"""<?xml version="1.0" encoding="utf-8"?>
<!-- {title}: written by scripts/make_tool_scenes.py; edit that script, not this file. -->
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset>
    <unit name="meter" meter="1"/>
    <up_axis>Y_UP</up_axis>
  </asset>
  <library_effects>
{effects}  </library_effects>
  <library_materials>
{materials}  </library_materials>
  <library_geometries>
{geos}  </library_geometries>
  <library_visual_scenes>
    <visual_scene id="{title}Scene" name="{title}">
{top.xml(6)}
    </visual_scene>
  </library_visual_scenes>
  <scene>
    <instance_visual_scene url="#{title}Scene"/>
  </scene>
</COLLADA>
"""


def tool(title, head, meshes):
    """A scene of one top-level node `title` holding the meshes (Node objects) and the markers."""
    return title, document(title, Node(title, children=list(meshes) + head.markers()))


def handle(y0, length, radius, material="Wood"):
    return Node("Handle", mesh=frustum(radius, radius, radius * 1.25, radius * 1.25, y0, y0 + length, 12),
                material=material)


# --- the brushes -----------------------------------------------------------------------------------

# Each brush: the head's markers, and the tuft's cross-section (half width x, half thickness z) at
# the ferrule, at each of the four joints and at the tip. The tuft is as long as the head.
BRUSHES = {
    # A flat brush: a straight-edged slab, wide across x and thin across z.
    "FlatBrush": (Head(1.8, (0, -0.35), (-0.75, 0.05), (0.75, 0.05), (-0.8, 0.25), (0.8, 0.25)),
                  [(0.8, 0.2), (0.8, 0.2), (0.8, 0.18), (0.79, 0.15), (0.78, 0.11), (0.76, 0.06)]),
    # A fan: the tuft spreads from a narrow ferrule to a wide, thin arc; the rim markers lie on
    # the arc round (0, 0.35), the outer markers reach the spread tips.
    "FanBrush": (Head(1.6, rim(0, 0.35, 0.6, 0), rim(0, 0.35, 0.6, -50), rim(0, 0.35, 0.6, 55),
                      (-0.9, 0.4), (0.9, 0.4)),
                 [(0.35, 0.09), (0.48, 0.08), (0.62, 0.07), (0.75, 0.06), (0.85, 0.05), (0.9, 0.04)]),
    # A filbert: an oval tuft closing to a rounded tip; the rim markers lie on the circle of
    # radius 0.6 round (0, 0.1).
    "FilbertBrush": (Head(1.8, rim(0, 0.1, 0.6, 0), rim(0, 0.1, 0.6, -100), rim(0, 0.1, 0.6, 95),
                          (-0.65, 0.3), (0.65, 0.3)),
                     [(0.65, 0.28), (0.65, 0.28), (0.62, 0.26), (0.56, 0.23), (0.45, 0.18), (0.25, 0.1)]),
}


def brush(title, head, sections):
    length = head.length
    step = length / 5
    chain = None
    names = ["Brush", "Bone2", "Bone3", "Bone4", "Bone5"]
    for i in reversed(range(5)):
        (rx0, rz0), (rx1, rz1) = sections[i], sections[i + 1]
        mesh = frustum(rx0, rz0, rx1, rz1, 0, -step, 12)
        at = (0, length, 0) if i == 0 else (0, -step, 0)
        chain = Node(names[i], at, mesh, "Bristle", [chain] if chain else [])
    rx, rz = sections[0]
    ferrule = Node("Ferrule", mesh=frustum(rx + 0.04, rz + 0.04, 0.2, 0.2, length, length + 0.7, 16),
                   material="Metal")
    return tool(title, head, [handle(length + 0.7, 3.5, 0.2), ferrule, chain])


# --- the knives ------------------------------------------------------------------------------------

# Each knife: half the blade's width a, its length along the tool, how far the tip runs ahead of
# the blade's sides (t, in z) and to which side (x), and the outline of the blade's tip.
KNIVES = [
    # (a, length, t, tip x, tip shape)
    (0.55, 1.4, 0.75, 0.0, "point"),   # 1: a small pointed trowel
    (0.85, 2.0, 1.0, 0.0, "point"),    # 2: a long diamond
    (1.1, 1.6, 0.6, 0.0, "round"),     # 3: a wide rounded blade
    (0.4, 2.4, 0.3, 0.0, "square"),    # 4: a long narrow spatula
    (1.2, 1.2, 0.45, 0.0, "square"),   # 5: a wide square scraper
    (0.75, 2.2, 0.9, 0.3, "skew"),     # 6: a teardrop with its tip to the right
]


def blade_outline(a, length, shape, tip_x):
    """The blade in the x-y plane, tip at y = 0, heel at y = length, counter-clockwise."""
    shoulder = min(length * 0.45, 0.9)
    if shape == "point":
        return [(0, 0), (a, shoulder), (a * 0.8, length), (-a * 0.8, length), (-a, shoulder)]
    if shape == "round":
        return arc(0, a, a, -math.pi / 2, 0, 6)[:-1] + [(a, a), (a * 0.8, length), (-a * 0.8, length), (-a, a)] \
            + arc(0, a, a, math.pi, 3 * math.pi / 2, 6)[1:-1]
    if shape == "square":
        return [(-a, 0), (a, 0), (a, length), (-a, length)]
    return [(tip_x, 0), (a, shoulder * 0.6), (a * 0.7, length), (-a * 0.7, length), (-a, shoulder)]


def knife(n):
    a, length, t, tip_x, shape = KNIVES[n - 1]
    head = Head(length, (tip_x, -t), (-a, 0), (a, 0), (-a - 0.1, 0.15), (a + 0.1, 0.15))
    blade = Node("Blade", mesh=plate(blade_outline(a, length, shape, tip_x), -0.02, 0.02), material="Blade")
    neck = Node("Neck", mesh=box(-0.06, length, -0.03, 0.06, length + 0.9, 0.03), material="Metal")
    return tool(f"KnifeTool{n}", head, [blade, neck, handle(length + 0.9, 2.8, 0.15)])


# --- the other tools -------------------------------------------------------------------------------

def tube():
    # A paint tube standing on its nozzle: the nozzle is the head.
    head = Head(0.6, (0, -0.3), rim(0, 0, 0.3, -95), rim(0, 0, 0.3, 100), (-0.38, 0.18), (0.38, 0.18))
    nozzle = Node("Nozzle", mesh=frustum(0.22, 0.22, 0.36, 0.36, 0, 0.6, 12), material="Paint")
    shoulder = Node("Shoulder", mesh=frustum(0.36, 0.36, 0.75, 0.75, 0.6, 1.0, 16), material="Metal")
    body = Node("Body", mesh=frustum(0.75, 0.75, 0.8, 0.12, 1.0, 4.6, 16), material="Metal")
    return tool("Tube", head, [nozzle, shoulder, body])


def roller():
    # A paint roller (ten times the usual size, for viewer scale 0.1): a drum along x resting on
    # the canvas, held at one end by a bent frame.
    head = Head(12, (0, -6), (-15, 0.75), (15, 1.5), (-15, 3), (15, 3))
    drum = Node("Drum", (0, 6, 0), along_x(cylinder(6, -15, 15, 16)), "Sponge")
    frame = Node("Frame", mesh=merged(box(15.3, 5.4, -0.6, 16.5, 14, 0.6), box(-0.6, 14, -0.6, 16.5, 15.2, 0.6)),
                 material="Metal")
    return tool("Roller", head, [drum, frame, handle(15.2, 27, 1.6, "Plastic")])


def towel():
    # A bunched cloth: a soft pad under a gathered knot.
    head = Head(1.0, (0, -0.9), (-0.9, 0.05), (0.9, 0.12), (-1.0, 0.35), (1.0, 0.35))
    pad = Node("Pad", mesh=frustum(1.0, 0.9, 0.7, 0.65, 0, 1.0, 16), material="Cloth")
    knot = Node("Knot", mesh=frustum(0.7, 0.65, 0.25, 0.25, 1.0, 2.2, 12), material="Cloth")
    return tool("towel", head, [pad, knot])


def sander():
    # A sanding block (ten times the usual size): a paper-faced pad and a knob on top.
    head = Head(9, (0, -9), (-13.5, 3), (13.5, 4.5), (-13.5, 7.5), (13.5, 7.5))
    paper = Node("Paper", mesh=box(-13.5, 0, -9, 13.5, 0.9, 9), material="Paper")
    block = Node("Block", mesh=box(-12.9, 0.9, -8.4, 12.9, 9, 8.4), material="Rubber")
    knob = Node("Knob", mesh=frustum(4.5, 4.5, 3, 3, 9, 15, 16), material="Plastic")
    return tool("Sander", head, [paper, block, knob])


def turpentine():
    # A turpentine dabber (ten times the usual size): a round sponge under a bottle.
    head = Head(7.5, (0, -9), rim(0, 0, 9, -100), rim(0, 0, 9, 105), (-9.75, 3), (9.75, 3))
    sponge = Node("Sponge", mesh=frustum(9, 9, 7.5, 7.5, 0, 7.5, 16), material="Sponge")
    bottle = Node("Bottle", mesh=frustum(7.5, 7.5, 4.5, 4.5, 7.5, 30, 16), material="Plastic")
    return tool("Turpentine", head, [sponge, bottle])


def fluffy_mop():
    # A fluffy mop (ten times the usual size): a domed tuft of soft hair on a long handle.
    head = Head(15, (0, -12), rim(0, 0, 12, -105), rim(0, 0, 12, 100), (-12.75, 3), (12.75, 3))
    tuft = Node("Tuft", mesh=merged(frustum(6, 6, 12, 12, 0, 4.5, 16), frustum(12, 12, 7.5, 7.5, 4.5, 15, 16)),
                material="Fluff")
    ferrule = Node("Ferrule", mesh=frustum(7.5, 7.5, 2.4, 2.4, 15, 21, 16), material="Metal")
    return tool("FluffyMop", head, [tuft, ferrule, handle(21, 39, 2.1)])


def fan_dryer():
    # A fan heater facing +z (the camera); "Fan" turns about its own z axis in front of the body.
    blades = []
    for k in range(4):
        a = math.pi / 2 * k + 0.3
        c, s = math.cos(a), math.sin(a)
        outline = [(0.12, -0.12), (0.85, -0.25), (0.9, 0.2), (0.12, 0.12)]
        blades.append(plate([(x * c - y * s, x * s + y * c) for x, y in outline], -0.03, 0.03))
    fan = Node("Fan", (0, 0, 0.35), merged(along_z(cylinder(0.15, -0.08, 0.08, 12)), *blades), "Plastic")
    body = Node("Body", mesh=merged(along_z(cylinder(1.0, -0.3, 0.25, 24)), box(-0.25, -2.4, -0.25, 0.25, -0.9, 0.2)),
                material="Metal")
    guard = Node("Guard", mesh=merged(*[plate(ring_segment(k), 0.5, 0.54) for k in range(12)]), material="Metal")
    return "FanDryer", document("FanDryer", Node("FanDryer", children=[body, fan, guard]))


def ring_segment(k, r0=0.95, r1=1.02, n=12):
    """The k-th of n pieces of a flat ring between radii r0 and r1, in the x-y plane."""
    a0, a1 = 2 * math.pi * k / n, 2 * math.pi * (k + 1) / n
    return [(r0 * math.cos(a0), r0 * math.sin(a0)), (r1 * math.cos(a0), r1 * math.sin(a0)),
            (r1 * math.cos(a1), r1 * math.sin(a1)), (r0 * math.cos(a1), r0 * math.sin(a1))]


# --- the bristle picture ---------------------------------------------------------------------------

def bristle_png(width=64, height=64):
    """Fine vertical hairs of varying tone, as an uncompressed 8-bit RGB PNG."""
    seed = 12345

    def rand():
        nonlocal seed
        seed = (seed * 1103515245 + 12345) % (1 << 31)
        return seed / (1 << 31)

    base = MATERIALS["Bristle"][0]
    tones = [0.7 + 0.3 * rand() for _ in range(width)]
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter: none
        for x in range(width):
            tone = tones[x] * (0.92 + 0.08 * rand())
            if (x * 7 + y // 9) % 11 == 0:
                tone *= 0.75  # a darker hair now and then
            rows += bytes(min(255, int(c * 255 * tone)) for c in base)
    return png(width, height, bytes(rows))


def png(width, height, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    # zlib stream of stored blocks: no compressor, so the bytes never depend on a zlib version.
    stream = bytearray(b"\x78\x01")
    for start in range(0, len(raw), 65535):
        block = raw[start:start + 65535]
        last = 1 if start + 65535 >= len(raw) else 0
        stream += struct.pack("<BHH", last, len(block), 0xFFFF ^ len(block)) + block
    stream += struct.pack(">I", zlib.adler32(raw))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", bytes(stream)) + chunk(b"IEND", b"")


# --- output ----------------------------------------------------------------------------------------

def outputs():
    scenes = [brush(title, head, sections) for title, (head, sections) in BRUSHES.items()]
    scenes += [knife(n) for n in range(1, 7)]
    scenes += [tube(), roller(), towel(), sander(), turpentine(), fluffy_mop(), fan_dryer()]
    files = {SCENES / f"{title}.dae": text.encode("utf-8") for title, text in scenes}
    files[IMAGES / "BrushBristles.png"] = bristle_png()
    return files


def main(argv):
    files = outputs()
    if argv[1:] == ["--check"]:
        stale = [p for p, data in files.items() if not p.is_file() or p.read_bytes() != data]
        for p in stale:
            print(f"{p.relative_to(ROOT)} differs from what scripts/make_tool_scenes.py writes")
        return 1 if stale else 0
    if argv[1:]:
        print(__doc__)
        return 2
    for p, data in files.items():
        p.parent.mkdir(parents=True, exist_ok=True)
        p.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
