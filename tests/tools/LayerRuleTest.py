#!/usr/bin/env python3
"""The layer rule of tools/lint, over a small tree of its own: each spelling of an upward
include is caught, each allowed one passes."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "lib", "layer_rule.py")

# The smallest tree with every tier the rule orders.
FIXTURE = {
    "CMakeLists.txt": "configure_file(Settings.in ${CMAKE_BINARY_DIR}/generated/BuildSettings.h @ONLY)\n",
    "platform/common/Text.h": "",
    "platform/Network.h": "",
    "platform/ui/ButtonState.h": "",
    "platform/win32/Registry.h": "",
    "platform/win32/ui/WindowBase.h": "",
    "engine/Catalogue.h": "",
    "engine/win32/BackupFolder.h": "",
    "kit/Config.h": "",
    "launcher/Flow.h": "",
    "app/MainView.h": "",
    "app/win32/MainWindow.h": "",
    "tests/native/Fake.h": "",
}

# (including file, include line, caught) — "caught" is False for what the rule allows.
CASES = [
    # Allowed: beside the file, rooted, relative, down the layers, the generated settings.
    ("app/MainForm.cpp", '#include "MainView.h"', False),
    ("app/win32/MainWindow.cpp", '#include "../MainView.h"', False),
    ("app/win32/Entry.cpp", '#include "BuildSettings.h"', False),
    ("engine/Catalogue.cpp", '#include "platform/Network.h"', False),
    ("engine/win32/BackupFolder.cpp", '#include "platform/win32/Registry.h"', False),
    ("platform/ui/Button.cpp", '#include "ButtonState.h"', False),
    ("platform/ui/Button.cpp", '#include "../common/Text.h"', False),
    ("platform/win32/ui/Window.cpp", '#include "../Registry.h"', False),
    ("platform/win32/ui/Window.cpp", '#include "platform/ui/ButtonState.h"', False),
    ("kit/Config.cpp", "#include <windows.h>", False),
    # Upward across layers, in each spelling.
    ("engine/Catalogue.cpp", '#include "app/MainView.h"', True),
    ("engine/Catalogue.cpp", '#include "../app/MainView.h"', True),
    ("kit/Config.cpp", '#include "../engine/Catalogue.h"', True),
    ("launcher/Flow.cpp", '#include "app/MainView.h"', True),
    ("platform/Network.cpp", '#include "kit/Config.h"', True),
    ("platform/win32/Registry.cpp", '#include "../../engine/win32/BackupFolder.h"', True),
    # Upward inside platform/: common -> the rest -> win32.
    ("platform/common/Text.cpp", '#include "platform/Network.h"', True),
    ("platform/common/Text.cpp", '#include "../Network.h"', True),
    ("platform/common/Text.cpp", '#include "../ui/ButtonState.h"', True),
    ("platform/Network.cpp", '#include "win32/Registry.h"', True),
    ("platform/ui/Button.cpp", '#include "platform/win32/ui/WindowBase.h"', True),
    ("platform/ui/Button.cpp", '#include "../win32/ui/WindowBase.h"', True),
    # Portable code of any layer never includes win32/ code.
    ("app/MainForm.cpp", '#include "win32/MainWindow.h"', True),
    ("engine/Catalogue.cpp", '#include "platform/win32/Registry.h"', True),
    ("kit/Config.cpp", '#include "../platform/win32/Registry.h"', True),
    # Outside the layers, or nowhere at all.
    ("app/MainForm.cpp", '#include "tests/native/Fake.h"', True),
    ("app/MainForm.cpp", '#include "Missing.h"', True),
]


def run_checker(root):
    return subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True, check=False)


class LayerRuleTest(unittest.TestCase):
    def make_tree(self, extra=None):
        root = tempfile.mkdtemp(prefix="zx-layers-")
        self.addCleanup(lambda: subprocess.run(["rm", "-rf", root], check=False))
        for path, text in {**FIXTURE, **(extra or {})}.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as out:
                out.write(text)
        return root

    def test_fixture_alone_passes(self):
        result = run_checker(self.make_tree())
        self.assertEqual((result.returncode, result.stdout), (0, ""))

    def test_each_include(self):
        for including, line, caught in CASES:
            with self.subTest(file=including, include=line):
                result = run_checker(self.make_tree({including: "// one include\n" + line + "\n"}))
                self.assertEqual(result.returncode, 1 if caught else 0, result.stdout)
                if caught:
                    # The finding names the file and the line, so a reader can go straight to it.
                    self.assertIn(f"{including}:2:", result.stdout)

    def test_the_product_tree_passes(self):
        result = run_checker(os.path.join(os.path.dirname(CHECKER), "..", ".."))
        self.assertEqual((result.returncode, result.stdout), (0, ""))


if __name__ == "__main__":
    unittest.main()
