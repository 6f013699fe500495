// The point light's shadows under a real context: the depth pass writing each caster's distance
// where a cube lookup in its direction lands, and the lit shadow program darkening what lies
// behind a caster, without acne or detached shadows, from robot and stones alike.

#include "PipelineFixture.h"

#include "pipeline/ShadowPass.h"

#include <cmath>

using namespace pipeline_test;

namespace {

// The texel that a cube-map lookup with direction d reads: the face of the major axis and the
// (sc, tc, ma) table of the GL specification (section 8.13, "Cube Map Texture Selection").
struct CubeTexel {
    int face, x, y;
};

CubeTexel cubeTexel(glm::vec3 d, int size) {
    const glm::vec3 a = glm::abs(d);
    int face;
    float sc, tc, ma;
    if (a.x >= a.y && a.x >= a.z) {
        face = d.x > 0 ? 0 : 1;
        sc = d.x > 0 ? -d.z : d.z;
        tc = -d.y;
        ma = a.x;
    } else if (a.y >= a.z) {
        face = d.y > 0 ? 2 : 3;
        sc = d.x;
        tc = d.y > 0 ? d.z : -d.z;
        ma = a.y;
    } else {
        face = d.z > 0 ? 4 : 5;
        sc = d.z > 0 ? d.x : -d.x;
        tc = -d.y;
        ma = a.z;
    }
    const float s = 0.5f * (sc / ma + 1.0f), t = 0.5f * (tc / ma + 1.0f);
    return {face, std::min(int(s * size), size - 1), std::min(int(t * size), size - 1)};
}

// One face of the depth cube map, row t = 0 first.
std::vector<float> readFace(const DepthCubeMap& map, int face) {
    std::vector<float> texels(size_t(map.width) * map.height);
    glBindTexture(GL_TEXTURE_CUBE_MAP, map.cubeMap);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                  texels.data());
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    return texels;
}

float storedAt(const DepthCubeMap& map, glm::vec3 direction) {
    const CubeTexel texel = cubeTexel(direction, map.width);
    return readFace(map, texel.face)[size_t(texel.y) * map.width + texel.x];
}

// A quad of `size` at `distance` from the light along `direction`, its front turned to the
// light (the depth pass skips surfaces that face away).
glm::mat4 facingLight(glm::vec3 direction, float distance, float size) {
    const glm::vec3 centre = kFixedLightPos + direction * distance;
    // Inverting a look-at from the centre to the light puts the quad's back (-z) to the light.
    const glm::mat4 backToLight = glm::inverse(
        glm::lookAt(centre, kFixedLightPos,
                    std::abs(direction.y) > 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0)));
    return glm::scale(glm::rotate(backToLight, glm::pi<float>(), glm::vec3(0, 1, 0)),
                      glm::vec3(size));
}

// The shadow scene: the ground 2 units below the light, the camera on the +x side looking down
// at the spot under the light.
const glm::vec3 kUnderLight(1.2f, -1.0f, 2.0f);

class PipelineShadowTest : public PipelineTest {
  protected:
    void lookAtGround() { look(glm::vec3(6.0f, 5.0f, 2.0f), kUnderLight); }
    Model* ground() { return quad(facingUp(kUnderLight, 12.0f)); }
};

} // namespace

