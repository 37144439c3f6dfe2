// The window system for the graphics window, on SDL2 (and SDL2_ttf for the text font) when the
// program is built with them; without them nothing is available and the window never opens.
#include "display/window_system.h"

#if PELONG_WINDOW

#include <SDL.h>
#if PELONG_WINDOW_TTF
#include <SDL_ttf.h>
#endif

#include <cstdlib>
#include <cstring>

#include "base/utf8.h"
#include "display/window.h"
#include "input/key_queue.h"
#include "input/keys.h"

namespace {

// Monospaced fonts for the text overlay, in the places Linux distributions keep them.
const char *const kFontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/TTF/DejaVuSansMono.ttf",
    "/usr/share/fonts/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/dejavu-sans-mono-fonts/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
};

const int kMaskBytes = 4 << 20; // the glyph cache's size; it starts over when full
const int kMaskSlots = 1024;

struct SdlState {
    int video; // 1 started, -1 failed for good
    SDL_Window *window;
    SDL_Renderer *renderer;
    SDL_Texture *texture;
    int texture_width, texture_height;
    const uint32_t *pixels; // the bitmap last shown
    int width, height;
    int fullscreen;
    int placement_saved, saved_x, saved_y, saved_width, saved_height;
#if PELONG_WINDOW_TTF
    int ttf; // 1 started, -1 failed
    TTF_Font *font;
    int font_key; // cell height * 1000 + cell width
#endif
    // Glyph coverage cache for the overlay: open addressing on the code point.
    uint8_t *masks;
    int mask_width, mask_height, slots, used;
    uint32_t slot_glyph[kMaskSlots]; // glyph + 1; 0 empty
    uint8_t slot_missing[kMaskSlots];
};

SdlState sdl;

bool start_video() {
    if (sdl.video) return sdl.video > 0;
    // The program handles its own signals (the console is put back on SIGTERM); SDL must not.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0"); // nearest neighbour: crisp pixels
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    sdl.video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 ? 1 : -1;
    return sdl.video > 0;
}

void paint() {
    if (!sdl.renderer) return;
    SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl.renderer); // the black bars
    int client_width = 0, client_height = 0;
    SDL_GetRendererOutputSize(sdl.renderer, &client_width, &client_height);
    if (sdl.texture && client_width > 0 && client_height > 0) {
        WindowRect r = window_fit(sdl.texture_width, sdl.texture_height, client_width, client_height);
        SDL_Rect target = {r.x, r.y, r.width, r.height};
        SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, &target);
    }
    SDL_RenderPresent(sdl.renderer);
}

void push(uint32_t code) {
    key_queue_push(&g_key_queue, code);
}

// SDL's key to the window's key: navigation and F-keys, the control keys, or the key's character.
uint32_t window_key_of(SDL_Keycode sym) {
    switch (sym) {
    case SDLK_UP: return KEY_UP;
    case SDLK_DOWN: return KEY_DOWN;
    case SDLK_LEFT: return KEY_LEFT;
    case SDLK_RIGHT: return KEY_RIGHT;
    case SDLK_HOME: return KEY_HOME;
    case SDLK_END: return KEY_END;
    case SDLK_PAGEUP: return KEY_PGUP;
    case SDLK_PAGEDOWN: return KEY_PGDN;
    case SDLK_INSERT: return KEY_INSERT;
    case SDLK_DELETE: return KEY_DELETE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KEY_ENTER;
    case SDLK_TAB: return KEY_TAB;
    case SDLK_BACKSPACE: return KEY_BACKSPACE;
    case SDLK_ESCAPE: return KEY_ESC;
    }
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return key_function(sym - SDLK_F1 + 1);
    if (sym >= 32 && sym < 127) return (uint32_t)sym; // printable keys are their unshifted character
    return 0;
}

