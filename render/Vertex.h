#pragma once

#include <glm/glm.hpp>

// One mesh vertex, uploaded to the GPU as is: 56 bytes, five float vectors without gaps.
struct Vertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
    glm::vec3 tangent;
    glm::vec3 bitangent;
};
static_assert(sizeof(Vertex) == 56, "Vertex must stay tightly packed for the attribute layout");
