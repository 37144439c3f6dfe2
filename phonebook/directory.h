// The dialing directory screen: the phonebook as a full-screen list from which the user dials,
// adds, edits, deletes, finds, sorts and imports entries, or types a host to call (quick-dial).
// Calls are placed by the caller: the screen returns what to dial.
#pragma once

#include "phonebook/phonebook.h"

struct Settings;

enum DirectoryOutcome {
    DIRECTORY_LEFT = 0, // Esc, Alt-D, or a quick-dial that was cancelled
    DIRECTORY_QUIT = 1, // Alt-X: the program is to end
    DIRECTORY_DIAL = 2, // the call is filled in
};

// What the user chose to call. entry is the slot dialled, -1 for a quick-dial; emulation is the
// entry's (the default of the settings when the entry has none), -1 for a quick-dial (the
// terminal keeps its emulation).
struct DirectoryCall {
    char name[PHONEBOOK_NAME + 1];
    char host[256];
    int port;
    int emulation;
    int entry;
};

// What the directory works on and with.
struct DirectoryContext {
    Phonebook *phonebook;
    const Settings *settings; // default emulation, password hiding, ImportSSH, status bar
    const char *program_dir;  // where SyncTERM's list is looked for first
    int *current_entry;       // the entry dialled last: follows it through a sort, -1 once deleted
};

// Runs the directory until the user leaves it or chooses a call. While it runs it is the
// background the dialogs repaint; the previous repaint hook is back when it returns.
int directory_run(const DirectoryContext *context, DirectoryCall *call);
// The "Host to call:" prompt over the current background, starting from the text typed last time.
// 1 when a host was given (entry -1, emulation -1).
int directory_ask_host(DirectoryCall *call);
// The SyncTERM import with its questions and boxes; path null to look for the list and ask.
// 1 when entries were added and saved.
int directory_import(const DirectoryContext *context, const char *path);
// Draws the directory screen into the frame (the bench and the repaint hook use it).
void directory_draw(const DirectoryContext *context);
