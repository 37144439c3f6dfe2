// The text UI toolkit: boxes, "~" markup, panels, the yes/no and timed message boxes, the key wait,
// the line editor, the input dialog and the connect progress box. Everything is drawn straight into
// g_frame; nothing under a box is saved: closing a dialog means recomposing the screen.
#pragma once
#include <cstdint>

struct UiRect {
    int column, row, width, height;
};

// What the toolkit needs from the program above it.
struct UiHooks {
    void (*redraw_background)(void); // recomposes what lies under a dialog
    void (*compose_terminal)(void);  // recomposes the terminal screen with its status bar
    int (*refresh_clock)(void);      // redraws the status bar when its minute moved; 1 when it did
};

extern UiHooks g_ui_hooks;
// Set around the dialing directory's "Host to call:" prompt: edit fields on dark grey, not black.
extern int g_ui_field_dark;

void redraw_background();
// The top row of a box that high, centred in the frame below the status bar (0 at the least).
int ui_centre_row(int height);
// Lines of a text with "\n" between them.
int ui_count_lines(const char *text);

// Drawing primitives. Cells outside the frame are skipped (the position still advances); texts
// are CP437 bytes shown through the CP437 table; cells written get flags 0.
void ui_fill(int column, int row, int width, int height, int fg, int bg);
// Returns the column after the text.
int ui_text(int column, int row, int fg, int bg, const char *text);
// Exactly width cells: the text, then spaces.
void ui_field(int column, int row, int fg, int bg, const char *text, int width);
// Each "~" toggles between the two foregrounds and takes no cell. Returns the column after the text.
int ui_markup(int column, int row, int fg, int highlight_fg, int bg, const char *text);
void ui_box(int column, int row, int width, int height, int frame_fg, int bg, int double_line,
            const char *title);
void ui_shadow(int column, int row, int width, int height);

// Redraws the background, then a centred blue box holding the text ("\n" between lines); extra rows
// lie between the text and the bottom border.
UiRect ui_panel(const char *title, const char *text, int extra_rows);
// 1 for Y, y or Enter; 0 for N, n or Esc. The box stays: the caller recomposes.
int ui_yes_no(const char *title, const char *question);
// Shows a panel until its delay passes (by line count) or a key is pressed, then recomposes.
void ui_message(const char *title, const char *text);
// Milliseconds a message or connect result of that many lines stays up.
int ui_message_delay_ms(int lines);
// The next key; the resize key is skipped; the status-bar clock stays current meanwhile.
uint32_t ui_wait_key();
// Waits ms milliseconds or until a key (which is consumed).
void ui_pause(int ms);

// Edits the CP437 text in buffer (room for max_length characters and the NUL) in a field of width
// cells. Returns the key that ended the edit: Enter, Tab, Esc, Up, Down, PgUp, PgDn, Shift-Tab or F10.
uint32_t ui_edit_line(int column, int row, int width, char *buffer, int max_length);
// The same for a text the user began by typing its first character (the key that opened the
// editor): typing goes on after it instead of replacing it.
uint32_t ui_edit_line_typed(int column, int row, int width, char *buffer, int max_length);
// The input dialog: 1 when the edit ended with Enter.
int ui_input(const char *title, const char *prompt, char *buffer, int max_length);
// The input dialog over a text the user began by typing (see ui_edit_line_typed).
int ui_input_typed(const char *title, const char *prompt, char *buffer, int max_length);

// The box shown while a call is being placed, redrawn whole on every call.
void ui_connect_progress(const char *host, int port, unsigned elapsed_seconds, const char *result);
// The same box with the outcome, left up for a while, then the terminal screen again.
void ui_connect_result(const char *host, int port, unsigned elapsed_seconds, const char *result);