void key_down(const SDL_KeyboardEvent &e) {
    Uint16 mod = e.keysym.mod;
    // AltGr types characters; it is never Alt.
    bool alt_gr = mod & KMOD_MODE;
    WindowKey key{window_key_of(e.keysym.sym), (mod & KMOD_SHIFT) != 0, !alt_gr && (mod & KMOD_CTRL) != 0,
                  !alt_gr && (mod & KMOD_ALT) != 0, e.repeat != 0};
    uint32_t code;
    if (key.key && window_key_code(key, &code)) push(code);
}

void text_input(const char *utf8) {
    SDL_Keymod mod = SDL_GetModState();
    bool alt_gr = mod & KMOD_MODE;
    int alt = !alt_gr && (mod & KMOD_ALT), ctrl = !alt_gr && (mod & KMOD_CTRL);
    const uint8_t *p = (const uint8_t *)utf8;
    for (long left = (long)strlen(utf8); left > 0;) {
        uint32_t c;
        int length = utf8_decode(p, left, &c);
        if (length > 0 && window_text_code(c, alt, ctrl)) push(c);
        length = length > 0 ? length : length < 0 ? -length : (int)left; // skip what is no character
        p += length, left -= length;
    }
}

void clear_masks() {
    memset(sdl.slot_glyph, 0, sizeof sdl.slot_glyph);
    sdl.used = 0;
}

} // namespace

int window_system_available() {
    const char *x = getenv("DISPLAY"), *wayland = getenv("WAYLAND_DISPLAY");
    if (!(x && *x) && !(wayland && *wayland)) return 0;
    return sdl.video >= 0;
}

int window_system_open(const char *title, int width, int height) {
    if (sdl.window) return 1;
    if (!start_video()) return 0;
    sdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  SDL_WINDOW_RESIZABLE);
    if (!sdl.window) return 0;
    sdl.renderer = SDL_CreateRenderer(sdl.window, -1, 0);
    if (!sdl.renderer) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
    if (!sdl.renderer) {
        SDL_DestroyWindow(sdl.window);
        sdl.window = nullptr;
        return 0;
    }
    sdl.placement_saved = 0;
    sdl.fullscreen = 0;
    SDL_StartTextInput();
    return 1;
}

void window_system_close() {
    if (sdl.fullscreen) SDL_ShowCursor(SDL_ENABLE);
    sdl.fullscreen = 0;
    if (sdl.texture) SDL_DestroyTexture(sdl.texture);
    if (sdl.renderer) SDL_DestroyRenderer(sdl.renderer);
    if (sdl.window) SDL_DestroyWindow(sdl.window);
    sdl.texture = nullptr, sdl.renderer = nullptr, sdl.window = nullptr;
    sdl.texture_width = sdl.texture_height = 0;
    sdl.pixels = nullptr;
}

void window_system_shutdown() {
    window_system_close();
#if PELONG_WINDOW_TTF
    if (sdl.font) TTF_CloseFont(sdl.font);
    if (sdl.ttf > 0) TTF_Quit();
    sdl.font = nullptr, sdl.ttf = 0, sdl.font_key = 0;
#endif
    free(sdl.masks);
    sdl.masks = nullptr;
    sdl.mask_width = sdl.mask_height = 0;
    if (sdl.video > 0) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    sdl.video = 0;
}

void window_system_set_title(const char *title) {
    if (sdl.window) SDL_SetWindowTitle(sdl.window, title);
}

void window_system_set_client_size(int width, int height) {
    if (sdl.window && !sdl.fullscreen) SDL_SetWindowSize(sdl.window, width, height);
}

void window_system_raise() {
    if (sdl.window) SDL_RaiseWindow(sdl.window);
}

void window_system_work_area(int *width, int *height) {
    SDL_Rect r;
    int display = sdl.window ? SDL_GetWindowDisplayIndex(sdl.window) : 0;
    if (start_video() && SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &r) == 0 && r.w > 0 &&
        r.h > 0) {
        *width = r.w, *height = r.h;
    } else {
        *width = 1024, *height = 768;
    }
}

