#!/usr/bin/env python3
"""The man pages: they render without a warning, and pelong.1 names exactly the keys the Alt-Z help
pages name (read from their table in app/help_pages.cpp), so the two cannot drift apart; every
pelong-* tool has a page and a line in pelong.1."""
import glob
import os
import re
import subprocess
import unittest

SOURCE = os.environ.get("PELONG_SOURCE", os.path.join(os.path.dirname(__file__), "..", ".."))
MAN = os.path.join(SOURCE, "man")
# The help pages shorten a key to fit their column.
SHORT_NAMES = {"alt-ent": "alt-enter"}


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def help_keys():
    """The keys on the help pages: the main screen's, then the dialing directory's."""
    source = read(os.path.join(SOURCE, "app", "help_pages.cpp"))
    lines = re.findall(r'\{"([^"]*)", "([^"]*)"\}', "".join(re.findall(r"kPage\d\[\] = \{(.*?)\n\};", source, re.S)))
    screen, directory = set(), set()
    keys = screen
    for key, text in lines:
        if not key and text.endswith("Directory:"):
            keys = directory
            continue
        found = [k for k in key.split("/") if k.strip()] + re.findall(r"Alt-\w+", text)
        if keys is directory:  # a second key column inside the text: "Dial            Ins  Add entry"
            found += re.findall(r" {2,}([A-Z][a-z]*) {2,}", text)
        keys.update(SHORT_NAMES.get(k.strip().lower(), k.strip().lower()) for k in found)
    return screen, directory


def man_keys(section):
    """The keys tagged in one section of pelong.1 (".TP" then ".B key[, key]")."""
    body = read(os.path.join(MAN, "pelong.1")).split(f"\n.SH {section}\n")[1].split("\n.SH ")[0]
    tags = re.findall(r"^\.TP\n\.B (.+)$", body, re.M)
    return {k.strip().lower() for tag in tags for k in tag.replace("\\-", "-").split(",")}


class ManPages(unittest.TestCase):
    def test_pages_render_without_warnings(self):
        pages = glob.glob(os.path.join(MAN, "*.1"))
        self.assertIn(os.path.join(MAN, "pelong.1"), pages)
        for page in pages:
            result = subprocess.run(["groff", "-ww", "-z", "-man", "-Tutf8", page], capture_output=True)
            self.assertEqual((result.returncode, result.stderr), (0, b""), page)

    def test_every_key_of_the_help_pages_and_no_other(self):
        screen, directory = help_keys()
        self.assertIn("alt-z", screen)
        self.assertIn("ins", directory)
        self.assertEqual(man_keys("KEY COMMANDS"), screen)
        self.assertEqual(man_keys("DIALING DIRECTORY"), directory)

    def test_every_tool_has_a_page_and_a_line(self):
        main_page = read(os.path.join(MAN, "pelong.1"))
        for source in glob.glob(os.path.join(SOURCE, "tools", "pelong-*.cpp")):
            tool = os.path.basename(source)[:-4]
            self.assertTrue(os.path.exists(os.path.join(MAN, tool + ".1")), tool)
            self.assertIn(".B " + tool.replace("-", "\\-") + "\n", main_page, tool)


if __name__ == "__main__":
    unittest.main(verbosity=2)
