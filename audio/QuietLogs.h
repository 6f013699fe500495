#pragma once

// Silences the sound libraries' own console lines before the device is opened: without a device
// they print many, and the game's one line says it. A user's own OpenAL log level still holds.
// One implementation per system (QuietLogsLinux.cpp, QuietLogsWindows.cpp).
void quietSoundLibraries();
