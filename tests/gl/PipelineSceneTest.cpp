// The scene pass under a real context: which program draws which object for every flag
// combination, which stones show, where the light goes, and the window state a frame leaves for
// the text overlay.

#include "PipelineFixture.h"

using namespace pipeline_test;

namespace {

// One flat colour per program: the channels above half show which program drew a pixel, with
// or without bloom's exposure curve (which maps 1.0 to 0.63).
enum Program { kBasic, kNormal, kModel, kShadow };
const Rgb kColors[] = {{255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {255, 0, 255}};

class PipelineSceneTest : public PipelineTest {
  protected:
    static int programAt(glm::ivec2 pixel) {
        const Rgb c = colorAt(pixel);
        const bool r = c[0] > 100, g = c[1] > 100, b = c[2] > 100;
        return r && g ? kModel : r && b ? kShadow : r ? kBasic : g ? kNormal : -1;
    }
};

} // namespace

// The selection table for all eight flag combinations: shadows pick BasicLightingBloomShadow
// for the track, robot, ball and stones; otherwise normal mapping picks NormalMapping for the
// track only and BasicLightingBloom draws the rest; ModelShader always draws the planet and the
// skybox. Bloom changes the path but never the choice. Every frame ends with the window's
// depth cleared for the text overlay.
TEST_F(PipelineSceneTest, ProgramsFollowTheSelectionTableForEveryFlagCombination) {
    // The camera looks down -z at one quad per role on z = 0, the skybox further back.
    const glm::vec3 trackAt(-4, 2, 0), robotAt(-1.5f, 2, 0), ballAt(1, 2, 0), stoneAt(3.5f, 2, 0),
        planetAt(-4, -2, 0), skyAt(2, -2, -3);
    buildWorld(quad(placed(trackAt, 1.5f)), quad(placed(robotAt, 1.5f)),
               {quad(placed(stoneAt, 1.5f))}, {0.0f}, quad(placed(planetAt, 1.5f)));
    robot->ball = quad(placed(ballAt, 1.5f));
    skybox = quad(placed(skyAt, 3.0f));
    look(glm::vec3(0, 0, 10), glm::vec3(0));
    ScenePrograms programs = gamePrograms();
    programs.basicLightingBloom = flatProgram("Basic", kColors[kBasic]);
    programs.normalMapping = flatProgram("Normal", kColors[kNormal]);
    programs.modelShader = flatProgram("Model", kColors[kModel]);
    programs.basicLightingBloomShadow = flatProgram("Shadow", kColors[kShadow]);

    for (int combination = 0; combination < 8; ++combination) {
        const RenderFlags flags{(combination & 1) != 0, (combination & 2) != 0,
                                (combination & 4) != 0, false};
        SCOPED_TRACE("shadows " + std::to_string(flags.shadowsOn) + ", normal mapping " +
                     std::to_string(flags.normalMapOn) + ", bloom " +
                     std::to_string(flags.bloomOn));
        frame(flags, programs);
        const int lit = flags.shadowsOn ? kShadow : kBasic;
        EXPECT_EQ(programAt(pixelOf(trackAt)),
                  flags.normalMapOn && !flags.shadowsOn ? kNormal : lit);
        EXPECT_EQ(programAt(pixelOf(robotAt)), lit);
        EXPECT_EQ(programAt(pixelOf(ballAt)), lit);
        EXPECT_EQ(programAt(pixelOf(stoneAt)), lit);
        EXPECT_EQ(programAt(pixelOf(planetAt)), kModel);
        EXPECT_EQ(programAt(pixelOf(skyAt)), kModel);

        float depth = 0.0f;
        glReadPixels(400, 300, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth, 1.0f);
    }
}

// Stones on ring angles 183 to 220, both ends included, are not drawn, with or without bloom and
// shadows; just outside that window they are.
TEST_F(PipelineSceneTest, StonesFrom183To220DegreesAreHidden) {
    const std::vector<float> angles = {182.9f, 183.0f, 200.0f, 220.0f, 220.1f};
    const bool drawn[] = {true, false, false, false, true};
    std::vector<Model*> stones;
    for (int i = 0; i < 5; ++i)
        stones.push_back(quad(placed(glm::vec3(-4.0f + 2.0f * i, 0, 0), 1.0f)));
    // Track, robot and planet sit out of view: a stone pixel is either stone or background.
    const glm::mat4 away = placed(glm::vec3(0, 30, 0), 1.0f);
    buildWorld(quad(away), quad(away), stones, angles, quad(away));
    look(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f));
    ScenePrograms programs = gamePrograms();
    programs.basicLightingBloom = flatProgram("Basic", kColors[kBasic]);
    programs.basicLightingBloomShadow = flatProgram("Shadow", kColors[kBasic]);

    for (const RenderFlags flags :
         {RenderFlags{false, false, false, false}, RenderFlags{false, false, true, false},
          RenderFlags{true, false, false, false}}) {
        frame(flags, programs);
        for (int i = 0; i < 5; ++i) {
            const int program = programAt(pixelOf(glm::vec3(-4.0f + 2.0f * i, 0, 0)));
            EXPECT_EQ(program, drawn[i] ? kBasic : -1)
                << "ring angle " << angles[i] << ", shadows " << flags.shadowsOn << ", bloom "
                << flags.bloomOn;
        }
    }
}

// The light sits at (1.2, 1.0, 2.0) unless L moves it and shadows are off; then it is the robot
// body's position, every frame, and the lit programs receive it. With shadows on L does nothing.
TEST_F(PipelineSceneTest, LightFollowsTheRobotOnlyWhileShadowsAreOff) {
    const glm::vec3 robotAt(-3.0f, 0.5f, 0.25f), fixed(1.2f, 1.0f, 2.0f);
    buildWorld(quad(placed(glm::vec3(0), 1.0f)), quad(placed(robotAt, 0.5f, 0.7f)), {}, {},
               nullptr);
    look(glm::vec3(0, 0, 10), glm::vec3(0));
    const ScenePrograms programs = gamePrograms();
    glm::vec3 uploaded(0.0f);
    const GLuint normalMapping = programs.normalMapping.programId;

    frame(RenderFlags{false, true, false, true}, programs);
    EXPECT_EQ(lightPos, robotAt);
    glGetUniformfv(normalMapping, glGetUniformLocation(normalMapping, "lightPosition"),
                   &uploaded[0]);
    EXPECT_EQ(uploaded, robotAt);

    robot->model->modelMatrix = placed(robotAt + glm::vec3(1, 0, 0), 0.5f);
    frame(RenderFlags{false, false, false, true}, programs);
    EXPECT_EQ(lightPos, robotAt + glm::vec3(1, 0, 0));

    frame(RenderFlags{true, false, false, true}, programs);
    EXPECT_EQ(lightPos, fixed);
    frame(RenderFlags{false, true, true, false}, programs);
    EXPECT_EQ(lightPos, fixed);
}
