// The phonebook's two files: the classic file of 197-byte records (kept byte for byte where an
// entry did not change) with its one-time backup, and the extension file of emulations.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "phonebook/phonebook.h"
#include "base/file_text.h"
#include "base/safe_save.h"
#include "base/emulation.h"
#include "base/text.h"

// Where each string lives in a record: a length byte followed by a fixed character area.
struct RecordField {
    int offset; // of the length byte
    int size;   // characters in the area
};

static const RecordField kFields[5] = {
    {0, PHONEBOOK_NAME},        // name
    {61, PHONEBOOK_ADDRESS},    // address
    {122, PHONEBOOK_LAST_CALL}, // last call
    {131, PHONEBOOK_LOGIN},     // login name
    {164, PHONEBOOK_PASSWORD},  // password
};

// Marks an entry that keeps the default emulation; no emulation is called so, so older readers skip
// the line.
static const char kDefaultWord[] = "default";
static const char kExtHeader[] = "; Pelorin NG phonebook extensions: emulation<TAB>name<TAB>address\r\n";

static char *entry_field(PhonebookEntry *e, int field) {
    switch (field) {
    case 0: return e->name;
    case 1: return e->address;
    case 2: return e->last_call;
    case 3: return e->login;
    default: return e->password;
    }
}

void phonebook_decode_field(const uint8_t *image, int field, char *out) {
    const RecordField &f = kFields[field];
    size_t n = image[f.offset];
    if (n > (size_t)f.size) n = (size_t)f.size;
    memcpy(out, image + f.offset + 1, n);
    out[n] = 0;
    for (size_t i = 0; i < n; i++)
        if (out[i] == 0) out[i] = ' ';
}

// ---------------------------------------------------------------- load

// 1 when rest is the entry's name and address as a line stores them: "name<TAB>address". A name or
// address may hold TABs and blanks of its own, so the line is compared whole, not split.
static bool line_names_entry(const char *rest, const PhonebookEntry &e) {
    size_t name = strlen(e.name);
    return strncmp(rest, e.name, name) == 0 && rest[name] == '\t' && strcmp(rest + name + 1, e.address) == 0;
}

// Each line gives one entry its emulation: "emulation<TAB>name<TAB>address". Several entries may
// share a name and address: each line claims the first still unclaimed. A "default" line claims an
// entry that keeps the default emulation, so that a later twin's line reaches the right entry.
static void read_extension(Phonebook *pb, FILE *f) {
    char line[512];
    bool claimed[PHONEBOOK_SLOTS] = {};
    while (file_read_line(f, line, sizeof line)) {
        size_t length = strlen(line);
        if (length > 0 && line[length - 1] == '\r') line[--length] = 0;
        char *word = line + strspn(line, " \t");
        if (word[0] == 0 || word[0] == ';') continue;
        char *tab = strchr(word, '\t');
        if (!tab) continue;
        *tab = 0;
        int emulation = emulation_from_name(word);
        if (emulation < 0 && text_casecmp(word, kDefaultWord) != 0) continue;
        const char *rest = tab + 1;
        // A line edited by hand may carry blanks at its end that no address holds.
        char trimmed[sizeof line];
        text_copy(trimmed, rest, sizeof trimmed);
        size_t end = strlen(trimmed);
        while (end > 0 && (trimmed[end - 1] == ' ' || trimmed[end - 1] == '\t')) trimmed[--end] = 0;
        const char *forms[2] = {rest, trimmed};
        for (const char *wanted : forms) {
            int match = -1;
            for (int i = 0; i < PHONEBOOK_SLOTS && match < 0; i++) {
                const PhonebookEntry &e = pb->entries[i];
                if (!claimed[i] && !phonebook_entry_is_empty(&e) && line_names_entry(wanted, e)) match = i;
            }
            if (match >= 0) {
                claimed[match] = true;
                pb->entries[match].emulation = emulation < 0 ? -1 : emulation;
                break;
            }
        }
    }
    if (ferror(f)) {
        pb->save_blocked = 1;
        pb->failed_path = pb->ext_path;
        pb->failed_errno = errno;
    }
}

void phonebook_read(Phonebook *pb, FILE *fon, FILE *ext) {
    for (PhonebookEntry &e : pb->entries) phonebook_entry_clear(&e);
    pb->loaded_count = 0;
    pb->save_blocked = 0;
    if (!fon) return;
    static const uint8_t kEmptyRecord[PHONEBOOK_RECORD] = {};
    uint8_t record[PHONEBOOK_RECORD];
    for (PhonebookEntry &e : pb->entries) {
        if (fread(record, 1, sizeof record, fon) != sizeof record) break; // a partial record is ignored
        pb->loaded_count++;
        // Empty slots are stored as zeros and are already clear: most of a file needs no decoding.
        if (memcmp(record, kEmptyRecord, sizeof record) == 0) continue;
        memcpy(e.image, record, sizeof record);
        for (int field = 0; field < 5; field++)
            phonebook_decode_field(e.image, field, entry_field(&e, field));
    }
    if (ferror(fon)) {
        pb->save_blocked = 1;
        pb->failed_path = pb->fon_path;
        pb->failed_errno = errno;
    }
    if (ext) read_extension(pb, ext);
}

