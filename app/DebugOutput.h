#pragma once

#include "app/RepeatFolder.h"

#include <GL/glew.h>

// Prints driver messages on standard output, one line each, through the RepeatFolder that the
// user pointer names (it must outlive the context): the first copy of a message in full, its
// repeats as a count at most once a second. Debug output is synchronous, so this runs inside
// the GL call that caused the message, on the render thread.
void GLAPIENTRY debugMessageCallback(GLenum source, GLenum type, GLuint id, GLenum severity,
                                     GLsizei length, const GLchar* message, const void* userParam);

// Prints the repeats counted since their last line, so that none is lost when the game ends.
void printHeldRepeats(RepeatFolder& folder);
