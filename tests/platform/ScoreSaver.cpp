// score_saver FILE ERRORS: saves a rising best score in FILE for ever, each save past what any
// other game saved meanwhile, appending every error line to ERRORS. The best-score tests start
// two at once and kill them at random moments.
#include "app/BestScore.h"

#include <fstream>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    std::ofstream err(argv[2], std::ios::app);
    BestScore best(argv[1], err);
    for (;;)
        best.save(best.best + 1, err);
}
