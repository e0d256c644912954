#!/usr/bin/env python3
"""Tavelo.scr's start-up, run for real under Wine: the single-instance rule,
the missing-renderer message (read back from the box, in Japanese), and the
command lines that end silently."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import winetest  # noqa: E402

TITLE = "Tavelo (ScreenSaver)"
MISSING = "Tavelo.dll が同じﾌｫﾙﾀﾞに見つかりません！"


class StartupTest(winetest.ProgramTest):

    @classmethod
    def setUpClass(cls):
        s = cls.session
        cls.saver = s.windows_path(os.path.join(s.bin, "Tavelo.scr"))
        # A copy of the saver alone in a folder with blanks and Japanese, without the renderer.
        cls.lonely = s.install("Tavelo ひとり", ("Tavelo.scr",))

    def clean_up(self):
        for caption in ("Vey_Main", "<Tavelo>", "Host"):
            self.driver("destroy-window", caption)

    def run_saver(self, program, *args, timeout=15000):
        self.assertEqual(0, self.driver("start", program, *args)[0])
        code, lines = self.driver("wait-exit", timeout)
        self.assertEqual(0, code, f"{program} {args} did not end")
        return lines

    def no_box(self):
        self.assertEqual(1, self.driver("messagebox", TITLE, 0)[0], "a message box is up")

    def test_another_run_or_dialog_ends_every_start_at_once(self):
        for caption in ("Vey_Main", "<Tavelo>"):
            self.assertEqual(0, self.driver("create-window", caption)[0])
            for args in (["/s"], ["/p", "1"], ["/c"], []):
                # Even without the renderer beside it: no message, the rule comes first.
                self.assertEqual(["exit=0"], self.run_saver(self.lonely, *args, timeout=10000), (caption, args))
                self.no_box()
                self.assertEqual(["exit=0"], self.run_saver(self.saver, *args, timeout=10000), (caption, args))
                self.no_box()
            self.assertEqual(0, self.driver("destroy-window", caption)[0])

    def test_missing_renderer_is_reported_and_the_program_ends_when_dismissed(self):
        for args in (["/s"], ["/c"], ["/S"], [], ["/x"]):
            self.assertEqual(0, self.driver("start", self.lonely, *args)[0])
            code, lines = self.driver("messagebox", TITLE, 15000)
            self.assertEqual(0, code, f"no message for {args}")
            self.assertEqual([MISSING], lines)
            self.assertEqual(1, self.driver("wait-exit", 300)[0], "ended before the box was dismissed")
            self.assertEqual(0, self.driver("messagebox", TITLE, 1000, "--dismiss")[0])
            self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 10000))

    def test_preview_needs_no_renderer(self):
        # Without the renderer beside it, a preview still shows, without the message.
        code, lines = self.driver("create-window", "Host", 152, 112)
        self.assertEqual(0, code)
        self.assertEqual(0, self.driver("start", self.lonely, "/p", lines[0].split("=")[1])[0])
        self.assertEqual(1, self.driver("wait-exit", 1500)[0], "the preview ended")
        self.no_box()
        code, lines = self.driver("children", "Host")
        self.assertTrue(any("caption=Preview Window" in line for line in lines), lines)
        self.assertEqual(0, self.driver("destroy-window", "Host")[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 5000))
        # A host number that names no window: the program ends at once.
        self.assertEqual(["exit=0"], self.run_saver(self.lonely, "/p", "1"))
        self.no_box()

    def test_other_command_lines_end_silently(self):
        for args in (["S"], ["/x"], ["/a"], ["-a"]):
            self.assertEqual(["exit=0"], self.run_saver(self.saver, *args))
            self.no_box()
            self.assertEqual(1, self.driver("find", "*", "Tavelo_VC", 0)[0])


if __name__ == "__main__":
    sys.exit(winetest.main([StartupTest]))
