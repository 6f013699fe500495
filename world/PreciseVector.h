#pragma once

#include <cmath>
#include <glm/glm.hpp>

// Lengths with the square root taken in double precision and narrowed to float. glm's own
// normalize multiplies by a float inverse square root, which rounds differently; the world's
// distances and the camera's unit vectors are meant to round this way.
inline float preciseLength(glm::vec3 v) {
    return static_cast<float>(std::sqrt(static_cast<double>(glm::dot(v, v))));
}

inline glm::vec3 preciseNormalize(glm::vec3 v) {
    return v / preciseLength(v);
}

inline float preciseDistance(glm::vec3 a, glm::vec3 b) {
    return preciseLength(a - b);
}
