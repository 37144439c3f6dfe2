#include "phonebook/syncterm_import.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "phonebook/phonebook.h"
#include "phonebook/syncterm_list.h"
#include "settings/settings.h"
#include "base/text.h"

static const char kTitle[] = "Import SyncTERM Phonebook";

// Environment values this long are not paths anyone meant.
static const char *usable_env(const char *name) {
    const char *value = getenv(name);
    return (value && *value && strlen(value) < 1024) ? value : nullptr;
}

void syncterm_locate_list(char *out, int size, const char *program_dir) {
    char candidates[3][1100];
    int count = 0;
    text_format(candidates[count++], sizeof candidates[0], "%ssyncterm.lst", program_dir);
    const char *config = usable_env("XDG_CONFIG_HOME");
    const char *home = usable_env("HOME");
    if (config)
        text_format(candidates[count++], sizeof candidates[0], "%s/syncterm/syncterm.lst", config);
    else if (home)
        text_format(candidates[count++], sizeof candidates[0], "%s/.config/syncterm/syncterm.lst", home);
    if (home) text_format(candidates[count++], sizeof candidates[0], "%s/.syncterm/syncterm.lst", home);
    for (int i = 0; i < count; i++) {
        if (FILE *f = fopen(candidates[i], "rb")) {
            fclose(f);
            text_copy(out, candidates[i], size);
            return;
        }
    }
    text_copy(out, candidates[0], size);
}

static void report_cannot_open(const ImportPrompts *prompts, const char *path) {
    char text[1200];
    text_format(text, sizeof text, prompts ? "Cannot open %s" : "Cannot open %s\n", path);
    if (prompts)
        prompts->message("Import", text);
    else
        text_write_stdout(text);
}

int syncterm_import(Phonebook *pb, const char *path, const ImportPrompts *prompts, const Settings *settings,
                    const char *program_dir) {
    char located[IMPORT_PATH_CHARS + 1];
    if (!path) {
        syncterm_locate_list(located, sizeof located, program_dir);
        if (prompts && !prompts->input(kTitle, "Path to syncterm.lst:", located, IMPORT_PATH_CHARS)) return 0;
        path = located;
    }
    ImportCounters c;
    if (!syncterm_parse_apply(pb, path, 1, &c, 1)) {
        report_cannot_open(prompts, path);
        return 0;
    }
    char text[600];
    int include_other = settings->import_ssh;
    if (prompts && c.ssh_other > 0) {
        text_format(text, sizeof text,
                    "%d of the %d entries use SSH, RLogin or another\nconnection type that Pelorin NG cannot "
                    "use\n(it is a telnet client).\n\nImport those entries anyway?",
                    c.ssh_other, c.total);
        include_other = prompts->yes_no(kTitle, text);
    }
    if (!syncterm_parse_apply(pb, path, include_other, &c, 1)) {
        report_cannot_open(prompts, path);
        return 0;
    }
    if (prompts) {
        text_format(
            text, sizeof text,
            "Entries in syncterm.lst : %4d\n  telnet / raw          : %4d\n  SSH / other           : "
            "%4d%s\n\nWill be imported        : %4d\nAlready in phonebook    : %4d\nNo room (2000 limit)  "
            "  : %4d\n\nImport now?",
            c.total, c.telnet_raw, c.ssh_other, include_other ? "" : " (skipped)", c.added, c.duplicates,
            c.no_room);
        if (!prompts->yes_no(kTitle, text)) return 0;
    }
    if (!syncterm_parse_apply(pb, path, include_other, &c, 0)) {
        report_cannot_open(prompts, path);
        return 0;
    }
    // The entries are in memory whether or not the save works: the list shows them either way.
    if (prompts && prompts->phonebook_changed) prompts->phonebook_changed();
    if (!phonebook_save(pb)) {
        if (prompts)
            prompts->message("Error", "Could not write the phonebook file!");
        else
            fprintf(stderr, "Could not write %s: %s\n", pb->failed_path ? pb->failed_path : "the phonebook",
                    strerror(pb->failed_errno));
        return 0;
    }
    if (prompts) {
        text_format(text, sizeof text, "%d entries imported.\nPhonebook now holds %d of %d entries.", c.added,
                    phonebook_count_used(pb), PHONEBOOK_SLOTS);
        prompts->message("Import complete", text);
    } else {
        text_format(text, sizeof text, "Imported %d entries (%d duplicates, %d no room, %d skipped)\n",
                    c.added, c.duplicates, c.no_room, c.skipped);
        text_write_stdout(text);
    }
    return 1;
}
