// The options dialog: leaving without saving, saving with the result applied at once and both files
// written, a failed write, and texts the settings files could not keep.
#include "app/options_dialog.h"
#include "base/text.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"
#include "tests/settings/file_helpers.h"
#include "ui/form.h"

namespace {

class OptionsTest : public AppTest {
  protected:
    TempDir dir;
    void SetUp() override {
        AppTest::SetUp();
        settings_load(&g_settings, dir.file("pelo.cfg").c_str(), dir.file("pelong.cfg").c_str());
    }
    Settings reloaded() const {
        Settings s;
        settings_set_defaults(&s);
        settings_load(&s, dir.file("pelo.cfg").c_str(), dir.file("pelong.cfg").c_str());
        return s;
    }
};

TEST_F(OptionsTest, TheFormHoldsEveryOptionOverTheCopy) {
    Settings copy = g_settings;
    FormField fields[OPTIONS_FIELDS];
    ASSERT_EQ(options_fields(&copy, fields), 34);
    EXPECT_STREQ(fields[2].label, "Status bar");
    EXPECT_EQ(fields[2].value, &copy.status_bar);
    EXPECT_STREQ(fields[33].label, "F10 macro");
    EXPECT_EQ(fields[33].text, copy.macros[9]);
    for (const FormField &f : fields) {
        char *p = f.text ? f.text : (char *)f.value;
        EXPECT_TRUE(p >= (char *)&copy && p < (char *)(&copy + 1)) << f.label;
    }
}

TEST_F(OptionsTest, LeavingWithoutSavingChangesNothing) {
    const struct {
        const char *name;
        std::deque<uint32_t> keys;
        bool asked;
    } cases[] = {
        {"Esc at once", {KEY_ESC}, false},
        {"edit, Esc, No", {KEY_DOWN, KEY_DOWN, KEY_ENTER, KEY_ESC, 'n'}, true},
        {"edit, Esc, back, Esc, No", {KEY_DOWN, KEY_DOWN, ' ', KEY_ESC, KEY_ESC, KEY_ESC, 'N'}, true},
    };
    for (const auto &c : cases) {
        g_output.clear();
        g_script.keys = c.keys;
        options_open();
        EXPECT_TRUE(g_script.keys.empty()) << c.name;
        EXPECT_EQ(shown("Save changes?"), c.asked) << c.name;
        EXPECT_EQ(g_settings.status_bar, 1) << c.name;
        EXPECT_EQ(g_terminal.rows, 24) << c.name;
        EXPECT_EQ(dir.entries(), 0) << c.name;
    }
}

TEST_F(OptionsTest, SavingAppliesAtOnceAndWritesBothFiles) {
    // Status bar off, iCE colours on, glyphs CP437 only, then F10.
    g_script.keys = {KEY_DOWN, KEY_DOWN, KEY_ENTER};
    for (int i = 2; i < 12; i++) g_script.keys.push_back(KEY_DOWN);
    g_script.keys.insert(g_script.keys.end(), {' ', KEY_DOWN, KEY_DOWN, KEY_LEFT, key_function(10)});
    g_presenter.glyph_mode = GLYPH_MODE_UNICODE;
    options_open();
    EXPECT_TRUE(g_script.keys.empty());
    EXPECT_EQ(g_settings.status_bar, 0);
    EXPECT_EQ(g_terminal.rows, 25);
    EXPECT_EQ(g_frame.rows, 25);
    EXPECT_EQ(g_terminal.emulation, EMU_ANSI);
    EXPECT_EQ(g_terminal.ice_colors, 1);
    EXPECT_EQ(g_presenter.glyph_mode, GLYPH_MODE_CP437);
    EXPECT_NE(frame_text(0, 0, 13), "Alt-Z - Help!");
    Settings saved = reloaded();
    EXPECT_EQ(saved.status_bar, 0);
    EXPECT_EQ(saved.ice_colors, 1);
    EXPECT_EQ(saved.glyphs, GLYPHS_CP437);
    EXPECT_FALSE(shown("Could not write"));
}

TEST_F(OptionsTest, AFailedWriteIsShownAndTheSettingsStillTakeEffect) {
    std::string missing = dir.file("gone/pelo.cfg");
    text_copy(g_settings.classic_path, missing.c_str(), sizeof g_settings.classic_path);
    g_script.keys = {KEY_DOWN, KEY_DOWN, KEY_ENTER, key_function(10), 'x'};
    options_open();
    EXPECT_TRUE(shown("Could not write pelo.cfg / pelong.cfg"));
    EXPECT_EQ(g_settings.status_bar, 0);
    EXPECT_EQ(g_terminal.rows, 25);
    EXPECT_EQ(dir.entries(), 0);
}

TEST_F(OptionsTest, ATextTheFilesCannotKeepSendsTheUserBackToTheForm) {
    // A macro reading "----" would end the classic file early. The last field is the F10 macro: type "----",
    // save, dismiss the box, then Esc asks at once.
    g_script.keys = {KEY_END, '-', '-', '-', '-', KEY_ENTER, key_function(10), 'x', KEY_ESC, 'n'};
    options_open();
    EXPECT_TRUE(g_script.keys.empty());
    EXPECT_TRUE(shown("cannot keep the F10 macro"));
    EXPECT_TRUE(shown("Save changes?"));
    EXPECT_STREQ(g_settings.macros[9], "");
    EXPECT_EQ(dir.entries(), 0);

    // Changed to something the files keep, it is saved.
    g_script.keys = {KEY_END, '-',     '-',       '-',     '-', KEY_ENTER, key_function(10),
                     'x',     KEY_END, KEY_ENTER, KEY_END, '!', KEY_ENTER, key_function(10)};
    options_open();
    EXPECT_STREQ(g_settings.macros[9], "----!");
    EXPECT_STREQ(reloaded().macros[9], "----!");
}

} // namespace
