#!/usr/bin/env python3
"""The man pages: they render without a warning, and pelong.1 names exactly the keys the Alt-Z help
pages name (read from their table in app/help_pages.cpp), so the two cannot drift apart; every
pelong-* tool has a page and a line in pelong.1."""
import glob
import os
import pathlib
import re
import subprocess
import unittest

SOURCE = pathlib.Path(os.environ.get("PELONG_SOURCE", pathlib.Path(__file__).parent / ".." / ".."))
MAN = SOURCE / "man"
SHORT_NAMES = {"alt-ent": "alt-enter"}  # the help pages shorten a key to fit their column


def help_keys():
    """The keys on the help pages: the main screen's, then the dialing directory's."""
    tables = re.findall(r"kPage\d\[\] = \{(.*?)\n\};", (SOURCE / "app" / "help_pages.cpp").read_text(), re.S)
    screen, directory = set(), set()
    keys = screen
    for key, text in re.findall(r'\{"([^"]*)", "([^"]*)"\}', "".join(tables)):
        if not key and text.endswith("Directory:"):
            keys = directory
        found = key.split("/") + re.findall(r"Alt-\w+", text)
        if keys is directory:  # a second key column inside the text: "Dial            Ins  Add entry"
            found += re.findall(r" {2,}([A-Z][a-z]*) {2,}", text)
        keys.update(SHORT_NAMES.get(k.strip().lower(), k.strip().lower()) for k in found if k.strip())
    return screen, directory


def man_keys(section):
    """The keys tagged in one section of pelong.1 (".TP" then ".B key[, key]")."""
    body = (MAN / "pelong.1").read_text().split(f"\n.SH {section}\n")[1].split("\n.SH ")[0]
    tags = re.findall(r"^\.TP\n\.B (.+)$", body, re.M)
    return {k.strip().lower() for tag in tags for k in tag.replace("\\-", "-").split(",")}


class ManPages(unittest.TestCase):
    def test_pages_render_without_warnings(self):
        for page in MAN.glob("*.1"):
            result = subprocess.run(["groff", "-ww", "-z", "-man", "-Tutf8", page], capture_output=True)
            self.assertEqual((result.returncode, result.stderr), (0, b""), page)

    def test_help_pages_and_tools_are_in_the_man_page(self):
        screen, directory = help_keys()
        self.assertIn("ins", directory)
        self.assertEqual(man_keys("KEY COMMANDS"), screen)
        self.assertEqual(man_keys("DIALING DIRECTORY"), directory)
        for source in glob.glob(str(SOURCE / "tools" / "pelong-*.cpp")):
            tool = os.path.basename(source)[:-4]
            self.assertTrue((MAN / (tool + ".1")).exists(), tool)
            self.assertIn(".B " + tool.replace("-", "\\-") + "\n", (MAN / "pelong.1").read_text(), tool)


if __name__ == "__main__":
    unittest.main(verbosity=2)
