#pragma once

#include <GL/glew.h>
#include <string>

// One driver debug message as the console line the game prints. Ids 2 and 131185 are
// known-noisy driver notifications and give an empty line.
std::string formatDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                               const char* message);

// The line that stands for count further copies of a message after it was printed once:
// "OpenGL message repeated <count> more times: <text> [Source = ...]", the fields of the
// message's own line behind a different start, so no reader takes it for a driver message. It
// names the message by its text even where the message's own line is empty: repeats of
// different texts under one id would read alike otherwise.
std::string formatDebugRepeats(GLenum source, GLenum type, GLuint id, GLenum severity,
                               const std::string& message, long count);
