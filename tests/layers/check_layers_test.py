#!/usr/bin/env python3
"""The layer check on small trees: it passes a tree that keeps the layers
and fails, naming file and line, on each kind of wrong include."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "check-layers")

# A tree in which every include keeps the rules.
GOOD_TREE = {
    "src/gfx/Picture.h": "#include <vector>\n",
    "src/text/Text.h": "#include <string>\n",
    "src/text/Text.cpp": '#include "text/Text.h"\n#include <iconv.h>\n',
    "src/platform/Audio.h": '#include "gfx/Picture.h"\n',
    "src/platform/SdlAudio.cpp": '#include "platform/Audio.h"\n#include <SDL_mixer.h>\n',
    "src/platform/FfmpegVideo.cpp": "extern \"C\" {\n#include <libavcodec/avcodec.h>\n}\n",
    "src/ui/Form.h": '#include "platform/Audio.h"\n',
    "src/media/Player.h": '#include "ui/Form.h"\n',
    "src/core/App.h": '#include "media/Player.h"\n#include "text/Text.h"\n',
    "src/controls/mybutton.h": '#include "core/App.h"\n',
    "src/menu/menuFrm.h": '#include "controls/mybutton.h"\n',
    "src/learning/funFrm1.h": '#include "controls/mybutton.h"\n',
    "src/games/gameFrm.h": '#include "core/App.h"\n',
    "src/games/kit/Digits.h": '#include "gfx/Picture.h"\n',
    "src/games/game01/game01Frm.h": '#include "games/kit/Digits.h"\n#include "games/gameFrm.h"\n',
    "src/games/game01/game01Frm.cpp": '#include "game01Frm.h"\n',
    "src/games/register.cpp": '#include "games/game01/game01Frm.h"\n',
    "src/app/screens.h": '#include "menu/menuFrm.h"\n#include "games/gameFrm.h"\n',
    "src/main.cpp": '#include "app/screens.h"\n',
    "tools/mediagen/layout.cpp": '#include "layout.h"\n#include "text/Text.h"\n#include <cairo.h>\n',
    "tools/mediagen/layout.h": "\n",
    "tests/media/video_test.cpp": "#include <libavformat/avformat.h>\n",
    "tests/games/game01_test.cpp": '#include "games/game01/game01Frm.h"\n',
}


class CheckLayers(unittest.TestCase):
    def run_on(self, extra):
        with tempfile.TemporaryDirectory() as root:
            for path, content in {**GOOD_TREE, **extra}.items():
                full = os.path.join(root, path)
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "w", encoding="utf-8") as f:
                    f.write(content)
            return subprocess.run(
                [sys.executable, SCRIPT, "--root", root], capture_output=True, text=True
            )

    def assertFails(self, extra, where, words):
        r = self.run_on(extra)
        self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
        self.assertIn(where, r.stderr)
        self.assertIn(words, r.stderr)

    def test_a_tree_that_keeps_the_layers_passes(self):
        r = self.run_on({})
        self.assertEqual(r.returncode, 0, r.stderr)

    def test_an_include_up_a_layer_fails_naming_file_and_line(self):
        self.assertFails(
            {"src/gfx/Picture.h": '#include <vector>\n\n#include "ui/Form.h"\n'},
            "src/gfx/Picture.h:3:",
            "gfx may not include ui",
        )
        self.assertFails(
            {"src/platform/Audio.h": '#include "media/Player.h"\n'},
            "src/platform/Audio.h:1:",
            "platform may not include media",
        )

    def test_sibling_layers_do_not_include_each_other(self):
        self.assertFails(
            {"src/menu/menuFrm.cpp": '#include "menu/menuFrm.h"\n#include "learning/funFrm1.h"\n'},
            "src/menu/menuFrm.cpp:2:",
            "sibling",
        )
        self.assertFails(
            {"src/gfx/Font.h": '#include "text/Text.h"\n'}, "src/gfx/Font.h:1:", "sibling"
        )

    def test_machine_headers_stay_in_platform(self):
        self.assertFails(
            {"src/media/Player.cpp": '#include "media/Player.h"\n#include <SDL_mixer.h>\n'},
            "src/media/Player.cpp:2:",
            "<SDL_mixer.h>",
        )
        self.assertFails(
            {"src/ui/Font.cpp": "#include <fontconfig/fontconfig.h>\n"},
            "src/ui/Font.cpp:1:",
            "src/platform/",
        )
        self.assertFails(
            {"tests/ui/draw_test.cpp": "#include <cairo.h>\n"}, "tests/ui/draw_test.cpp:1:", "<cairo.h>"
        )

    def test_iconv_belongs_to_the_text_library(self):
        self.assertFails(
            {"src/core/Book.cpp": "#include <iconv.h>\n"}, "src/core/Book.cpp:1:", "text library"
        )
        self.assertFails(
            {"tests/mediaset/book_test.cpp": "#include <iconv.h>\n"},
            "tests/mediaset/book_test.cpp:1:",
            "text library",
        )

    def test_a_game_uses_only_the_kit_and_the_hub(self):
        self.assertFails(
            {"src/games/game02/game02Frm.cpp": '#include "games/game01/game01Frm.h"\n'},
            "src/games/game02/game02Frm.cpp:1:",
            "game02 may not include game01",
        )
        self.assertFails(
            {"src/games/kit/Deal.h": '#include "games/gameFrm.h"\n'},
            "src/games/kit/Deal.h:1:",
            "games/kit may include only games/kit",
        )
        r = self.run_on({"src/games/game02/game02Frm.cpp": '#include "games/kit/Digits.h"\n'})
        self.assertEqual(r.returncode, 0, r.stderr)

    def test_the_media_generator_uses_only_the_text_library(self):
        self.assertFails(
            {"tools/mediagen/book.cpp": '#include "core/App.h"\n'},
            "tools/mediagen/book.cpp:1:",
            "tools/mediagen may use only text",
        )

    def test_a_folder_missing_from_the_table_is_reported(self):
        self.assertFails(
            {"src/net/Socket.h": '#include "gfx/Picture.h"\n'}, "src/net/Socket.h:1:", "no layer"
        )


if __name__ == "__main__":
    unittest.main()
