#pragma once

// The game's window hints, in order: a 3.3 core-profile debug context on a 4-sample window.
// The frame benchmark opens its window with the same hints, so it measures the game's setting.
void setGameWindowHints();
