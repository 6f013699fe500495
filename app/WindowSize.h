#pragma once

#include <climits>
#include <string>

// The largest window side X11 can hold, in pixels. X11 carries window sizes, and the image
// transfers that present each frame, in 16-bit fields, some of them signed: 65536 wraps to 0
// and window creation fails, 40000 makes the shared-memory image put of the first frame fail,
// and either X error ends the process in Xlib's default handler. Sizes near int's maximum crash
// the GL driver outright. 32767, the largest signed 16-bit value, fits every field.
constexpr int kMaxX11WindowSide = 32767;

// What the window system and the GL driver can hold, in pixels. The GL entries stay unlimited
// until a context exists to ask. The game makes viewport-sized framebuffer textures and a
// renderbuffer of the window's size for bloom, so each of their limits bounds the window.
struct WindowSizeLimits {
    int windowSide = kMaxX11WindowSide;
    int viewportWidth = INT_MAX; // GL_MAX_VIEWPORT_DIMS
    int viewportHeight = INT_MAX;
    int textureSize = INT_MAX;      // GL_MAX_TEXTURE_SIZE
    int renderbufferSize = INT_MAX; // GL_MAX_RENDERBUFFER_SIZE
    // Whether the driver accepts a bloom colour target (RGB16F) of the window's size: a size
    // within every limit above may still pass the driver's memory cap for one texture.
    bool bloomTargetFits = true;
};

// Why a window of width by height pixels cannot be opened under the limits, as one console
// line; empty when it can.
std::string windowSizeProblem(int width, int height, const WindowSizeLimits& limits);
