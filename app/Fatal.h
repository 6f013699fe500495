#pragma once

// The program's one reaction to a fatal start-up failure, after its message is written:
// wait for a key in the console, then exit with status 1.
[[noreturn]] void exitAfterKeyPress();
