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
    startPlay(game, {&body, &ball, &ring, &sky, &planet}, [this] { return new Model(stoneShape); });
    state.lastFrameTime = clock;
}

void Zelto::frame(float t) {
    clock = t;
    const auto poll = [this] {
        for (const auto& [code, action] : events)
            send(code, action);
        events.clear();
    };
    plan = playFrame(game, t, poll, out, out);
}

void Zelto::put(int i, float ringAngle, glm::vec3 centre) {
    stone(i).ringAngle = ringAngle;
    stone(i).tubeAngle = 90.0f;
    stone(i).model->modelMatrix = glm::translate(glm::mat4(1.0f), centre);
}
