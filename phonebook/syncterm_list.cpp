#include "phonebook/syncterm_list.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "phonebook/address.h"
#include "phonebook/phonebook.h"
#include "base/file_text.h"
#include "base/utf8.h"
#include "term/charset.h"
#include "base/emulation.h"
#include "base/text.h"

enum { LIST_LINE = 1024, NAME_CHARACTERS = 255 };

// ---------------------------------------------------------------- names

void syncterm_name_to_cp437(const char *utf8, char *out, int size) {
    const uint8_t *p = (const uint8_t *)utf8;
    int n = 0;
    for (int converted = 0; *p && converted < NAME_CHARACTERS; converted++) {
        // A byte that starts no whole character stays as it is: such names are CP437 already.
        uint32_t code;
        int length = *p >= 0x80 ? utf8_decode(p, (long)strnlen((const char *)p, 4), &code) : 0;
        uint8_t byte = length > 0 ? unicode_to_cp437(code) : *p;
        p += length > 0 ? length : 1;
        // A TAB would split the name's line in the extension file and lose its emulation.
        if (byte == '\t') byte = ' ';
        if (n < size - 1) out[n++] = (char)byte;
    }
    if (size > 0) out[n] = 0;
}

// ---------------------------------------------------------------- sections

static void set_key(SyncTermSection *s, const char *key, const char *value) {
    if (text_casecmp(key, "Address") == 0)
        text_copy(s->address, value, sizeof s->address);
    else if (text_casecmp(key, "Port") == 0) {
        s->port = file_parse_int(value);
        s->port_given = 1;
    } else if (text_casecmp(key, "ConnectionType") == 0)
        text_copy(s->connection_type, value, sizeof s->connection_type);
    else if (text_casecmp(key, "ScreenMode") == 0)
        text_copy(s->screen_mode, value, sizeof s->screen_mode);
    else if (text_casecmp(key, "Font") == 0)
        text_copy(s->font, value, sizeof s->font);
    else if (text_casecmp(key, "Emulation") == 0)
        text_copy(s->emulation, value, sizeof s->emulation);
    else if (text_casecmp(key, "UserName") == 0)
        text_copy(s->user_name, value, sizeof s->user_name);
    else if (text_casecmp(key, "Password") == 0)
        text_copy(s->password, value, sizeof s->password);
}

static int section_emulation(const SyncTermSection *s) {
    if (text_find(s->screen_mode, "C128-80")) return EMU_PETSCII80;
    if (text_find(s->screen_mode, "C64") || text_find(s->screen_mode, "C128") ||
        text_find(s->screen_mode, "VIC"))
        return EMU_PETSCII40;
    if (text_find(s->emulation, "petscii"))
        return text_find(s->screen_mode, "80") ? EMU_PETSCII80 : EMU_PETSCII40;
    if (text_find(s->font, "Commodore") || text_find(s->font, "PETSCII")) return EMU_PETSCII40;
    return EMU_NONE;
}

// An entry already dials this host and port. Both sides go through the address parser, so an address
// the import stored earlier is recognised however SyncTERM wrote it.
static bool already_present(const Phonebook *pb, const char *formatted) {
    char host[ADDRESS_TEXT], entry_host[ADDRESS_TEXT];
    int port, entry_port;
    address_parse(formatted, host, sizeof host, &port);
    for (const PhonebookEntry &e : pb->entries) {
        if (phonebook_entry_is_empty(&e)) continue;
        address_parse(e.address, entry_host, sizeof entry_host, &entry_port);
        if (entry_port == port && text_casecmp(entry_host, host) == 0) return true;
    }
    return false;
}

// The entries a counting pass took, as they were, so that they can be put back. It grows with what is
// taken: most lists take a few slots, and copying all 2000 would cost more than the pass.
struct TakenSlot {
    int slot;
    PhonebookEntry before;
};

struct CountingBackup {
    TakenSlot *taken;
    int count, room;
    int failed; // no memory to keep a slot: the pass took nothing more and reports failure
};

static int backup_keep(CountingBackup *b, int slot, const PhonebookEntry *e) {
    if (b->count == b->room) {
        int room = b->room ? 2 * b->room : 16;
        TakenSlot *taken = (TakenSlot *)realloc(b->taken, (size_t)room * sizeof *taken);
        if (!taken) return 0;
        b->taken = taken;
        b->room = room;
    }
    b->taken[b->count].slot = slot;
    b->taken[b->count++].before = *e;
    return 1;
}

