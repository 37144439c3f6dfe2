// pelong-render: feeds a capture through the terminal interpreter, composes it as the graphics
// window shows it and draws it with the rasteriser, then writes the picture as PNG or PPM. For
// tests, for checking art, and for a picture of a screen.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/compose.h"
#include "display/c64_font.h"
#include "display/frame.h"
#include "display/present.h"
#include "display/raster.h"
#include "base/screen_rows.h"
#include "display/window.h"
#include "settings/settings.h"
#include "term/terminal.h"

static const char kUsage[] =
    "usage: pelong-render [-e EMULATION] [--ice] [-s SCALE] FILE OUT\n"
    "  Feeds FILE (\"-\" for standard input) through the terminal, composes the screen for the\n"
    "  graphics window (8 x 16 pixels per cell, no status bar, no cursor) and writes it to OUT:\n"
    "  a PNG image when OUT ends in \".png\", else a binary PPM image.\n"
    "  -e EMULATION  ansi (default), cp437, utf8, vt100, tty, petscii40, petscii80\n"
    "  --ice         iCE colours: blink shows as a bright background\n"
    "  -s SCALE      every pixel drawn SCALE x SCALE times, 1 to 8 (default 1)\n"
    "  -f FONT       a C64 font: character ROM, upper/lower.bmp directory (default built-in)\n";

// ---------------------------------------------------------------- image files

static uint32_t crc_table[256];

static void build_crc_table() {
    for (uint32_t n = 0; n < 256; n++) {
        uint32_t c = n;
        for (int k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crc_table[n] = c;
    }
}

static uint32_t crc32(const uint8_t *bytes, size_t length, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < length; i++) crc = crc_table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void put_u32(std::vector<uint8_t> &out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((uint8_t)(v >> shift));
}

static void put_chunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data) {
    put_u32(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_u32(out, crc32(out.data() + start, out.size() - start));
}

// RGB rows, each behind filter byte 0, in a zlib stream of stored (uncompressed) deflate blocks.
static std::vector<uint8_t> png_image(const std::vector<uint8_t> &rgb, int width, int height) {
    std::vector<uint8_t> raw;
    raw.reserve((size_t)height * (width * 3 + 1));
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + (size_t)y * width * 3, rgb.begin() + (size_t)(y + 1) * width * 3);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back((uint8_t)n), z.push_back((uint8_t)(n >> 8));
        z.push_back((uint8_t)~n), z.push_back((uint8_t)(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0; // Adler-32 of the uncompressed data
    for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    put_u32(z, b << 16 | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put_u32(header, (uint32_t)width);
    put_u32(header, (uint32_t)height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", z);
    put_chunk(png, "IEND", {});
    return png;
}

static std::vector<uint8_t> ppm_image(const std::vector<uint8_t> &rgb, int width, int height) {
    char header[64];
    int n = snprintf(header, sizeof header, "P6\n%d %d\n255\n", width, height);
    std::vector<uint8_t> out(header, header + n);
    out.insert(out.end(), rgb.begin(), rgb.end());
    return out;
}

// ---------------------------------------------------------------- rendering

static int fail(const char *message, const char *detail) {
    fprintf(stderr, "pelong-render: %s%s\n", message, detail);
    return 1;
}

int main(int argc, char **argv) {
    int emulation = EMU_ANSI, ice = 0, scale = 1;
    const char *paths[2] = {nullptr, nullptr}, *font = nullptr;
    int path_count = 0;
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (strcmp(arg, "-e") == 0 && i + 1 < argc) {
            emulation = emulation_from_name(argv[++i]);
            if (emulation < 0) return fail("unknown emulation: ", argv[i]);
        } else if (strcmp(arg, "-s") == 0 && i + 1 < argc) {
            scale = atoi(argv[++i]);
            if (scale < 1 || scale > 8) return fail("scale must be 1 to 8", "");
        } else if (strcmp(arg, "-f") == 0 && i + 1 < argc) {
            font = argv[++i];
        } else if (strcmp(arg, "--ice") == 0) {
            ice = 1;
        } else if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) {
            fputs(kUsage, stdout);
            return 0;
        } else if (path_count < 2 && (arg[0] != '-' || strcmp(arg, "-") == 0)) {
            paths[path_count++] = arg;
        } else {
            fputs(kUsage, stderr);
            return 2;
        }
    }
    if (path_count != 2) {
        fputs(kUsage, stderr);
        return 2;
    }
    if (font && !c64_font_try_source(font)) return fail("no C64 font found at ", font);

    FILE *in = strcmp(paths[0], "-") == 0 ? stdin : fopen(paths[0], "rb");
    if (!in) return fail("cannot open ", paths[0]);
    term_build_tables();
    settings_set_defaults(&g_settings);
    g_settings.status_bar = 0;
    g_settings.show_blink = 0;
    g_presenter.glyph_mode = GLYPH_MODE_UNICODE;
    window_set_offscreen(1);
    g_terminal.ice_colors = ice;
    ScreenRows rows = screen_rows(emulation, g_settings.status_bar, 0);
    term_create(&g_terminal, emulation, rows.terminal, 0);
    uint8_t buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) term_feed(&g_terminal, buffer, (int)got);
    bool failed = ferror(in);
    if (in != stdin) fclose(in);
    if (failed) return fail("read error on ", paths[0]);
    term_resolve_pending(&g_terminal);
    g_frame.rows = rows.frame;
    g_frame.status_rows = rows.status_bar;
    compose_frame();

    const int cell_width = 8, cell_height = 16;
    int width = FRAME_COLUMNS * cell_width, height = g_frame.rows * cell_height;
    std::vector<uint32_t> pixels((size_t)width * height);
    raster_frame(pixels.data(), width, &g_frame, FRAME_COLUMNS, g_frame.rows, RasterCursor{0, 0, 0, 0},
                 cell_width, cell_height, 0, c64_font());
    term_release(&g_terminal);

    int out_width = width * scale, out_height = height * scale;
    std::vector<uint8_t> rgb((size_t)out_width * out_height * 3);
    for (int y = 0; y < out_height; y++)
        for (int x = 0; x < out_width; x++) {
            uint32_t p = pixels[(size_t)(y / scale) * width + x / scale];
            uint8_t *o = &rgb[((size_t)y * out_width + x) * 3];
            o[0] = (uint8_t)(p >> 16), o[1] = (uint8_t)(p >> 8), o[2] = (uint8_t)p;
        }
    size_t length = strlen(paths[1]);
    bool png = length >= 4 && strcmp(paths[1] + length - 4, ".png") == 0;
    build_crc_table();
    std::vector<uint8_t> image =
        png ? png_image(rgb, out_width, out_height) : ppm_image(rgb, out_width, out_height);
    FILE *out = fopen(paths[1], "wb");
    if (!out) return fail("cannot create ", paths[1]);
    bool written = fwrite(image.data(), 1, image.size(), out) == image.size();
    if (fclose(out) != 0 || !written) return fail("cannot write ", paths[1]);
    return 0;
}
