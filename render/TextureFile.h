#pragma once

#include <GL/glew.h>
#include <string>

// Reads the image folder + "/" + name as 8-bit RGB (any alpha dropped) into a new 2D texture
// stored as RGB16F, with mipmaps, repeat wrapping and trilinear filtering, and returns its name.
// An image that cannot be read, or is larger than GL_MAX_TEXTURE_SIZE, is reported in one
// "ERROR::TEXTURE:: " line and still yields a texture name, holding a 1x1 magenta placeholder
// with the same sampling state, so that a missing image shows without breaking a draw.
// Needs GL_UNPACK_ALIGNMENT 1 (set by the first TextRenderer): rows are tightly packed.
GLuint loadTextureFile(const char* name, const std::string& folder);

// Whether the current context can hold level 0 of an RGB16F texture of this size (the format of
// model textures and of the bloom targets). A proxy texture answers without allocating, for
// GL_MAX_TEXTURE_SIZE and for the driver's own memory limits alike: llvmpipe takes 16384 pixels
// a side but refuses a 16384 x 16384 image. Valid only within GL_MAX_TEXTURE_SIZE's range.
bool driverHoldsTexture(long width, long height);
