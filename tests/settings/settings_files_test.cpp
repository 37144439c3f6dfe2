// The two settings files: bytes written from defaults, every reading rule, and bad files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/settings.h"
#include "term/emulation.h"
#include "term/text.h"
#include "tests/settings/file_helpers.h"

static std::string test_data(const char *name) {
    const char *dir = getenv("PELONG_TEST_DATA");
    std::string source = __FILE__;
    return (dir ? std::string(dir) : source.substr(0, source.rfind('/')) + "/../data") + "/" + name;
}

// Loads the given file contents (nullptr: no such file) over defaults.
static Settings load(const TempDir &dir, const char *classic, const char *extended) {
    if (classic) write_file(dir.file("pelo.cfg"), classic);
    if (extended) write_file(dir.file("pelong.cfg"), extended);
    Settings s;
    settings_set_defaults(&s);
    settings_load(&s, dir.file("pelo.cfg").c_str(), dir.file("pelong.cfg").c_str());
    return s;
}

TEST(SettingsFiles, WrittenFromDefaultsMatchExpectedBytes) {
    TempDir dir;
    Settings s = load(dir, nullptr, nullptr); // no files: defaults, and the paths to write to
    ASSERT_EQ(settings_write(&s), 1);
    EXPECT_EQ(read_file(dir.file("pelo.cfg")), read_file(test_data("defaults_pelo.cfg")));
    EXPECT_EQ(read_file(dir.file("pelong.cfg")), read_file(test_data("defaults_pelong.cfg")));
    EXPECT_EQ(directory_entries(dir.path), 2); // no temporary files left
}

// PETSCII 40 has no word in the classic file: line 23 says "ansi" and the extended file carries it.
TEST(SettingsFiles, WrittenFilesLoadBackToTheSameRecord) {
    TempDir dir;
    Settings s = load(dir, nullptr, "Petscii40Display=centred\r\n");
    text_copy(s.macros[0], "  hello  ", sizeof s.macros[0]);
    s.status_bar = 0;
    s.default_emulation = EMU_PETSCII40;
    text_copy(s.upload_path, "/up=load", sizeof s.upload_path);
    ASSERT_EQ(settings_write(&s), 1);
    EXPECT_NE(read_file(dir.file("pelo.cfg")).find("\r\nansi\r\n\r\n----\r\n"), std::string::npos);
    EXPECT_NE(read_file(dir.file("pelong.cfg")).find("\r\nPetscii40Display=centered\r\n"), std::string::npos);
    Settings back = load(dir, nullptr, nullptr);
    EXPECT_EQ(memcmp(&s, &back, sizeof s), 0);
}

// One row per classic-file rule: the file's lines (CR LF added), and what must come of them.
struct ClassicCase {
    const char *what;
    const char *lines;
    void (*check)(const Settings &s);
};

static const ClassicCase kClassicCases[] = {
    {"three lines set only those three", "  /dl path  \n3\n4\n",
     [](const Settings &s) {
         EXPECT_STREQ(s.download_path, "/dl path");
         EXPECT_EQ(s.status_bg, 3);
         EXPECT_EQ(s.status_help_colour, 4);
         EXPECT_EQ(s.status_clock_colour, 15);
         EXPECT_EQ(s.status_bar, 1);
     }},
    {"out of range numbers fall back", "\n9\n16\n15\n-1\n7\n8\n",
     [](const Settings &s) {
         EXPECT_EQ(s.status_bg, 5);
         EXPECT_EQ(s.status_help_colour, 9);
         EXPECT_EQ(s.status_clock_colour, 15);
         EXPECT_EQ(s.status_text_colour, 13);
         EXPECT_EQ(s.vt100_normal_colour, 7);
         EXPECT_EQ(s.vt100_intense_colour, 1);
     }},
    {"decimals: blanks, sign, junk, no digits; too big for an int is out of range",
     "\n  6x\n+12\n\n4294967301\n",
     [](const Settings &s) {
         EXPECT_EQ(s.status_bg, 6);
         EXPECT_EQ(s.status_help_colour, 12);
         EXPECT_EQ(s.status_clock_colour, 0);
         EXPECT_EQ(s.status_text_colour, 13);
     }},
    {"\"----\" ends reading", "/p\n1\n2\n3\n----\n2\n",
     [](const Settings &s) {
         EXPECT_EQ(s.status_clock_colour, 3);
         EXPECT_EQ(s.status_text_colour, 13);
     }},
    {"macros keep their blanks, flags are words",
     "\n5\n9\n15\n13\n7\n1\n  m1  \nm2\n\n\n\n\n\n\n\nm10\nYes\n enabled\nTRUE\n0\n1\n",
     [](const Settings &s) {
         EXPECT_STREQ(s.macros[0], "  m1  ");
         EXPECT_STREQ(s.macros[1], "m2");
         EXPECT_STREQ(s.macros[9], "m10");
         EXPECT_EQ(s.status_bar, 1);
         EXPECT_EQ(s.break_checking, 0);
         EXPECT_EQ(s.telnet_binary, 1);
         EXPECT_EQ(s.hide_passwords, 0);
         EXPECT_EQ(s.vt100_function_keys, 1);
     }},
    {"line 23 names the default emulation and ends reading",
     "\n5\n9\n15\n13\n7\n1\n\n\n\n\n\n\n\n\n\n\non\noff\noff\non\noff\n vt100 \n----\nlegend\n",
     [](const Settings &s) {
         EXPECT_STREQ(s.classic_emulation, "vt100");
         EXPECT_EQ(s.default_emulation, EMU_VT100);
     }},
    {"an unknown word on line 23 is kept but leaves the emulation",
     "\n5\n9\n15\n13\n7\n1\n\n\n\n\n\n\n\n\n\n\non\noff\noff\non\noff\nvt52\n",
     [](const Settings &s) {
         EXPECT_STREQ(s.classic_emulation, "vt52");
         EXPECT_EQ(s.default_emulation, EMU_ANSI);
     }},
    {"a long macro line counts as one line; the macro is cut to 127",
     nullptr, // built in the test: line 8 of 5000 characters
     [](const Settings &s) {
         EXPECT_EQ(strlen(s.macros[0]), 127u);
         EXPECT_STREQ(s.macros[1], "second");
     }},
};

