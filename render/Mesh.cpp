#include "render/Mesh.h"

#include "render/RenderConstants.h"
#include "render/Uniforms.h"

#include <cstddef>
#include <string>
#include <utility>

Mesh::Mesh(std::vector<Vertex> vertices, std::vector<unsigned int> indices,
           std::vector<Texture> textures)
    : vertices(std::move(vertices)), indices(std::move(indices)), textures(std::move(textures)) {
    upload();
}

void Mesh::upload() {
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glGenBuffers(1, &ebo);
    glBindVertexArray(vao);

    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned int)), indices.data(),
                 GL_STATIC_DRAW);

    const struct {
        GLuint location;
        GLint components;
        size_t offset;
    } attributes[] = {
        {kPositionLocation, 3, offsetof(Vertex, position)},
        {kNormalLocation, 3, offsetof(Vertex, normal)},
        {kUvLocation, 2, offsetof(Vertex, uv)},
        {kTangentLocation, 3, offsetof(Vertex, tangent)},
        {kBitangentLocation, 3, offsetof(Vertex, bitangent)},
    };
    for (const auto& attribute : attributes) {
        glEnableVertexAttribArray(attribute.location);
        glVertexAttribPointer(attribute.location, attribute.components, GL_FLOAT, GL_FALSE,
                              sizeof(Vertex), reinterpret_cast<const void*>(attribute.offset));
    }

    // The element buffer binding is recorded in the vertex array and stays with it.
    glBindVertexArray(0);
}

void Mesh::draw(Shader shader, glm::mat4 matrix) {
    // Samplers are numbered per type from 1: texture_diffuse1, texture_diffuse2, ...
    unsigned int diffuseNumber = 1;
    unsigned int specularNumber = 1;
    unsigned int normalNumber = 1;
    for (size_t i = 0; i < textures.size(); ++i) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        const std::string& type = textures[i].type;
        unsigned int number;
        if (type == "texture_diffuse")
            number = diffuseNumber++;
        else if (type == "texture_specular")
            number = specularNumber++;
        else
            number = normalNumber++;
        const std::string sampler = type + std::to_string(number);
        setUniform(shader.programId, sampler.c_str(), static_cast<GLint>(i));
        glBindTexture(GL_TEXTURE_2D, textures[i].id);
    }
    glActiveTexture(GL_TEXTURE0 + kShadowCubeMapUnit);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);

    setUniform(shader.programId, "model", matrix);

    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);

    for (size_t i = 0; i < textures.size(); ++i) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    // Unit 3 is left active.
    glActiveTexture(GL_TEXTURE0 + kShadowCubeMapUnit);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}
