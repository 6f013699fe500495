#pragma once

#include "render/Mesh.h"
#include "render/Shader.h"
#include "render/Texture.h"
#include "render/TextureFile.h"

#include <assimp/material.h>
#include <glm/glm.hpp>
#include <string>
#include <vector>

struct aiNode;
struct aiScene;
struct aiMesh;
struct DepthCubeMap;

// The drawable form of one OBJ file with its material textures.
//
// A copy shares the GL buffers, vertex arrays and textures of the original (none is ever
// deleted) and keeps its own modelMatrix, extents, mip-mapping flags and cube-map assignment:
// many world objects of one shape (the stones) need one import only.
class Model {
  public:
    std::vector<Mesh> meshes;          // in import order
    std::string modelFolder;           // the model path up to its last "/"
    std::vector<Texture> textureCache; // every texture this model loaded, searched by path
    glm::mat4 modelMatrix{1.0f};       // written by the world object that owns the model
    float height = 0.0f;               // y extent of the drawn vertices, by measureExtents
    float width = 0.0f;                // x extent of the drawn vertices, by measureExtents
    bool mipmapWanted = true;          // F5 request: trilinear (true) or linear filtering
    bool mipmapApplied = false;        // filter state last applied to textureCache

    // An empty model without a file: draws nothing; world objects and tests set its extents.
    // Header-only and GL-free, so that game-rule code can use it without a context.
    Model() = default;
    // Imports the file with its material textures. A file that cannot be imported is reported
    // ("ERROR::ASSIMP:: " and the importer's text) and leaves a model without meshes. Faces that
    // name missing elements or unusable values are left out, reported in one "ERROR::MODEL:: "
    // line that names the file.
    explicit Model(const char* path);
    Model(const Model&) = default;
    Model& operator=(const Model&) = default;

    // The program must already be current. Applies a changed mip-mapping request to the
    // textures first, then draws every mesh with the matrix (callers pass modelMatrix).
    void draw(Shader shader, glm::mat4 matrix);
    // Sets width (x extent) and height (y extent) over the vertices that faces use; a model
    // without them keeps 0 for both.
    void measureExtents();
    // Every mesh binds this depth cube map on unit 3 from now on.
    void setCubeMap(DepthCubeMap depthMap);

  private:
    void load(const std::string& path);
    void collectNode(const aiNode* node, const aiScene* scene, unsigned int& leftOut);
    Mesh buildMesh(const aiMesh* mesh, const aiScene* scene, unsigned int& leftOut);
    std::vector<Texture> collectMaterialTextures(aiMaterial* material, aiTextureType slot,
                                                 const std::string& type);
    void applyMipmapRequest();
};
