// The two settings files: bytes written from defaults, every reading rule, a huge line, and the texts
// the files carry.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/settings.h"
#include "base/emulation.h"
#include "tests/settings/file_helpers.h"

static std::string test_data(const char *name) {
    const char *dir = getenv("PELONG_TEST_DATA");
    std::string source = __FILE__;
    return (dir ? std::string(dir) : source.substr(0, source.rfind('/')) + "/../data") + "/" + name;
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

// A record as the writer puts it, lines joined by "|": the classic file's 23 value lines, the extended
// file, and last the emulation number itself (the writer cannot show one out of range).
static std::string dump(const Settings &s, const TempDir &dir) {
    settings_write_classic(&s, dir.file("dump.cfg").c_str());
    settings_write_extended(&s, dir.file("dump.ext").c_str());
    std::string text = read_file(dir.file("dump.cfg")), out = "|";
    text = text.substr(0, text.find("\r\n\r\n----") + 2) + read_file(dir.file("dump.ext"));
    for (char c : text)
        if (c != '\r') out += c == '\n' ? '|' : c;
    return out + std::to_string(s.default_emulation);
}

struct ReadCase {
    const char *what;
    std::string classic, extended;
    std::vector<std::string> expect; // each found in the dump of what was loaded
};

static void check_reading(const std::vector<ReadCase> &cases) {
    for (const ReadCase &c : cases) {
        TempDir dir;
        std::string loaded = dump(load(dir, c.classic, c.extended), dir);
        for (const std::string &part : c.expect)
            EXPECT_NE(loaded.find(part), std::string::npos) << c.what << ": " << part << " in " << loaded;
    }
}

TEST(SettingsFiles, WrittenFromDefaultsMatchExpectedBytes) {
    TempDir dir;
    Settings s = load(dir); // no files: defaults, and the paths to write to
    ASSERT_EQ(settings_write(&s), 1);
    EXPECT_EQ(read_file(dir.file("pelo.cfg")), read_file(test_data("defaults_pelo.cfg")));
    EXPECT_EQ(read_file(dir.file("pelong.cfg")), read_file(test_data("defaults_pelong.cfg")));
    EXPECT_EQ(dir.entries(), 2); // no temporary files left
}

TEST(SettingsFiles, ClassicReadingRules) {
    const std::string flags = "\n5\n9\n15\n13\n7\n1\n\n\n\n\n\n\n\n\n\n\non\noff\noff\non\noff\n";
    check_reading({
        {"three lines set only those three", "  /dl path  \n3\n4\n", "", {"|/dl path|3|4|15|13|7|1|"}},
        {"out of range numbers fall back", "\n7\n16\n14\n-1\n6\n8\n", "", {"||7|9|14|13|6|1|"}},
        {"decimals: blanks, sign, junk, no digits; too big for an int is out of range",
         "\n  6x\n+12\n\n4294967301\n",
         "",
         {"||6|12|0|13|"}},
        {"\"----\" ends reading", "/p\n1\n2\n3\n----\n2\n", "", {"|/p|1|2|3|13|"}},
        {"macros keep their blanks, flags are words",
         "\n5\n9\n15\n13\n7\n1\n  m1  \nm2\n\n\n\n\n\n\n\nm10\nYes\n enabled\nTRUE\n0\n1\n",
         "",
         {"|1|  m1  |m2||||||||m10|on|off|on|off|on|"}},
        {"line 23 names the default emulation and ends reading",
         flags + " vt100 \n----\nlegend\n",
         "",
         {"|vt100|", "DefaultEmulation=vt100"}},
        {"an unknown word on line 23 leaves the emulation", flags + "vt52\n", "", {"|0"}},
    });
}

TEST(SettingsFiles, ExtendedReadingRules) {
    const std::string line23 = std::string(22, '\n');
    check_reading({
        {"a byte-order mark; key case and blanks do not matter",
         "",
         "\xEF\xBB\xBF  scrollback = 5000  \n",
         {"Scrollback=5000"}},
        {"ranges fall back",
         "",
         "ConnectTimeout=2\nScrollback=20001\nPetsciiZoom=5\n",
         {"Scrollback=2000", "ConnectTimeout=30", "PetsciiZoom=0"}},
        {"word values",
         "",
         "Glyphs=UNICODE\nRenderer=Legacy\nPetscii40Display=centred\nIceColors=yes\nBlink=no\n",
         {"IceColors=on|Blink=off|Glyphs=unicode|Renderer=legacy", "Petscii40Display=centered"}},
        {"the last of a repeated key wins; unknown words give the first choice",
         "",
         "Scrollback=100\nScrollback=200\nGlyphs=cp437\nGlyphs=utf8\nRenderer=vt\nRenderer=gdi\n",
         {"Scrollback=200", "Glyphs=auto|Renderer=auto"}},
        {"comments and lines without \"=\" are skipped",
         "",
         "#Scrollback=100\n;Scrollback=100\nC64Font\n\n=5\nNoSuchKey=1\n",
         {"Scrollback=2000", "C64Font=|"}},
        {"the extended file wins over line 23",
         line23 + "vt100\n",
         "DefaultEmulation=petscii40\n",
         {"DefaultEmulation=petscii40"}},
    });
}

// A 10 MB line is one line and its number saturates; loading writes nothing. (Junk of every other
// kind is the fuzzer's.)
TEST(SettingsFiles, AHugeLineIsReadAsOneAndNothingIsWritten) {
    TempDir dir;
    const std::string huge(10 * 1024 * 1024, '9');
    const std::string classic = "\r\n3\r\n" + huge + "\r\n4\r\n";
    const std::string extended = "Scrollback=" + huge + "\r\nConnectTimeout=60\r\n";
    Settings s = load(dir, classic, extended);
    EXPECT_EQ(dump(s, dir).substr(0, 14), "||3|9|4|13|7|1");
    EXPECT_EQ(s.scrollback_lines, 2000);
    EXPECT_EQ(s.connect_timeout, 60);
    EXPECT_EQ(read_file(dir.file("pelo.cfg")), classic);
    EXPECT_EQ(read_file(dir.file("pelong.cfg")), extended);
}

// What a user may type into each text setting: the files give it back unchanged, or the options
// dialog is told it cannot be kept. Either way the save keeps every line in its place: a value with
// a line break once shifted the lines after it, and a line "----" ended the next read early.
TEST(SettingsFiles, TextsTheFilesCarry) {
    struct Case {
        SettingsText field;
        const char *text;
        int carried;
        const char *after; // the value after a save and a load
    };
    const Case cases[] = {
        {SETTINGS_TEXT_DOWNLOAD_PATH, "----", 1, "----"}, // written with a blank in front
        {SETTINGS_TEXT_DOWNLOAD_PATH, " /dl ", 0, "/dl"},
        {SETTINGS_TEXT_MACRO, "----", 0, ""},
        {SETTINGS_TEXT_MACRO, "---- ", 1, "---- "},
        {SETTINGS_TEXT_MACRO, " a\rb ", 1, " a\rb "},
        {SETTINGS_TEXT_MACRO, "a\nb", 0, "a"},
        {SETTINGS_TEXT_C64_FONT, "/f\nScrollback=5", 0, "/f"}, // the last key: nothing would override
        {SETTINGS_TEXT_C64_FONT, "/f o=nt", 1, "/f o=nt"},
    };
    // The field's place in a record, so that the same text can be set in two records.
    auto field = [](Settings *s, SettingsText f) {
        return f == SETTINGS_TEXT_DOWNLOAD_PATH ? s->download_path
               : f == SETTINGS_TEXT_MACRO       ? s->macros[2]
               : f == SETTINGS_TEXT_UPLOAD_PATH ? s->upload_path
                                                : s->c64_font;
    };
    for (const Case &c : cases) {
        TempDir dir;
        Settings s = load(dir);
        s.status_bar = 0;
        s.default_emulation = EMU_PETSCII40; // no classic word: line 23 says "ansi", pelong.cfg has it
        s.petscii_zoom = 3;
        Settings expect = s;
        strcpy(field(&s, c.field), c.text);
        strcpy(field(&expect, c.field), c.after);
        EXPECT_EQ(settings_can_carry(c.field, c.text), c.carried) << c.text;
        ASSERT_EQ(settings_write(&s), 1);
        Settings back = load(dir);
        EXPECT_STREQ(field(&back, c.field), c.after) << c.text;
        EXPECT_EQ(memcmp(&back, &expect, sizeof back), 0) << c.text << ": the other settings changed";
    }
    EXPECT_EQ(settings_can_carry(SETTINGS_TEXT_MACRO, std::string(127, 'm').c_str()), 1);
    EXPECT_EQ(settings_can_carry(SETTINGS_TEXT_MACRO, std::string(128, 'm').c_str()), 0);

    // A macro line cut to the field can leave the legend mark: it reads as the writer would store it.
    TempDir dir;
    Settings cut = load(dir, "\n5\n9\n15\n13\n7\n1\n----" + std::string(200, '\r') + "x\nsecond\n");
    EXPECT_STREQ(cut.macros[0], "");
    EXPECT_STREQ(cut.macros[1], "second");
}
