#include "app/BestScore.h"

#include "app/GameState.h"
#include "app/ScoreFiles.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

const char* const kSubPath = "/repair-zelto/best-score";
const char* const kTempTag = ".tmp."; // temporary files: the file's name, this, six letters
// A stored score is at most ten digits; a longer file holds no score, whatever comes after.
constexpr std::size_t kMaxFileBytes = 64;

bool absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

std::string BestScore::locate(const char* dataHome, const char* home, const char* passwdHome) {
    if (absolute(dataHome))
        return dataHome + std::string(kSubPath);
    const char* base = absolute(home) ? home : absolute(passwdHome) ? passwdHome : nullptr;
    return base ? base + std::string("/.local/share") + kSubPath : std::string();
}

std::optional<int> BestScore::parse(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    const std::size_t first = i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMax)
            return std::nullopt;
    }
    if (i == first)
        return std::nullopt;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return static_cast<int>(value);
}

BestScore::BestScore(std::string file, std::ostream& err) : path(std::move(file)) {
    if (path.empty()) {
        err << "ERROR::SCORE:: No home folder is known: the best score is not kept" << std::endl;
        return;
    }
    const scorefiles::FolderLock lock(scorefiles::folderOf(path));
    if (lock.opened)
        best = stored(err);
}

int BestScore::stored(std::ostream& err) {
    std::string text, reason;
    const scorefiles::Read result = scorefiles::readHead(path, kMaxFileBytes + 1, text, reason);
    if (result != scorefiles::Read::ok) {
        if (result == scorefiles::Read::failed)
            err << "ERROR::SCORE:: Could not read " << path << ": " << reason << std::endl;
        return 0;
    }
    if (const std::optional<int> value = parse(text))
        return *value;

    const std::string aside = scorefiles::setAside(path, reason);
    err << "ERROR::SCORE:: " << path << " holds no score (a whole number from 0 to " << kMax
        << "): ";
    if (!aside.empty())
        err << "kept as " << aside << ", starting from 0" << std::endl;
    else
        err << "could not set it aside (" << reason << "), starting from 0" << std::endl;
    return 0;
}

void BestScore::keep(const GameState& state, bool closing, std::ostream& err) {
    // Only a game that ran: the title and help over it hold the starting score, and the clock
    // can end the game before play began.
    played = played || (!state.paused && !state.startScreen && !state.gameOver);
    if (played && (state.gameOver || closing) && state.score > best)
        save(state.score, err);
}

void BestScore::save(int score, std::ostream& err) {
    // Raised whatever the disk says: a failed save is reported once, not in every frame after.
    isNew = score > best;
    best = std::max(best, score);
    if (path.empty())
        return;
    const std::string folder = scorefiles::folderOf(path);
    scorefiles::makeFolders(folder);
    const scorefiles::FolderLock lock(folder);
    if (!lock.opened)
        return failed(score, "open the folder", lock.reason, err);
    const std::string tempPrefix = path + kTempTag;
    if (lock.locked)
        scorefiles::removeStaleTemps(lock, folder, scorefiles::nameOf(tempPrefix));
    const int other = stored(err); // another game may have saved more since start-up
    if (other >= score) {
        best = other;
        isNew = false;
        return;
    }
    const char* step = "";
    std::string reason;
    if (!scorefiles::replace(lock, path, tempPrefix, std::to_string(score) + "\n", step, reason))
        failed(score, step, reason, err);
}

void BestScore::failed(int score, const char* step, const std::string& reason,
                       std::ostream& err) const {
    err << "ERROR::SCORE:: Could not save the best score " << score << " in " << path << " ("
        << step << ": " << reason << "); playing on" << std::endl;
}
