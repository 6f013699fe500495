#include "app/BestScore.h"
#include "Zelto.h"
#include "app/ScoreFiles.h"
#include "tests/platform/TestPlatform.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

// A scratch data folder, gone with the test. Its name holds a letter outside ASCII, as a
// user's home folder may; paths are UTF-8 strings, as the game keeps them.
struct Scratch {
    fs::path root;
    std::string file;
    explicit Scratch(const char* stem = "zelto-best-Zelt\u00f6-")
        : root(fs::u8path(makeScratchFolder(stem))),
          file((root / "repair-zelto" / "best-score").u8string()) {}
    ~Scratch() { fs::remove_all(root); }
    void write(const std::string& path, const std::string& text) const {
        fs::create_directories(fs::u8path(path).parent_path());
        std::ofstream(fs::u8path(path)) << text;
    }
    std::string read(const std::string& path) const {
        std::ostringstream text;
        text << std::ifstream(fs::u8path(path)).rdbuf();
        return text.str();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::u8path(file).parent_path()))
            if (entry.path().filename() != scorefiles::kLockName)
                names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

int lines(const std::ostringstream& err) {
    const std::string text = err.str();
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(BestScore, PathFollowsTheDataFolderRulesAndTheFileHoldsOneNumber) {
    const std::string tail = "/repair-zelto/best-score";
    const struct {
        const char *data, *home, *passwd, *expected;
    } places[] = {
        {"/d", "/h", "/p", "/d"},
        {"", "/h", "/p", "/h/.local/share"},
        {"rel", "/h", "/p", "/h/.local/share"},
        {nullptr, "", "/p", "/p/.local/share"},
        {nullptr, "h", "/p", "/p/.local/share"},
        {nullptr, nullptr, nullptr, nullptr},
    };
    for (const auto& row : places)
        EXPECT_EQ(BestScore::locate(row.data, row.home, row.passwd),
                  row.expected ? row.expected + tail : "")
            << (row.data ? row.data : "-") << (row.home ? row.home : "-");

    const std::pair<const char*, int> good[] = {
        {"42\n", 42}, {"0", 0}, {" \t7 \r\n\n", 7}, {"007\n", 7}, {"1000000000", 1000000000}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(BestScore::parse(text), std::optional<int>(value)) << '"' << text << '"';
    for (const char* text : {"1000000001", "99999999999999999999", "", " \n", "abc", "12a", "-5",
                             "+5", "1 2", "4\n2\n", "1e3"})
        EXPECT_EQ(BestScore::parse(text), std::nullopt) << '"' << text << '"';
}

// The rule runs on the game's own frames: the first frame is the title's, unpaused.
TEST(BestScore, KeptWhenAGameThatRanEndsOrIsLeftAboveTheBest) {
    const int none = -1;
    const struct {
        const char* keys; // before the rule: "" the title, "h" help over it, "e" Enter
        bool gameOver, closing;
        int score, stored, expected; // the file's value before and after; none: no file
        bool isNew;
    } rows[] = {
        {"e", true, false, 50, none, 50, true},    // the end of a first game
        {"e", true, false, 50, 40, 50, true},      // beats the best
        {"e", true, false, 50, 50, 50, false},     // a tie is no new best
        {"e", true, false, 30, 40, 40, false},     // below it
        {"e", false, false, 50, 40, 40, false},    // play goes on: nothing yet
        {"e", false, true, 50, 40, 50, true},      // window closed in play or pause
        {"", false, true, 50, none, none, false},  // closed on the title
        {"h", false, true, 50, none, none, false}, // or on help over it
        {"", true, false, 50, none, none, false},  // the clock ended it on the title
    };
    for (const auto& row : rows) {
        Scratch scratch;
        if (row.stored != none)
            scratch.write(scratch.file, std::to_string(row.stored) + "\n");
        std::ostringstream err;
        Zelto z;
        BestScore& best = z.game.best = BestScore(scratch.file, err);
        z.frame(1.0f); // the frames keep the best themselves, which sees what they played
        for (const char* key = row.keys; *key != '\0'; ++key)
            z.tap(*key == 'h' ? GLFW_KEY_F1 : GLFW_KEY_ENTER);
        z.next(); // the frame after the keys: the first of play after Enter
        z.state.gameOver = row.gameOver, z.state.score = row.score;
        best.keep(z.state, row.closing, err); // as the next frame, or the close after the loop
        const std::string expected =
            row.expected == none ? "" : std::to_string(row.expected) + "\n";
        EXPECT_EQ(scratch.read(scratch.file), expected) << row.keys << ", " << row.score;
        EXPECT_EQ(best.best, std::max(row.stored, row.expected == none ? 0 : row.expected));
        EXPECT_EQ(best.isNew, row.isNew) << row.score << " over " << row.stored;
        EXPECT_EQ(err.str(), "");
    }
}

TEST(BestScore, BadFilesAreSetAsideAndNoSaveLowersAnotherGamesBest) {
    Scratch scratch;
    scratch.write(scratch.file, "12x\n");
    scratch.write(scratch.file + ".corrupt", "from an earlier run");
    scratch.write(scratch.file + ".tmp.Ab12Cd", "4"); // left by a killed game
    std::ostringstream err;
    BestScore best(scratch.file, err);
    EXPECT_EQ(best.best, 0);
    EXPECT_EQ(lines(err), 1);
    EXPECT_EQ(err.str().rfind("ERROR::SCORE:: " + scratch.file + " holds no score", 0), 0u)
        << err.str();
    EXPECT_EQ(scratch.read(scratch.file + ".corrupt"), "from an earlier run");
    EXPECT_EQ(scratch.read(scratch.file + ".corrupt.1"), "12x\n");

    // Another game saves 70 meanwhile: 60 is not written, the best shown becomes 70.
    BestScore other(scratch.file, err);
    other.save(70, err);
    for (const int score : {70, 60}) {
        best.save(score, err);
        EXPECT_EQ(scratch.read(scratch.file), "70\n");
        EXPECT_TRUE(best.best == 70 && !best.isNew) << score << ": a tie is no new best";
    }
    best.save(80, err);
    EXPECT_EQ(scratch.read(scratch.file), "80\n");
    EXPECT_EQ(scratch.names(), (std::vector<std::string>{"best-score", "best-score.corrupt",
                                                         "best-score.corrupt.1"}));
    EXPECT_EQ(lines(err), 1) << err.str();
}

TEST(BestScore, AnUnwritableFolderCostsOneLinePerSaveAndTheNextSaveTriesAgain) {
    Scratch scratch;
    const std::string blocker = (scratch.root / "repair-zelto").u8string();
    scratch.write(blocker, "a file where the folder should be");
    for (const std::string& file : {scratch.file, unwritableScorePath()}) {
        std::ostringstream err;
        BestScore best(file, err);
        EXPECT_EQ(err.str(), "") << "nothing stored yet is no error";
        best.save(25, err);
        EXPECT_EQ(lines(err), 1) << err.str();
        EXPECT_EQ(err.str().rfind("ERROR::SCORE:: Could not save the best score 25 in " + file, 0),
                  0u)
            << err.str();
        EXPECT_TRUE(best.best == 25 && best.isNew) << "the game-over screen still shows it";
    }
    fs::remove(fs::u8path(blocker));
    std::ostringstream err;
    BestScore best(scratch.file, err);
    best.save(25, err);
    EXPECT_EQ(scratch.read(scratch.file), "25\n");
}

TEST(BestScore, TwoGamesSavingAtOnceKilledAtAnyMomentLeaveTheOldBestOrTheNew) {
    Scratch scratch("zelto-best-"); // named on score_saver's command line: Windows passes ANSI
    scratch.write(scratch.file, "1\n");
    const std::string errors = (scratch.root / "errors").string();
    std::mt19937 random(7); // seeded: a failure can be replayed
    int last = 1;
    for (int round = 0; round < 40; ++round) {
        Child games[2];
        for (Child& game : games)
            game = startSaver(scratch.file, errors);
        if (games[0].handle == 0 || games[1].handle == 0) {
            for (Child& game : games)
                kill(game);
            FAIL() << "score_saver did not start";
        }
        // The kill comes at a random moment once saves are under way: a process takes a while to
        // start (under Wine most of all), and a kill before its first save tests nothing. The
        // file is read as another game reads it, in its turn: Windows cannot replace a file
        // while anyone else has it open.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::string seen, reason;
        while (BestScore::parse(seen).value_or(0) < last + 2 &&
               std::chrono::steady_clock::now() < deadline) {
            {
                const scorefiles::FolderLock turn(scorefiles::folderOf(scratch.file));
                scorefiles::readHead(scratch.file, 64, seen, reason);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
        for (Child& game : games)
            kill(game);
        ASSERT_GE(BestScore::parse(seen).value_or(0), last + 2) << "no saves within 30 s";
        const std::string text = scratch.read(scratch.file);
        const std::optional<int> value = BestScore::parse(text);
        ASSERT_TRUE(value && text == std::to_string(*value) + "\n") << '"' << text << '"';
        ASSERT_GE(*value, last) << "a best went back";
        last = *value;
    }
    std::ostringstream err;
    BestScore(scratch.file, err).save(last + 1, err);
    EXPECT_EQ(scratch.names(), std::vector<std::string>{"best-score"}) << "temporary files gone";
    EXPECT_EQ(err.str() + scratch.read(errors), "")
        << "no save failed: no temporary file went under it";
}
