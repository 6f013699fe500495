#include "Zelto.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <glm/gtc/matrix_transform.hpp>

int randomDraws = 0;
static std::deque<double> script;

// Resolved before the C library's, so every stone placement of the game draws from here.
extern "C" int rand() noexcept {
    ++randomDraws;
    const double fraction = script.empty() ? 0.5 : script.front();
    if (!script.empty())
        script.pop_front();
    return static_cast<int>(std::lround(fraction * RAND_MAX));
}

void scriptRandom(std::initializer_list<double> fractions) {
    script.assign(fractions.begin(), fractions.end());
    randomDraws = 0;
}

Zelto::Zelto(std::initializer_list<double> draws) {
    scriptRandom(draws);
    body.width = 1.0f, body.height = 2.0f;
    ring.width = 10.0f, ring.height = 2.0f;
    stoneShape.width = stoneShape.height = 0.5f;
    world =
        buildWorld({&body, &ball, &ring, &sky, &planet}, [this] { return new Model(stoneShape); });
    camera = Camera(world.robot, followPoint(*world.robot), {0.0f, 1.0f, 0.0f}, -90.0f, 0.0f, 0.0f);
    controls.jump = world.jump;
}

void Zelto::frame(float t) {
    clock = t;
    state.measureFrameTime(t);
    controls.update(camera, world.robot, world.track, state.deltaTime);
    mouseLook(camera, controls);
    state.pauseToggle(controls.keys);
    state.countRunFrame();
    state.applyTimeLimit(t, out);
    stepWorld(world, state, camera, t);
    screens = state.textScreens(t);
    effects = state.keyToggles(controls.keys, out);
    controls.releaseLatchedKeys(); // what the next poll does first: key() stands for its events
}

void Zelto::put(int i, float ringAngle, glm::vec3 centre) {
    stone(i).ringAngle = ringAngle;
    stone(i).tubeAngle = 90.0f;
    stone(i).model->modelMatrix = glm::translate(glm::mat4(1.0f), centre);
}
