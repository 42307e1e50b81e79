// Preloaded into a Wayland program in tests only. KWin's virtual outputs
// announce no physical size (-1 x -1 mm), and some programs (foot) divide by
// the size in whole inches when an output appears, so they crash on them. This
// gives such an output the size a 96 dpi screen of its mode would have.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <string.h>
#include <wayland-client.h>

enum { kMaxOutputs = 16 };

struct WrappedOutput {
    const struct wl_output_listener* original;
    void* data;
    int32_t width, height; // of the last mode, in pixels
};

static struct WrappedOutput outputs[kMaxOutputs];
static int outputCount;

static int32_t millimetres(int32_t pixels) { return (int32_t)(pixels * 25.4 / 96 + 0.5); }

static void onGeometry(void* data, struct wl_output* o, int32_t x, int32_t y, int32_t mmWidth, int32_t mmHeight,
                       int32_t subpixel, const char* make, const char* model, int32_t transform) {
    struct WrappedOutput* w = data;
    if (mmWidth <= 0 || mmHeight <= 0) {
        mmWidth = millimetres(w->width > 0 ? w->width : 1280);
        mmHeight = millimetres(w->height > 0 ? w->height : 1024);
    }
    if (w->original->geometry)
        w->original->geometry(w->data, o, x, y, mmWidth, mmHeight, subpixel, make, model, transform);
}

static void onMode(void* data, struct wl_output* o, uint32_t flags, int32_t width, int32_t height, int32_t refresh) {
    struct WrappedOutput* w = data;
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        w->width = width;
        w->height = height;
    }
    if (w->original->mode) w->original->mode(w->data, o, flags, width, height, refresh);
}

static void onDone(void* data, struct wl_output* o) {
    struct WrappedOutput* w = data;
    if (w->original->done) w->original->done(w->data, o);
}

static void onScale(void* data, struct wl_output* o, int32_t factor) {
    struct WrappedOutput* w = data;
    if (w->original->scale) w->original->scale(w->data, o, factor);
}

static void onName(void* data, struct wl_output* o, const char* name) {
    struct WrappedOutput* w = data;
    if (w->original->name) w->original->name(w->data, o, name);
}

static void onDescription(void* data, struct wl_output* o, const char* description) {
    struct WrappedOutput* w = data;
    if (w->original->description) w->original->description(w->data, o, description);
}

static const struct wl_output_listener wrapper = {
    onGeometry, onMode, onDone, onScale, onName, onDescription,
};

int wl_proxy_add_listener(struct wl_proxy* proxy, void (**implementation)(void), void* data) {
    typedef int (*AddListener)(struct wl_proxy*, void (**)(void), void*);
    static AddListener next;
    if (!next) next = (AddListener)dlsym(RTLD_NEXT, "wl_proxy_add_listener");
    if (strcmp(wl_proxy_get_class(proxy), "wl_output") != 0 || outputCount == kMaxOutputs)
        return next(proxy, implementation, data);
    struct WrappedOutput* w = &outputs[outputCount++];
    w->original = (const struct wl_output_listener*)implementation;
    w->data = data;
    return next(proxy, (void (**)(void))&wrapper, w);
}