TEST(SettingsFiles, ClassicReadingRules) {
    for (const ClassicCase &c : kClassicCases) {
        SCOPED_TRACE(c.what);
        std::string text;
        if (c.lines) {
            for (const char *p = c.lines; *p; p++)
                text += *p == '\n' ? std::string("\r\n") : std::string(1, *p);
        } else {
            text = "\r\n5\r\n9\r\n15\r\n13\r\n7\r\n1\r\n" + std::string(5000, 'x') + "\r\nsecond\r\n";
        }
        TempDir dir;
        Settings s = load(dir, text.c_str(), nullptr);
        c.check(s);
    }
}

struct ExtendedCase {
    const char *what;
    const char *classic; // nullptr: no classic file
    const char *extended;
    void (*check)(const Settings &s);
};

static const ExtendedCase kExtendedCases[] = {
    {"key case and blanks do not matter", nullptr, "  scrollback = 5000  \r\n",
     [](const Settings &s) { EXPECT_EQ(s.scrollback_lines, 5000); }},
    {"ranges fall back", nullptr, "ConnectTimeout=2\r\nScrollback=20001\r\nPetsciiZoom=5\r\n",
     [](const Settings &s) {
         EXPECT_EQ(s.connect_timeout, 30);
         EXPECT_EQ(s.scrollback_lines, 2000);
         EXPECT_EQ(s.petscii_zoom, 0);
     }},
    {"range ends are kept", nullptr, "ConnectTimeout=300\r\nScrollback=0\r\nPetsciiZoom=4\r\n",
     [](const Settings &s) {
         EXPECT_EQ(s.connect_timeout, 300);
         EXPECT_EQ(s.scrollback_lines, 0);
         EXPECT_EQ(s.petscii_zoom, 4);
     }},
    {"word values", nullptr,
     "Glyphs=UNICODE\r\nRenderer=Legacy\r\nPetscii40Display=centred\r\nIceColors=yes\r\nBlink=no\r\n",
     [](const Settings &s) {
         EXPECT_EQ(s.glyphs, GLYPHS_UNICODE);
         EXPECT_EQ(s.renderer, RENDERER_LEGACY);
         EXPECT_EQ(s.petscii40_display, PETSCII40_CENTERED);
         EXPECT_EQ(s.ice_colors, 1);
         EXPECT_EQ(s.show_blink, 0);
     }},
    {"unknown words give the first choice", nullptr,
     "Glyphs=utf8\r\nRenderer=gdi\r\nPetscii40Display=wide\r\n",
     [](const Settings &s) {
         EXPECT_EQ(s.glyphs, GLYPHS_AUTO);
         EXPECT_EQ(s.renderer, RENDERER_AUTO);
         EXPECT_EQ(s.petscii40_display, PETSCII40_DOUBLE);
     }},
    {"the last of a repeated key wins", nullptr, "Scrollback=100\r\nScrollback=200\r\n",
     [](const Settings &s) { EXPECT_EQ(s.scrollback_lines, 200); }},
    {"comments and lines without \"=\" are skipped", nullptr,
     "#Scrollback=100\r\n;Scrollback=100\r\nC64Font\r\n\r\n=5\r\nNoSuchKey=1\r\n",
     [](const Settings &s) {
         EXPECT_EQ(s.scrollback_lines, 2000);
         EXPECT_STREQ(s.c64_font, "");
     }},
    {"a value keeps everything after the first \"=\"", nullptr, "UploadPath = /a=b/c= \r\n",
     [](const Settings &s) { EXPECT_STREQ(s.upload_path, "/a=b/c="); }},
    {"the extended file wins over line 23",
     "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nvt100\r\n",
     "DefaultEmulation=petscii40\r\n",
     [](const Settings &s) { EXPECT_EQ(s.default_emulation, EMU_PETSCII40); }},
    {"an unknown emulation keeps line 23's",
     "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\ntty\r\n",
     "DefaultEmulation=vt52\r\n", [](const Settings &s) { EXPECT_EQ(s.default_emulation, EMU_TTY); }},
    {"long texts are cut to their fields", nullptr, nullptr, // built in the test
     [](const Settings &s) {
         EXPECT_EQ(strlen(s.upload_path), 255u);
         EXPECT_EQ(strlen(s.c64_font), 259u);
     }},
};

