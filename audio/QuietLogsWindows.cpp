#include "audio/QuietLogs.h"

#include <cstdlib>

void quietSoundLibraries() {
    if (std::getenv("ALSOFT_LOGLEVEL") == nullptr)
        _putenv_s("ALSOFT_LOGLEVEL", "0");
}
