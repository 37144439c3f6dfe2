// The SyncTERM import as the user meets it: find the list, count, ask, add, save and report. Its
// questions go through ImportPrompts; with no prompts (the command line's quiet mode) the settings
// answer them and the outcome is written to standard output.
#pragma once

struct Phonebook;
struct Settings;

enum { IMPORT_PATH_CHARS = 299 };

// Filled by the user interface with the toolkit's dialogs.
struct ImportPrompts {
    // The input dialog: text holds the suggestion and receives the answer; 0 when cancelled.
    int (*input)(const char *title, const char *prompt, char *text, int max_chars);
    int (*yes_no)(const char *title, const char *text);
    void (*message)(const char *title, const char *text);
    // Called after entries were added, saved or not, so that the directory rebuilds its list; may be null.
    void (*phonebook_changed)();
};

// Runs the import into pb. path may be null: the list is then located (and, with prompts, the user is
// asked for the path). 1 when the entries were added and the phonebook was saved.
int syncterm_import(Phonebook *pb, const char *path, const ImportPrompts *prompts, const Settings *settings,
                    const char *program_dir);

// The first of the usual places of SyncTERM's list that opens, else the first of them: the program
// directory, $XDG_CONFIG_HOME/syncterm/ (default ~/.config/syncterm/), then ~/.syncterm/.
void syncterm_locate_list(char *out, int size, const char *program_dir);