TEST(SettingsFiles, ExtendedReadingRules) {
    for (const ExtendedCase &c : kExtendedCases) {
        SCOPED_TRACE(c.what);
        std::string text =
            c.extended ? c.extended
                       : "UploadPath=" + std::string(400, 'u') + "\r\nC64Font=" + std::string(400, 'f');
        TempDir dir;
        Settings s = load(dir, c.classic, text.c_str());
        c.check(s);
    }
}

// Junk of every kind: nothing crashes, values stay in their ranges, and loading writes nothing.
TEST(SettingsFiles, BadFilesAreReadSafelyAndNeverWritten) {
    std::string junk, huge(10 * 1024 * 1024, '9');
    for (int i = 0; i < 70000; i++) junk += (char)((i * 7919 + 13) & 0xFF);
    const std::string cases[][2] = {
        {"\r\n3\r\n" + huge + "\r\n4\r\n", "Scrollback=" + huge + "\r\nConnectTimeout=60\r\n"},
        {junk, junk},
        {std::string("\0\0\0\r\n", 5), std::string("Scrollback=\0"
                                                   "5\r\n",
                                                   15)},
    };
    for (const auto &c : cases) {
        TempDir dir;
        write_file(dir.file("pelo.cfg"), c[0]);
        write_file(dir.file("pelong.cfg"), c[1]);
        Settings s = load(dir, nullptr, nullptr);
        EXPECT_TRUE(s.status_bg >= 0 && s.status_bg <= 7 && s.scrollback_lines >= 0 &&
                    s.scrollback_lines <= 20000 && s.connect_timeout >= 3 && s.connect_timeout <= 300);
        EXPECT_EQ(read_file(dir.file("pelo.cfg")), c[0]);
        EXPECT_EQ(read_file(dir.file("pelong.cfg")), c[1]);
        EXPECT_EQ(directory_entries(dir.path), 2);
        if (&c == &cases[0]) { // a 10 MB line is one line, and its number saturates
            EXPECT_EQ(s.status_bg, 3);
            EXPECT_EQ(s.status_help_colour, 9);
            EXPECT_EQ(s.status_clock_colour, 4);
            EXPECT_EQ(s.scrollback_lines, 2000);
            EXPECT_EQ(s.connect_timeout, 60);
        }
    }
}

// A download path or macro of "----" was written as the line that ends reading, so the next start
// lost every setting after it.
TEST(SettingsFiles, DashesInTextsDoNotEndTheNextRead) {
    TempDir dir;
    Settings s = load(dir, nullptr, nullptr);
    text_copy(s.download_path, "----", sizeof s.download_path);
    text_copy(s.macros[2], "----", sizeof s.macros[2]);
    text_copy(s.macros[3], "after", sizeof s.macros[3]);
    s.status_bar = 0;
    ASSERT_EQ(settings_write(&s), 1);
    Settings back = load(dir, nullptr, nullptr);
    EXPECT_STREQ(back.download_path, "----");
    EXPECT_STREQ(back.macros[2], "");
    EXPECT_STREQ(back.macros[3], "after");
    EXPECT_EQ(back.status_bar, 0);
}
