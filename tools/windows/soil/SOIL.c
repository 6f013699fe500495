/* SOIL's image loading for the Windows build (see SOIL.h): PNG of every colour type and bit
   depth, not interlaced, and BMP of 8 (palette), 24 and 32 bits, uncompressed. As in SOIL, a
   32-bit BMP's fourth byte is padding (writers leave it zero), so such a BMP is opaque RGB. Every read of the
   file's bytes is bounds-checked, as the game hands it truncated and foreign files too. */
#include "SOIL.h"

#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

/* Not per thread: the game loads its images on one thread, as SOIL itself assumes. */
static const char* last_result = "SOIL initialized";

/* Above this many pixels a file is refused before any allocation (a 16384 x 16384 image). */
#define MAX_PIXELS (1u << 28)

typedef struct {
    unsigned char* pixels; /* w * h * channels bytes, rows top first */
    uint32_t w, h;
    int channels;
} Image;

static const char* fail(const char* why) {
    last_result = why;
    return why;
}

static uint32_t be32(const unsigned char* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
static uint32_t le32(const unsigned char* p) {
    return (uint32_t)p[3] << 24 | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
}
static uint16_t le16(const unsigned char* p) { return (uint16_t)(p[1] << 8 | p[0]); }

static int size_ok(uint32_t w, uint32_t h) {
    return w > 0 && h > 0 && (uint64_t)w * h <= MAX_PIXELS;
}

/* ---- PNG ---- */

static int paeth(int a, int b, int c) {
    const int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

static const char* load_png(const unsigned char* data, size_t size, Image* out) {
    uint32_t w = 0, h = 0;
    int depth = 0, type = -1, have_header = 0, palette_count = 0, have_alpha_table = 0;
    unsigned char palette[256][4];
    unsigned char* idat = NULL;
    size_t idat_size = 0, at = 8;
    const char* why = NULL;

    for (int i = 0; i < 256; ++i)
        palette[i][3] = 255;
    for (;;) {
        if (size - at < 12) {
            why = "corrupt PNG: it ends before its IEND chunk";
            goto done;
        }
        const uint32_t length = be32(data + at);
        const unsigned char* type_code = data + at + 4;
        const unsigned char* body = data + at + 8;
        if (length > size - at - 12) {
            why = "corrupt PNG: a chunk runs past the end of the file";
            goto done;
        }
        if (!memcmp(type_code, "IHDR", 4)) {
            if (length != 13) {
                why = "corrupt PNG: bad IHDR";
                goto done;
            }
            w = be32(body);
            h = be32(body + 4);
            depth = body[8];
            type = body[9];
            if (body[12] != 0) {
                why = "interlaced PNG is not supported";
                goto done;
            }
            const int depth_ok =
                (type == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
                (type == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
                ((type == 2 || type == 4 || type == 6) && (depth == 8 || depth == 16));
            if (!depth_ok || body[10] != 0 || body[11] != 0) {
                why = "corrupt PNG: unknown colour type, bit depth or method";
                goto done;
            }
            if (!size_ok(w, h)) {
                why = "PNG too large or empty";
                goto done;
            }
            have_header = 1;
        } else if (!have_header) {
            why = "corrupt PNG: first chunk is not IHDR";
            goto done;
        } else if (!memcmp(type_code, "PLTE", 4)) {
            if (length % 3 != 0 || length > 768) {
                why = "corrupt PNG: bad palette";
                goto done;
            }
            palette_count = (int)(length / 3);
            for (int i = 0; i < palette_count; ++i)
                memcpy(palette[i], body + 3 * i, 3);
        } else if (!memcmp(type_code, "tRNS", 4) && type == 3) {
            for (uint32_t i = 0; i < length && i < 256; ++i)
                palette[i][3] = body[i];
            have_alpha_table = 1;
        } else if (!memcmp(type_code, "IDAT", 4)) {
            unsigned char* grown = realloc(idat, idat_size + length + 1);
            if (grown == NULL) {
                why = "out of memory";
                goto done;
            }
            idat = grown;
            memcpy(idat + idat_size, body, length);
            idat_size += length;
        } else if (!memcmp(type_code, "IEND", 4)) {
            break;
        } else if (!(type_code[0] & 0x20)) {
            why = "PNG has a critical chunk this loader does not know";
            goto done;
        }
        at += 12 + (size_t)length;
    }
    if (idat == NULL) {
        why = "corrupt PNG: no image data";
        goto done;
    }
    if (type == 3 && palette_count == 0) {
        why = "corrupt PNG: palette image without palette";
        goto done;
    }

    {
        const int samples = type == 0 ? 1 : type == 2 ? 3 : type == 3 ? 1 : type == 4 ? 2 : 4;
        const int bits = samples * depth, step = bits < 8 ? 1 : bits / 8;
        const size_t stride = ((size_t)w * bits + 7) / 8, raw_size = (stride + 1) * h;
        unsigned char* raw = malloc(raw_size);
        if (raw == NULL) {
            why = "out of memory";
            goto done;
        }
        z_stream z;
        memset(&z, 0, sizeof z);
        if (inflateInit(&z) != Z_OK) {
            free(raw);
            why = "zlib failed to start";
            goto done;
        }
        z.next_in = idat;
        z.avail_in = (uInt)idat_size;
        z.next_out = raw;
        z.avail_out = (uInt)raw_size;
        const int status = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        if (z.avail_out != 0 || (status != Z_STREAM_END && status != Z_BUF_ERROR)) {
            free(raw);
            why = "corrupt PNG: image data too short or not zlib";
            goto done;
        }

        /* Undo the per-row filters in place; row y's bytes start at raw + y * (stride + 1) + 1. */
        for (uint32_t y = 0; y < h; ++y) {
            unsigned char* row = raw + y * (stride + 1);
            const int filter = row[0];
            unsigned char* cur = row + 1;
            const unsigned char* up = y > 0 ? raw + (y - 1) * (stride + 1) + 1 : NULL;
            if (filter > 4) {
                free(raw);
                why = "corrupt PNG: unknown row filter";
                goto done;
            }
            for (size_t x = 0; x < stride; ++x) {
                const int a = x >= (size_t)step ? cur[x - step] : 0, b = up ? up[x] : 0,
                          c = up && x >= (size_t)step ? up[x - step] : 0;
                const int add = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2
                              : filter == 4 ? paeth(a, b, c) : 0;
                cur[x] = (unsigned char)(cur[x] + add);
            }
        }

        out->channels = type == 3 ? (have_alpha_table ? 4 : 3) : samples;
        out->w = w;
        out->h = h;
        out->pixels = malloc((size_t)w * h * out->channels);
        if (out->pixels == NULL) {
            free(raw);
            why = "out of memory";
            goto done;
        }
        for (uint32_t y = 0; y < h; ++y) {
            const unsigned char* src = raw + y * (stride + 1) + 1;
            unsigned char* dst = out->pixels + (size_t)y * w * out->channels;
            for (uint32_t x = 0; x < w; ++x) {
                if (depth < 8) {
                    const size_t bit = (size_t)x * depth;
                    const int value = (src[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
                    if (type == 3) {
                        memcpy(dst, palette[value], out->channels);
                        dst += out->channels;
                    } else {
                        *dst++ = (unsigned char)(value * 255 / ((1 << depth) - 1));
                    }
                } else if (type == 3) {
                    memcpy(dst, palette[src[x]], out->channels);
                    dst += out->channels;
                } else {
                    /* 16-bit samples keep their high byte. */
                    for (int s = 0; s < samples; ++s)
                        *dst++ = src[((size_t)x * samples + s) * (depth / 8)];
                }
            }
        }
        free(raw);
    }
done:
    free(idat);
    return why ? fail(why) : NULL;
}

/* ---- BMP ---- */

static const char* load_bmp(const unsigned char* data, size_t size, Image* out) {
    if (size < 54)
        return fail("corrupt BMP: header cut short");
    const uint32_t offset = le32(data + 10), header = le32(data + 14);
    const int32_t width = (int32_t)le32(data + 18), height = (int32_t)le32(data + 22);
    const int bpp = le16(data + 28);
    const uint32_t compression = le32(data + 30);
    if (header < 40 || header > size - 14)
        return fail("BMP header kind not supported");
    if (!(compression == 0 || (compression == 3 && bpp == 32)) ||
        !(bpp == 8 || bpp == 24 || bpp == 32))
        return fail("BMP not supported: only uncompressed 8, 24 and 32 bit");
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return fail("corrupt BMP: bad size");
    const uint32_t w = (uint32_t)width, h = (uint32_t)(height < 0 ? -height : height);
    if (!size_ok(w, h))
        return fail("BMP too large");
    const size_t stride = (((size_t)w * bpp + 31) / 32) * 4;
    if (offset > size || stride * h > size - offset)
        return fail("corrupt BMP: pixel data cut short");

    const unsigned char* palette = data + 14 + header;
    uint32_t colours = bpp == 8 ? le32(data + 46) : 0;
    if (bpp == 8 && (colours == 0 || colours > 256))
        colours = 256;
    if (bpp == 8 && (size_t)(palette - data) + 4 * (size_t)colours > offset)
        return fail("corrupt BMP: palette cut short");

    out->w = w;
    out->h = h;
    out->channels = 3;
    out->pixels = malloc((size_t)w * h * out->channels);
    if (out->pixels == NULL)
        return fail("out of memory");
    for (uint32_t y = 0; y < h; ++y) {
        const unsigned char* src = data + offset + stride * (height > 0 ? h - 1 - y : y);
        unsigned char* dst = out->pixels + (size_t)y * w * out->channels;
        for (uint32_t x = 0; x < w; ++x) {
            const unsigned char* bgr = bpp == 8 ? (src[x] < colours ? palette + 4 * src[x] : palette)
                                                : src + (size_t)x * (bpp / 8);
            *dst++ = bgr[2];
            *dst++ = bgr[1];
            *dst++ = bgr[0];
        }
    }
    return NULL;
}

/* ---- interface ---- */

unsigned char* SOIL_load_image_from_memory(const unsigned char* buffer, int buffer_length,
                                           int* width, int* height, int* channels,
                                           int force_channels) {
    static const unsigned char png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Image image = {NULL, 0, 0, 0};
    const char* why;
    if (force_channels < 0 || force_channels > 4) {
        fail("force_channels must be 0 to 4");
        return NULL;
    }
    if (buffer == NULL || buffer_length <= 0) {
        fail("Image is empty");
        return NULL;
    }
    const size_t size = (size_t)buffer_length;
    if (size >= 8 && !memcmp(buffer, png_signature, 8))
        why = load_png(buffer, size, &image);
    else if (size >= 2 && buffer[0] == 'B' && buffer[1] == 'M')
        why = load_bmp(buffer, size, &image);
    else
        why = fail("Image is neither PNG nor BMP");
    if (why != NULL) {
        free(image.pixels);
        return NULL;
    }

    const int want = force_channels ? force_channels : image.channels;
    unsigned char* result = image.pixels;
    if (want != image.channels) {
        const size_t count = (size_t)image.w * image.h;
        result = malloc(count * want);
        if (result == NULL) {
            free(image.pixels);
            fail("out of memory");
            return NULL;
        }
        for (size_t i = 0; i < count; ++i) {
            const unsigned char* s = image.pixels + i * image.channels;
            const int grey = image.channels <= 2;
            const unsigned char r = s[0], g = grey ? s[0] : s[1], b = grey ? s[0] : s[2];
            const unsigned char a = image.channels == 2 ? s[1] : image.channels == 4 ? s[3] : 255;
            unsigned char* d = result + i * want;
            /* Luma with the weights SOIL uses, 77/150/29 of 256. */
            const unsigned char luma = (unsigned char)((r * 77 + g * 150 + b * 29) >> 8);
            if (want == 1) {
                d[0] = luma;
            } else if (want == 2) {
                d[0] = luma;
                d[1] = a;
            } else {
                d[0] = r;
                d[1] = g;
                d[2] = b;
                if (want == 4)
                    d[3] = a;
            }
        }
        free(image.pixels);
    }
    *width = (int)image.w;
    *height = (int)image.h;
    if (channels != NULL)
        *channels = image.channels;
    last_result = "Image loaded";
    return result;
}

unsigned char* SOIL_load_image(const char* filename, int* width, int* height, int* channels,
                               int force_channels) {
    FILE* file = fopen(filename, "rb");
    if (file == NULL) {
        fail("Unable to open file");
        return NULL;
    }
    unsigned char* data = NULL;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        size = ftell(file);
    if (size < 0 || size > INT_MAX || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        fail("Unable to read file");
        return NULL;
    }
    data = malloc(size > 0 ? (size_t)size : 1);
    const int complete = data != NULL && fread(data, 1, (size_t)size, file) == (size_t)size;
    fclose(file);
    if (!complete) {
        free(data);
        fail("Unable to read file");
        return NULL;
    }
    unsigned char* pixels =
        SOIL_load_image_from_memory(data, (int)size, width, height, channels, force_channels);
    free(data);
    return pixels;
}

void SOIL_free_image_data(unsigned char* img_data) { free(img_data); }

const char* SOIL_last_result(void) { return last_result; }
