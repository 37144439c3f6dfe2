#include "display/c64_font.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "term/charset.h"

struct C64FontState {
    C64Font font;
    char label[C64_FONT_LABEL_SIZE];
    int initialised;
};

static C64FontState state;

static void ensure_initialised() {
    if (state.initialised) return;
    c64_font_reset();
}

const C64Font *c64_font() {
    ensure_initialised();
    return &state.font;
}

const char *c64_font_label() {
    ensure_initialised();
    return state.label;
}

void c64_font_reset() {
    state.font = kC64BuiltinFont;
    text_copy(state.label, "built-in", sizeof state.label);
    state.initialised = 1;
}

uint8_t c64_screen_code(uint8_t code) {
    uint32_t p = petscii_fold(code); // the duplicate ranges share their glyphs
    if (p < 32 || (p >= 128 && p < 160)) return 32;
    if (p < 64) return (uint8_t)p;
    if (p < 96) return (uint8_t)(p - 64);
    if (p < 128) return (uint8_t)(p - 32);
    return (uint8_t)(p - 64);
}

uint8_t c64_petscii_from_ascii(uint8_t c) {
    if (c >= 'a' && c <= 'z') return (uint8_t)(c - 32);
    if (c >= 'A' && c <= 'Z') return (uint8_t)(c + 32);
    switch (c) {
    case '\\': return 109; // the diagonal
    case '_': return 164;  // the lower eighth bar
    case '`': return 39;
    case '{': return 40;
    case '|': return 125; // the vertical line
    case '}': return 41;
    case '~': return 45;
    }
    return c < 33 ? 32 : c;
}

// ---------------------------------------------------------------- character ROM

int c64_font_from_rom(const uint8_t *bytes, size_t size, C64Font *out) {
    if (size != 4096 && size != 8192) return 0;
    // Each ROM set holds 128 glyphs and then their reversed forms; the reversed half is not needed.
    memcpy(out->glyphs[0], bytes, sizeof out->glyphs[0]);
    memcpy(out->glyphs[1], bytes + 2048, sizeof out->glyphs[1]);
    return 1;
}

// ---------------------------------------------------------------- bitmaps of the pair

static uint32_t read_u16(const uint8_t *p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8;
}
static uint32_t read_u32(const uint8_t *p) {
    return read_u16(p) | read_u16(p + 2) << 16;
}

// Bright pixels are set: brightness decides, not the palette index.
static bool bright(const uint8_t *bgr) {
    return (int)bgr[0] + bgr[1] + bgr[2] >= 385;
}

int c64_font_convert_bmp(const uint8_t *bytes, size_t size, uint8_t out[C64_GLYPHS][8]) {
    if (size < 54 || bytes[0] != 'B' || bytes[1] != 'M') return 0;
    uint64_t offset = read_u32(bytes + 10);
    uint64_t header_size = read_u32(bytes + 14);
    int64_t width = (int32_t)read_u32(bytes + 18);
    int64_t height = (int32_t)read_u32(bytes + 22);
    uint32_t bits = read_u16(bytes + 28);
    uint32_t compression = read_u32(bytes + 30);
    uint64_t colours_used = read_u32(bytes + 46);
    bool top_down = height < 0;
    int64_t rows = top_down ? -height : height; // 64 bits: the most negative height has no 32-bit opposite
    if (width < 256 || rows < 32 || compression != 0) return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return 0;
    // Everything in 64 bits, so that no header can make the size check wrap around.
    uint64_t stride = ((uint64_t)width * bits + 31) / 32 * 4;
    if (stride * (uint64_t)rows + offset > size) return 0;

    uint64_t palette_at = 14 + header_size;
    uint64_t palette_size = colours_used != 0 ? colours_used : bits <= 8 ? (1u << bits) : 0;
    for (int g = 0; g < C64_GLYPHS; g++) {
        for (int y = 0; y < 8; y++) {
            int64_t image_row = (g / 32) * 8 + y;
            int64_t file_row = top_down ? image_row : rows - 1 - image_row;
            const uint8_t *row = bytes + offset + (uint64_t)file_row * stride;
            uint8_t byte = 0;
            for (int x = 0; x < 8; x++) {
                uint32_t px = (uint32_t)((g % 32) * 8 + x);
                bool set;
                if (bits >= 24) {
                    set = bright(row + px * (bits / 8));
                } else {
                    uint32_t index;
                    if (bits == 8)
                        index = row[px];
                    else if (bits == 4)
                        index = (row[px / 2] >> (px % 2 ? 0 : 4)) & 15;
                    else
                        index = (row[px / 8] >> (7 - px % 8)) & 1;
                    uint64_t entry = palette_at + 4 * (uint64_t)index;
                    if (index < palette_size && entry + 4 <= offset)
                        set = bright(bytes + entry);
                    else
                        set = index != 0;
                }
                if (set) byte |= (uint8_t)(0x80 >> x);
            }
            out[g][y] = byte;
        }
    }
    return 1;
}

