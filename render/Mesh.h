#pragma once

#include "render/Shader.h"
#include "render/Texture.h"
#include "render/Vertex.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <vector>

// One GPU mesh. Copies share the GL objects, which are never deleted.
class Mesh {
  public:
    std::vector<Vertex> vertices;
    std::vector<unsigned int> indices;
    std::vector<Texture> textures; // diffuse maps, then specular maps, then normal maps
    GLuint vao = 0, vbo = 0, ebo = 0;
    GLuint cubeMap = 0; // shadow depth cube map, bound on texture unit 3 at every draw

    Mesh(std::vector<Vertex> vertices, std::vector<unsigned int> indices,
         std::vector<Texture> textures);
    // The program must already be current.
    void draw(Shader shader, glm::mat4 matrix);

  private:
    void upload();
};
