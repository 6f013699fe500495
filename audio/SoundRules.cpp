#include "audio/SoundRules.h"

#include "render/Model.h"
#include "world/Obstacle.h"
#include "world/WorldConstants.h"

#include <algorithm>

std::vector<Sound> SoundDirector::step(const SoundState& now, bool muteKey) {
    if (muteKey && !muteKeyHeld)
        muted = !muted;
    muteKeyHeld = muteKey;

    std::vector<Sound> cues;
    if (now.playing() && !started) {
        cues.push_back(Sound::Start);
        started = true;
    } else if (started && now.playing() && !last.playing()) {
        cues.push_back(Sound::Resume);
    }
    if (now.jumping && !last.jumping)
        cues.push_back(Sound::Jump);
    for (int hit = last.hits; hit < now.hits; ++hit)
        cues.push_back(Sound::Hit);
    if (now.gameOver && !last.gameOver)
        cues.push_back(Sound::GameOver);
    if (now.speed > last.speed && now.playing())
        cues.push_back(Sound::SpeedUp);
    if (last.playing() && now.paused && !now.gameOver)
        cues.push_back(Sound::Pause);
    last = now;
    return cues;
}

Music SoundDirector::music() const {
    if (!started || last.gameOver)
        return Music::Off;
    return last.playing() ? Music::Full : Music::Ducked;
}

std::vector<StoneVoice> nearingStones(const std::vector<Obstacle*>& stones, bool playing,
                                      int maxVoices) {
    std::vector<const Obstacle*> near;
    if (playing)
        for (const Obstacle* stone : stones)
            if (stone->ringAngle >= kCollisionRingStart && stone->ringAngle <= kCollisionRingEnd)
                near.push_back(stone);
    std::sort(near.begin(), near.end(),
              [](const Obstacle* a, const Obstacle* b) { return a->ringAngle > b->ringAngle; });
    near.resize(std::min<size_t>(near.size(), static_cast<size_t>(std::max(maxVoices, 0))));
    std::vector<StoneVoice> voices;
    for (const Obstacle* stone : near) {
        const float gain =
            (stone->ringAngle - kCollisionRingStart) / (kCollisionRingEnd - kCollisionRingStart);
        voices.push_back({glm::vec3(stone->model->modelMatrix[3]), gain});
    }
    return voices;
}
