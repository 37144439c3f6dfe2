// The options dialog: what a save applies that the screen does not show (iCE colours, glyph mode),
// and texts the settings files could not keep, where No leaves the settings as they were. Leaving without
// saving, the rows and a refused write are seen end to end.
#include "app/options_dialog.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"
#include "tests/settings/file_helpers.h"

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

TEST_F(OptionsTest, SavingAppliesColoursAndGlyphsAtOnce) {
    // iCE colours (field 13) on, glyphs (two below) from Auto detect back to CP437 only, then F10.
    g_script.keys.assign(12, KEY_DOWN);
    g_script.keys.insert(g_script.keys.end(), {' ', KEY_DOWN, KEY_DOWN, KEY_LEFT, key_function(10)});
    g_presenter.glyph_mode = GLYPH_MODE_UNICODE;
    options_open();
    EXPECT_EQ(std::pair(g_terminal.ice_colors, g_presenter.glyph_mode), std::pair(1, (int)GLYPH_MODE_CP437));
    EXPECT_EQ(reloaded().glyphs, GLYPHS_CP437);
}

// A macro reading "----" would end the classic file early. Typed into the F10 macro, the last field,
// and saved: the box, then Esc asks at once and No keeps everything; changed, it is saved.
TEST_F(OptionsTest, ATextTheFilesCannotKeepSendsTheUserBackToTheForm) {
    g_script.keys = {KEY_END, '-', '-', '-', '-', KEY_ENTER, key_function(10), 'x', KEY_ESC, 'n'};
    options_open();
    EXPECT_TRUE(shown("cannot keep the F10 macro"));
    EXPECT_STREQ(g_settings.macros[9], "");
    EXPECT_EQ(dir.entries(), 0);
    g_script.keys = {KEY_END, '-',     '-',       '-',     '-', KEY_ENTER, key_function(10),
                     'x',     KEY_END, KEY_ENTER, KEY_END, '!', KEY_ENTER, key_function(10)};
    options_open();
    EXPECT_STREQ(reloaded().macros[9], "----!");
}

} // namespace
