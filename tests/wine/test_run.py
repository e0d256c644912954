#!/usr/bin/env python3
"""Tavelo.scr as Windows runs it, under Wine: a full-screen run from the
screen copy to the end after Escape, the run's failure cases, and the
preview inside a host window of another process. The run is checked in
real screenshots; the preview's pixels in test_saver_run, in a host of its own."""
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import winetest  # noqa: E402

def block_colour(x, y):
    """The known desktop picture: 128 x 128 blocks, each of its own colour."""
    bx, by = x // 128, y // 128
    return (40 + bx * 26, 30 + by * 40, 200 - bx * 12 - by * 10)


class RunTest(winetest.ProgramTest):

    @classmethod
    def setUpClass(cls):
        s = cls.session
        # Installed in a folder with blanks and Japanese characters.
        cls.saver = s.install("Program Files\\Tavelo 水")
        # A renderer file that is no program.
        cls.broken = s.install("Tavelo broken", ("Tavelo.scr",))
        with open(os.path.join(s.drive_c, "Tavelo broken", "Tavelo.dll"), "w") as f:
            f.write("not a program\n")
        # A renderer that hangs before its window appears.
        cls.hung = s.install("Tavelo hung", ("Tavelo.scr",))
        shutil.copyfile(os.path.join(s.bin, "tavelo_sleeper.exe"), os.path.join(s.drive_c, "Tavelo hung", "Tavelo.dll"))
        cls.wallpaper = os.path.join(s.shots, "blocks.bmp")
        winetest.write_bmp(cls.wallpaper, 1024, 768, block_colour)
        cls.sunlight = winetest.read_bmp(os.path.join(s.build, "assets", "sunlight.bmp"))

    def clean_up(self):
        for caption in ("Wallpaper", "Host"):
            self.driver("destroy-window", caption)

    def show_wallpaper(self):
        """The known desktop picture, on the screen before the saver copies it."""
        self.assertEqual(0, self.driver("create-window", "Wallpaper", 1024, 768, 0, 0, "--picture",
                                        self.session.windows_path(self.wallpaper))[0])
        shot = self.session.screenshot_showing("wallpaper", lambda shot: winetest.near(
            block_colour(700, 500), shot.at(700, 500), 2))
        self.assertTrue(winetest.near(block_colour(700, 500), shot.at(700, 500), 2), "the wallpaper does not show")

    @staticmethod
    def water(shot, top=450):
        return {shot.at(x, y) for y in range(top, shot.height, 16) for x in range(0, shot.width, 16)}

    @staticmethod
    def changed(first, second, top=450):
        return sum(1 for a, b in zip(first.rows(top, first.height), second.rows(top, second.height)) if a != b)

    def count(self, caption):
        code, lines = self.driver("count", caption)
        return int(lines[0].split("=")[1])

    def test_full_run_from_the_screen_copy_to_the_end_after_escape(self):
        s = self.session
        for name in ("Vey1.bmp", "Vey2.bmp"):
            s.remove(name)
        self.show_wallpaper()
        self.assertEqual(0, self.driver("start", self.saver, "/s")[0])
        code, lines = self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")
        self.assertEqual(0, code, "the renderer's window did not appear")
        code, lines = self.driver("find", "*", "Vey_Main", 0)
        self.assertEqual(0, code)
        self.assertIn("visible=0", lines[0])

        # The pictures on disk: the screen as it was, and the light pattern.
        width, height, rows = winetest.read_bmp(os.path.join(s.drive_c, "Vey1.bmp"))
        self.assertEqual((1024, 768), (width, height))
        for x, y in ((5, 5), (300, 200), (700, 500), (1000, 700), (130, 640)):
            self.assertTrue(winetest.near(block_colour(x, y), rows[y][3 * x:3 * x + 3], 2), (x, y, rows[y][3 * x:3 * x + 3]))
        self.assertEqual(self.sunlight, winetest.read_bmp(os.path.join(s.drive_c, "Vey2.bmp")))
        self.assertEqual(1, self.driver("messagebox", "Error", 0)[0], "the renderer could not read them")

        # The screen: the desktop above, moving water below.
        first = s.screenshot_showing("run-1", lambda shot: len(self.water(shot)) > 200)
        second = s.screenshot_showing("run-2", lambda shot: self.changed(first, shot) > 10000)
        self.assertTrue(winetest.near(block_colour(200, 100), first.at(200, 100), 60), first.at(200, 100))
        self.assertGreater(len(self.water(first)), 200, "no water")
        self.assertGreater(self.changed(first, second), 10000, "the water does not move")

        # A second start during the run ends at once and starts nothing.
        second_start = s.run(s.windows_path(os.path.join(s.bin, "Tavelo.scr")), "/s", timeout=60)
        self.assertEqual(0, second_start.returncode)
        self.assertEqual(1, self.count("Vey_Main"))
        self.assertEqual(1, self.count("Tavelo_VC"))

        # Escape ends the renderer; the saver follows within a second. (The
        # key goes in through Windows' own input queue: Wine leaves the X
        # keyboard focus with the window that had it, the wallpaper.)
        self.assertEqual(["current=1024x768x32 registry=1024x768x32"], self.driver("mode")[1])
        self.assertEqual(0, self.driver("key", "Tavelo_VC", 27)[0])
        self.assertEqual(0, self.driver("gone", "Tavelo_VC", 15000)[0], "the renderer did not end")
        # (Its watch looks every 500 ms; the margin is for a slow machine.)
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 3000))
        self.assertEqual(0, self.count("Vey_Main"))
        self.assertEqual(["current=1024x768x32 registry=1024x768x32"], self.driver("mode")[1])
        # The screen copy does not stay on disk; the pattern does.
        self.assertFalse(os.path.exists(os.path.join(s.drive_c, "Vey1.bmp")))
        self.assertTrue(os.path.exists(os.path.join(s.drive_c, "Vey2.bmp")))

    def test_where_the_root_of_c_cannot_be_written_the_pictures_go_to_the_temporary_folder(self):
        # "C:\Vey1.bmp" is a folder: it cannot be written, and an old picture
        # must not be shown. The renderer gets the live desktop all the same,
        # from a temporary folder whose path has blanks and Japanese in it
        # and where a crashed run left its "Tavelo" folder and an old picture.
        s = self.session
        s.remove("Vey1.bmp")
        folder = os.path.join(s.drive_c, "Vey1.bmp")
        os.makedirs(folder, exist_ok=True)
        temp = os.path.join(s.drive_c, "一時 フォルダ", "Tavelo")
        os.makedirs(temp, exist_ok=True)
        winetest.write_bmp(os.path.join(temp, "Vey1.bmp"), 1024, 768, lambda x, y: (255, 255, 255))
        for name in ("TMP", "TEMP"):
            self.assertEqual(0, self.driver("setenv", name, "C:\\一時 フォルダ")[0])
        try:
            self.show_wallpaper()
            self.assertEqual(0, self.driver("start", self.saver, "/s")[0])
            self.assertEqual(0, self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
            self.assertEqual(2, len([p for p in os.listdir(temp) if p.startswith("Vey")]),
                             "the pictures are not in the temporary folder")
            self.assertEqual(1, self.driver("messagebox", "Error", 0)[0], "the renderer could not read them")
            places = ((200, 100), (600, 60), (900, 200))
            shot = s.screenshot_showing("run-fallback", lambda shot: all(
                winetest.near(block_colour(x, y), shot.at(x, y), 60) for x, y in places))
            for x, y in ((200, 100), (600, 60), (900, 200)):
                self.assertTrue(winetest.near(block_colour(x, y), shot.at(x, y), 60), (x, y, shot.at(x, y)))
            self.assertEqual(0, self.driver("key", "Tavelo_VC", 27)[0])
            self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 15000))
            self.assertFalse(os.path.exists(temp), "the temporary folder stayed")
            self.assertTrue(os.path.isdir(folder))
        finally:
            os.rmdir(folder)
            shutil.rmtree(os.path.join(s.drive_c, "一時 フォルダ"), ignore_errors=True)

    def test_a_renderer_that_hangs_before_its_window_is_given_up(self):
        started = time.monotonic()
        self.assertEqual(0, self.driver("start", self.hung, "/s")[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 30000))
        elapsed = time.monotonic() - started
        print(f"hung renderer: the run ended after {elapsed:.1f} s")
        self.assertGreater(elapsed, 9.5)  # it had its 10 s (the rest is a slow machine's margin)
        self.assertEqual(["count=0"], self.driver("processes", "Tavelo.dll")[1])
        self.assertEqual(0, self.count("Vey_Main"))
        self.assertEqual(["current=1024x768x32 registry=1024x768x32"], self.driver("mode")[1])
        # The next start runs normally.
        self.assertEqual(0, self.driver("start", self.saver, "/s")[0])
        self.assertEqual(0, self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
        self.assertEqual(0, self.driver("key", "Tavelo_VC", 27)[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 15000))

    def test_a_killed_renderer_ends_the_run_and_the_mode_comes_back(self):
        # A 1280x1024 desktop of its own (prefix and X screen), so that the
        # renderer's 1024x768 is a real change.
        s = self.session
        desktops = "HKCU\\Software\\Wine\\Explorer\\Desktops"
        with winetest.OtherDesktop(s, "1280", "1280x1024x24", [(desktops, "Default", "REG_SZ", "1280x1024")]) as big:
            self.assertEqual(["current=1280x1024x32 registry=1280x1024x32"], big("mode")[1])
            saver = s.windows_path(os.path.join(s.bin, "Tavelo.scr"))
            self.assertEqual(0, big("start", saver, "/s")[0])
            self.assertEqual(0, big("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
            self.assertEqual(["current=1024x768x32 registry=1280x1024x32"], big("mode")[1])
            # Killed from outside, as a crash or the task manager would end it.
            killed = time.monotonic()
            self.assertEqual(0, big("kill-owner", "Tavelo_VC")[0])
            self.assertEqual((0, ["exit=0"]), big("wait-exit", 3000))
            self.assertTrue(winetest.wait_until(
                lambda: big("mode")[1] == ["current=1280x1024x32 registry=1280x1024x32"], limit=2.0),
                "the display mode was not put back")
            print(f"killed renderer: the mode was back after {time.monotonic() - killed:.1f} s")

    def test_the_program_carries_a_valid_manifest_declaring_dpi_awareness(self):
        # Without it a scaled display would give a screen copy of only its
        # top-left part; a malformed one would keep Windows from starting it.
        import xml.etree.ElementTree as ElementTree
        with open(os.path.join(self.session.bin, "Tavelo.scr"), "rb") as f:
            data = f.read()
        start = data.find(b"<?xml")
        end = data.find(b"</assembly>", start)
        self.assertTrue(start >= 0 and end > start, "no manifest")
        root = ElementTree.fromstring(data[start:end + len(b"</assembly>")])
        awareness = [e.text for e in root.iter() if e.tag.endswith("}dpiAwareness")]
        aware = [e.text for e in root.iter() if e.tag.endswith("}dpiAware")]
        self.assertEqual(["PerMonitorV2, PerMonitor"], awareness)
        self.assertEqual(["true/pm"], aware)

    def test_an_empty_command_line_runs_the_saver_too(self):
        self.assertEqual(0, self.driver("start", self.saver)[0])
        self.assertEqual(0, self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
        self.assertEqual(0, self.driver("find", "*", "Vey_Main", 0)[0])
        self.assertEqual(0, self.driver("key", "Tavelo_VC", 27)[0])
        self.assertEqual(0, self.driver("gone", "Tavelo_VC", 15000)[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 3000))

    def test_a_renderer_that_cannot_start_ends_the_run(self):
        self.assertEqual(0, self.driver("start", self.broken, "/s")[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 10000))
        self.assertEqual(0, self.count("Vey_Main"))
        self.assertEqual(1, self.driver("messagebox", "Tavelo (ScreenSaver)", 0)[0], "a message was shown")

    def test_where_the_display_refuses_the_mode_the_run_shows_water_in_its_own(self):
        # On a bare 800x600 X screen (no virtual desktop) the switch to
        # 1024x768 is refused: the run goes on in the display's own mode.
        screen = winetest.Xvfb("800x600x24")
        prefix = self.session.prefix + "-bare"
        winetest.stop_wineserver(prefix)
        bare = winetest.Driver(self.session, bare=True, display=screen.display)
        try:
            saver = self.session.windows_path(os.path.join(self.session.bin, "Tavelo.scr"))
            self.assertEqual(0, bare("start", saver, "/s")[0])
            code, lines = bare("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")
            self.assertEqual(0, code, "the run showed nothing")
            self.assertIn("rect=0,0,800,600 visible=1", lines[0])
            shot = self.session.screenshot_showing("run-own-mode", lambda shot: len(self.water(shot, 400)) > 200,
                                                   display=screen.display)
            self.assertGreater(len(self.water(shot, 400)), 200, "no water")
            self.assertEqual(0, bare("key", "Tavelo_VC", 27)[0])
            self.assertEqual((0, ["exit=0"]), bare("wait-exit", 15000))
            self.assertEqual(1, bare("find", "*", "Tavelo_VC", 0)[0])
            self.assertEqual(["current=800x600x32 registry=800x600x32"], bare("mode")[1])
        finally:
            bare.close()
            winetest.stop_wineserver(prefix)
            screen.close()

    def start_preview(self, width, height):
        code, lines = self.driver("create-window", "Host", width, height, 100, 100)
        self.assertEqual(0, code)
        host = lines[0].split("=")[1]
        self.assertEqual(0, self.driver("start", self.saver, "/p", host)[0])
        # Its form in the host: then it runs, and has not ended by itself.
        self.assertTrue(winetest.wait_until(lambda: any("caption=Preview Window" in line for line in self.driver(
            "children", "Host")[1])), "no preview in the host")
        self.assertEqual(1, self.driver("wait-exit", 100)[0], "the preview ended by itself")
        return host

    def assert_preview_inside(self, width, height):
        # Wine draws no child window of another process, so what the preview
        # shows is checked in the forms tests, in a host of their own; here,
        # that the program puts its form into the host, at the host's size.
        code, lines = self.driver("children", "Host")
        self.assertEqual(0, code)
        rect = f"rect=100,100,{100 + width},{100 + height} visible=1"
        self.assertTrue(any("class=TaveloForm caption=Preview Window " + rect in line for line in lines), lines)
        self.assertTrue(any("class=TaveloControl caption= " + rect in line for line in lines), lines)
        self.session.screenshot(f"preview-{width}x{height}")

    def test_preview_fills_a_host_of_its_size_and_ends_with_it(self):
        self.start_preview(152, 112)
        self.assert_preview_inside(152, 112)
        self.assertEqual(0, self.driver("destroy-window", "Host")[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 5000))

    def test_preview_in_a_larger_host_takes_its_size_and_ends_with_it(self):
        self.start_preview(300, 200)
        self.assert_preview_inside(300, 200)
        self.assertEqual(0, self.driver("destroy-window", "Host")[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 5000))

    def test_preview_without_a_host_window_ends(self):
        for args in (["/p", "0"], ["/p", "123456"], ["/p"]):
            self.assertEqual(0, self.driver("start", self.saver, *args)[0])
            self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 5000), args)


if __name__ == "__main__":
    sys.exit(winetest.main([RunTest]))
