// The directory screen and the entry editor with scripted keys: the drawn screen, what each key
// leads to, the commands that change and save the phonebook, and saves that fail.
#include <gtest/gtest.h>

#include <string>

#include "base/emulation.h"
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

const uint32_t F10 = key_function(10);

std::string g_shown;
void keep_output(const uint8_t *bytes, int length) {
    g_shown.append((const char *)bytes, (size_t)length);
}

void add_text(std::deque<uint32_t> &keys, const char *text) {
    for (; *text; text++) keys.push_back((uint8_t)*text);
}

class DirectoryTest : public ::testing::Test {
  protected:
    TempDir dir;
    Phonebook *pb = nullptr;
    int current = -1;
    DirectoryContext context{};
    DirectoryCall call{};

    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        g_settings.default_emulation = EMU_VT100;
        g_frame.rows = 25;
        g_ui_hooks = UiHooks{frame_blank, frame_blank, nullptr};
        g_directory = DirectoryView{};
        script_start({});
        console_set_writer(keep_output);
        g_shown.clear();
        pb = phonebook_create();
        phonebook_load(pb, dir.file("pelo.fon").c_str(), dir.file("pelong.ext").c_str());
        context = DirectoryContext{pb, &g_settings, dir.path.c_str(), &current};
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry) << "a screen waited for a key the script did not give";
        script_stop();
        safe_save_ops_reset();
        g_ui_hooks = UiHooks{};
        phonebook_destroy(pb);
    }
    void set(int slot, const char *name, const char *address, int emulation = -1) {
        PhonebookEntry *e = &pb->entries[slot];
        text_copy(e->name, name, sizeof e->name);
        text_copy(e->address, address, sizeof e->address);
        e->emulation = emulation;
    }
    int run(std::deque<uint32_t> keys) {
        g_script.keys = std::move(keys);
        int outcome = directory_run(&context, &call);
        EXPECT_TRUE(g_script.keys.empty()) << g_script.keys.size() << " keys left";
        return outcome;
    }
    bool shown(const char *text) const { return g_shown.find(text) != std::string::npos; }
};

// 25 rows with the status bar: the box from row 1, 18 list rows from row 4, the key line on row 23
// and the count line in the bottom border.
TEST_F(DirectoryTest, DrawsTheListBoxAndLines) {
    set(0, "Alpha BBS with a name longer than thirty-two", "alpha.example 2323");
    set(1, "Commodore", "c64.example", EMU_PETSCII40);
    text_copy(pb->entries[0].last_call, "03/04/26", 9);
    g_directory.cursor = 1;
    directory_view_rebuild(&g_directory, pb);
    directory_draw(&context);
    EXPECT_EQ(frame_text(1, 24, 32), "═ Pelorin NG Dialing Directory ═");
    EXPECT_EQ(frame_text(2),
              "║ Num   Name                             Address                     Last Call ║");
    EXPECT_EQ(frame_text(3, 0, 2) + frame_text(3, 78), "╟──╢");
    EXPECT_EQ(frame_text(4, 1, 78),
              "    1  Alpha BBS with a name longer tha alpha.example 2323          03/04/26  ");
    EXPECT_EQ(frame_text(5, 1, 16), "    2 •Commodore");
    EXPECT_EQ(frame_text(6, 1, 5), "    3");
    EXPECT_EQ(g_frame.cells[4][8].fg, 15);
    EXPECT_EQ(g_frame.cells[4][41].fg, 11);
    EXPECT_EQ(g_frame.cells[4][2].fg, 7);
    EXPECT_EQ(g_frame.cells[5][8].bg, 3); // the cursor row, black on cyan
    EXPECT_EQ(g_frame.cells[5][7].fg, 0);
    EXPECT_EQ(g_frame.cells[5][78].bg, 3);
    EXPECT_EQ(frame_text(4, 79, 1) + frame_text(5, 79, 1) + frame_text(21, 79, 1),
              "█░░"); // thumb at 17 * 1 / 1999
    EXPECT_EQ(frame_text(22, 0, 2), "╟─");
    EXPECT_EQ(frame_text(23, 2, 20), "Enter Dial Ins Add E");
    EXPECT_EQ(g_frame.cells[23][2].fg, 14);
    EXPECT_EQ(g_frame.cells[23][7].fg, 15);
    EXPECT_EQ(frame_text(24, 0, 30), "╚══ 2 of 2000 entries used ═══");
    EXPECT_EQ(g_frame.cursor_visible, 0);

    // Used only, without the status bar: the box from row 0 with 19 list rows, no scroll bar.
    g_settings.status_bar = 0;
    g_directory.used_only = 1;
    directory_view_rebuild(&g_directory, pb);
    directory_draw(&context);
    EXPECT_EQ(frame_text(0, 0, 1) + frame_text(3, 0, 12), "╔║    1  Alph");
    EXPECT_EQ(frame_text(4, 79, 1), "║");
    EXPECT_EQ(frame_text(24, 3, 43), " 2 of 2000 entries used, showing used only ");
}

