// Scene::load: a ".dae" file checked (scene/ColladaCheck.h), read through assimp and turned into
// nodes.
//
// What is kept of the file, and how:
// - Names: assimp names nodes after their COLLADA `id` unless told otherwise; we ask it for the
//   `name` attribute and, for a node that has none, take its id (which assimp keeps in the node's
//   metadata) instead of the placeholder assimp makes up; a node with neither has no name.
//   Authors give every node that code looks up the same id and name.
// - Coordinates: a file authored Y_UP in metres (unit meter="1"), as ours are, is read exactly as
//   written. For any other up-axis or unit assimp puts a conversion to Y-up metres on its root
//   node; the root of our scene has no transform, so that conversion is folded into each
//   top-level node. Either way node positions are Y-up metres, as the tools' marker measurement
//   expects, and a file's top-level nodes stay the root's children in file order.
// - Transforms: each node's matrix is taken apart into position, Euler angles (Rx · Ry · Rz) and
//   scale; a matrix that is not of that form (a shear) is an error.
// - Meshes: the meshes of a node become one custom geometry over bytes: a float3 vertex source,
//   a float3 normal source when every mesh has normals, a float4 colour source when every mesh
//   has vertex colours, one triangle element (4-byte indices) per mesh and one material per mesh
//   (lighting model, diffuse and specular colours, shininess). Image textures, cameras, lights
//   and animations in the file are not read: the views and viewers set up their own.

#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include <assimp/ColladaMetaData.h>
#include <assimp/Importer.hpp>
#include <assimp/commonMetaData.h>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "scene/ColladaCheck.h"
#include "scene/Geometry.h"
#include "scene/Scene.h"
#include "scene/SceneError.h"

namespace scene {

namespace {

// The importer assimp names in the metadata of a COLLADA scene.
constexpr const char* kColladaImporter = "Collada Importer";
// How assimp's COLLADA importer begins the names it makes up for nodes without a name.
constexpr std::string_view kMadeUpName = "$ColladaAutoName$";

// The node's `name`, else its `id`, else "".
std::string nameOf(const aiNode& node) {
  const std::string name = node.mName.C_Str();
  if (name.rfind(kMadeUpName, 0) != 0) return name;
  aiString id;
  if (node.mMetaData != nullptr && node.mMetaData->Get(AI_METADATA_COLLADA_ID, id)) return id.C_Str();
  return "";
}

class SceneReader {
 public:
  SceneReader(const aiScene& scene, std::string fileName)
      : scene_(scene), fileName_(std::move(fileName)) {}

  std::shared_ptr<Scene> read() const {
    auto result = Scene::make();
    const aiNode& root = *scene_.mRootNode;
    const Matrix4 rootTransform = toMatrix(root.mTransformation);
    if (root.mNumMeshes > 0) result->rootNode()->setGeometry(geometryOf(root));
    for (unsigned i = 0; i < root.mNumChildren; ++i) {
      const aiNode& child = *root.mChildren[i];
      result->rootNode()->addChildNode(nodeOf(child, rootTransform * toMatrix(child.mTransformation), 1));
    }
    return result;
  }

 private:
  [[noreturn]] void fail(const std::string& reason) const {
    throw SceneError("scene file \"" + fileName_ + "\": " + reason);
  }

  static Matrix4 toMatrix(const aiMatrix4x4& a) {
    Matrix4 m;
    const float* rows[4] = {&a.a1, &a.b1, &a.c1, &a.d1};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) m(r, c) = rows[r][c];
    }
    return m;
  }

  // `depth` is 1 for a top-level node. The file was checked for nesting; this guards the recursion
  // should the reader ever nest deeper than the file does.
  std::shared_ptr<Node> nodeOf(const aiNode& source, const Matrix4& transform, std::size_t depth) const {
    if (depth > kDeepestNodeNesting) {
      fail("nodes are nested deeper than " + std::to_string(kDeepestNodeNesting) + " levels");
    }
    auto node = Node::make();
    node->setName(nameOf(source));
    const auto parts = decompose(transform);
    if (!parts) {
      fail("node \"" + node->name() + "\" has a transform that is not a translation, rotation and scale");
    }
    node->setPosition(parts->position);
    node->setEulerAngles(parts->eulerAngles);
    node->setScale(parts->scale);
    if (source.mNumMeshes > 0) node->setGeometry(geometryOf(source));
    for (unsigned i = 0; i < source.mNumChildren; ++i) {
      const aiNode& child = *source.mChildren[i];
      node->addChildNode(nodeOf(child, toMatrix(child.mTransformation), depth + 1));
    }
    return node;
  }

