#include "render/Model.h"

#include "pipeline/DepthCubeMap.h"
#include "render/ObjFaceFilter.h"

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cfloat>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>

namespace {

// A vertex value beyond this many model units is taken as corrupt. The game's models span a few
// units; the world scales and places them by their extents and squares distances, and a float
// squared overflows past about 1.8e19, so the bound leaves room for products and sums of
// extents while keeping sub-unit precision (a float near 1e6 still resolves 1/16).
constexpr float kMaxVertexValue = 1.0e6f;

// Every value of the vertex finite and within the bound (a NaN fails every comparison).
bool usable(const Vertex& vertex) {
    const glm::vec3 bound(kMaxVertexValue);
    return glm::all(glm::lessThanEqual(glm::abs(vertex.position), bound)) &&
           glm::all(glm::lessThanEqual(glm::abs(vertex.normal), bound)) &&
           glm::all(glm::lessThanEqual(glm::abs(vertex.uv), glm::vec2(bound))) &&
           glm::all(glm::lessThanEqual(glm::abs(vertex.tangent), bound)) &&
           glm::all(glm::lessThanEqual(glm::abs(vertex.bitangent), bound));
}

// A vector that the importer left out (no normals, no tangent space) reads as zero.
glm::vec3 vectorOrZero(const aiVector3D* vectors, unsigned int i) {
    if (vectors == nullptr)
        return glm::vec3(0.0f);
    return glm::vec3(vectors[i].x, vectors[i].y, vectors[i].z);
}

void setTextureFilter(const std::vector<Texture>& textures, GLint minFilter) {
    for (const Texture& texture : textures) {
        glBindTexture(GL_TEXTURE_2D, texture.id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

} // namespace

Model::Model(const char* path) {
    load(path);
    mipmapWanted = true;
    mipmapApplied = false;
}

void Model::load(const std::string& path) {
    // The importer owns the scene: everything is copied out before it goes. It reads the file
    // through the face filter; a file that cannot be opened reads as empty and fails below.
    std::ifstream file(path, std::ios::binary);
    const ObjFaceFilter filter(std::string(std::istreambuf_iterator<char>(file), {}));
    Assimp::Importer importer;
    importer.SetIOHandler(new FilteredFileSystem(path, filter.text)); // the importer owns it
    const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_FlipUVs |
                                                       aiProcess_CalcTangentSpace);
    if (scene == nullptr || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) ||
        scene->mRootNode == nullptr) {
        std::cout << "ERROR::ASSIMP:: " << importer.GetErrorString() << std::endl;
        return;
    }
    // The OBJ reader accepts any text, garbage included, as a scene without meshes and says
    // nothing: such a file is reported as a failed import too.
    if (scene->mNumMeshes == 0) {
        std::cout << "ERROR::ASSIMP:: no meshes in " << path << std::endl;
        return;
    }
    // Material images are named relative to the model's folder; without a "/" the whole
    // path stands for the folder.
    modelFolder = path.substr(0, path.find_last_of('/'));
    unsigned int leftOut = filter.leftOut;
    collectNode(scene->mRootNode, scene, leftOut);
    if (leftOut > 0)
        std::cout << "ERROR::MODEL:: " << path << ": left out " << leftOut
                  << " faces with missing or unusable vertex data" << std::endl;
}

// Node transformations are ignored: meshes keep the file's coordinates. A mesh that several
// nodes reference is converted once per reference.
void Model::collectNode(const aiNode* node, const aiScene* scene, unsigned int& leftOut) {
    for (unsigned int i = 0; i < node->mNumMeshes; ++i)
        meshes.push_back(buildMesh(scene->mMeshes[node->mMeshes[i]], scene, leftOut));
    for (unsigned int i = 0; i < node->mNumChildren; ++i)
        collectNode(node->mChildren[i], scene, leftOut);
}

// A face with a vertex value that is not finite or is out of bounds is left out of the index
// list (and counted in leftOut): drawn, it would throw the extents and the picture away, and
// the NaN tangents that the importer derives for it would spread through the bloom blur.
Mesh Model::buildMesh(const aiMesh* mesh, const aiScene* scene, unsigned int& leftOut) {
    std::vector<Vertex> vertices(mesh->mNumVertices);
    const aiVector3D* uvs = mesh->mTextureCoords[0];
    for (unsigned int i = 0; i < mesh->mNumVertices; ++i) {
        Vertex& vertex = vertices[i];
        vertex.position = vectorOrZero(mesh->mVertices, i);
        vertex.normal = vectorOrZero(mesh->mNormals, i);
        vertex.uv = uvs != nullptr ? glm::vec2(uvs[i].x, uvs[i].y) : glm::vec2(0.0f);
        vertex.tangent = vectorOrZero(mesh->mTangents, i);
        vertex.bitangent = vectorOrZero(mesh->mBitangents, i);
    }

    std::vector<unsigned int> indices;
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        const unsigned int* begin = face.mIndices;
        const unsigned int* end = begin + face.mNumIndices;
        if (std::all_of(begin, end, [&](unsigned int i) { return usable(vertices[i]); }))
            indices.insert(indices.end(), begin, end);
        else
            ++leftOut;
    }

