// The render pipeline under a real context: the scene pass, shadows and bloom.

#include "GlFixture.h"

#include <tuple>

using PipelineTest = GlFixture;

// Shadows pick BasicLightingBloomShadow for track, robot, ball and stones; else normal mapping
// picks NormalMapping for the track only and BasicLightingBloom draws the rest; ModelShader the
// planet and skybox; bloom never changes the choice. Stones on ring angles 183 to 220 (both
// ends) are hidden. The camera's planes lie 0.1 and 100 away; pixelOf places objects apart from
// the game's matrices. The light rides on the robot only with L and shadows off. The depth is
// left cleared for the text overlay.
TEST_F(PipelineTest, ProgramsStonesAndLightFollowTheRenderFlags) {
    // The track, robot, ball, planet and skybox.
    const glm::vec3 at[] = {{-4, 2, 0}, {-1.5f, 2, 0}, {1, 2, 0}, {-4, -2, 0}, {2, -2, -3}};
    // Stones: centre, size, ring angle, shown; the last four are 0.05, 0.12, 99 and 101 away.
    // clang-format off
    const std::tuple<glm::vec3, float, float, bool> stones[] = {
        {{3.5f, 2, 0}, 1.5f, 0, true}, {{-3, 0, 0}, 1, 182.9f, true}, {{-1, 0, 0}, 1, 183, false},
        {{1, 0, 0}, 1, 220, false}, {{3, 0, 0}, 1, 220.1f, true}, {{0, 0, 9.95f}, .002f, 0, false},
        {{.05f, -.05f, 9.88f}, .004f, 0, true}, {{30, -40, -89}, 4, 0, true},
        {{30, 40, -91}, 4, 0, false}};
    // clang-format on
    std::vector<std::pair<Model*, float>> placedStones;
    for (const auto& [centre, size, ringAngle, shown] : stones)
        placedStones.emplace_back(quad(placed(centre, size)), ringAngle);
    buildWorld(quad(placed(at[0], 1.5f)), quad(placed(at[1], 1.5f)), placedStones,
               quad(placed(at[3], 1.5f)));
    world.robot->ball = quad(placed(at[2], 1.5f));
    sky.model = quad(placed(at[4], 3.0f));
    look(glm::vec3(0, 0, 10), glm::vec3(0));
    // One flat colour per program: channels above 100 tell which program drew a pixel, with or
    // without bloom's tone mapping (1.0 shows as 161). The background is blue only.
    enum Drawn { kNone = -1, kBasic, kNormal, kModel, kShadow };
    auto drawnBy = [](glm::ivec2 pixel) {
        const Rgb c = colorAt(pixel);
        const bool r = c[0] > 100, g = c[1] > 100, b = c[2] > 100;
        return r && g ? kModel : r && b ? kShadow : r ? kBasic : g ? kNormal : kNone;
    };
    const ScenePrograms& game = GlFixture::game->programs.scene;
    const ScenePrograms programs{flat({1, 0, 0}), flat({0, 1, 0}),  flat({1, 1, 0}),
                                 flat({1, 0, 1}), game.depthShader, game.blurShader,
                                 game.bloomShader}; // basic, normal, model, shadow

    const std::tuple<RenderFlags, int, int, bool> rows[] = {
        // shadows, normal mapping, bloom, L; the track's program, the others', light on robot
        {{false, false, false, false}, kBasic, kBasic, false},
        {{false, false, true, true}, kBasic, kBasic, true},
        {{false, true, false, true}, kNormal, kBasic, true},
        {{false, true, true, false}, kNormal, kBasic, false},
        {{true, false, false, true}, kShadow, kShadow, false}, // the cube map needs a fixed light
        {{true, false, true, false}, kShadow, kShadow, false},
        {{true, true, false, false}, kShadow, kShadow, false}, // the first frame: shadows win
        {{true, true, true, true}, kShadow, kShadow, false}};
    for (const auto& [flags, track, lit, lightOnRobot] : rows) {
        SCOPED_TRACE(testing::Message() << "flags " << flags.shadowsOn << flags.normalMapOn
                                        << flags.bloomOn << flags.movingLightOn);
        const glm::vec3 light = frame(flags, programs);
        const int roles[] = {track, lit, lit, kModel, kModel};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(drawnBy(pixelOf(at[i])), roles[i]) << "role " << i;
        for (const auto& [centre, size, ringAngle, shown] : stones)
            EXPECT_EQ(drawnBy(pixelOf(centre)), shown ? lit : kNone)
                << centre.z << ", " << ringAngle;
        EXPECT_EQ(light, lightOnRobot ? at[1] : kFixedLightPos);
        float depth = 0.0f;
        glReadPixels(pixelOf(at[0]).x, pixelOf(at[0]).y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT,
                     &depth);
        EXPECT_EQ(depth, 1.0f);
    }
}

