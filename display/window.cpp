#include "display/window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/clock.h"
#include "base/utf8.h"
#include "display/c64_font.h"
#include "display/console.h"
#include "display/present.h"
#include "display/raster.h"
#include "display/window_system.h"
#include "input/event_wait.h"
#include "input/keys.h"
#include "term/charset.h"

namespace {

const int kCellWidth = 8, kCellHeight = 16; // windowed; full screen picks larger cells
const uint32_t kBlinkMs = 400;
// A host streaming at full speed changes the screen far more often than a monitor shows it: the
// window is repainted at most this often, and the newest bitmap follows from the event pump.
const uint32_t kShowIntervalMs = 15;

struct GraphicsWindow {
    int offscreen; // a tool draws bitmaps without a window
    int wanted;    // PETSCII with the setting on
    int zoom;
    int fullscreen;
    int open;
    char title[4 * 300]; // UTF-8
    // The bitmap: grows when the cell size needs more, never shrinks.
    uint32_t *pixels;
    size_t capacity;
    int width, height, cell_width, cell_height;
    // The cursor as drawn, so that it can blink between presents.
    int cursor_x, cursor_y, cursor_width, cursor_height, cursor_visible, cursor_on;
    uint32_t shown_ms; // when the bitmap was last shown
    int pending;       // a newer bitmap waits to be shown
};

GraphicsWindow win = {0, 0, 0, 0, 0, "Pelorin NG", nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

void show_bitmap() {
    window_system_show(win.pixels, win.width, win.height);
    win.shown_ms = clock_ms();
    win.pending = 0;
}

int blink_on() {
    return (clock_ms() / kBlinkMs) % 2 == 0;
}

void zoom_size(int *width, int *height) {
    int work_width, work_height, console_width = 0, console_height = 0;
    window_system_work_area(&work_width, &work_height);
    console_pixel_size(&console_width, &console_height);
    window_zoom_size(win.zoom, FRAME_COLUMNS, g_frame.rows, work_width, work_height, console_width,
                     console_height, width, height);
}

void size_for_zoom() {
    int width, height;
    zoom_size(&width, &height);
    window_system_set_client_size(width, height);
}

void set_fullscreen(int on) {
    if (window_system_set_fullscreen(on) == 0 && !on) size_for_zoom();
}

// Opens, closes or re-styles the window to match the wanted and full-screen flags.
void update() {
    bool should_open = win.wanted || win.fullscreen;
    if (should_open && !win.open) {
        // Opened at the zoom's size straight away, centred, so that it starts whole on the screen.
        int width = 0, height = 0;
        if (window_system_available()) zoom_size(&width, &height);
        if (!window_system_available() || !window_system_open(win.title, width, height)) {
            win.fullscreen = 0;
            return;
        }
        win.open = 1;
        event_wait_set_window_pump(window_pump);
        g_presenter.placeholder_shown = 0;
        if (win.fullscreen) set_fullscreen(1);
        window_system_raise();
    } else if (!should_open && win.open) {
        window_system_close();
        win.open = win.pending = 0;
    } else if (win.open) {
        set_fullscreen(win.fullscreen);
        window_system_raise();
    }
    display_invalidate();
}

// Text the rasteriser left out, drawn with the window system's font, its CP437 form, or else the
// C64 font's letters.
void draw_overlay(const DisplayFrame *frame, int columns, int rows) {
    int w = win.cell_width, h = win.cell_height, pitch = win.width;
    bool have_font = window_system_text_font(w, h);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++) {
            const DisplayCell &cell = frame->cells[r][c];
            if (!raster_needs_text_font(&cell)) continue;
            uint32_t colour = raster_colour(cell.fg);
            const uint8_t *mask = have_font ? window_system_glyph_mask(cell.glyph) : nullptr;
            if (!mask && have_font)
                mask = window_system_glyph_mask(cp437_to_unicode[unicode_to_cp437(cell.glyph)]);
            if (!mask) {
                raster_draw_fallback(win.pixels, pitch, c * w, r * h, w, h, cell.glyph, colour, c64_font());
                continue;
            }
            for (int y = 0; y < h; y++) {
                uint32_t *line = win.pixels + (size_t)(r * h + y) * pitch + (size_t)c * w;
                for (int x = 0; x < w; x++) {
                    uint32_t a = mask[y * w + x];
                    if (!a) continue;
                    uint32_t p = line[x], out = 0;
                    for (int shift = 0; shift < 24; shift += 8) {
                        uint32_t fg = (colour >> shift) & 0xFF, bg = (p >> shift) & 0xFF;
                        out |= ((fg * a + bg * (255 - a)) / 255) << shift;
                    }
                    line[x] = out;
                }
            }
        }
}

} // namespace

