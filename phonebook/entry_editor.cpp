#include "phonebook/entry_editor.h"

#include "base/emulation.h"
#include "base/text.h"
#include "phonebook/address.h"
#include "phonebook/phonebook.h"
#include "ui/form.h"
#include "ui/toolkit.h"

static const char kHelp[] = "~\x18\x19~ field  ~Enter~ edit  ~Space~ cycle  ~F10~ save  ~Esc~ done";

int entry_edit(PhonebookEntry *entry, const char *title, int hide_password) {
    PhonebookEntry scratch = *entry;
    // The choice's first value is -1, the default emulation of the settings.
    const char *emulations[1 + EMU_COUNT] = {"(default)"};
    for (int i = 0; i < EMU_COUNT; i++) emulations[1 + i] = emulation_long_names[i];
    FormField fields[] = {
        form_text("Name", scratch.name, PHONEBOOK_NAME),
        form_text("Address", scratch.address, PHONEBOOK_ADDRESS),
        form_text("Login name", scratch.login, PHONEBOOK_LOGIN),
        form_text("Password", scratch.password, PHONEBOOK_PASSWORD, hide_password),
        form_choice("Emulation", &scratch.emulation, emulations, 1 + EMU_COUNT, EMU_NONE),
        form_read_only("Last call", scratch.last_call[0] ? scratch.last_call : "never"),
        form_read_only("", "Address: host  or  host port  or  host:port"),
    };
    if (!ui_form_run(title, fields, (int)(sizeof fields / sizeof fields[0]), 76, kHelp)) return 0;

    text_trim(scratch.name);
    text_trim(scratch.address);
    address_normalise(scratch.address, sizeof scratch.address);
    if (!scratch.address[0] && scratch.name[0]) {
        ui_message("Error", "An address is required.");
        return 0;
    }
    if (!scratch.name[0]) text_copy(scratch.name, scratch.address, sizeof scratch.name);
    *entry = scratch;
    return 1;
}
