// The dialing directory's store: 2000 entries, each with the 197-byte record it came from, the
// classic record file with its one-time backup, the extension file for emulations, and the small
// operations on the array.
#pragma once
#include <cstdint>
#include <cstdio>

enum {
    PHONEBOOK_SLOTS = 2000,
    PHONEBOOK_RECORD = 197, // bytes of one record of the classic file
    PHONEBOOK_NAME = 60,
    PHONEBOOK_ADDRESS = 60,
    PHONEBOOK_LAST_CALL = 8,
    PHONEBOOK_LOGIN = 32,
    PHONEBOOK_PASSWORD = 32,
    PHONEBOOK_PATH = 512,
    PHONEBOOK_BACKUP_LIMIT = 200, // files of at most this many records get a backup before the first save
};

struct PhonebookEntry {
    uint8_t image[PHONEBOOK_RECORD]; // the record as last read from or written to the file
    char name[PHONEBOOK_NAME + 1];
    char address[PHONEBOOK_ADDRESS + 1];
    char last_call[PHONEBOOK_LAST_CALL + 1]; // "mm/dd/yy" or empty for never
    char login[PHONEBOOK_LOGIN + 1];
    char password[PHONEBOOK_PASSWORD + 1];
    int emulation; // EMU_*, or -1 for the default emulation of the settings
};

struct Phonebook {
    PhonebookEntry entries[PHONEBOOK_SLOTS];
    char fon_path[PHONEBOOK_PATH];
    char ext_path[PHONEBOOK_PATH];
    uint32_t loaded_count; // whole records read at load; 2000 after a successful save
    // Set when an existing file could not be read in full: saving then refuses, so that a file the
    // program could not read is never replaced by what little it did read.
    int save_blocked;
    // Why the last save failed (or saving is blocked): the file and the system's errno value.
    const char *failed_path;
    int failed_errno;
};

// Taken at start-up, freed at shutdown.
extern Phonebook *g_phonebook;

// A cleared phonebook, or nullptr when the memory cannot be had.
Phonebook *phonebook_create();
void phonebook_destroy(Phonebook *pb);

// Clears every entry, then reads the record file and the extension file. 0 when the record file
// could not be opened (a missing file gives an empty phonebook).
int phonebook_load(Phonebook *pb, const char *fon_path, const char *ext_path);
// The reading half of the load, from open streams: clears every entry, then reads the records from
// fon and the emulations from ext (either nullptr: no such file). A read error blocks saving.
void phonebook_read(Phonebook *pb, FILE *fon, FILE *ext);
// Writes all 2000 records, then the extension file, each crash-safe. 1 when both were saved in
// full; on failure the file that failed keeps its old contents.
int phonebook_save(Phonebook *pb);

void phonebook_entry_clear(PhonebookEntry *e);
bool phonebook_entry_is_empty(const PhonebookEntry *e);
int phonebook_count_used(const Phonebook *pb);
// Lowest index of an empty entry, or -1 when all are used.
int phonebook_first_empty(const Phonebook *pb);
// Used entries first, by name then address (A-Z case folded); empty slots last.
void phonebook_sort(Phonebook *pb);
// The entry is used and text occurs in its name or address (A-Z case folded); empty text never matches.
bool phonebook_entry_matches(const PhonebookEntry *e, const char *text);
// Writes today's local date as "mm/dd/yy" into the entry's last call and saves; the save's result.
int phonebook_stamp_last_call(Phonebook *pb, int index);

// Decodes one field of a record image the way loading does (length limited to the field size,
// NUL bytes read as spaces). field: 0 name, 1 address, 2 last call, 3 login, 4 password.
void phonebook_decode_field(const uint8_t *image, int field, char *out);
