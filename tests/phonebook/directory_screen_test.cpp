// The directory screen and the entry editor with scripted keys: the dialled entry followed through
// sort and delete, and the editor's rules for names and addresses.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "input/keys.h"
#include "phonebook/directory.h"
#include "phonebook/directory_view.h"
#include "phonebook/entry_editor.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "tests/settings/file_helpers.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

namespace {

void add_text(std::deque<uint32_t> &keys, const char *text) {
    for (; *text; text++) keys.push_back((uint8_t)*text);
}

class DirectoryTest : public ::testing::Test {
  protected:
    TempDir dir;
    Phonebook *pb = phonebook_create();
    int current = -1;
    DirectoryContext context{pb, &g_settings, dir.path.c_str(), &current};
    DirectoryCall call{};

    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        g_frame.rows = 25;
        g_ui_hooks = UiHooks{frame_blank, frame_blank, nullptr};
        g_directory = DirectoryView{};
        script_start({});
        phonebook_load(pb, dir.file("pelo.fon").c_str(), dir.file("pelong.ext").c_str());
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry) << "a screen waited for a key the script did not give";
        script_stop();
        g_ui_hooks = UiHooks{};
        phonebook_destroy(pb);
    }
    void set(int slot, const char *name, const char *address) {
        text_copy(pb->entries[slot].name, name, PHONEBOOK_NAME + 1);
        text_copy(pb->entries[slot].address, address, PHONEBOOK_ADDRESS + 1);
    }
    int run(std::deque<uint32_t> keys) {
        g_script.keys = std::move(keys);
        return directory_run(&context, &call);
    }
};

// Alt-W and Alt-P send the dialled entry's login: it must follow the entry when the phonebook is
// sorted, and be forgotten when the entry is deleted, never pointing at another board's password.
TEST_F(DirectoryTest, TheDialledEntryFollowsASortAndGoesWithADelete) {
    set(0, "Zeta", "zeta.example");
    set(1, "Alpha", "alpha.example");
    text_copy(pb->entries[0].password, "zeta's", PHONEBOOK_PASSWORD + 1);
    EXPECT_EQ(run({KEY_ENTER}), DIRECTORY_DIAL);
    EXPECT_EQ(call.entry, 0);
    EXPECT_EQ(call.emulation, g_settings.default_emulation) << "no emulation of its own";
    current = 0;
    run({'s', 'y', KEY_ESC});
    EXPECT_EQ(current, 1);
    EXPECT_STREQ(pb->entries[current].password, "zeta's");
    run({KEY_DELETE, 'n', KEY_DOWN, 'r', 'y', KEY_ESC});
    EXPECT_EQ(current, -1);
    EXPECT_EQ(phonebook_count_used(pb), 1);
    run({KEY_UP, KEY_DELETE, 'y', KEY_ESC});
    EXPECT_EQ(phonebook_count_used(pb), 0);
}

TEST_F(DirectoryTest, EntryEditorRules) {
    const struct {
        const char *name_keys, *address_keys;
        int saved;
        const char *name, *address;
    } kCases[] = {
        {"  Spaced  ", "  bbs:2323  ", 1, "Spaced", "bbs 2323"},
        {"", "only.example", 1, "only.example", "only.example"}, // named after its address
        {"No address", "", 0, "Old", "old.example"},             // the edits are dropped
        {" ", " ", 1, "", ""},                                   // stored empty: a free slot
    };
    for (const auto &c : kCases) {
        PhonebookEntry entry;
        phonebook_entry_clear(&entry);
        text_copy(entry.name, "Old", sizeof entry.name);
        text_copy(entry.address, "old.example", sizeof entry.address);
        std::deque<uint32_t> keys = {KEY_ENTER, KEY_CTRL_Y};
        add_text(keys, c.name_keys);
        keys.insert(keys.end(), {KEY_TAB, KEY_ENTER, KEY_CTRL_Y});
        add_text(keys, c.address_keys);
        keys.push_back(key_function(10));
        g_script.keys = keys;
        EXPECT_EQ(entry_edit(&entry, "Edit Entry", 0), c.saved) << c.name_keys;
        EXPECT_EQ(std::string(entry.name) + "|" + entry.address, std::string(c.name) + "|" + c.address);
    }
}

} // namespace