void window_system_monitor_size(int *width, int *height) {
    SDL_Rect r;
    int display = sdl.window ? SDL_GetWindowDisplayIndex(sdl.window) : 0;
    if (start_video() && SDL_GetDisplayBounds(display < 0 ? 0 : display, &r) == 0 && r.w > 0 && r.h > 0) {
        *width = r.w, *height = r.h;
    } else {
        *width = 1024, *height = 768;
    }
}

// Full screen is a borderless window over the whole monitor (not only its work area); this works
// with and without a window manager, and leaving it puts the window back where it was.
int window_system_set_fullscreen(int on) {
    if (!sdl.window) return 0;
    if (on) {
        if (sdl.fullscreen) return 1;
        if (!sdl.placement_saved && (SDL_GetWindowFlags(sdl.window) & SDL_WINDOW_SHOWN)) {
            SDL_GetWindowPosition(sdl.window, &sdl.saved_x, &sdl.saved_y);
            SDL_GetWindowSize(sdl.window, &sdl.saved_width, &sdl.saved_height);
            sdl.placement_saved = 1;
        }
        SDL_Rect r;
        int display = SDL_GetWindowDisplayIndex(sdl.window);
        if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &r) != 0) return 0;
        SDL_SetWindowBordered(sdl.window, SDL_FALSE);
        SDL_SetWindowPosition(sdl.window, r.x, r.y);
        SDL_SetWindowSize(sdl.window, r.w, r.h);
        SDL_ShowCursor(SDL_DISABLE);
        sdl.fullscreen = 1;
        return 1;
    }
    if (!sdl.fullscreen) return 1;
    sdl.fullscreen = 0;
    SDL_ShowCursor(SDL_ENABLE);
    SDL_SetWindowBordered(sdl.window, SDL_TRUE);
    int restored = sdl.placement_saved;
    if (restored) {
        SDL_SetWindowSize(sdl.window, sdl.saved_width, sdl.saved_height);
        SDL_SetWindowPosition(sdl.window, sdl.saved_x, sdl.saved_y);
    }
    sdl.placement_saved = 0;
    return restored;
}

void window_system_show(const uint32_t *pixels, int width, int height) {
    if (!sdl.renderer) return;
    if (!sdl.texture || sdl.texture_width != width || sdl.texture_height != height) {
        if (sdl.texture) SDL_DestroyTexture(sdl.texture);
        sdl.texture = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                        width, height);
        sdl.texture_width = sdl.texture ? width : 0;
        sdl.texture_height = sdl.texture ? height : 0;
    }
    if (sdl.texture) SDL_UpdateTexture(sdl.texture, nullptr, pixels, width * 4);
    sdl.pixels = pixels, sdl.width = width, sdl.height = height;
    paint();
}

void window_system_pump() {
    if (!sdl.window) return;
    bool repaint = false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                push(key_alt('x')); // the program's exit question decides
            else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                     e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                repaint = true;
            break;
        case SDL_KEYDOWN: key_down(e.key); break;
        case SDL_TEXTINPUT: text_input(e.text.text); break;
        default: break; // the quit event among them: only the exit question ends the program
        }
    }
    if (repaint) paint();
}

