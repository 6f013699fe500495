#include "app/Fatal.h"

#include <cstdlib>
#include <windows.h>

[[noreturn]] void exitAfterKeyPress() {
    // The command processor's own "Press any key to continue . . ." when a person sits at the
    // console; a script, a test or CI with standard input redirected must never wait. _isatty
    // will not do: NUL is a character device too. Only a console has a console mode.
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode))
        std::system("PAUSE");
    std::exit(1);
}
