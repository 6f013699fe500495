/* The part of SOIL's interface that the game uses, for the Windows build, where Debian's SOIL
   source cannot be fetched: image decoding into 8-bit channels, from PNG (non-interlaced) and
   uncompressed BMP, on top of zlib. The constants have SOIL's values. */
#ifndef ZELTO_WINDOWS_SOIL_H
#define ZELTO_WINDOWS_SOIL_H

#ifdef __cplusplus
extern "C" {
#endif

enum {
    SOIL_LOAD_AUTO = 0, /* as many channels as the file has */
    SOIL_LOAD_L = 1,
    SOIL_LOAD_LA = 2,
    SOIL_LOAD_RGB = 3,
    SOIL_LOAD_RGBA = 4
};

/* Rows top first, force_channels (or, with SOIL_LOAD_AUTO, the file's) bytes per pixel; null
   on failure, with SOIL_last_result saying why. channels, if not null, gets the file's count. */
unsigned char* SOIL_load_image(const char* filename, int* width, int* height, int* channels,
                               int force_channels);
unsigned char* SOIL_load_image_from_memory(const unsigned char* buffer, int buffer_length,
                                           int* width, int* height, int* channels,
                                           int force_channels);
void SOIL_free_image_data(unsigned char* img_data);
/* Why the last load on this thread failed, or "Image loaded". */
const char* SOIL_last_result(void);

#ifdef __cplusplus
}
#endif

#endif