    std::vector<Texture> textures;
    if (mesh->mMaterialIndex < scene->mNumMaterials) {
        aiMaterial* material = scene->mMaterials[mesh->mMaterialIndex];
        for (const auto& [slot, type] :
             {std::pair<aiTextureType, const char*>{aiTextureType_DIFFUSE, "texture_diffuse"},
              {aiTextureType_SPECULAR, "texture_specular"},
              // An OBJ material's bump map arrives in the height slot.
              {aiTextureType_HEIGHT, "texture_normal"}}) {
            std::vector<Texture> maps = collectMaterialTextures(material, slot, type);
            textures.insert(textures.end(), maps.begin(), maps.end());
        }
    }
    return Mesh(std::move(vertices), std::move(indices), std::move(textures));
}

// An image is loaded once per model: a later use, in any slot, reuses the first load with the
// type it was first loaded as.
std::vector<Texture> Model::collectMaterialTextures(aiMaterial* material, aiTextureType slot,
                                                    const std::string& type) {
    std::vector<Texture> result;
    const unsigned int count = aiGetMaterialTextureCount(material, slot);
    for (unsigned int i = 0; i < count; ++i) {
        aiString path;
        aiGetMaterialTexture(material, slot, i, &path, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
        bool cached = false;
        for (const Texture& texture : textureCache) {
            if (std::strcmp(texture.path.C_Str(), path.C_Str()) == 0) {
                result.push_back(texture);
                cached = true;
                break;
            }
        }
        if (cached)
            continue;
        Texture texture;
        texture.id = loadTextureFile(path.C_Str(), modelFolder);
        texture.type = type;
        texture.path = path;
        result.push_back(texture);
        textureCache.push_back(texture);
    }
    return result;
}

void Model::draw(Shader shader, glm::mat4 matrix) {
    applyMipmapRequest();
    for (Mesh& mesh : meshes)
        mesh.draw(shader, matrix);
}

// The filter change is lazy: it touches the textures only in the first draw after the request
// changed, so the first draw of every model applies the trilinear filter once.
void Model::applyMipmapRequest() {
    if (mipmapWanted == mipmapApplied)
        return;
    setTextureFilter(textureCache, mipmapWanted ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    mipmapApplied = mipmapWanted;
}

void Model::measureExtents() {
    float minX = FLT_MAX, minY = FLT_MAX;
    float maxX = -FLT_MAX, maxY = -FLT_MAX;
    bool anyVertex = false;
    // Over the vertices that faces use: those of faces left out at load do not count.
    for (const Mesh& mesh : meshes) {
        for (const unsigned int index : mesh.indices) {
            const Vertex& vertex = mesh.vertices[index];
            minX = std::min(minX, vertex.position.x);
            maxX = std::max(maxX, vertex.position.x);
            minY = std::min(minY, vertex.position.y);
            maxY = std::max(maxY, vertex.position.y);
            anyVertex = true;
        }
    }
    // Without vertices the bounds would give infinite extents; the world divides and compares
    // with them, so such a model keeps 0.
    if (!anyVertex)
        return;
    height = maxY - minY;
    width = maxX - minX;
}

void Model::setCubeMap(DepthCubeMap depthMap) {
    for (Mesh& mesh : meshes)
        mesh.cubeMap = depthMap.cubeMap;
}
