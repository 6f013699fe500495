/* Installed as include/AL/AL/alc.h: CMake's FindOpenAL names include/AL as the include folder
   (where it finds alc.h), and with only that folder searched, #include <AL/alc.h> lands here. */
#include "../alc.h"
