#include "app/Fatal.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

[[noreturn]] void exitAfterKeyPress() {
    // Linux has no "PAUSE" command. Wait for one line only when a person sits at the
    // console: a script, a test or CI with standard input closed or piped must never hang.
    if (isatty(STDIN_FILENO)) {
        std::cout << "Press Enter to continue . . ." << std::endl;
        std::string line;
        std::getline(std::cin, line);
    }
    std::exit(1);
}