TEST_F(DirectoryTest, KeysMoveFindAndLeave) {
    set(0, "Alpha", "alpha.example 2323");
    set(5, "Beta", "beta.example");
    set(300, "Gamma", "gamma.example", EMU_PETSCII80);
    const struct {
        const char *name;
        std::deque<uint32_t> keys;
        int outcome, slot;
    } kCases[] = {
        {"PgDn moves by the 18 list rows", {KEY_PGDN, KEY_ESC}, DIRECTORY_LEFT, 18},
        {"PgDn PgUp", {KEY_PGDN, KEY_PGDN, KEY_PGUP, KEY_ESC}, DIRECTORY_LEFT, 18},
        {"End and Ctrl-PgUp",
         {KEY_END, KEY_DOWN, KEY_CTRL | KEY_PGUP, KEY_UP, KEY_ALT + 'd'},
         DIRECTORY_LEFT,
         0},
        {"a digit starts the entry number", {'5', '0', KEY_ENTER, KEY_ESC}, DIRECTORY_LEFT, 49},
        {"G starts from nothing", {'g', '7', KEY_ENTER, KEY_ESC}, DIRECTORY_LEFT, 6},
        {"Left, Right and unknown keys do nothing", {KEY_LEFT, KEY_RIGHT, 'z', KEY_ESC}, DIRECTORY_LEFT, 0},
        {"Find by address", {'f', 'm', 'a', '.', 'e', 'x', KEY_ENTER, KEY_ESC}, DIRECTORY_LEFT, 300},
        {"Find wraps, Next moves on", {KEY_END, '/', 'a', KEY_ENTER, 'n', KEY_ESC}, DIRECTORY_LEFT, 5},
        {"V lands on a used slot", {KEY_DOWN, 'v', KEY_ESC}, DIRECTORY_LEFT, 5},
        {"Alt-X", {KEY_ALT + 'x'}, DIRECTORY_QUIT, 0},
    };
    for (const auto &c : kCases) {
        g_directory = DirectoryView{};
        EXPECT_EQ(run(c.keys), c.outcome) << c.name;
        EXPECT_EQ(directory_view_slot(&g_directory), c.slot) << c.name;
    }
    // Next with nothing more to find says so; the find text is remembered.
    g_directory = DirectoryView{};
    run({'f', 'g', 'a', 'm', 'm', 'a', KEY_ENTER, 'n', ' ', KEY_ESC}); // a key takes the message away
    EXPECT_TRUE(shown("No more matches."));
    EXPECT_EQ(directory_view_slot(&g_directory), 300);
    EXPECT_STREQ(g_directory.find_text, "gamma");
    run({'f', 'x', 'y', 'z', KEY_ENTER, ' ', KEY_ESC});
    EXPECT_TRUE(shown("Not found."));
}

TEST_F(DirectoryTest, DialChoosesTheEntryOrATypedHost) {
    set(0, "Alpha", "alpha.example 2323");
    set(1, "Gamma", "telnet://gamma.example", EMU_PETSCII80);
    EXPECT_EQ(run({KEY_ENTER}), DIRECTORY_DIAL);
    EXPECT_EQ(std::string(call.name) + " " + call.host, "Alpha alpha.example");
    EXPECT_EQ(call.port, 2323);
    EXPECT_EQ(call.emulation, EMU_VT100); // the default emulation of the settings
    EXPECT_EQ(call.entry, 0);
    EXPECT_EQ(run({KEY_DOWN, 'D'}), DIRECTORY_DIAL);
    EXPECT_EQ(std::string(call.host) + " " + std::to_string(call.port), "gamma.example 23");
    EXPECT_EQ(call.emulation, EMU_PETSCII80);
    EXPECT_EQ(call.entry, 1);

    std::deque<uint32_t> keys = {'q'};
    add_text(keys, "  bbs.example:2323 ");
    keys.push_back(KEY_ENTER);
    EXPECT_EQ(run(keys), DIRECTORY_DIAL);
    EXPECT_EQ(std::string(call.name) + "|" + call.host + "|" + std::to_string(call.port),
              "|bbs.example|2323");
    EXPECT_EQ(call.entry, -1);
    EXPECT_EQ(call.emulation, -1);
    EXPECT_STREQ(g_directory.quick_dial_text, "  bbs.example:2323 ");            // remembered for next time
    EXPECT_EQ(run({KEY_ALT + 'q', KEY_CTRL_Y, ' ', KEY_ENTER}), DIRECTORY_LEFT); // blank: no call
    EXPECT_EQ(run({'q', KEY_ESC}), DIRECTORY_LEFT);
    EXPECT_EQ(g_ui_hooks.redraw_background, frame_blank); // the previous repaint hook is back
}

