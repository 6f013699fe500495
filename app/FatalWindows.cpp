#include "app/Fatal.h"

#include <cstdio>
#include <cstdlib>
#include <io.h>

[[noreturn]] void exitAfterKeyPress() {
    // The command processor's own "Press any key to continue . . ." when a person sits at the
    // console; a script, a test or CI with standard input redirected must never hang.
    if (_isatty(_fileno(stdin)))
        std::system("PAUSE");
    std::exit(1);
}
