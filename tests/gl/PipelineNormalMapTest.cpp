// Normal mapping under a real context: the track's normal map tilts the lit surface the way the
// asset tool encodes it (red along +u, green down the image rows, as the importer's flipped v
// runs), so the relief catches the light on the correct side.

#include "PipelineFixture.h"

using namespace pipeline_test;

namespace {

class PipelineNormalMapTest : public PipelineTest {
  protected:
    // A 2 x 2 quad facing the camera, whose normal map holds one tangent-space normal.
    Model* mappedQuad(const std::string& name, glm::vec3 tangentNormal) {
        const glm::vec3 encoded = (glm::normalize(tangentNormal) * 0.5f + 0.5f) * 255.0f;
        folder.writePixelBmp(name + ".bmp",
                             {int(encoded.r + 0.5f), int(encoded.g + 0.5f), int(encoded.b + 0.5f)});
        folder.write(name + ".mtl",
                     "newmtl " + name + "\nmap_Kd white.bmp\nmap_bump " + name + ".bmp\n");
        folder.write(name + ".obj", quadObj(name, name + ".mtl"));
        return quad(placed(glm::vec3(0.0f), 2.0f), name + ".obj");
    }

    // Brightness at the quad's centre with the light at `light`, drawn by NormalMapping alone.
    float litFrom(Model* model, const Shader& program, glm::vec3 light) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const CameraMatrices m = cameraMatrices(camera, kWidth, kHeight);
        uploadSceneUniforms(
            ScenePrograms{program, program, program, program, program, program, program}, m, light,
            lightColor, camera.position);
        glUseProgram(program.programId);
        model->draw(program, model->modelMatrix);
        return brightnessAround(pixelOf(glm::vec3(0.0f)));
    }
};

} // namespace

// A normal tilted towards +u (red) is brighter lit from +x than from -x; one tilted down the
// image rows (green) is brighter lit from below, where the flipped v grows. A dim light keeps
// the colours below 1.0, where the window would clip them.
TEST_F(PipelineNormalMapTest, ReliefFacesTheWayTheNormalMapEncodesIt) {
    look(glm::vec3(0.0f, 0.0f, 3.0f), glm::vec3(0.0f));
    lightColor = glm::vec3(0.4f);
    const Shader program("../Shader/NormalMapping.vertex", "../Shader/NormalMapping.fragment");
    Model* towardsU = mappedQuad("u", glm::vec3(0.6f, 0.0f, 0.8f));
    Model* downRows = mappedQuad("rows", glm::vec3(0.0f, 0.6f, 0.8f));
    const glm::vec3 right(1.5f, 0.0f, 0.6f), left(-1.5f, 0.0f, 0.6f);
    const glm::vec3 below(0.0f, -1.5f, 0.6f), above(0.0f, 1.5f, 0.6f);

    EXPECT_GT(litFrom(towardsU, program, right), 1.3f * litFrom(towardsU, program, left));
    EXPECT_GT(litFrom(downRows, program, below), 1.3f * litFrom(downRows, program, above));
}