// Every face, on its axis and off it: a caster 3 units from the light is
// stored as 3 / 25 exactly where a lookup in its direction reads, and the opposite direction
// reads the cleared 1.0. Wrong face matrices (order, up vectors, layer routing) land the caster
// on another face or a mirrored texel. The tolerance covers the depth buffer's 24 bits and the
// quad's tilt across one texel.
TEST_F(PipelineShadowTest, DepthPassStoresEachCasterWhereItsDirectionLooksUp) {
    const ScenePrograms programs = gamePrograms();
    const glm::vec3 directions[] = {
        {1, 0, 0},
        {-1, 0, 0},
        {0, 1, 0},
        {0, -1, 0},
        {0, 0, 1},
        {0, 0, -1},
        // One off the axis on each face, each in another octant.
        {0.8f, 0.45f, -0.3f},
        {-0.7f, 0.65f, 0.3f},
        {0.3f, 0.9f, -0.4f},
        {-0.45f, -0.85f, -0.3f},
        {0.5f, -0.2f, 0.9f},
        {-0.35f, 0.6f, -0.75f},
    };
    for (glm::vec3 direction : directions) {
        direction = glm::normalize(direction);
        SCOPED_TRACE("direction " + std::to_string(direction.x) + ", " +
                     std::to_string(direction.y) + ", " + std::to_string(direction.z));
        Model* caster = quad(facingLight(direction, 3.0f, 0.3f));
        std::vector<Obstacle*> none;
        renderShadowPass(kFixedLightPos, programs.depthShader, depthMap, caster, nullptr, nullptr,
                         none);
        EXPECT_NEAR(storedAt(depthMap, direction), 3.0f / 25.0f, 1e-4f);
        EXPECT_EQ(storedAt(depthMap, -direction), 1.0f);
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024) << "the pass leaves the cube's viewport for the caller to reset";
    glViewport(0, 0, kWidth, kHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// With shadow mapping a plate between the light and the ground darkens the ground under it;
// the same frame without shadows leaves that spot as bright as its lit neighbour. Ground away
// from the shadow, down to a 21-degree light angle, is as bright with shadows as without (no
// acne), and the ground right behind a wall standing on it is dark (the shadow does not come
// loose from its caster).
TEST_F(PipelineShadowTest, CasterDarkensTheGroundOnlyWithShadowMapping) {
    // The robot is a plate 1 unit under the light; its shadow on the ground spans x 0.6..1.8.
    // A stone is a wall standing on the ground at x = 2.2, facing the light, 0.6 units high;
    // its shadow spans x 2.2..2.63.
    Model* wall = quad(placed(glm::vec3(2.2f, -0.7f, 3.0f), 0.6f, -glm::half_pi<float>(),
                              glm::vec3(0.0f, 1.0f, 0.0f)));
    buildWorld(ground(), quad(facingUp(glm::vec3(1.2f, 0.0f, 2.0f), 0.6f)), {wall}, {0.0f},
               nullptr);
    lookAtGround();
    const ScenePrograms programs = gamePrograms();
    const glm::vec3 inShadow(1.6f, -1.0f, 2.0f), beside(2.6f, -1.0f, 1.5f);
    const glm::vec3 behindWall(2.25f, -1.0f, 3.0f), pastWallShadow(2.8f, -1.0f, 3.0f);
    const glm::vec3 open[] = {{2.6f, -1.0f, 1.0f}, {-1.5f, -1.0f, 2.8f}, {-4.0f, -1.0f, 2.0f}};

    frame(RenderFlags{false, false, false, false}, programs);
    const float litShadowSpot = brightnessAround(pixelOf(inShadow));
    const float litBeside = brightnessAround(pixelOf(beside));
    float litOpen[3];
    for (int i = 0; i < 3; ++i)
        litOpen[i] = brightnessAround(pixelOf(open[i]));
    EXPECT_GT(litShadowSpot, 0.9f * litBeside) << "without shadows the spot is lit";

    frame(RenderFlags{true, false, false, false}, programs);
    EXPECT_LT(brightnessAround(pixelOf(inShadow)), 0.4f * litShadowSpot);
    EXPECT_LT(brightnessAround(pixelOf(behindWall), 1), 0.5f * litBeside);
    EXPECT_GT(brightnessAround(pixelOf(pastWallShadow), 1), 0.8f * litBeside);
    // Same lighting model in both programs: unshadowed ground matches within rounding.
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(brightnessAround(pixelOf(open[i])), litOpen[i], 0.04f * litOpen[i] + 3.0f)
            << "open ground " << i;
}

// Shadowless stones: one at 200.0 degrees casts nothing, one at 200.1 and one at 210 cast a
// shadow though neither is drawn (the scene hides stones up to 220).
TEST_F(PipelineShadowTest, StonesCastShadowsFromJustPast200Degrees) {
    const glm::vec3 inShadow(1.6f, -1.0f, 2.0f);
    const ScenePrograms programs = gamePrograms();
    float brightness[3];
    const float angles[] = {200.0f, 200.1f, 210.0f};
    for (int i = 0; i < 3; ++i) {
        Model* plate = quad(facingUp(glm::vec3(1.2f, 0.0f, 2.0f), 0.6f));
        // The robot is an empty model: it neither casts nor shows.
        models.push_back(std::make_unique<Model>());
        buildWorld(ground(), models.back().get(), {plate}, {angles[i]}, nullptr);
        lookAtGround();
        frame(RenderFlags{true, false, false, false}, programs);
        brightness[i] = brightnessAround(pixelOf(inShadow));
    }
    EXPECT_LT(brightness[1], 0.4f * brightness[0]);
    EXPECT_LT(brightness[2], 0.4f * brightness[0]);
}
