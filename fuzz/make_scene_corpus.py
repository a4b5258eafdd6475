#!/usr/bin/env python3
"""Writes fuzz/corpus/scene/: small COLLADA files of the shapes that used to crash the scene
library behind Scene::load. Every one must be refused with a SceneError; the scene tests load
each of them. Run from anywhere: python3 fuzz/make_scene_corpus.py"""

import pathlib

OUT = pathlib.Path(__file__).resolve().parent / "corpus" / "scene"

HEAD = """<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset><unit name="meter" meter="1"/><up_axis>Y_UP</up_axis></asset>
"""


def source(array_count="9", values="0 0 0 1 0 0 0 1 0", count="3", stride="3", offset=None):
    offset_attr = f' offset="{offset}"' if offset is not None else ""
    return f"""        <source id="M-positions">
          <float_array id="M-positions-array" count="{array_count}">{values}</float_array>
          <technique_common>
            <accessor source="#M-positions-array" count="{count}" stride="{stride}"{offset_attr}>
              <param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/>
            </accessor>
          </technique_common>
        </source>
        <vertices id="M-vertices"><input semantic="POSITION" source="#M-positions"/></vertices>
"""


def primitive(kind="triangles", count="1", inner="<p>0 1 2</p>", extra_input=""):
    return (f'        <{kind} count="{count}">\n'
            f'          <input semantic="VERTEX" source="#M-vertices" offset="0"/>{extra_input}\n'
            f'          {inner}\n        </{kind}>\n')


TRIANGLE = primitive()


def scene(mesh_source=None, primitive=TRIANGLE, nodes='<node id="N" name="N"><instance_geometry url="#M"/></node>',
          library_nodes=""):
    mesh_source = source() if mesh_source is None else mesh_source
    return (HEAD + f"""  <library_geometries>
    <geometry id="M" name="M">
      <mesh>
{mesh_source}{primitive}      </mesh>
    </geometry>
  </library_geometries>
{library_nodes}  <library_visual_scenes>
    <visual_scene id="S" name="S">
      {nodes}
    </visual_scene>
  </library_visual_scenes>
  <scene><instance_visual_scene url="#S"/></scene>
</COLLADA>
""")


def nested(depth):
    return "".join(f'<node id="n{i}">' for i in range(depth)) + "</node>" * depth


SHAPES = {
    "accessor-huge-stride.dae": scene(source(stride="4294967295")),
    "accessor-huge-offset.dae": scene(source(offset="18446744073709551000")),
    "accessor-long-stride.dae": scene(source(stride="2000000000")),
    "accessor-past-its-array.dae": scene(source(count="30")),
    "array-negative-count.dae": scene(source(array_count="-1")),
    "array-count-past-its-values.dae": scene(source(array_count="900000000")),
    "polylist-without-vcount.dae": scene(primitive=primitive("polylist")),
    "polylist-vcount-past-its-indices.dae": scene(
        primitive=primitive("polylist", inner="<vcount>1000000000</vcount><p>0 1 2</p>")),
    "triangles-count-past-its-indices.dae": scene(primitive=primitive(count="1000")),
    "triangles-without-p.dae": scene(primitive=primitive(inner="")),
    "triangles-index-past-its-source.dae": scene(primitive=primitive(inner="<p>0 1 3</p>")),
    "triangles-index-not-plain.dae": scene(primitive=primitive(inner="<p>0 1 4000000000</p>")),
    "triangles-huge-input-offset.dae": scene(primitive=primitive(
        extra_input='<input semantic="NORMAL" source="#M-positions" offset="2000000000"/>')),
    "visual-scene-unresolved.dae": scene().replace('<instance_visual_scene url="#S"/>',
                                                    '<instance_visual_scene url="#Elsewhere"/>'),
    "instance-geometry-without-url.dae": scene(nodes='<node id="N"><instance_geometry/></node>'),
    "instance-geometry-unresolved.dae": scene(nodes='<node id="N"><instance_geometry url="#Elsewhere"/></node>'),
    "translate-not-a-number.dae": scene(nodes='<node id="N"><translate>3 0!-2 1</translate></node>'),
    "matrix-short.dae": scene(nodes='<node id="N"><matrix>1 0 0 0 0 1 0 0 0 0 1 0 0 0 0</matrix></node>'),
    "float-array-not-numbers.dae": scene(source(values="0 0 0 1 0 0 0 1 x")),
    "unit-not-a-number.dae": scene().replace('meter="1"', 'meter="one"'),
    "id-given-twice.dae": scene(library_nodes='  <library_nodes>\n    <node id="A"/>\n    <node id="A"/>\n  </library_nodes>\n'),
    "instance-node-itself.dae": scene(nodes='<node id="Loop"><instance_node url="#Loop"/></node>'),
    "instance-node-ancestor.dae": scene(
        nodes='<node id="Top"><node id="Middle"><node id="Bottom"><instance_node url="#Top"/></node></node></node>'),
    "instance-node-library-cycle.dae": scene(
        nodes='<node id="Root"><instance_node url="#A"/></node>',
        library_nodes="""  <library_nodes>
    <node id="A"><instance_node url="#B"/></node>
    <node id="B"><node id="C"><instance_node url="#A"/></node></node>
  </library_nodes>
"""),
    "instance-node-doubling.dae": scene(
        nodes='<node id="Root"><instance_node url="#L0"/></node>',
        library_nodes="  <library_nodes>\n" + "".join(
            f'    <node id="L{i}"><instance_node url="#L{i + 1}"/><instance_node url="#L{i + 1}"/></node>\n'
            for i in range(40)) + '    <node id="L40"/>\n  </library_nodes>\n'),
    "mesh-instanced-too-often.dae": scene(
        primitive=primitive(count="2000", inner="<p>" + "0 1 2 " * 2000 + "</p>"),
        nodes='<node id="Root"><instance_node url="#L0"/></node>',
        library_nodes="  <library_nodes>\n" + "".join(
            f'    <node id="L{i}"><instance_node url="#L{i + 1}"/><instance_node url="#L{i + 1}"/></node>\n'
            for i in range(12)) + '    <node id="L12"><instance_geometry url="#M"/></node>\n  </library_nodes>\n'),
    "nodes-nested-too-deep.dae": scene(nodes=nested(200)),
    "zip-archive.dae": "PK\x03\x04 an archive the reader would look into",
    "elements-nested-too-deep.dae": scene(nodes='<node id="N"><extra>' + "<x>" * 3000 + "</x>" * 3000 +
                                      "</extra></node>"),
    "truncated.dae": scene()[:700],
    "not-xml.dae": "COLLADA? <<< not a document\n",
}


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for name, text in SHAPES.items():
        (OUT / name).write_text(text)


if __name__ == "__main__":
    main()
