#pragma once
// What Scene::load checks of a file before the COLLADA reader sees it. The reader trusts what a
// file says: a count that promises more data than is there, a stride that runs past its array, a
// node that instances itself or one of its ancestors, or nesting thousands of levels deep make it
// crash, abort or allocate gigabytes. So the file is first parsed once as XML (by libxml2) and
// everything the reader relies on that can be checked cheaply is checked; a file that fails is
// refused with SceneError and never reaches the reader.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace scene {

// The limits a scene file must keep.
inline constexpr std::uintmax_t kLargestSceneFile = 16u << 20;  // bytes
inline constexpr std::size_t kDeepestXMLNesting = 256;         // elements inside elements
inline constexpr std::size_t kDeepestNodeNesting = 128;        // nodes inside nodes, instances counted
inline constexpr std::size_t kMostSceneNodes = 100'000;        // nodes once every instance is expanded
// Indices of the meshes of every node once every instance is expanded (each node gets its own copy).
inline constexpr std::size_t kMostSceneIndices = 4u << 20;

// Throws SceneError("scene file \"<name>\": <reason>") unless the file at `path` (a regular file)
// is a COLLADA document that keeps the limits above and is consistent in what the reader trusts:
// - no document type declaration (so no entities), and no id given to two elements;
// - every *_array's count is a plain number no larger than the values it holds, which are text;
//   the values of float arrays, transforms, colours and floats, and a unit's metre, are numbers,
//   as many as the reader takes (3 for a translate or scale, 4 for a rotate or colour, 16 for a
//   matrix, 9 for a lookat, 7 for a skew);
// - every accessor's count, stride and offset are plain numbers, its source is an array of the
//   file, and offset + (count - 1) x stride + its params stay within that array's count;
// - every primitive (triangles, lines, polylist, polygons, linestrips, trifans, tristrips) has a
//   count, a VERTEX input, plain non-negative input offsets, and exactly the index data its count
//   promises: count x 3 (triangles) or x 2 (lines) indices per offset in one <p>, a <vcount> of
//   count entries whose sum gives the polylist's indices, or count <p> elements for the others;
// - every instance_* element names an element of the file ("#id"; instance_material by its
//   target), instance_visual_scene a visual scene, and instance_node references form no cycle.
// Files that do not look like COLLADA at all (neither a ".dae" name nor a "<COLLADA" near the
// start) are "not a COLLADA file".
void checkColladaFile(const std::filesystem::path& path, const std::string& name);

}  // namespace scene