  template <typename T>
  static void append(std::vector<std::uint8_t>& bytes, const T& value) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
  }

  std::shared_ptr<Geometry> geometryOf(const aiNode& node) const {
    std::vector<const aiMesh*> meshes;
    bool allNormals = true, allColors = true;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
      if (node.mMeshes[i] >= scene_.mNumMeshes) fail("a node names a mesh the file does not hold");
      const aiMesh* mesh = scene_.mMeshes[node.mMeshes[i]];
      meshes.push_back(mesh);
      allNormals = allNormals && mesh->HasNormals();
      allColors = allColors && mesh->HasVertexColors(0);
    }

    std::vector<std::uint8_t> positions, normals, colors;
    std::vector<std::shared_ptr<GeometryElement>> elements;
    std::vector<std::shared_ptr<Material>> materials;
    std::uint32_t base = 0;
    for (const aiMesh* mesh : meshes) {
      for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
        const aiVector3D& p = mesh->mVertices[v];
        for (float c : {p.x, p.y, p.z}) append(positions, c);
        if (allNormals) {
          const aiVector3D& n = mesh->mNormals[v];
          for (float c : {n.x, n.y, n.z}) append(normals, c);
        }
        if (allColors) {
          const aiColor4D& k = mesh->mColors[0][v];
          for (float c : {k.r, k.g, k.b, k.a}) append(colors, c);
        }
      }
      elements.push_back(elementOf(*mesh, base));
      materials.push_back(materialOf(mesh->mMaterialIndex));
      base += mesh->mNumVertices;
    }

    const std::size_t count = base;
    std::vector<std::shared_ptr<GeometrySource>> sources{GeometrySource::make(
        std::move(positions), VertexFormat::float3, GeometrySemantic::vertex, count, 0, 12)};
    if (allNormals) {
      sources.push_back(GeometrySource::make(std::move(normals), VertexFormat::float3,
                                             GeometrySemantic::normal, count, 0, 12));
    }
    if (allColors) {
      sources.push_back(GeometrySource::make(std::move(colors), VertexFormat::float4,
                                             GeometrySemantic::color, count, 0, 16));
    }
    auto geometry = Geometry::make(std::move(sources), std::move(elements));
    geometry->setMaterials(std::move(materials));
    return geometry;
  }

  // Checked here, so that a broken file is a SceneError rather than a fatal stop in Geometry.
  std::shared_ptr<GeometryElement> elementOf(const aiMesh& mesh, std::uint32_t base) const {
    std::vector<std::uint8_t> indices;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      if (face.mNumIndices != 3) {
        fail("mesh \"" + std::string(mesh.mName.C_Str()) + "\" has point or line primitives; only triangles are read");
      }
      for (unsigned k = 0; k < 3; ++k) {
        if (face.mIndices[k] >= mesh.mNumVertices) {
          fail("mesh \"" + std::string(mesh.mName.C_Str()) + "\" has an index past its vertices");
        }
        append(indices, std::uint32_t(base + face.mIndices[k]));
      }
    }
    return GeometryElement::make(std::move(indices), PrimitiveType::triangles, mesh.mNumFaces, 4);
  }

  std::shared_ptr<Material> materialOf(unsigned index) const {
    auto material = Material::make();
    if (index >= scene_.mNumMaterials) return material;
    const aiMaterial* source = scene_.mMaterials[index];
    aiColor4D color;
    if (aiGetMaterialColor(source, AI_MATKEY_COLOR_DIFFUSE, &color) == AI_SUCCESS) {
      material->diffuse().setContents(graphics::Color::fromRGBA(color.r, color.g, color.b, color.a));
    }
    if (aiGetMaterialColor(source, AI_MATKEY_COLOR_SPECULAR, &color) == AI_SUCCESS) {
      material->specular().setContents(graphics::Color::fromRGBA(color.r, color.g, color.b, color.a));
    }
    float shininess;
    if (aiGetMaterialFloat(source, AI_MATKEY_SHININESS, &shininess) == AI_SUCCESS) {
      material->setShininess(shininess);
    }
    int shading;
    if (aiGetMaterialInteger(source, AI_MATKEY_SHADING_MODEL, &shading) == AI_SUCCESS) {
      switch (shading) {
        case aiShadingMode_Phong:
          material->setLightingModel(LightingModel::phong);
          break;
        case aiShadingMode_Gouraud:  // what assimp makes of a COLLADA <lambert>
          material->setLightingModel(LightingModel::lambert);
          break;
        case aiShadingMode_NoShading:  // a COLLADA <constant>
          material->setLightingModel(LightingModel::constant);
          break;
        default:
          material->setLightingModel(LightingModel::blinn);
          break;
      }
    }
    return material;
  }

  const aiScene& scene_;
  std::string fileName_;
};

}  // namespace

std::shared_ptr<Scene> Scene::load(const std::filesystem::path& path) {
  ++loadCount_;
  const std::string name = path.string();
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw SceneError("scene file \"" + name + "\": no such file");
  }
  // The COLLADA reader trusts the file; what it trusts is checked first.
  checkColladaFile(path, name);
  Assimp::Importer importer;
  importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_USE_COLLADA_NAMES, true);
  const aiScene* read = importer.ReadFile(name, aiProcess_Triangulate);
  if (read == nullptr || read->mRootNode == nullptr) {
    throw SceneError("scene file \"" + name + "\": " + importer.GetErrorString());
  }
  // assimp tries every importer it has; a file only some other format's reader accepts is not a
  // scene file of ours.
  aiString format;
  if (read->mMetaData == nullptr || !read->mMetaData->Get(AI_METADATA_SOURCE_FORMAT, format) ||
      std::strcmp(format.C_Str(), kColladaImporter) != 0) {
    throw SceneError("scene file \"" + name + "\": not a COLLADA file");
  }
  return SceneReader(*read, name).read();
}

}  // namespace scene
