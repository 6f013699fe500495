#include "app/WindowSize.h"

std::string windowSizeProblem(int width, int height, const WindowSizeLimits& limits) {
    const std::string size =
        "Window size " + std::to_string(width) + " x " + std::to_string(height);
    const auto exceeds = [width, height](int maxWidth, int maxHeight) {
        return width > maxWidth || height > maxHeight;
    };
    if (width <= 0 || height <= 0)
        return size + " is not positive";
    if (exceeds(limits.windowSide, limits.windowSide))
        return size + " exceeds the X11 limit of " + std::to_string(limits.windowSide) +
               " pixels a side";
    if (exceeds(limits.viewportWidth, limits.viewportHeight))
        return size + " exceeds GL_MAX_VIEWPORT_DIMS (" + std::to_string(limits.viewportWidth) +
               " x " + std::to_string(limits.viewportHeight) + ")";
    if (exceeds(limits.textureSize, limits.textureSize))
        return size + " exceeds GL_MAX_TEXTURE_SIZE (" + std::to_string(limits.textureSize) + ")";
    if (exceeds(limits.renderbufferSize, limits.renderbufferSize))
        return size + " exceeds GL_MAX_RENDERBUFFER_SIZE (" +
               std::to_string(limits.renderbufferSize) + ")";
    if (!limits.bloomTargetFits)
        return size + " is more than the driver can allocate for one RGB16F bloom target";
    return "";
}
