#include "audio/QuietLogs.h"

#include <alsa/asoundlib.h>
#include <cstdlib>

namespace {

// ALSA's library prints a dozen lines when the machine has no sound card. The handler is the
// library's global, so the copy OpenAL loads uses it too.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void quietSoundLibraries() {
    snd_lib_error_set_handler(quietAlsa);
    setenv("ALSOFT_LOGLEVEL", "0", 0);
}
