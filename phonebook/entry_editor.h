// Editing one phonebook entry in the form dialog: name, address, login name, password, emulation,
// with the last call and the address forms shown read-only.
#pragma once

struct PhonebookEntry;

// Edits a copy of entry under title ("Add Entry", "Edit Entry"). On save the name and address are
// trimmed, the address is stored in its canonical form, and a name left empty becomes the address;
// the copy then replaces the entry and the result is 1. 0 when the user cancelled, or when a name
// was given without an address ("An address is required."): the entry is left as it was.
int entry_edit(PhonebookEntry *entry, const char *title, int hide_password);
