// The directory screen and the entry editor, driven by scripted keys.
#include <gtest/gtest.h>

#include "base/text.h"
#include "input/keys.h"
#include "phonebook/directory.h"
#include "phonebook/entry_editor.h"
#include "settings/settings.h"
#include "tests/settings/file_helpers.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

namespace {

struct DirectoryTest : testing::Test {
    TempDir dir;
    Phonebook *pb = phonebook_create();
    int current = 0; // the entry dialled last
    void SetUp() override {
        settings_set_defaults(&g_settings);
        g_frame.rows = 25;
        g_ui_hooks = UiHooks{frame_blank, frame_blank, nullptr};
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
};

// Alt-W and Alt-P send the dialled entry's login: it must follow the entry when the phonebook is
// sorted, and be forgotten when the entry is deleted, never pointing at another board's password.
TEST_F(DirectoryTest, TheDialledEntryFollowsASortAndGoesWithADelete) {
    set(0, "Zeta", "zeta.example");
    set(1, "Alpha", "alpha.example");
    text_copy(pb->entries[0].password, "zeta's", PHONEBOOK_PASSWORD + 1);
    DirectoryContext context{pb, &g_settings, dir.path.c_str(), &current};
    DirectoryCall call{};
    g_script.keys = {'s', 'y', KEY_ESC};
    directory_run(&context, &call);
    ASSERT_EQ(current, 1);
    EXPECT_STREQ(pb->entries[current].password, "zeta's");
    g_script.keys = {KEY_DOWN, KEY_DELETE, 'y', KEY_ESC};
    directory_run(&context, &call);
    EXPECT_EQ(current, -1);
}

// The fields are typed over "Old" and "old.example" (a TAB moves on), then F10 saves.
TEST_F(DirectoryTest, EntryEditorRules) {
    const struct {
        const char *typed, *stored;
        int saved;
    } kCases[] = {
        {"  Spaced  \t  bbs:2323  ", "Spaced|bbs 2323", 1},
        {"  \tonly.example", "only.example|only.example", 1}, // named after its address
        {"No address\t ", "Old|old.example", 0},              // the edits are dropped
        {" \t ", "|", 1},                                     // stored empty: a free slot
    };
    for (const auto &c : kCases) {
        set(0, "Old", "old.example");
        g_script.keys.assign(c.typed, c.typed + strlen(c.typed));
        g_script.keys.push_back(key_function(10));
        EXPECT_EQ(entry_edit(&pb->entries[0], "Edit Entry", 0), c.saved) << c.typed;
        EXPECT_EQ(std::string(pb->entries[0].name) + "|" + pb->entries[0].address, c.stored);
    }
}

} // namespace