// counting: nullptr for a real pass.
static void apply_section(Phonebook *pb, SyncTermSection *s, const SyncTermSection *defaults,
                          int include_other, ImportCounters *c, CountingBackup *counting) {
    if (!s->name[0]) return;
    c->total++;
    if (!s->connection_type[0])
        text_copy(s->connection_type, defaults->connection_type, sizeof s->connection_type);
    if (!s->screen_mode[0]) text_copy(s->screen_mode, defaults->screen_mode, sizeof s->screen_mode);
    if (!s->font[0]) text_copy(s->font, defaults->font, sizeof s->font);
    int port = s->port_given ? s->port : defaults->port_given ? defaults->port : ADDRESS_DEFAULT_PORT;

    const char *type = s->connection_type;
    bool telnet = !type[0] || text_casecmp(type, "Telnet") == 0 || text_casecmp(type, "Raw") == 0;
    if (telnet)
        c->telnet_raw++;
    else
        c->ssh_other++;
    if (!telnet && !include_other) {
        c->skipped++;
        return;
    }

    char address[sizeof s->address];
    text_copy(address, s->address, sizeof address);
    text_trim(address);
    if (text_ncasecmp(address, "telnet://", 9) == 0) memmove(address, address + 9, strlen(address + 9) + 1);
    if (!address[0]) {
        c->skipped++;
        return;
    }
    if (port < 1) port = ADDRESS_DEFAULT_PORT;
    // Cut to the field, the port's digits would be lost and the entry would dial the wrong place.
    char formatted[ADDRESS_TEXT + 16];
    address_format(formatted, sizeof formatted, address, port);
    if (strlen(formatted) > PHONEBOOK_ADDRESS) {
        c->skipped++;
        return;
    }
    if (already_present(pb, formatted)) {
        c->duplicates++;
        return;
    }
    int slot = phonebook_first_empty(pb);
    if (slot < 0) {
        c->no_room++;
        return;
    }
    PhonebookEntry *e = &pb->entries[slot];
    if (counting && !backup_keep(counting, slot, e)) {
        counting->failed = 1;
        return;
    }
    c->added++;
    phonebook_entry_clear(e);
    text_copy(e->address, formatted, sizeof e->address);
    if (counting) {
        e->name[0] = 1; // marks the slot used for the sections that follow
        return;
    }
    syncterm_name_to_cp437(s->name, e->name, sizeof e->name);
    text_copy(e->login, s->user_name, sizeof e->login);
    text_copy(e->password, s->password, sizeof e->password);
    e->emulation = section_emulation(s);
}

int syncterm_parse_apply(Phonebook *pb, const char *path, int include_other, ImportCounters *counters,
                         int counting) {
    *counters = ImportCounters{};
    FILE *f = fopen(path, "rb");
    if (!f) return 0;
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) { // opens, but holds no list
        fclose(f);
        return 0;
    }
    CountingBackup kept{};
    CountingBackup *backup = counting ? &kept : nullptr;
    SyncTermSection defaults{}, section{};
    bool in_section = false;
    char line[LIST_LINE];
    for (bool first = true; file_read_line(f, line, sizeof line); first = false) {
        if (first) file_drop_bom(line);
        if (!file_line_has_content(line)) continue;
        if (line[0] == '[') {
            if (in_section) apply_section(pb, &section, &defaults, include_other, counters, backup);
            section = SyncTermSection{};
            in_section = true;
            char *name = line + 1;
            if (char *close = strrchr(name, ']')) *close = 0;
            text_trim(name);
            text_copy(section.name, name, sizeof section.name);
            continue;
        }
        if (char *value = file_split_key_value(line)) set_key(in_section ? &section : &defaults, line, value);
    }
    if (in_section) apply_section(pb, &section, &defaults, include_other, counters, backup);
    fclose(f);
    for (int i = 0; i < kept.count; i++) pb->entries[kept.taken[i].slot] = kept.taken[i].before;
    free(kept.taken);
    return kept.failed ? 0 : 1;
}
