#!/usr/bin/env python3
"""Writes the two controller scenes under resources/scenes/: "Joystick.dae" and "Dial.dae".

Both are COLLADA 1.4.1, Y up, one unit a metre, as resources/scenes/README.md asks. The controllers
look at them down the -z axis, so each gadget faces +z:

- Joystick: "Base" (a flat disc), "AxisX" (a bar along x that turns about x only) and "Handler"
  (a stick standing along +z with a knob on top, which tilts toward the drag). Node names equal
  their ids, so the loader finds them by name; every id in a file is given once (the visual scene's
  id is "<name>Scene").
- Dial: "DialBase" (a wide flat ring plate behind) and "Dial" (the disc that turns about its own z
  axis) with a "Pointer" bar along the disc's +x, so a turn shows.

The meshes are triangles with positions only; the controllers put their own materials on them.
The output is deterministic, so running this again gives the same files.
"""
import math
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "resources" / "scenes"


def fmt(v):
    text = f"{v:.6f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def prism(radius, z0, z1, sides=24):
    """An n-sided prism along z (a disc when thin): positions and triangles."""
    pts = []
    for z in (z0, z1):
        for i in range(sides):
            a = 2 * math.pi * i / sides
            pts.append((radius * math.cos(a), radius * math.sin(a), z))
    pts.append((0.0, 0.0, z0))
    pts.append((0.0, 0.0, z1))
    c0, c1 = 2 * sides, 2 * sides + 1
    tris = []
    for i in range(sides):
        j = (i + 1) % sides
        tris.append((c0, j, i))  # back cap, facing -z
        tris.append((c1, sides + i, sides + j))  # front cap, facing +z
        tris.append((i, j, sides + j))
        tris.append((i, sides + j, sides + i))
    return pts, tris


def box(x0, y0, z0, x1, y1, z1):
    pts = [(x, y, z) for z in (z0, z1) for y in (y0, y1) for x in (x0, x1)]
    quads = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)]
    tris = []
    for a, b, c, d in quads:
        tris += [(a, b, c), (a, c, d)]
    return pts, tris


def geometry(gid, mesh):
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
        <triangles material="Body" count="{len(tris)}">
          <input semantic="VERTEX" source="#{gid}-vertices" offset="0"/>
          <p>{indices}</p>
        </triangles>
      </mesh>
    </geometry>
"""


def node(name, translate, mesh_id=None, children=(), indent=6):
    pad = " " * indent
    lines = [f'{pad}<node id="{name}" name="{name}">',
             f"{pad}  <translate>{' '.join(fmt(c) for c in translate)}</translate>"]
    if mesh_id:
        lines += [f'{pad}  <instance_geometry url="#{mesh_id}">',
                  f"{pad}    <bind_material><technique_common>",
                  f'{pad}      <instance_material symbol="Body" target="#BodyMaterial"/>',
                  f"{pad}    </technique_common></bind_material>",
                  f"{pad}  </instance_geometry>"]
    for child in children:
        lines.append(child(indent + 2))
    lines.append(f"{pad}</node>")
    return "\n".join(lines)


def document(title, geometries, nodes):
    geos = "".join(geometry(gid, mesh) for gid, mesh in geometries)
    body = "\n".join(n(6) for n in nodes)
    return f"""<?xml version="1.0" encoding="utf-8"?>
<!-- {title}: written by scripts/make_controller_scenes.py; edit that script, not this file. -->
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset>
    <unit name="meter" meter="1"/>
    <up_axis>Y_UP</up_axis>
  </asset>
  <library_effects>
    <effect id="BodyEffect">
      <profile_COMMON>
        <technique sid="common">
          <phong>
            <diffuse><color sid="diffuse">0.33 0.33 0.33 1</color></diffuse>
            <specular><color sid="specular">1 1 1 1</color></specular>
            <shininess><float sid="shininess">0.4</float></shininess>
          </phong>
        </technique>
      </profile_COMMON>
    </effect>
  </library_effects>
  <library_materials>
    <material id="BodyMaterial" name="BodyMaterial">
      <instance_effect url="#BodyEffect"/>
    </material>
  </library_materials>
  <library_geometries>
{geos}  </library_geometries>
  <library_visual_scenes>
    <visual_scene id="{title}Scene" name="{title}">
{body}
    </visual_scene>
  </library_visual_scenes>
  <scene>
    <instance_visual_scene url="#{title}Scene"/>
  </scene>
</COLLADA>
"""


def at(name, translate, mesh_id=None, children=()):
    return lambda indent: node(name, translate, mesh_id, children, indent)


def joystick():
    geometries = [
        ("BaseMesh", prism(0.5, -0.08, 0.0)),
        ("AxisXMesh", box(-0.45, -0.03, 0.0, 0.45, 0.03, 0.06)),
        ("StickMesh", prism(0.04, 0.0, 0.45, sides=12)),
        ("KnobMesh", prism(0.1, -0.06, 0.06, sides=16)),
    ]
    nodes = [
        at("Base", (0, 0, 0), "BaseMesh"),
        at("AxisX", (0, 0, 0), "AxisXMesh"),
        at("Handler", (0, 0, 0), "StickMesh", [at("Knob", (0, 0, 0.5), "KnobMesh")]),
    ]
    return document("Joystick", geometries, nodes)


def dial():
    geometries = [
        ("DialBaseMesh", prism(0.55, -0.1, -0.04, sides=32)),
        ("DialMesh", prism(0.45, -0.04, 0.0, sides=32)),
        ("PointerMesh", box(0.0, -0.03, 0.0, 0.4, 0.03, 0.03)),
    ]
    nodes = [
        at("DialBase", (0, 0, 0), "DialBaseMesh"),
        at("Dial", (0, 0, 0), "DialMesh", [at("Pointer", (0, 0, 0), "PointerMesh")]),
    ]
    return document("Dial", geometries, nodes)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    (OUT / "Joystick.dae").write_text(joystick())
    (OUT / "Dial.dae").write_text(dial())


if __name__ == "__main__":
    main()
