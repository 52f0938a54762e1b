#ifndef VEL_STANDIN_ANDROID_NATIVE_WINDOW_H
#define VEL_STANDIN_ANDROID_NATIVE_WINDOW_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    WINDOW_FORMAT_RGBA_8888 = 1,
    WINDOW_FORMAT_RGBX_8888 = 2,
    WINDOW_FORMAT_RGB_565 = 4,
};

// Opaque. On this platform its first member is the X11 window id (an
// unsigned long), so a pointer to it is also a pointer to that id.
struct ANativeWindow;
typedef struct ANativeWindow ANativeWindow;

void ANativeWindow_acquire(ANativeWindow *window);
void ANativeWindow_release(ANativeWindow *window);
int32_t ANativeWindow_getWidth(ANativeWindow *window);
int32_t ANativeWindow_getHeight(ANativeWindow *window);
int32_t ANativeWindow_getFormat(ANativeWindow *window);

#ifdef __cplusplus
}
#endif

#endif
