#include "app/CommandLine.h"
#include "app/Fatal.h"
#include "app/Game.h"

#include <iostream>

int main(int argc, char** argv) {
    int width = 800;
    int height = 600;
    if (!parseWindowSize(argc, argv, width, height)) {
        std::cerr << "Error: could not parse first two arguments!" << std::endl;
        exitAfterKeyPress();
    }
    Game game(width, height); // runs the whole game; returns once the window was asked to close
    return 0;
}
