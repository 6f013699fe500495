/* The OpenAL 1.1 context interface of the project's own Windows stand-in (tools/windows/openal):
   output devices (no capture) and their contexts. Names, types and values are OpenAL's. The
   device is chosen by ALSOFT_DRIVERS (a comma list of winmm, wave, null; default winmm), and the
   wave writer's file by the [wave] section's file key in the ini file that ALSOFT_CONF names. */
#ifndef AL_ALC_H
#define AL_ALC_H

#ifdef __cplusplus
extern "C" {
#endif

#ifndef ALC_API
#define ALC_API extern
#endif

#ifndef ALC_APIENTRY
#if defined(_WIN32)
#define ALC_APIENTRY __cdecl
#else
#define ALC_APIENTRY
#endif
#endif

#define ALC_VERSION_0_1 1

typedef struct ALCdevice ALCdevice;
typedef struct ALCcontext ALCcontext;

typedef char ALCboolean;
typedef char ALCchar;
typedef signed char ALCbyte;
typedef unsigned char ALCubyte;
typedef short ALCshort;
typedef unsigned short ALCushort;
typedef int ALCint;
typedef unsigned int ALCuint;
typedef int ALCsizei;
typedef int ALCenum;
typedef float ALCfloat;
typedef double ALCdouble;
typedef void ALCvoid;

#define ALC_FALSE 0
#define ALC_TRUE 1

#define ALC_FREQUENCY 0x1007
#define ALC_REFRESH 0x1008
#define ALC_SYNC 0x1009
#define ALC_MONO_SOURCES 0x1010
#define ALC_STEREO_SOURCES 0x1011

#define ALC_NO_ERROR 0
#define ALC_INVALID_DEVICE 0xA001
#define ALC_INVALID_CONTEXT 0xA002
#define ALC_INVALID_ENUM 0xA003
#define ALC_INVALID_VALUE 0xA004
#define ALC_OUT_OF_MEMORY 0xA005

#define ALC_MAJOR_VERSION 0x1000
#define ALC_MINOR_VERSION 0x1001
#define ALC_ATTRIBUTES_SIZE 0x1002
#define ALC_ALL_ATTRIBUTES 0x1003
#define ALC_DEFAULT_DEVICE_SPECIFIER 0x1004
#define ALC_DEVICE_SPECIFIER 0x1005
#define ALC_EXTENSIONS 0x1006
#define ALC_CAPTURE_DEVICE_SPECIFIER 0x310
#define ALC_CAPTURE_DEFAULT_DEVICE_SPECIFIER 0x311
#define ALC_CAPTURE_SAMPLES 0x312
#define ALC_DEFAULT_ALL_DEVICES_SPECIFIER 0x1012
#define ALC_ALL_DEVICES_SPECIFIER 0x1013

/* devicename: null or "" for the first driver of ALSOFT_DRIVERS that opens, else that
   driver's device name (alcGetString(device, ALC_DEVICE_SPECIFIER)). Null when none opens. */
ALC_API ALCdevice* ALC_APIENTRY alcOpenDevice(const ALCchar* devicename);
/* Stops the device's mixer thread and destroys the contexts still on it. */
ALC_API ALCboolean ALC_APIENTRY alcCloseDevice(ALCdevice* device);
ALC_API ALCcontext* ALC_APIENTRY alcCreateContext(ALCdevice* device, const ALCint* attrlist);
ALC_API ALCboolean ALC_APIENTRY alcMakeContextCurrent(ALCcontext* context);
ALC_API void ALC_APIENTRY alcProcessContext(ALCcontext* context);
ALC_API void ALC_APIENTRY alcSuspendContext(ALCcontext* context);
ALC_API void ALC_APIENTRY alcDestroyContext(ALCcontext* context);
ALC_API ALCcontext* ALC_APIENTRY alcGetCurrentContext(void);
ALC_API ALCdevice* ALC_APIENTRY alcGetContextsDevice(ALCcontext* context);
ALC_API ALCenum ALC_APIENTRY alcGetError(ALCdevice* device);
ALC_API const ALCchar* ALC_APIENTRY alcGetString(ALCdevice* device, ALCenum param);
ALC_API void ALC_APIENTRY alcGetIntegerv(ALCdevice* device, ALCenum param, ALCsizei size,
                                         ALCint* values);

#ifdef __cplusplus
}
#endif

#endif