// ---------------------------------------------------------------- finding a font

// The whole file in a buffer of its own (the caller frees it); empty and oversized files are refused.
static uint8_t *read_whole_file(const char *path, size_t *size) {
    FILE *f = fopen(path, "rb");
    if (!f) return nullptr;
    uint8_t *data = nullptr;
    long length = -1;
    if (fseek(f, 0, SEEK_END) == 0) length = ftell(f);
    if (length > 0 && length <= C64_FILE_MAX && fseek(f, 0, SEEK_SET) == 0) {
        data = (uint8_t *)malloc((size_t)length);
        if (data && fread(data, 1, (size_t)length, f) != (size_t)length) {
            free(data);
            data = nullptr;
        }
    }
    fclose(f);
    *size = data ? (size_t)length : 0;
    return data;
}

static int try_rom_file(const char *path) {
    size_t size;
    uint8_t *data = read_whole_file(path, &size);
    if (!data) return 0;
    C64Font font;
    int ok = c64_font_from_rom(data, size, &font);
    free(data);
    if (!ok) return 0;
    state.font = font;
    text_copy(state.label, path, sizeof state.label);
    return 1;
}

static int convert_bmp_file(const char *path, uint8_t out[C64_GLYPHS][8]) {
    size_t size;
    uint8_t *data = read_whole_file(path, &size);
    if (!data) return 0;
    int ok = c64_font_convert_bmp(data, size, out);
    free(data);
    return ok;
}

static const char *const kRomNames[] = {
    "chargen", "chargen.bin", "chargen-901225-01.bin", "C64/chargen", "C64/chargen-901225-01.bin",
};

static int try_directory(const char *dir) {
    size_t length = strlen(dir);
    const char *separator = length > 0 && (dir[length - 1] == '/' || dir[length - 1] == '\\') ? "" : "/";
    char path[1024];
    text_format(path, sizeof path, "%s%supper.bmp", dir, separator);
    C64Font font;
    // Both bitmaps must convert before either replaces the font in use.
    if (convert_bmp_file(path, font.glyphs[0])) {
        text_format(path, sizeof path, "%s%slower.bmp", dir, separator);
        if (convert_bmp_file(path, font.glyphs[1])) {
            state.font = font;
            text_format(state.label, sizeof state.label, "%s (CGTerm upper/lower.bmp)", dir);
            return 1;
        }
    }
    for (const char *name : kRomNames) {
        text_format(path, sizeof path, "%s%s%s", dir, separator, name);
        if (try_rom_file(path)) return 1;
    }
    return 0;
}

int c64_font_try_source(const char *path) {
    ensure_initialised();
    size_t length = path ? strlen(path) : 0;
    if (length == 0 || length >= 1000) return 0;
    if (length >= 5 && text_casecmp(path + length - 4, ".bmp") == 0) {
        // A bitmap names its directory; which of the pair it is does not matter.
        char dir[1024];
        const char *slash = nullptr;
        for (const char *p = path; *p; p++)
            if (*p == '/' || *p == '\\') slash = p;
        if (slash)
            text_copy(dir, path, (int)(slash - path) + 2);
        else
            text_copy(dir, ".", sizeof dir);
        return try_directory(dir);
    }
    return try_rom_file(path) || try_directory(path);
}

// Where a C64 emulator or a C64 terminal program keeps its character data on Linux.
static const char *const kSystemDirs[] = {
    "/usr/share/vice/C64",     "/usr/lib/vice/C64",       "/usr/local/share/vice/C64",
    "/usr/local/lib/vice/C64", "~/.local/share/vice/C64", "/usr/local/share/cgterm",
    "/usr/share/cgterm",
};

void c64_font_discover(const char *setting, const char *program_dir) {
    c64_font_reset();
    if (setting && *setting && c64_font_try_source(setting)) return;
    if (program_dir && *program_dir && try_directory(program_dir)) return;
    const char *home = getenv("HOME");
    for (const char *dir : kSystemDirs) {
        char path[1024];
        if (dir[0] == '~') {
            if (!home || !*home) continue;
            text_format(path, sizeof path, "%s%s", home, dir + 1);
        } else {
            text_copy(path, dir, sizeof path);
        }
        if (try_directory(path)) return;
    }
}