int phonebook_load(Phonebook *pb, const char *fon_path, const char *ext_path) {
    safe_save_store_path(pb->fon_path, fon_path, sizeof pb->fon_path);
    safe_save_store_path(pb->ext_path, ext_path, sizeof pb->ext_path);
    // A missing file is a new phonebook; one that exists but cannot be read must not be replaced.
    FILE *fon = fopen(fon_path, "rb");
    pb->failed_path = pb->fon_path;
    pb->failed_errno = errno;
    bool unreadable = !fon && errno != ENOENT;
    FILE *ext = fon ? fopen(ext_path, "rb") : nullptr;
    if (fon && !ext && errno != ENOENT) {
        unreadable = true;
        pb->failed_path = pb->ext_path;
        pb->failed_errno = errno;
    }
    phonebook_read(pb, fon, ext);
    if (unreadable) pb->save_blocked = 1;
    if (ext) fclose(ext);
    if (!fon) return 0;
    fclose(fon);
    return 1;
}

// ---------------------------------------------------------------- save

// Re-encodes only the fields whose text differs from what the image holds, so unchanged fields keep
// their stored bytes, including any behind the length.
static void encode_entry(PhonebookEntry *e) {
    if (phonebook_entry_is_empty(e)) {
        memset(e->image, 0, sizeof e->image);
        return;
    }
    for (int field = 0; field < 5; field++) {
        const RecordField &f = kFields[field];
        char stored[PHONEBOOK_NAME + 1];
        phonebook_decode_field(e->image, field, stored);
        const char *text = entry_field(e, field);
        if (strcmp(stored, text) == 0) continue;
        size_t n = strnlen(text, (size_t)f.size);
        e->image[f.offset] = (uint8_t)n;
        memset(e->image + f.offset + 1, 0, (size_t)f.size);
        memcpy(e->image + f.offset + 1, text, n);
    }
}

// A copy of the file as it was, made once for a small phonebook (one an earlier generation of the
// program may have written); an existing backup is never replaced.
static void make_backup(const char *fon_path) {
    char backup[PHONEBOOK_PATH + 8];
    text_format(backup, sizeof backup, "%s.bak", fon_path);
    struct stat st;
    if (lstat(backup, &st) == 0) return;
    FILE *in = fopen(fon_path, "rb");
    if (!in) return;
    SafeSave out;
    if (safe_save_begin_like(&out, backup, fon_path)) {
        uint8_t block[4096];
        size_t n;
        while ((n = fread(block, 1, sizeof block, in)) > 0) safe_save_write(&out, block, n);
        if (ferror(in))
            safe_save_cancel(&out);
        else
            safe_save_finish(&out);
    }
    fclose(in);
}

static bool same_name_and_address(const PhonebookEntry &a, const PhonebookEntry &b) {
    return strcmp(a.name, b.name) == 0 && strcmp(a.address, b.address) == 0;
}

// An entry without an emulation of its own needs a "default" line only when a later entry of the
// same name and address has one: that entry's line would otherwise claim this one on loading.
static bool needs_default_line(const Phonebook *pb, int slot, int last_with_emulation) {
    for (int i = slot + 1; i <= last_with_emulation; i++) {
        const PhonebookEntry &e = pb->entries[i];
        if (e.emulation >= 0 && !phonebook_entry_is_empty(&e) && same_name_and_address(e, pb->entries[slot]))
            return true;
    }
    return false;
}

static int save_extension(const Phonebook *pb) {
    SafeSave out;
    if (!safe_save_begin(&out, pb->ext_path)) return 0;
    safe_save_text(&out, kExtHeader);
    int last_with_emulation = PHONEBOOK_SLOTS - 1;
    while (last_with_emulation >= 0 && pb->entries[last_with_emulation].emulation < 0) last_with_emulation--;
    for (int i = 0; i < PHONEBOOK_SLOTS; i++) {
        const PhonebookEntry &e = pb->entries[i];
        if (phonebook_entry_is_empty(&e)) continue;
        bool own = e.emulation >= 0 && e.emulation < EMU_COUNT;
        if (!own && !needs_default_line(pb, i, last_with_emulation)) continue;
        safe_save_text(&out, own ? emulation_file_words[e.emulation] : kDefaultWord);
        safe_save_text(&out, "\t");
        safe_save_text(&out, e.name);
        safe_save_text(&out, "\t");
        safe_save_text(&out, e.address);
        safe_save_text(&out, "\r\n");
    }
    return safe_save_finish(&out);
}

// A save that failed on path: the reason is kept for the caller to show.
static int save_failed(Phonebook *pb, const char *path) {
    pb->failed_path = path;
    pb->failed_errno = errno;
    return 0;
}

int phonebook_save(Phonebook *pb) {
    if (pb->save_blocked) {
        errno = pb->failed_errno;
        return 0;
    }
    if (pb->loaded_count >= 1 && pb->loaded_count <= PHONEBOOK_BACKUP_LIMIT) make_backup(pb->fon_path);
    SafeSave out;
    if (!safe_save_begin(&out, pb->fon_path)) return save_failed(pb, pb->fon_path);
    for (PhonebookEntry &e : pb->entries) {
        encode_entry(&e);
        safe_save_write(&out, e.image, sizeof e.image);
    }
    if (!safe_save_finish(&out)) return save_failed(pb, pb->fon_path);
    pb->loaded_count = PHONEBOOK_SLOTS; // no further backup in this run
    return save_extension(pb) ? 1 : save_failed(pb, pb->ext_path);
}