int window_is_open() {
    return win.open || win.offscreen;
}
void window_set_offscreen(int on) {
    win.offscreen = on;
}
int window_available() {
    return window_system_available();
}
int window_is_fullscreen() {
    return win.open && win.fullscreen;
}

void window_set(int wanted, int zoom) {
    int old_zoom = win.zoom;
    win.wanted = wanted;
    win.zoom = zoom >= 0 && zoom <= 4 ? zoom : 0;
    bool was_open = win.open;
    update();
    if (was_open && win.open && !win.fullscreen && win.zoom != old_zoom) size_for_zoom();
}

void window_toggle_fullscreen() {
    if (!window_system_available()) return; // no window system: Alt-Enter does nothing
    win.fullscreen = !win.fullscreen;
    update();
}

void window_set_title(const char *cp437_text) {
    int n = 0;
    for (int i = 0; cp437_text[i] && i < 299; i++) {
        uint8_t byte = (uint8_t)cp437_text[i];
        n += utf8_encode(byte < 32 ? ' ' : cp437_to_unicode[byte], (uint8_t *)win.title + n);
    }
    win.title[n] = 0;
    if (win.open) window_system_set_title(win.title);
}

void window_destroy() {
    if (win.open) window_system_close();
    window_system_shutdown();
    win.open = win.fullscreen = 0;
    event_wait_set_window_pump(nullptr);
    free(win.pixels);
    win.pixels = nullptr;
    win.capacity = 0;
}

int window_present(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                   int cursor_visible) {
    if (!win.open) return 0;
    int w = kCellWidth, h = kCellHeight;
    if (win.fullscreen) {
        int monitor_width, monitor_height;
        window_system_monitor_size(&monitor_width, &monitor_height);
        window_fullscreen_cells(monitor_width, monitor_height, columns, rows, &w, &h);
    }
    size_t needed = (size_t)columns * w * rows * h;
    if (needed > win.capacity) {
        uint32_t *grown = (uint32_t *)realloc(win.pixels, needed * sizeof *grown);
        if (!grown) return 1; // the window keeps showing its last bitmap
        win.pixels = grown;
        win.capacity = needed;
    }
    win.cell_width = w, win.cell_height = h;
    win.width = columns * w, win.height = rows * h;
    win.cursor_on = blink_on();
    raster_frame(win.pixels, win.width, frame, columns, rows,
                 RasterCursor{cursor_column, cursor_row, cursor_visible, win.cursor_on}, w, h, 1, c64_font());
    draw_overlay(frame, columns, rows);
    win.cursor_visible = cursor_visible && raster_cursor_area(frame, columns, rows, cursor_column, cursor_row,
                                                              w, h, &win.cursor_x, &win.cursor_y,
                                                              &win.cursor_width, &win.cursor_height);
    if (clock_ms() - win.shown_ms >= kShowIntervalMs)
        show_bitmap();
    else
        win.pending = 1;
    return 1;
}

int window_pump() {
    if (!win.open) return 0;
    window_system_pump();
    if (!win.open) return 0;
    if (win.cursor_visible && blink_on() != win.cursor_on) {
        win.cursor_on = !win.cursor_on;
        raster_invert(win.pixels, win.width, win.cursor_x, win.cursor_y, win.cursor_width, win.cursor_height);
        win.pending = 1;
    }
    if (win.pending && clock_ms() - win.shown_ms >= kShowIntervalMs) show_bitmap();
    return 1;
}

