// The two settings files: bytes written from defaults, the reading rules, and the texts the files carry.
#include <gtest/gtest.h>

#include <cstring>

#include "settings/settings.h"
#include "base/emulation.h"
#include "tests/settings/file_helpers.h"

static std::string test_data(const char *name) { // ctest says where; by hand, run from the top folder
    const char *dir = getenv("PELONG_TEST_DATA");
    return std::string(dir ? dir : "tests/data") + "/" + name;
}

// Loads the given file contents (empty: no such file) over defaults.
static Settings load(const TempDir &dir, const std::string &classic = "", const std::string &extended = "") {
    if (!classic.empty()) write_file(dir.file("pelo.cfg"), classic);
    if (!extended.empty()) write_file(dir.file("pelong.cfg"), extended);
    Settings s;
    settings_set_defaults(&s);
    settings_load(&s, dir.file("pelo.cfg").c_str(), dir.file("pelong.cfg").c_str());
    return s;
}

TEST(SettingsFiles, WrittenFromDefaultsMatchExpectedBytes) {
    TempDir dir;
    Settings s = load(dir); // no files: defaults, and the paths to write to
    ASSERT_EQ(settings_write(&s), 1);
    EXPECT_EQ(read_file(dir.file("pelo.cfg")), read_file(test_data("defaults_pelo.cfg")));
    EXPECT_EQ(read_file(dir.file("pelong.cfg")), read_file(test_data("defaults_pelong.cfg")));
}

// Loads the files, saves them again and gives what was saved: the classic file's 23 value lines, then
// the extended file, all lines joined by "|".
static std::string resaved(const std::string &classic, const std::string &extended) {
    TempDir dir;
    Settings s = load(dir, classic, extended);
    EXPECT_EQ(settings_write(&s), 1);
    std::string text = read_file(dir.file("pelo.cfg")), saved = "|";
    text = text.substr(0, text.find("\r\n\r\n----") + 2) + read_file(dir.file("pelong.cfg"));
    for (char b : text)
        if (b != '\r') saved += b == '\n' ? '|' : b;
    return saved;
}

TEST(SettingsFiles, ReadingRules) {
    const struct {
        const char *what;
        bool extended; // the text is pelong.cfg's, else pelo.cfg's
        std::string text, expect;
    } cases[] = {
        {"path trimmed; numbers: junk after, out of range, sign, none; \"----\" ends reading", false,
         "  /dl path  \n  6x\n16\n+12\n4294967301\n\n-1\n----\nm\n", "|/dl path|6|9|12|13|0|1||"},
        {"macros keep their blanks, flags are words, line 23 names the emulation", false,
         "\n5\n9\n15\n13\n7\n1\n  m1  \nm2\n\n\n\n\n\n\n\nm10\nYes\n enabled\nTRUE\n0\n1\n vt100 \n",
         "|1|  m1  |m2||||||||m10|on|off|on|off|on|vt100|"},
        {"a byte-order mark, key case and blanks; ranges and unknown words fall back", true,
         "\xEF\xBB\xBF  blink = off  \nGlyphs=utf8\nScrollback=20001\n",
         "|Scrollback=2000|IceColors=off|Blink=off|Glyphs=auto|"},
        {"the last of a key wins; comments and lines without \"=\" are skipped", true,
         "Scrollback=200\nScrollback=300\n#Scrollback=100\n;Scrollback=100\nC64Font\n\n=5\nNoSuchKey=1\n",
         "|Scrollback=300|"},
    };
    for (const auto &c : cases) {
        std::string saved = c.extended ? resaved("", c.text) : resaved(c.text, "");
        EXPECT_NE(saved.find(c.expect), std::string::npos) << c.what << ": " << c.expect << " in " << saved;
    }
}

// What a user may type into a text setting comes back after a save and a load, or the options dialog
// is told it cannot be kept. Either way the save keeps every line in its place: a value with a line
// break once shifted the lines after it, and a line "----" ended the next read early.
TEST(SettingsFiles, TextsComeBackOrAreRefused) {
    TempDir dir;
    Settings s = load(dir);
    s.default_emulation = EMU_PETSCII40; // no classic word: line 23 says "ansi", pelong.cfg has it
    strcpy(s.download_path, "----");     // written with a blank in front
    strcpy(s.macros[1], " a\rb ");
    Settings expect = s;
    strcpy(s.macros[0], "----");
    strcpy(s.macros[2], "a\nb");
    strcpy(s.c64_font, "/f\nScrollback=5"); // the last key: nothing after it would override
    strcpy(expect.macros[2], "a");
    strcpy(expect.c64_font, "/f");
    EXPECT_EQ(settings_can_carry(SETTINGS_TEXT_DOWNLOAD_PATH, s.download_path), 1);
    EXPECT_EQ(settings_can_carry(SETTINGS_TEXT_MACRO, s.macros[1]), 1);
    for (const char *text : {s.macros[0], s.macros[2]})
        EXPECT_EQ(settings_can_carry(SETTINGS_TEXT_MACRO, text), 0);
    EXPECT_EQ(settings_can_carry(SETTINGS_TEXT_C64_FONT, s.c64_font), 0);
    ASSERT_EQ(settings_write(&s), 1);
    Settings back = load(dir);
    EXPECT_STREQ(back.macros[2], "a");
    EXPECT_STREQ(back.c64_font, "/f");
    EXPECT_EQ(memcmp(&back, &expect, sizeof back), 0) << "the other settings changed";

    // A macro line cut to the field can leave the legend mark: it reads as the writer would store it.
    Settings cut = load(dir, "\n5\n9\n15\n13\n7\n1\n----" + std::string(200, '\r') + "x\nsecond\n");
    EXPECT_STREQ(cut.macros[0], "");
    EXPECT_STREQ(cut.macros[1], "second");
}
