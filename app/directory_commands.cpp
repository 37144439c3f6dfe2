#include "app/directory_commands.h"

#include "app/calls.h"
#include "app/compose.h"
#include "app/connection.h"
#include "app/program_dir.h"
#include "phonebook/directory.h"
#include "settings/settings.h"

static DirectoryContext directory_context() {
    return DirectoryContext{g_phonebook, &g_settings, g_paths.dir, &g_connection.current_entry};
}

// The last-call date is stamped, and the phonebook saved, only once the call got through.
static void dial(const DirectoryCall &call) {
    g_connection.current_entry = call.entry;
    if (call_place(call.name, call.host, call.port, call.emulation) && call.entry >= 0)
        phonebook_stamp_last_call(g_phonebook, call.entry);
}

void directory_open() {
    DirectoryContext context = directory_context();
    DirectoryCall call;
    int outcome = directory_run(&context, &call);
    if (outcome == DIRECTORY_QUIT) g_connection.quit = 1;
    if (outcome == DIRECTORY_DIAL) dial(call);
}

void directory_quick_dial() {
    DirectoryCall call;
    if (directory_ask_host(&call))
        dial(call);
    else
        compose_and_present();
}

void directory_import_list(const char *path) {
    DirectoryContext context = directory_context();
    directory_import(&context, path);
    compose_and_present();
}