int window_system_text_font(int cell_width, int cell_height) {
#if PELONG_WINDOW_TTF
    if (sdl.ttf == 0) sdl.ttf = TTF_Init() == 0 ? 1 : -1;
    if (sdl.ttf < 0) return 0;
    int key = cell_height * 1000 + cell_width;
    if (key == sdl.font_key) return sdl.font != nullptr;
    sdl.font_key = key;
    // Text 9/10 of the cell high, and no wider than the cell.
    int target = 9 * cell_height / 10, size = target;
    if (!sdl.font)
        for (const char *path : kFontPaths)
            if ((sdl.font = TTF_OpenFont(path, size)) != nullptr) break;
    if (!sdl.font) return 0;
    TTF_SetFontSize(sdl.font, size);
    int height = TTF_FontHeight(sdl.font), advance = 0;
    if (height > target) size = size * target / height;
    TTF_SetFontSize(sdl.font, size > 1 ? size : 1);
    if (TTF_GlyphMetrics32(sdl.font, 'M', nullptr, nullptr, nullptr, nullptr, &advance) == 0 &&
        advance > cell_width)
        TTF_SetFontSize(sdl.font, size * cell_width / advance > 1 ? size * cell_width / advance : 1);

    size_t bytes = (size_t)cell_width * cell_height;
    int slots = (int)(kMaskBytes / bytes);
    sdl.slots = slots < kMaskSlots ? slots : kMaskSlots;
    free(sdl.masks);
    sdl.masks = sdl.slots > 0 ? (uint8_t *)malloc(bytes * sdl.slots) : nullptr;
    if (!sdl.masks) sdl.slots = 0;
    sdl.mask_width = cell_width, sdl.mask_height = cell_height;
    clear_masks();
    return 1;
#else
    (void)cell_width;
    (void)cell_height;
    return 0;
#endif
}

const uint8_t *window_system_glyph_mask(uint32_t glyph) {
#if PELONG_WINDOW_TTF
    if (!sdl.font || sdl.slots == 0 || glyph > 0x10FFFF) return nullptr;
    int w = sdl.mask_width, h = sdl.mask_height;
    int slot = (int)((glyph * 2654435761u) % (uint32_t)sdl.slots);
    while (sdl.slot_glyph[slot] && sdl.slot_glyph[slot] != glyph + 1) slot = (slot + 1) % sdl.slots;
    uint8_t *mask = sdl.masks + (size_t)slot * w * h;
    if (sdl.slot_glyph[slot]) return sdl.slot_missing[slot] ? nullptr : mask;
    if (sdl.used * 4 >= sdl.slots * 3) { // keep probes short: start over
        clear_masks();
        return window_system_glyph_mask(glyph);
    }
    sdl.slot_glyph[slot] = glyph + 1;
    sdl.used++;
    sdl.slot_missing[slot] = 1;
    if (!TTF_GlyphIsProvided32(sdl.font, glyph)) return nullptr;
    SDL_Color white = {255, 255, 255, 255};
    SDL_Surface *s = TTF_RenderGlyph32_Blended(sdl.font, glyph, white);
    if (!s) return nullptr;
    SDL_Surface *argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(s);
    if (!argb) return nullptr;
    memset(mask, 0, (size_t)w * h);
    int top = h / 20;
    SDL_LockSurface(argb);
    for (int y = 0; y + top < h && y < argb->h; y++) {
        const uint32_t *row = (const uint32_t *)((const uint8_t *)argb->pixels + (size_t)y * argb->pitch);
        for (int x = 0; x < w && x < argb->w; x++) mask[(y + top) * w + x] = (uint8_t)(row[x] >> 24);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    sdl.slot_missing[slot] = 0;
    return mask;
#else
    (void)glyph;
    return nullptr;
#endif
}

#else // built without SDL2: there is no window system

int window_system_available() {
    return 0;
}
int window_system_open(const char *, int, int) {
    return 0;
}
void window_system_close() {}
void window_system_shutdown() {}
void window_system_set_title(const char *) {}
void window_system_set_client_size(int, int) {}
void window_system_raise() {}
void window_system_work_area(int *width, int *height) {
    *width = 1024, *height = 768;
}
void window_system_monitor_size(int *width, int *height) {
    *width = 1024, *height = 768;
}
int window_system_set_fullscreen(int) {
    return 0;
}
void window_system_show(const uint32_t *, int, int) {}
void window_system_pump() {}
int window_system_text_font(int, int) {
    return 0;
}
const uint8_t *window_system_glyph_mask(uint32_t) {
    return nullptr;
}

#endif
