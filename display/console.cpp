#include "display/console.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "display/present.h"
#include "display/window.h"
#include "input/event_wait.h"
#include "settings/settings.h"
#include "term/charset.h"
#include "base/emulation.h"
#include "base/text.h"
#include "base/utf8.h"

// Alternate screen, title pushed, auto-wrap off (so that a narrow terminal cuts the frame instead of
// wrapping it), cursor hidden, screen cleared.
static const char kEnter[] = "\x1b[22;0t\x1b[?1049h\x1b[?7l\x1b[?25l\x1b[0m\x1b[2J\x1b[H";
// Attributes reset, cursor shown, auto-wrap back on, the user's screen and title back.
static const char kLeave[] = "\x1b[0m\x1b[?25h\x1b[?7h\x1b[?1049l\x1b[23;0t";

struct ConsoleHost {
    int stage; // 0 closed or restored, 1 open
    termios saved_modes;
    int truecolour;
    int host_kind;
    int columns, rows; // the frame size last applied
};

static ConsoleHost host;
static const int kRestoreSignals[] = {SIGTERM, SIGHUP, SIGQUIT};

int console_host_kind_for(const char *term, const char *wt_session) {
    if (wt_session && *wt_session) return HOST_WINDOWS;
    if (term && strcmp(term, "linux") == 0) return HOST_LEGACY;
    return HOST_VT;
}

int console_truecolour_for(int renderer_setting, const char *term) {
    if (renderer_setting == RENDERER_LEGACY) return 0;
    if (renderer_setting == RENDERER_VT) return 1;
    return !(term && strcmp(term, "linux") == 0);
}

int console_title_escape(const char *cp437_text, char *out, int size) {
    int n = 0;
    auto put = [&](uint8_t b) {
        if (n < size - 1) out[n++] = (char)b;
    };
    put(0x1b), put(']'), put('2'), put(';');
    for (int i = 0; cp437_text[i] && i < 255; i++) {
        uint8_t byte = (uint8_t)cp437_text[i];
        // A title that came from a host or a file must not end the escape early or start another.
        uint32_t c = byte < 32 || byte == 127 ? ' ' : cp437_to_unicode[byte];
        uint8_t utf8[4];
        int length = utf8_encode(c, utf8);
        if (n + length >= size - 1) break;
        for (int k = 0; k < length; k++) put(utf8[k]);
    }
    put(7);
    out[n] = 0;
    return n;
}

static void read_terminal_size() {
    winsize ws;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
        g_presenter.visible_columns = ws.ws_col;
        g_presenter.visible_rows = ws.ws_row;
    } else {
        g_presenter.visible_columns = FRAME_COLUMNS;
        g_presenter.visible_rows = FRAME_MAX_ROWS;
    }
}

// Only async-signal-safe calls: write and tcsetattr.
static void restore_terminal() {
    text_write_stdout_bytes(kLeave, sizeof kLeave - 1);
    tcsetattr(STDIN_FILENO, TCSADRAIN, &host.saved_modes);
}

static void on_ending_signal(int sig) {
    if (host.stage != 0) {
        host.stage = 0;
        restore_terminal();
    }
    signal(sig, SIG_DFL);
    raise(sig);
}

int console_open(int renderer_setting) {
    if (host.stage != 0) return 1;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return 0;
    if (tcgetattr(STDIN_FILENO, &host.saved_modes) != 0) return 0;
    const char *term = getenv("TERM");
    host.truecolour = console_truecolour_for(renderer_setting, term);
    host.host_kind = console_host_kind_for(term, getenv("WT_SESSION"));
    present_set_width_locale(""); // the user's character widths, so no glyph is sent wider than its cell

    // Raw keys: no echo, no line editing, Ctrl-C / Ctrl-Z / Ctrl-\ arrive as bytes, no XON/XOFF,
    // no CR translation.
    termios raw = host.saved_modes;
    raw.c_iflag &= ~(tcflag_t)(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    raw.c_oflag &= ~(tcflag_t)OPOST;
    raw.c_lflag &= ~(tcflag_t)(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cflag &= ~(tcflag_t)(CSIZE | PARENB);
    raw.c_cflag |= CS8;
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(STDIN_FILENO, TCSADRAIN, &raw) != 0) return 0;

    struct sigaction action = {};
    action.sa_handler = on_ending_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : kRestoreSignals) sigaddset(&action.sa_mask, sig);
    for (int sig : kRestoreSignals) sigaction(sig, &action, nullptr);
    signal(SIGINT, SIG_IGN); // Ctrl-C is a key; only a kill can send it, and it never ends the program
    host.stage = 1;

    console_write_text(kEnter);
    read_terminal_size();
    event_wait_open();
    event_wait_set_resize_hook(console_on_resize);
    g_presenter.truecolour = host.truecolour;
    host.columns = host.rows = 0;
    set_console_size(80, 25);
    set_console_colours(0);
    return 1;
}

void console_restore() {
    if (host.stage == 0) return;
    window_destroy();
    host.stage = 0;
    event_wait_set_resize_hook(nullptr);
    event_wait_close();
    restore_terminal();
    for (int sig : kRestoreSignals) signal(sig, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    g_presenter.colours_ready = 0;
    display_invalidate();
}

int console_is_vt() {
    return host.truecolour;
}
int console_host_kind() {
    return host.host_kind;
}

void set_console_size(int columns, int rows) {
    if (columns > FRAME_COLUMNS) columns = FRAME_COLUMNS;
    if (rows > FRAME_MAX_ROWS) rows = FRAME_MAX_ROWS;
    if (columns == host.columns && rows == host.rows) return;
    host.columns = columns;
    host.rows = rows;
    if (host.stage != 0) console_write_text("\x1b[0m\x1b[2J");
    display_invalidate();
}

// The rows the frame may take: those of the user's terminal, or any number in the graphics window.
static int rows_available(int emulation) {
    bool in_window =
        host.stage != 0 && emulation_is_petscii(emulation) && g_settings.petscii_window && window_available();
    return in_window ? 0 : g_presenter.visible_rows;
}

int display_mode_changed(int emulation, int status_bar_setting) {
    ScreenRows rows = screen_rows(emulation, status_bar_setting, rows_available(emulation));
    return rows.frame != g_frame.rows || rows.status_bar != g_frame.status_rows;
}

ScreenRows display_mode_switch(int emulation, int status_bar_setting) {
    ScreenRows rows = screen_rows(emulation, status_bar_setting, rows_available(emulation));
    set_console_size(80, rows.frame);
    set_console_colours(emulation_is_petscii(emulation));
    g_frame.rows = rows.frame;
    g_frame.status_rows = rows.status_bar;
    if (host.stage != 0)
        window_set(emulation_is_petscii(emulation) && g_settings.petscii_window, g_settings.petscii_zoom);
    return rows;
}

void console_set_title(const char *cp437_text) {
    if (host.stage == 0) return;
    char escape[4 * 256 + 16];
    int length = console_title_escape(cp437_text, escape, sizeof escape);
    console_write((const uint8_t *)escape, length);
}

void console_on_resize() {
    read_terminal_size();
    if (host.stage != 0) console_write_text("\x1b[0m\x1b[2J");
    display_invalidate();
}

void console_pixel_size(int *width, int *height) {
    winsize ws;
    bool known =
        host.stage != 0 && ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_xpixel > 0 && ws.ws_ypixel > 0;
    *width = known ? ws.ws_xpixel : 0;
    *height = known ? ws.ws_ypixel : 0;
}

void console_beep() {
    if (host.stage != 0) console_write_text("\a");
}
