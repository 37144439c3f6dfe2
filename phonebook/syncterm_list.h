// SyncTERM's phonebook list (an INI-style text file): the parser and how each section is added to the
// phonebook, with a counting pass that predicts exactly what a real pass would do.
#pragma once

struct Phonebook;

struct SyncTermSection {
    char name[256]; // between "[" and the last "]", trimmed
    char address[256];
    int port;
    int port_given; // a Port line was seen
    char connection_type[32];
    char screen_mode[64];
    char font[96];
    char emulation[32];
    char user_name[64];
    char password[64];
};

struct ImportCounters {
    int total;      // sections with a name
    int telnet_raw; // connection type empty, Telnet or Raw
    int ssh_other;  // any other connection type
    int added;      // added (or, counting, would be)
    int duplicates; // already in the phonebook
    int no_room;    // no empty slot left
    int skipped;    // other types excluded, no address, or an address too long for the phonebook
};

// Reads the list at path and applies every section to pb. A counting pass works on pb but puts every
// entry back afterwards. 0 when the file cannot be opened (or a counting pass gets no memory to keep
// the entries it takes); the counters are zeroed at the start either way.
int syncterm_parse_apply(Phonebook *pb, const char *path, int include_other, ImportCounters *counters,
                         int counting);

// Section names are UTF-8: well-formed sequences are decoded and mapped to CP437, other bytes of 0x80
// and above are taken as CP437 already. At most 255 characters are converted; out is cut to size.
void syncterm_name_to_cp437(const char *utf8, char *out, int size);
