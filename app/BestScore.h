#pragma once

#include <optional>
#include <ostream>
#include <string>

class GameState;

// The best score kept between runs, in a file a person can read and edit: one decimal number
// on one line. The file is only ever replaced whole (a temporary file in its folder, synced,
// renamed over it, the folder synced), so a crash or a kill at any moment leaves the old best
// or the new one. Games running at once take turns through a lock on the folder and re-read
// the file before writing, so none lowers a best another one saved. Every failure prints one
// "ERROR::SCORE::" line and the game plays on.
class BestScore {
  public:
    // The score counts frames until clock second 400: a billion would take 2.5 million frames
    // a second. A larger stored value was not written by the game.
    static constexpr int kMax = 1000000000;

    std::string path;    // the file; empty when no home folder is known
    int best = 0;        // the file's value at start-up, raised when a game beats it
    bool isNew = false;  // this run's score beat the best it met: the game-over screen says so
    bool played = false; // a frame of play (off the title, unpaused) has been seen

    // The file on POSIX systems (scorefiles::userPath gives this user's, on any system):
    // $XDG_DATA_HOME/repair-zelto/best-score, or that under ~/.local/share when the variable
    // is unset, empty or relative; home is HOME, else the password database's entry. Empty
    // when no absolute home is known.
    static std::string locate(const char* dataHome, const char* home, const char* passwdHome);
    // The number a file holds: digits within optional surrounding white space, up to kMax.
    static std::optional<int> parse(const std::string& text);

    // Reads the best from file; a file that holds no score is set aside as file.corrupt (or
    // file.corrupt.N when that name is taken) and the best starts from 0.
    BestScore(std::string file, std::ostream& err);
    // No file: nothing is read or kept, and nothing is said (frames driven without a player).
    BestScore() = default;

    // The save rule, after the frame's score rule in every frame and once more with closing
    // set after the loop: the score of a game that ran and ended, or that was left by closing
    // the window, is kept when it beats the best.
    void keep(const GameState& state, bool closing, std::ostream& err);
    // Writes score unless the file already holds as much; best then holds the larger.
    void save(int score, std::ostream& err);

  private:
    // The file's value, 0 when it is missing or unreadable or after setting it aside.
    int stored(std::ostream& err);
    // The one line a failed save prints: the step that failed and the system's reason.
    void failed(int score, const char* step, const std::string& reason, std::ostream& err) const;
};