TEST_F(DirectoryTest, AddEditDeleteAndSortSaveThePhonebook) {
    set(0, "Zeta", "zeta.example");
    set(1, "Alpha", "alpha.example");
    current = 0; // Zeta was dialled last

    std::deque<uint32_t> keys = {KEY_INSERT};
    add_text(keys, "New BBS\tnew.example:2323");
    keys.insert(keys.end(), {F10, KEY_ESC});
    run(keys);
    EXPECT_STREQ(pb->entries[2].address, "new.example 2323");
    EXPECT_EQ(directory_view_slot(&g_directory), 2); // the cursor on the new entry
    Phonebook *saved = phonebook_create();
    phonebook_load(saved, pb->fon_path, pb->ext_path);
    EXPECT_STREQ(saved->entries[2].name, "New BBS");

    // Enter on an empty slot adds there; E edits; the edits are saved.
    keys = {KEY_DOWN, KEY_ENTER, KEY_DOWN};
    add_text(keys, "only.address");
    keys.insert(keys.end(), {F10, KEY_UP, 'e', KEY_DOWN, KEY_DOWN, KEY_DOWN});
    add_text(keys, "secret");
    keys.insert(keys.end(), {F10, KEY_ESC});
    run(keys);
    phonebook_load(saved, pb->fon_path, pb->ext_path);
    EXPECT_STREQ(saved->entries[3].name,
                 "only.address"); // an entry without a name is named after its address
    EXPECT_STREQ(saved->entries[2].password, "secret");

    // Sorting keeps the dialled entry current wherever it moves.
    run({'s', 'y', KEY_ESC});
    phonebook_load(saved, pb->fon_path, pb->ext_path);
    EXPECT_STREQ(saved->entries[0].name, "Alpha");
    EXPECT_STREQ(pb->entries[current].name, "Zeta");
    EXPECT_EQ(directory_view_slot(&g_directory), 0);

    // Deleting asks first; deleting the dialled entry forgets it.
    int zeta = current;
    g_directory.cursor = zeta;
    run({KEY_DELETE, 'n', 'r', 'y', KEY_ESC});
    EXPECT_TRUE(shown("Delete entry #4"));
    EXPECT_TRUE(phonebook_entry_is_empty(&pb->entries[zeta]));
    EXPECT_EQ(current, -1);
    phonebook_load(saved, pb->fon_path, pb->ext_path);
    EXPECT_EQ(phonebook_count_used(saved), 3);
    phonebook_destroy(saved);
}

TEST_F(DirectoryTest, AFailedSaveKeepsTheChangeAndTheOldFileAndSaysSo) {
    set(0, "Alpha", "alpha.example");
    ASSERT_EQ(phonebook_save(pb), 1);
    std::string before = read_file(dir.file("pelo.fon"));
    fault_arm(FAULT_RENAME, 1);
    run({'e', 'B', KEY_ENTER, F10, ' ', KEY_ESC});
    EXPECT_TRUE(shown("Could not write the phonebook file!"));
    EXPECT_STREQ(pb->entries[0].name, "B");
    EXPECT_EQ(read_file(dir.file("pelo.fon")), before);
    safe_save_ops_reset();
    ASSERT_EQ(phonebook_save(pb), 1); // saved by the next save that works
}

TEST_F(DirectoryTest, AFullPhonebookTakesNoNewEntry) {
    for (int slot = 0; slot < PHONEBOOK_SLOTS; slot++) set(slot, "x", "y");
    run({KEY_INSERT, ' ', KEY_ESC});
    EXPECT_TRUE(shown("All 2000 entries are in use."));
    EXPECT_EQ(phonebook_count_used(pb), PHONEBOOK_SLOTS);
}

TEST_F(DirectoryTest, EntryEditorRules) {
    const struct {
        const char *name_keys, *address_keys;
        int saved;
        const char *name, *address;
    } kCases[] = {
        {"BBS", "telnet://bbs:23/", 1, "BBS", "bbs"},
        {"BBS", "bbs:2323", 1, "BBS", "bbs 2323"},
        {"  Spaced  ", "  host 2323  ", 1, "Spaced", "host 2323"},
        {"", "only.example", 1, "only.example", "only.example"},
        {"No address", "", 0, "Old", "old.example"}, // the edits are dropped
        {" ", " ", 1, "", ""},                       // stored empty: a free slot
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
        keys.push_back(F10);
        g_script.keys = keys;
        EXPECT_EQ(entry_edit(&entry, "Edit Entry", 0), c.saved) << c.name_keys;
        EXPECT_STREQ(entry.name, c.name);
        EXPECT_STREQ(entry.address, c.address);
    }
    EXPECT_TRUE(shown("An address is required."));
}

} // namespace
