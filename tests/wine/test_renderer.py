#!/usr/bin/env python3
"""The renderer, Tavelo.dll, run for real under Wine inside the 1024x768
virtual desktop: its window, what it shows on the X display, how it ends,
the display mode it leaves behind, its message for a missing picture, and
where the display mode cannot be switched, water in the display's own."""
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import winetest  # noqa: E402

RED, GREEN, CYAN, MAGENTA, YELLOW = (255, 0, 0), (0, 255, 0), (0, 255, 255), (255, 0, 255), (255, 255, 0)


def bands(x, y):
    """The backdrop: top third red | green, middle third cyan | magenta, bottom yellow."""
    if y < 256:
        return RED if x < 512 else GREEN
    if y < 512:
        return CYAN if x < 512 else MAGENTA
    return YELLOW


class RendererTest(winetest.ProgramTest):

    @classmethod
    def setUpClass(cls):
        s = cls.session
        cls.renderer = s.windows_path(os.path.join(s.bin, "Tavelo.dll"))
        cls.backdrop = os.path.join(s.shots, "bands.bmp")
        winetest.write_bmp(cls.backdrop, 1024, 768, bands)
        cls.sunlight = os.path.join(s.build, "assets", "sunlight.bmp")

    def setUp(self):
        self.session.place(self.backdrop, "Vey1.bmp")
        self.session.place(self.sunlight, "Vey2.bmp")
        super().setUp()

    def start_renderer(self):
        code, _ = self.driver("start", self.renderer)
        self.assertEqual(0, code, "the renderer could not be started")
        code, lines = self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")
        self.assertEqual(0, code, "no visible Tavelo_VC window of class PCUWindowClass")
        return lines[0]

    def test_window_covers_the_screen_shows_picture_and_water_and_closes(self):
        # A stored display mode other than 1024x768 shows that the renderer
        # switches the mode and puts the stored one back.
        self.assertEqual(0, self.driver("setmode", 800, 600, 32, "--registry")[0])
        try:
            window = self.start_renderer()
            self.assertIn("class=PCUWindowClass caption=Tavelo_VC rect=0,0,1024,768 visible=1", window)
            self.assertEqual(["current=1024x768x32 registry=800x600x32"], self.driver("mode")[1])

            time.sleep(3)
            first = self.session.screenshot("renderer-1")
            time.sleep(1)
            second = self.session.screenshot("renderer-2")
            self.assertEqual((1024, 768), (first.width, first.height))
            # The backdrop, upright, above the water.
            self.assertTrue(winetest.near(RED, first.at(200, 128)), first.at(200, 128))
            self.assertTrue(winetest.near(GREEN, first.at(800, 128)), first.at(800, 128))
            self.assertTrue(winetest.near(CYAN, first.at(200, 300)), first.at(200, 300))
            self.assertTrue(winetest.near(MAGENTA, first.at(800, 300)), first.at(800, 300))
            # The water: lit blue-cyan with the pattern and the red-tinted
            # reflection, changing from one moment to the next; the backdrop stays.
            water = [first.at(x, y) for y in range(420, 768, 12) for x in range(0, 1024, 12)]
            mean_blue = sum(b for r, g, b in water) / len(water)
            self.assertGreater(mean_blue, 100, "the water is not lit blue-cyan")
            # Near the viewer the flipped reflection shows the picture's top
            # half: red on the left, green on the right.
            def mean(x0, x1):
                px = [first.at(x, y) for y in range(620, 768, 8) for x in range(x0, x1, 8)]
                return [sum(p[i] for p in px) / len(px) for i in range(3)]
            left, right = mean(0, 380), mean(644, 1024)
            self.assertGreater(left[0], left[1] + 15, left)
            self.assertGreater(right[1], right[0] + 40, right)
            self.assertGreater(len(set(water)), 200, "the water has no pattern")
            self.assertEqual(first.rows(0, 320), second.rows(0, 320))
            changed = sum(1 for a, b in zip(first.rows(420, 768), second.rows(420, 768)) if a != b)
            self.assertGreater(changed, 10000, "the water does not move")

            self.assertEqual(0, self.driver("close", "Tavelo_VC")[0])
            code, lines = self.driver("wait-exit", 15000)
            self.assertEqual((0, ["exit=0"]), (code, lines))
            self.assertEqual(1, self.driver("find", "*", "Tavelo_VC", 0)[0])
            self.assertEqual(["current=800x600x32 registry=800x600x32"], self.driver("mode")[1])
        finally:
            self.driver("setmode", 1024, 768, 32, "--registry")

    def test_escape_ends_the_renderer(self):
        self.start_renderer()
        time.sleep(3)  # drawing by now
        self.session.key("Escape")
        code, lines = self.driver("wait-exit", 15000)
        self.assertEqual((0, ["exit=0"]), (code, lines))
        self.assertEqual(0, self.driver("gone", "Tavelo_VC", 1000)[0])

    def test_started_by_hand_with_handle_numbers_of_its_own_it_runs_unguarded(self):
        # Anyone may start it so: the numbers name none of the saver's gifts,
        # so nothing of its own is waited on or closed.
        cases = (("4", "8"), ("12", "16"), ("0", "-4"), ("99999999999999999999999", "18446744073709551616"))
        own = ("4", "8", "12", "16")
        for saver, job in cases:
            self.assertEqual(0, self.driver("start", self.renderer, "/saver", saver, "/job", job)[0])
            self.assertEqual(0, self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
            held = lambda: [self.driver("holds", "Tavelo.dll", value)[1] for value in own]
            before = held()
            first = self.session.screenshot("renderer-by-hand-1")
            self.assertTrue(winetest.wait_until(lambda: self.water_moved(first, self.session.screenshot(
                "renderer-by-hand-2"))), "no moving water")
            # Taken for the saver, a signalled object of its own ended the run 1.5 s later.
            time.sleep(2)
            self.assertEqual(1, self.driver("wait-exit", 0)[0], f"/saver {saver} /job {job}: it ended by itself")
            self.assertEqual(before, held(), "it closed a handle of its own")
            self.session.key("Escape")
            self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 15000), f"/saver {saver} /job {job}")

    @staticmethod
    def water_moved(first, second):
        return sum(1 for a, b in zip(first.rows(420, 768), second.rows(420, 768)) if a != b) > 10000

    def test_missing_backdrop_is_reported_and_the_renderer_goes_on(self):
        self.session.remove("Vey1.bmp")
        self.assertEqual(0, self.driver("start", self.renderer)[0])
        # Two loads of C:\Vey1.bmp (backdrop and reflection): two boxes, one after the other.
        for _ in range(2):
            code, lines = self.driver("messagebox", "Error", 30000, "--dismiss")
            self.assertEqual(0, code, "no Error box")
            self.assertEqual("Failed to open DIB file C:\\Vey1.bmp.\n", "\n".join(lines))
            time.sleep(0.5)
        self.assertEqual(0, self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
        time.sleep(2)
        self.assertEqual(1, self.driver("messagebox", "Error", 0)[0], "a third box")
        shot = self.session.screenshot("renderer-missing-backdrop")
        for x, y in ((100, 50), (512, 200), (900, 300)):
            self.assertTrue(winetest.near((255, 255, 255), shot.at(x, y), 2), (x, y, shot.at(x, y)))
        self.assertEqual(0, self.driver("close", "Tavelo_VC")[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 15000))

    def test_a_display_that_refuses_the_mode_shows_water_in_its_own(self):
        # Without a virtual desktop, on a bare 800x600 X screen, Wine cannot
        # switch to 1024x768: the renderer runs in the display's own mode (and
        # leaves it as it was) rather than ending with nothing shown.
        screen = winetest.Xvfb("800x600x24")
        prefix = self.session.prefix + "-bare"
        winetest.stop_wineserver(prefix)  # none left from another display
        bare = winetest.Driver(self.session, bare=True, display=screen.display)
        try:
            self.assertEqual(["current=800x600x32 registry=800x600x32"], bare("mode")[1])
            for name, source in (("Vey1.bmp", self.backdrop), ("Vey2.bmp", self.sunlight)):
                shutil.copyfile(source, os.path.join(prefix, "drive_c", name))
            self.assertEqual(0, bare("start", self.renderer)[0])
            code, lines = bare("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")
            self.assertEqual(0, code, "no window")
            self.assertIn("rect=0,0,800,600 visible=1", lines[0])
            self.assertEqual(["current=800x600x32 registry=800x600x32"], bare("mode")[1])
            time.sleep(3)
            shot = self.session.screenshot("renderer-own-mode", display=screen.display)
            # The picture (not of this screen's size) fitted above, water below.
            self.assertTrue(winetest.near(RED, shot.at(150, 90)), shot.at(150, 90))
            self.assertTrue(winetest.near(GREEN, shot.at(650, 90)), shot.at(650, 90))
            water = [shot.at(x, y) for y in range(400, 600, 10) for x in range(0, 800, 10)]
            self.assertGreater(sum(b for r, g, b in water) / len(water), 100, "no water")
            self.assertEqual(0, bare("close", "Tavelo_VC")[0])
            self.assertEqual((0, ["exit=0"]), bare("wait-exit", 15000))
            self.assertEqual(["current=800x600x32 registry=800x600x32"], bare("mode")[1])
        finally:
            bare.close()
            screen.close(prefix)


if __name__ == "__main__":
    sys.exit(winetest.main([RendererTest]))