// The ground (the track, with a flat normal map) lies 2 units under the light; a plate (the
// robot) 1.2 units under it, past the cube map's near plane, shadows x 0.7..1.7; a wall (a stone)
// on the ground at x = 2.2 facing the light shadows x 2.2..2.63. With shadow mapping the ground
// under the plate and right behind the wall (no detached shadow) is dark. Open ground, down to a
// 21-degree light angle, highlight included, and the plate and the wall themselves look the same
// (no acne) whichever lit program draws them, each with its own uniform names; so does open ground
// lit from the plate with L. A dim light clips nothing; the tolerance covers the flat map's 8-bit
// normal (0.3 degrees off) and the shadow filter's rounding.
TEST_F(PipelineTest, LitProgramsAgreeWhereNoShadowFalls) {
    texturedQuad("flat", "map_Kd white.bmp\nmap_bump " + bmp("up", {{128, 128, 255}}));
    const float flat = -glm::half_pi<float>();
    const glm::vec3 under(1.2f, -1.0f, 2.0f);
    Model* wall = quad(placed({2.2f, -0.7f, 3.0f}, 0.6f, flat, glm::vec3(0, 1, 0)));
    buildWorld(quad(placed(under, 12.0f, flat), "flat"),
               quad(placed({1.2f, -0.2f, 2.0f}, 0.6f, flat)), {{wall, 0.0f}});
    look({6.0f, 5.0f, 2.0f}, under);
    lightColor = glm::vec3(0.3f);
    // The highlight, open ground, then: under the plate, behind the wall, past its shadow; on
    // the plate and on the wall.
    const glm::vec3 points[] = {{2.4f, -1, 2.0f},    {2.6f, -1, 1.5f},  {2.6f, -1, 1.0f},
                                {-1.5f, -1, 2.8f},   {-4.0f, -1, 2.0f}, {1.6f, -1, 2.0f},
                                {2.25f, -1, 3.0f},   {2.8f, -1, 3.0f},  {1.35f, -0.2f, 2.1f},
                                {2.2f, -0.55f, 3.1f}};
    const RenderFlags modes[] = {{false, false, false, false},
                                 {true, false, false, false},
                                 {false, true, false, false},
                                 {false, false, false, true},
                                 {false, true, false, true}};
    float seen[5][10]; // plain, shadowed, mapped; plain and mapped with the light on the plate
    for (int mode = 0; mode < 5; ++mode) {
        frame(modes[mode]);
        for (int i = 0; i < 10; ++i)
            seen[mode][i] = brightness(pixelOf(points[i]), i < 6 ? 2 : 1);
    }
    const float *plain = seen[0], *shadowed = seen[1], *mapped = seen[2];
    EXPECT_GT(plain[0], 1.5f * plain[1]) << "the highlight";
    for (int i : {0, 1, 2, 3, 4, 8, 9}) {
        EXPECT_NEAR(shadowed[i], plain[i], 0.04f * plain[i] + 3.0f) << "shadow mapping, " << i;
        EXPECT_NEAR(mapped[i], plain[i], 0.04f * plain[i] + 3.0f) << "normal mapping, " << i;
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(seen[4][i], seen[3][i], 0.04f * seen[3][i] + 3.0f) << "light moved, " << i;
    EXPECT_LT(shadowed[5], 0.4f * plain[5]);
    EXPECT_LT(shadowed[6], 0.5f * plain[6]);
    EXPECT_GT(shadowed[7], 0.8f * plain[7]);
}

// The track's normal map tilts the lit surface as the asset tool encodes it: red along +u,
// green down the image rows (the importer flips v). The quad is turned about y, so world and
// tangent space differ by more than a mirror. The light follows the robot (L) to either side.
TEST_F(PipelineTest, NormalMapTiltsTheSurfaceTheEncodedWay) {
    const glm::mat4 turned = placed(glm::vec3(0.0f), 2.0f, 0.9f, glm::vec3(0, 1, 0));
    const glm::vec3 u = glm::vec3(turned[0]) / 2.0f, front = glm::vec3(turned[2]) / 2.0f;
    look(3.0f * front, glm::vec3(0.0f));
    lightColor = glm::vec3(0.4f);
    // A tangent-space normal n stored as (n + 1) / 2, the side lit brighter, the darker side.
    const std::tuple<Rgb, glm::vec3, glm::vec3> rows[] = {{{204, 128, 230}, u, -u},
                                                          {{128, 204, 230}, {0, -1, 0}, {0, 1, 0}}};
    for (const auto& [map, brighter, darker] : rows) {
        texturedQuad("n", "map_Kd white.bmp\nmap_bump " + bmp("n", {map}));
        buildWorld(quad(turned, "n"), empty(), {});
        float lit[2];
        for (int side = 0; side < 2; ++side) {
            const glm::vec3 light = 1.5f * (side == 0 ? brighter : darker) + 0.5f * front;
            world.robot->model->modelMatrix = glm::translate(glm::mat4(1.0f), light);
            frame({false, true, false, true});
            lit[side] = brightness(pixelOf(glm::vec3(0.0f)));
        }
        EXPECT_GT(lit[0], 1.3f * lit[1]) << "map " << map[0] << ", " << map[1];
    }
}

// The distance over the far plane (25) from the light to what the cube map holds in a direction:
// the depth pass keeps its projection's depth (near 1, far 25) of the distance along the face's
// axis, the direction's largest component. An empty texel (depth 1) reads 1 or more.
const std::string kStoredDistance =
    "uniform samplerCube depthMap;\n"
    "float storedDistance(vec3 direction) {\n"
    "    vec3 d = normalize(direction), a = abs(d);\n"
    "    float alongAxis = 25.0 / (25.0 - texture(depthMap, d).r * 24.0);\n"
    "    return alongAxis / max(a.x, max(a.y, a.z)) / 25.0;\n"
    "}\n";

// A shadowed frame stores each caster's distance to the light over the far plane where a
// cube lookup in its direction reads, on every face, from quads showing the light their front
// or back. The planet, the skybox, stones on ring angles 183 to 200 (both ends) and a stone
// nearer than the near plane (1.0) cast nothing.
TEST_F(PipelineTest, ShadowPassStoresEachCastersDistanceInItsDirection) {
    enum Role { kTrack, kRobot, kBall, kStone, kPlanet, kSky };
    const std::tuple<Role, glm::vec3, float, float, bool> casters[] = {
        // role, direction from the light, distance, ring angle, casts
        {kTrack, {0.8f, 0.45f, -0.3f}, 3, 0, true},         // +X face
        {kRobot, {-0.7f, 0.65f, 0.3f}, 3, 0, true},         // -X
        {kBall, {0.3f, 0.9f, -0.4f}, 3, 0, true},           // +Y
        {kStone, {-0.45f, -0.85f, -0.3f}, 3, 182.9f, true}, // -Y
        {kStone, {0.5f, -0.2f, 0.9f}, 3, 200.1f, true},     // +Z
        {kStone, {-0.35f, 0.6f, -0.75f}, 3, 0, true},       // -Z
        {kStone, {0.6f, 0.1f, 0.2f}, 24, 0, true},          // just inside the far plane
        {kStone, {0.2f, -0.9f, 0.4f}, 3, 183.0f, false},
        {kStone, {-0.3f, 0.2f, 0.9f}, 3, 200.0f, false},
        {kStone, {0.3f, -0.3f, -0.9f}, 0.6f, 0, false},
        {kPlanet, {-0.8f, -0.3f, -0.5f}, 3, 0, false},
        {kSky, {0.9f, -0.3f, 0.3f}, 3, 0, false}};
    Model* roles[6] = {};
    std::vector<std::pair<Model*, float>> stones;
    float turn = 0.0f;
    for (const auto& [role, direction, distance, ringAngle, casts] : casters) {
        const glm::vec3 centre = kFixedLightPos + distance * glm::normalize(direction);
        // An inverted look-at from the quad to the light turns the quad's back (-z) to the
        // light; every other quad is turned half round to show its front.
        const glm::mat4 toLight = glm::inverse(glm::lookAt(centre, kFixedLightPos, {0, 0, 1}));
        Model* model = quad(glm::scale(glm::rotate(toLight, turn, {0, 1, 0}), glm::vec3(0.3f)));
        turn = glm::pi<float>() - turn;
        if (role == kStone)
            stones.emplace_back(model, ringAngle);
        else
            roles[role] = model;
    }
    buildWorld(roles[kTrack], roles[kRobot], stones, roles[kPlanet]);
    world.robot->ball = roles[kBall];
    sky.model = roles[kSky];
    frame({true, false, false, false});

    Model* probe = quad(glm::mat4(1.0f)); // covers the window's centre
    probe->setCubeMap(game->scene.depthMap);
    const Shader lookup =
        program(kStoredDistance +
                "uniform vec3 direction;\n"
                "void main() { FragColor = vec4(vec3(storedDistance(direction)), 1.0); }");
    glUniform1i(glGetUniformLocation(lookup.programId, "depthMap"), 3);
    for (const auto& [role, direction, distance, ringAngle, casts] : casters) {
        glUniform3fv(glGetUniformLocation(lookup.programId, "direction"), 1, &direction[0]);
        glClear(GL_DEPTH_BUFFER_BIT);
        probe->draw(lookup, probe->modelMatrix);
        EXPECT_NEAR(colorAt({400, 300})[0], casts ? 255 * distance / 25 : 255, 1.0f) // 8-bit
            << "role " << role << ", ring angle " << ringAngle;
    }
}

// The cube map is read unfiltered: across a caster's edge a lookup returns the caster's
// stored distance or the empty far plane, never a blend of both, whether a pixel spans a
// quarter texel (magnified) or four (minified). The caster is a wall 3 units along +x from the
// light, spanning y 0..2 and z -1..1 from it; the lookups sweep (1, y, 0.25) along the rows,
// a little further on every row so that the rows sample every phase of the texels.
TEST_F(PipelineTest, ShadowCubeMapReadsStoredDistancesUnblended) {
    buildWorld(quad(placed(kFixedLightPos + glm::vec3(3, 1, 0), 2.0f, glm::half_pi<float>(),
                           glm::vec3(0, 1, 0))),
               empty(), {});
    frame({true, false, false, false});

    Model* probe = quad(glm::mat4(1.0f)); // pixels 200..599 by 150..449
    probe->setCubeMap(game->scene.depthMap);
    const Shader lookup = program(
        kStoredDistance + "uniform float slope;\n"
                          "void main() {\n"
                          "    vec2 p = gl_FragCoord.xy - vec2(400.0, 300.0);\n"
                          "    float y = (p.x + p.y / 40.0) * slope;\n"
                          "    FragColor = vec4(vec3(storedDistance(vec3(1, y, 0.25))), 1);\n"
                          "}\n");
    glUniform1i(glGetUniformLocation(lookup.programId, "depthMap"), 3);
    const float texel = 1.0f / 512.0f; // of y, at x = 1 on the +X face
    for (const float slope : {0.25f * texel, 4.0f * texel}) {
        glUniform1f(glGetUniformLocation(lookup.programId, "slope"), slope);
        glClear(GL_DEPTH_BUFFER_BIT);
        probe->draw(lookup, probe->modelMatrix);
        const std::vector<unsigned char> red = readPixels(200, 280, 400, 40);
        int blends = 0;
        for (int row = 0; row < 40; ++row)
            for (int column = 0; column < 400; ++column) {
                const glm::vec2 p(column + 200.5f - 400.0f, row + 280.5f - 300.0f);
                const float y = (p.x + p.y / 40.0f) * slope;
                const float wall = 255.0f * 3.0f * glm::length(glm::vec3(1, y, 0.25f)) / 25.0f;
                const bool onWall = y > 0.0f && y < 2.0f / 3.0f;
                const bool nearEdge =
                    std::abs(y) < 2 * texel || std::abs(y - 2.0f / 3.0f) < 2 * texel;
                const float value = red[size_t(row * 400 + column) * 4];
                const bool wallRead = std::abs(value - wall) <= 1.5f, emptyRead = value >= 254.0f;
                blends += nearEdge ? !wallRead && !emptyRead : !(onWall ? wallRead : emptyRead);
            }
        EXPECT_EQ(blends, 0) << "texels per pixel " << slope / texel;
    }
}

// The composite shows the HDR scene plus the glow, tone mapped (1 - e^-x). A blur that adds 0.1
// green per pass counts the passes: the composite reads ping-pong target 0, last written by
// pass 8, so the glow is stepped nine times. The track's red 2.0 survives only in float
// targets. The skybox's glow (green 1.0) is drawn after the blur: none of it is counted.
// Within 2 of the window's 8-bit rounding and the half floats' steps.
TEST_F(PipelineTest, CompositeAddsTheGlowOfNineBlurSteps) {
    ScenePrograms programs = game->programs.scene;
    programs.basicLightingBloom = flat({2.0f, 0, 0}, {0, 0.25f, 0}); // the track's program
    programs.modelShader = flat({0, 0, 0}, {0, 1.0f, 0});
    programs.blurShader = program(
        "uniform sampler2D image;\nvoid main() {\n"
        "FragColor = BrightColor = texture(image, texCoords) + vec4(0, 0.1, 0, 0); }",
        "#version 330 core\nlayout(location = 0) in vec3 aPos; layout(location = 1) in vec2 uv;\n"
        "out vec2 texCoords;\nvoid main() { texCoords = uv; gl_Position = vec4(aPos, 1.0); }");
    buildWorld(quad(placed({-2.5f, 0, 0}, 3.0f)), empty(), {});
    sky.model = quad(placed({2.5f, 0, -1}, 3.0f));
    look(glm::vec3(0, 0, 10), glm::vec3(0));
    frame({false, false, true, false}, programs);
    auto toneMapped = [](float hdr) { return 255.0f * (1.0f - std::exp(-hdr)); };
    const Rgb track = colorAt(pixelOf({-2.5f, 0, 0})), skybox = colorAt(pixelOf({2.5f, 0, -1}));
    EXPECT_NEAR(track[0], toneMapped(2.0f), 2.0f);
    EXPECT_NEAR(track[1], toneMapped(0.25f + 9 * 0.1f), 2.0f);
    EXPECT_NEAR(skybox[1], toneMapped(9 * 0.1f), 2.0f);

    // Targets the driver cannot attach (size 0) are reported once per framebuffer; creation
    // goes on and leaves the window's framebuffer bound.
    testing::internal::CaptureStdout();
    BloomRenderer none(0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Framebuffer not complete!\nFramebuffer not complete!\nFramebuffer not complete!\n");
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
}

// With each lit program of the game a white quad lit far above 1.0 glows past its edge with
// bloom on, and not with bloom off (the clear colour has no red or green); a grey quad lit
// below 1.0 in luminance shows with and without bloom, and does not glow. The quad is the
// track, which each mode lights with its own program: plain, normal mapping (a flat map),
// shadow mapping.
TEST_F(PipelineTest, OnlyLightAboveOneGlowsPastTheEdge) {
    texturedQuad("white", "map_Kd white.bmp\nmap_bump " + bmp("up", {{128, 128, 255}}));
    texturedQuad("grey", "map_Kd " + bmp("grey", {{150, 150, 150}}) + "\nmap_bump up.bmp");
    look({1.2f, 1.0f, 6.0f}, {1.2f, 1.0f, 1.0f});
    const glm::ivec2 whiteEdge = pixelOf({1.7f, 1, 1}), greyEdge = pixelOf({2.7f, 1, 1});
    auto warmth = [](glm::ivec2 pixel, int gap) {
        const Rgb c = colorAt(pixel + glm::ivec2(gap, 0));
        return c[0] + c[1];
    };
    for (const auto& [shadows, normalMap] :
         {std::pair{false, false}, {false, true}, {true, false}}) {
        SCOPED_TRACE(testing::Message() << "shadows " << shadows << ", normal map " << normalMap);
        buildWorld(quad(placed({1.2f, 1, 1}, 1), "white"), empty(), {});
        frame({shadows, normalMap, false, false});
        EXPECT_LE(warmth(whiteEdge, 3), 2) << "bloom off";
        frame({shadows, normalMap, true, false});
        EXPECT_GT(warmth(whiteEdge, 3), 60);
        buildWorld(quad(placed({3.2f, 1, 1}, 1), "grey"), empty(), {});
        frame({shadows, normalMap, false, false});
        EXPECT_GT(warmth(greyEdge, 6), 200) << "the grey quad is lit";
        frame({shadows, normalMap, true, false});
        EXPECT_GT(warmth(greyEdge, 6), 200) << "the grey quad is lit";
        EXPECT_LE(warmth(greyEdge, -3), 2) << "the grey quad does not glow";
    }
}

// The glow stops at the window's edges: a glowing square on the bottom left corner lights up
// neither the right edge nor the top edge (the blur does not wrap round).
TEST_F(PipelineTest, GlowStopsAtTheWindowsEdges) {
    ScenePrograms programs = game->programs.scene;
    programs.basicLightingBloom = flat({1.0f, 0, 0}, {0, 1.0f, 0});
    look(glm::vec3(0, 0, 10), glm::vec3(0));
    const float unit = kHeight / 2 / std::tan(22.5f) / 10.0f; // pixels per unit at z = 0
    const glm::vec3 corner(-kWidth / 2 / unit, -kHeight / 2 / unit, 0);
    buildWorld(quad(placed(corner, 2.0f)), empty(), {});
    frame({false, false, true, false}, programs);
    EXPECT_GT(colorAt(pixelOf(corner + glm::vec3(1, 0.1f, 0)) + glm::ivec2(3, 0))[1], 20)
        << "the corner square glows past its edge";
    int far = 0;
    for (int i = 0; i < 60; ++i)
        far = std::max({far, colorAt({kWidth - 1, i})[1], colorAt({i, kHeight - 1})[1]});
    EXPECT_LE(far, 2);
}
