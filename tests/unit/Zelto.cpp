#include "Zelto.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <glm/gtc/matrix_transform.hpp>

namespace {
std::deque<double> script;
int draws = 0;
} // namespace

// Resolved before the C library's, so every stone placement of the game draws from here.
extern "C" int rand() noexcept {
    ++draws;
    const double fraction = script.empty() ? 0.5 : script.front();
    if (!script.empty())
        script.pop_front();
    return static_cast<int>(std::lround(fraction * RAND_MAX));
}

void scriptRandom(std::initializer_list<double> fractions) {
    script.assign(fractions.begin(), fractions.end());
    draws = 0;
}

int randomDraws() {
    return draws;
}

Model sized(float width, float height) {
    Model model;
    model.width = width;
    model.height = height;
    return model;
}

Zelto::Zelto(std::initializer_list<double> draws) {
    scriptRandom(draws);
    world = buildWorld({&body, &ball, &ring, &sky, &planet},
                       [] { return new Model(sized(0.5f, 0.5f)); });
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
}

void Zelto::tap(int code) {
    key(code, GLFW_PRESS);
    next();
    key(code, GLFW_RELEASE);
    next();
}

void Zelto::play() {
    frame(1.0f);
    tap(GLFW_KEY_ENTER);
}

void Zelto::put(int i, float ringAngle, glm::vec3 centre) {
    stone(i).ringAngle = ringAngle;
    stone(i).model->modelMatrix = glm::translate(glm::mat4(1.0f), centre);
}
