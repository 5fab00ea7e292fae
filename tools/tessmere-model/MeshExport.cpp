#include "MeshExport.h"

#include "Decimal.h"
#include "Grid.h"
#include "ModelFile.h"
#include "PngFile.h"

#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>

// The program's terrain bitmap, built in from the file of its resource.
extern const unsigned char kTerrainBitmap[];
extern const std::size_t kTerrainBitmapSize;

namespace
{
using Vector = std::array<double, 3>;

// Subtracted from 0 rather than negated, so that a point at height 0 is not at -0.
Vector Position(const tagPOINT4& point)
{
    return {point.x, 0.0 - point.z, 0.0 - point.y};
}

// (b - a) x (c - a): up for corners that turn counter-clockwise seen from above, and as long
// as the triangle's area is large.
Vector FaceNormal(const Vector& a, const Vector& b, const Vector& c)
{
    const Vector u{b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

// The program's triangles turn clockwise seen from above (x east, y north), and both formats take
// counter-clockwise corners as the front: corners in this order face up.
const int kCornerOrder[3] = {0, 2, 1};

// size bytes become a view of their own at the end of the one buffer; returns the view.
int AddBufferView(tinygltf::Model& model, const void* data, size_t size, int target)
{
    std::vector<unsigned char>& buffer = model.buffers[0].data;
    tinygltf::BufferView& view = model.bufferViews.emplace_back();
    view.buffer = 0;
    view.byteOffset = buffer.size();
    view.byteLength = size;
    view.target = target;
    buffer.insert(buffer.end(), static_cast<const unsigned char*>(data),
                  static_cast<const unsigned char*>(data) + size);
    return static_cast<int>(model.bufferViews.size()) - 1;
}

// values become one buffer view and one accessor of type; returns the accessor. Floats are vertex
// data, unsigned ints are indices.
template <typename T>
int AddAccessor(tinygltf::Model& model, const std::vector<T>& values, int type)
{
    const bool indices = std::is_same_v<T, unsigned int>;
    tinygltf::Accessor& accessor = model.accessors.emplace_back();
    accessor.bufferView = AddBufferView(model, values.data(), values.size() * sizeof(T),
                                        indices ? TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER
                                                : TINYGLTF_TARGET_ARRAY_BUFFER);
    accessor.componentType =
        indices ? TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT : TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.type = type;
    accessor.count = values.size() / tinygltf::GetNumComponentsInType(type);
    return static_cast<int>(model.accessors.size()) - 1;
}
} // namespace

std::string ObjText(const CGrid& grid, bool drawnOnly)
{
    std::ostringstream out;
    out << "# tessmere-model: " << grid.size << " x " << grid.size
        << " height field, z up is elevation\n";
    for (const tagPOINT4& point : grid.points)
        out << "v " << FormatUnits(ScaleToFile(point.x)) << ' ' << FormatUnits(ScaleToFile(point.y))
            << ' ' << FormatUnits(-static_cast<long long>(ScaleToFile(point.z))) << '\n';
    char line[64];
    for (const tagPOINT4& point : grid.points)
    {
        std::snprintf(line, sizeof line, "vt %.6f %.6f\n", TextureCoordinate(point.x),
                      TextureCoordinate(point.y));
        out << line;
    }
    for (const tagTRIANGLE3& triangle : grid.triangles)
    {
        if (drawnOnly && !IsDrawn(grid, triangle))
            continue;
        out << 'f';
        for (int k : kCornerOrder)
            out << ' ' << triangle.vertex[k] + 1 << '/' << triangle.vertex[k] + 1;
        out << '\n';
    }
    return out.str();
}

GltfMesh MakeGltfMesh(const CGrid& grid, bool drawnOnly)
{
    GltfMesh mesh;
    // Every triangle lights its corners, drawn or not: the surface is the same.
    std::vector<Vector> normals(grid.points.size(), Vector{});
    for (const tagTRIANGLE3& triangle : grid.triangles)
    {
        const auto corner = [&](int k) {
            return Position(grid.points[triangle.vertex[kCornerOrder[k]]]);
        };
        const Vector face = FaceNormal(corner(0), corner(1), corner(2));
        for (int k : kCornerOrder)
            for (int axis = 0; axis < 3; ++axis)
                normals[triangle.vertex[k]][axis] += face[axis];
        if (!drawnOnly || IsDrawn(grid, triangle))
            for (int k : kCornerOrder)
                mesh.indices.push_back(static_cast<unsigned int>(triangle.vertex[k]));
    }
    for (size_t index = 0; index < grid.points.size(); ++index)
    {
        const tagPOINT4& point = grid.points[index];
        for (double value : Position(point))
            mesh.positions.push_back(static_cast<float>(value));
        const Vector& sum = normals[index];
        const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
        // A point that no triangle with an area touches points up.
        for (int axis = 0; axis < 3; ++axis)
            mesh.normals.push_back(length > 0  ? static_cast<float>(sum[axis] / length)
                                   : axis == 1 ? 1.0f
                                               : 0.0f);
        // The program's texture coordinates, whose t runs up the bitmap; glTF's v runs down.
        mesh.textureCoordinates.push_back(TextureCoordinate(point.x));
        mesh.textureCoordinates.push_back(TextureCoordinate(-point.y));
    }
    return mesh;
}

std::string GlbFile(const CGrid& grid, bool drawnOnly)
{
    const GltfMesh mesh = MakeGltfMesh(grid, drawnOnly);
    if (mesh.indices.empty())
        return "";
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "tessmere-model";
    model.buffers.resize(1);
    tinygltf::Primitive primitive;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    primitive.material = 0;
    primitive.attributes["POSITION"] = AddAccessor(model, mesh.positions, TINYGLTF_TYPE_VEC3);
    primitive.attributes["NORMAL"] = AddAccessor(model, mesh.normals, TINYGLTF_TYPE_VEC3);
    primitive.attributes["TEXCOORD_0"] =
        AddAccessor(model, mesh.textureCoordinates, TINYGLTF_TYPE_VEC2);
    primitive.indices = AddAccessor(model, mesh.indices, TINYGLTF_TYPE_SCALAR);
    // glTF requires the bounds of the positions.
    tinygltf::Accessor& bounds = model.accessors[primitive.attributes["POSITION"]];
    bounds.minValues.assign(mesh.positions.begin(), mesh.positions.begin() + 3);
    bounds.maxValues = bounds.minValues;
    for (size_t k = 0; k < mesh.positions.size(); ++k)
    {
        bounds.minValues[k % 3] = std::min<double>(bounds.minValues[k % 3], mesh.positions[k]);
        bounds.maxValues[k % 3] = std::max<double>(bounds.maxValues[k % 3], mesh.positions[k]);
    }

    const std::string png = BitmapToPng(kTerrainBitmap, kTerrainBitmapSize);
    tinygltf::Image& image = model.images.emplace_back();
    image.mimeType = "image/png";
    image.bufferView = AddBufferView(model, png.data(), png.size(), 0);

    // As the program samples it: linear both ways.
    tinygltf::Sampler& sampler = model.samplers.emplace_back();
    sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
    sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
    tinygltf::Texture& texture = model.textures.emplace_back();
    texture.source = 0;
    texture.sampler = 0;
    tinygltf::Material& material = model.materials.emplace_back();
    material.name = "terrain";
    material.pbrMetallicRoughness.baseColorTexture.index = 0;
    // glTF's default is metal, which would come out dark; the terrain is lit as a plain surface.
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    // The program draws both sides of every triangle.
    material.doubleSided = true;

    model.meshes.resize(1);
    model.meshes[0].name = "terrain";
    model.meshes[0].primitives.push_back(primitive);
    model.nodes.emplace_back().mesh = 0;
    model.scenes.emplace_back().nodes.push_back(0);
    model.defaultScene = 0;

    std::ostringstream out;
    tinygltf::TinyGLTF().WriteGltfSceneToStream(&model, out, false, true);
    return out.str();
}
