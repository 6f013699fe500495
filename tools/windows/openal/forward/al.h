/* Installed as include/AL/AL/al.h: CMake's FindOpenAL names include/AL as the include folder
   (where it finds al.h), and with only that folder searched, #include <AL/al.h> lands here. */
#include "../al.h"
