"""scripts/check-layers on small made-up trees: each way an include can break the layering is
reported with its file and line, and a tree that keeps to it gets nothing printed."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check-layers")
LAYERS = """# top first
app: tabs/* ui base
tabs/*: ui base
ui: base
base:
"""
CLEAN = {
    "main.cpp": '#include "app/Main.h"\n',
    "app/Main.h": '#include "tabs/open/Open.h"\n#include "tabs/web/Web.h"\n',
    "tabs/open/Open.h": '#include "ui/View.h"\n#include "Open.h"\n#include <QString>\n',
    "tabs/web/Web.h": '#include "base/Paths.h"\n',
    "ui/View.h": '# include "base/Paths.h"\n',
    "base/Paths.h": "",
}


def run(files, layers=LAYERS):
    with tempfile.TemporaryDirectory() as root:
        with open(os.path.join(root, ".layers"), "w") as f:
            f.write(layers)
        for name, text in files.items():
            path = os.path.join(root, "src", name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        done = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
        return done.returncode, done.stdout.splitlines()


class CheckLayers(unittest.TestCase):
    def test_a_tree_that_keeps_the_layering_prints_nothing(self):
        self.assertEqual(run(CLEAN), (0, []))

    def test_every_wrong_include_is_named_with_its_line(self):
        cases = {
            "upwards": ("base/Paths.h", '#include "ui/View.h"\n', "src/base/Paths.h:1:"),
            "past a layer": ("ui/View.h", '\n#include "app/Main.h"\n', "src/ui/View.h:2:"),
            "one tab into another": ("tabs/web/Web.h", '#include "tabs/open/Open.h"\n',
                                     "src/tabs/web/Web.h:1:"),
            "relative path": ("base/Paths.h", '#include "../ui/View.h"\n', "src/base/Paths.h:1:"),
            "folder without a line": ("widgets/W.h", '#include "base/Paths.h"\n',
                                      "src/widgets/W.h:1:"),
        }
        for what, (name, text, where) in cases.items():
            with self.subTest(what):
                code, lines = run({**CLEAN, name: text})
                self.assertEqual(code, 1)
                self.assertTrue(any(line.startswith(where) for line in lines), lines)

    def test_a_circle_between_folders_is_reported_with_the_includes_that_close_it(self):
        code, lines = run({**CLEAN, "base/Paths.h": '#include "ui/View.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn("circle between folders: base -> ui -> base", lines)
        self.assertIn('    src/ui/View.h:1 includes "base/Paths.h"', lines)

    def test_a_folder_built_into_two_libraries_is_reported(self):
        build = ("add_library(core STATIC base/Paths.cpp ui/Model.cpp)\n"
                 "add_library(gui STATIC ui/View.cpp) # ui/Old.cpp\n")
        files = {**CLEAN, "CMakeLists.txt": build, "base/Paths.cpp": "", "ui/View.cpp": "",
                 "ui/Model.cpp": "", "ui/Old.cpp": ""}
        code, lines = run(files)
        self.assertEqual(code, 1)
        self.assertIn("src/ui/ builds into core, gui: one folder, one library", lines)
        self.assertIn("src/ui/Old.cpp is built into no library", lines)
        self.assertFalse(any("base" in line for line in lines), lines)

    def test_a_tree_under_two_library_roots_is_checked_from_those_roots(self):
        layers = "gui/tabs/*: gui/ui core/base\ngui/ui: core/base\ncore/base:\n"
        tree = {"gui/tabs/open/Open.h": '#include "ui/View.h"\n#include "base/Paths.h"\n',
                "gui/ui/View.h": '#include "base/Paths.h"\n#include <QWidget>\n',
                "core/base/Paths.h": "#include <QString>\n"}
        self.assertEqual(run(tree, layers), (0, []))
        cases = {
            "core into gui": ("core/base/Paths.h", '#include "ui/View.h"\n', "src/core/base/Paths.h:1:"),
            "widget header in core": ("core/base/Paths.h", "#include <QtGui/QIcon>\n",
                                      "src/core/base/Paths.h:1:"),
            "one tab into another": ("gui/tabs/web/Web.h", '#include "tabs/open/Open.h"\n',
                                     "src/gui/tabs/web/Web.h:1:"),
        }
        for what, (name, text, where) in cases.items():
            with self.subTest(what):
                code, lines = run({**tree, name: text}, layers)
                self.assertEqual(code, 1)
                self.assertTrue(any(line.startswith(where) for line in lines), lines)

    def test_a_layers_file_naming_an_unknown_folder_is_reported(self):
        code, lines = run(CLEAN, LAYERS.replace("ui: base", "ui: base lits"))
        self.assertEqual(code, 1)
        self.assertTrue(any("lits" in line for line in lines), lines)


if __name__ == "__main__":
    unittest.main()