// ---------------------------------------------------------------- rules

void window_zoom_size(int zoom, int columns, int rows, int work_width, int work_height, int console_width,
                      int console_height, int *width, int *height) {
    if (zoom < 1 && console_width > 0 && console_height > 0) {
        *width = console_width, *height = console_height;
        return;
    }
    int k = 1;
    for (int z = zoom; z >= 2; z--)
        if (z * columns * kCellWidth <= work_width && z * rows * kCellHeight <= work_height) {
            k = z;
            break;
        }
    *width = k * columns * kCellWidth;
    *height = k * rows * kCellHeight;
}

WindowRect window_fit(int bitmap_width, int bitmap_height, int client_width, int client_height) {
    if (bitmap_width < 1 || bitmap_height < 1 || client_width < 1 || client_height < 1)
        return WindowRect{0, 0, 0, 0};
    // 64 bits: client sizes times bitmap sizes can pass 2^31 on large screens.
    int64_t width = client_width, height = (int64_t)bitmap_height * client_width / bitmap_width;
    if (height > client_height) {
        height = client_height;
        width = (int64_t)bitmap_width * client_height / bitmap_height;
    }
    int64_t k = width / bitmap_width;
    if (k >= 1 && k * bitmap_width * 100 >= width * 92) {
        width = k * bitmap_width;
        height = k * bitmap_height;
    }
    return WindowRect{(int)((client_width - width) / 2), (int)((client_height - height) / 2), (int)width,
                      (int)height};
}

void window_fullscreen_cells(int monitor_width, int monitor_height, int columns, int rows, int *cell_width,
                             int *cell_height) {
    int w = monitor_width / std::max(columns, 1), h = monitor_height / std::max(rows, 1);
    if (w < 9) w = 8;
    if (h < 17) h = 16;
    if (h >= 3 * w) h = 3 * w;
    *cell_width = 2 * w <= h ? w : h < 18 ? 8 : h / 2;
    *cell_height = h;
    // Past the rasteriser's limits (monitors far beyond 8K) the cells stay at the largest it draws.
    *cell_width = std::min(*cell_width, (int)RASTER_MAX_CELL_WIDTH);
    *cell_height = std::min(*cell_height, (int)RASTER_MAX_CELL_HEIGHT);
}

int window_key_code(const WindowKey &k, uint32_t *code) {
    uint32_t mods = (k.alt ? (uint32_t)KEY_ALT : 0u) | (k.ctrl ? (uint32_t)KEY_CTRL : 0u) |
                    (k.shift ? (uint32_t)KEY_SHIFT : 0u);
    if (key_is_special(k.key)) {
        // Alt-F4 closes a window: like the close button, it asks the program to exit.
        if (k.alt && k.key == key_function(4)) return *code = key_alt('x'), 1;
        *code = k.key | mods;
        return 1;
    }
    if (k.key == KEY_TAB && k.shift && !k.alt) return *code = KEY_SHIFT_TAB, 1;
    if (k.alt && !k.ctrl) {
        uint32_t c = k.key;
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return *code = KEY_ALT + c, 1;
        if (c == KEY_ENTER && !k.repeat) return *code = KEY_ALT_ENTER, 1;
        return 0;
    }
    // The keys that type control characters, which come as no text of their own.
    switch (k.key) {
    case KEY_ENTER:
    case KEY_TAB:
    case KEY_BACKSPACE:
    case KEY_ESC: *code = k.key; return 1;
    }
    if (!k.ctrl) return 0;
    if (k.key >= 'a' && k.key <= 'z') return *code = k.key - 'a' + 1, 1;
    switch (k.key) {
    case '[': *code = 27; return 1;
    case '\\': *code = 28; return 1;
    case ']': *code = 29; return 1;
    case '6': *code = 30; return 1;
    case '-': *code = 31; return 1;
    case '2':
    case ' ': *code = KEY_CTRL_2; return 1;
    }
    return 0;
}

int window_text_code(uint32_t c, int alt, int ctrl) {
    if (c < 32 || c == 127 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
    return !(alt && !ctrl);
}
