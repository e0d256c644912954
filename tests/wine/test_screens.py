#!/usr/bin/env python3
"""Today's screens, with the real Tavelo.scr under Wine: a 1920x1080 desktop
(switched to 1024x768 by default and back; with "画面ﾓｰﾄﾞ= 1" kept, the
desktop shown pixel for pixel behind water that reaches both corners), and
two monitors side by side, each with water over its own desktop."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import winetest  # noqa: E402

DESKTOPS = "HKCU\\Software\\Wine\\Explorer\\Desktops"
X11 = "HKCU\\Software\\Wine\\X11 Driver"
KEEP = winetest.settings_file("[Section]", "画面ﾓｰﾄﾞ= 1")


def blocks(x, y):
    """A desktop of 128 x 128 blocks, each of its own colour."""
    bx, by = x // 128, y // 128
    return ((40 + bx * 12) % 256, (30 + by * 30) % 256, (200 - bx * 9) % 256)


def stripes(x, y):
    """One-pixel stripes: upright in the top half, lying in the bottom half."""
    return (255, 255, 255) if (x if y < 50 else y) % 2 == 0 else (0, 0, 0)


def wrong_stripes(shot):
    """The pixels of the stripes window (at 861, 151) that are not the stripes'."""
    return [(x, y) for y in range(100) for x in range(200) if shot.at(861 + x, 151 + y) != stripes(x, y)]


def blue(shot, x0, y0, width=60, height=60):
    """How much bluer than red a part is, on the mean: water."""
    px = [shot.at(x, y) for y in range(y0, y0 + height, 4) for x in range(x0, x0 + width, 4)]
    return sum(b - r for r, g, b in px) / len(px)


def changed(first, second, x0, x1, y0, y1):
    return sum(1 for y in range(y0, y1, 2) for x in range(x0, x1, 2) if first.at(x, y) != second.at(x, y))


class ScreensTest(winetest.ProgramTest):

    @classmethod
    def setUpClass(cls):
        s = cls.session
        cls.stripes = os.path.join(s.shots, "stripes.bmp")
        winetest.write_bmp(cls.stripes, 200, 100, stripes)
        cls.blocks = os.path.join(s.shots, "blocks-wide.bmp")
        winetest.write_bmp(cls.blocks, 2304, 1024, blocks)

    def end_run(self, desktop):
        self.assertEqual(0, desktop("key", "Tavelo_VC", 27)[0], f"no run to end: {desktop('wait-exit', 0)}")
        self.assertEqual((0, ["exit=0"]), desktop("wait-exit", 15000))
        self.assertEqual(["count=0"], desktop("count", "Tavelo_VC")[1])
        self.assertEqual(["count=0"], desktop("processes", "Tavelo.dll")[1])

    def test_a_1920x1080_desktop_switches_by_default_and_keeps_its_resolution_when_asked(self):
        other = winetest.OtherDesktop(self.session, "1920", "1920x1080x24", [(DESKTOPS, "Default", "REG_SZ", "1920x1080")])
        with other as desktop:
            saver = other.install("Tavelo")
            ini = os.path.join(other.drive_c, "Tavelo", "Tavelo.ini")
            if os.path.exists(ini):
                os.remove(ini)
            wide = ["current=1920x1080x32 registry=1920x1080x32"]
            self.assertEqual(wide, desktop("mode")[1])

            # By default: 1024 x 768 for the run, and back.
            self.assertEqual(0, desktop("start", saver, "/s")[0], "the saver did not start")
            code, lines = desktop("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")
            self.assertEqual(0, code)
            self.assertIn("rect=0,0,1024,768 visible=1", lines[0])
            self.assertEqual(["current=1024x768x32 registry=1920x1080x32"], desktop("mode")[1])
            self.end_run(desktop)
            self.assertEqual(wide, desktop("mode")[1])

            # Kept: the mode never changes, and the stripes show unblurred at their place.
            with open(ini, "wb") as f:
                f.write(KEEP)
            self.assertEqual(0, desktop("create-window", "Stripes", 200, 100, 861, 151, "--picture",
                                        self.session.windows_path(self.stripes))[0])
            self.assertTrue(wrong_stripes(other.screenshot_showing("wide-0", lambda s: not wrong_stripes(s))) == [],
                            "the stripes do not show")
            self.assertEqual(0, desktop("start", saver, "/s")[0], "the saver did not start")
            code, lines = desktop("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")
            self.assertEqual(0, code)
            self.assertIn("rect=0,0,1920,1080 visible=1", lines[0])
            self.assertEqual(wide, desktop("mode")[1])
            corners = lambda shot: min(blue(shot, x0, 1020) for x0 in (0, 1920 - 60))
            first = other.screenshot_showing("wide-1", lambda shot: not wrong_stripes(shot) and corners(shot) > 20)
            second = other.screenshot_showing("wide-2", lambda shot: min(
                changed(first, shot, x0, x0 + 60, 1020, 1080) for x0 in (0, 1920 - 60)) > 20)
            self.assertEqual((1920, 1080), (first.width, first.height))
            wrong = wrong_stripes(first)
            self.assertEqual([], wrong[:5], f"{len(wrong)} pixels of the stripes differ")
            # Water in both bottom corners, moving.
            for x0 in (0, 1920 - 60):
                self.assertGreater(blue(first, x0, 1020), 20, f"no water at x={x0}")
                self.assertGreater(changed(first, second, x0, x0 + 60, 1020, 1080), 20, f"still at x={x0}")
            self.end_run(desktop)
            desktop("destroy-window", "Stripes")
            self.assertEqual(wide, desktop("mode")[1])

            # Another program changes the mode during a kept run: the windows no
            # longer fit, and the run ends as Escape would.
            self.assertEqual(0, desktop("start", saver, "/s")[0], "the saver did not start")
            self.assertEqual(0, desktop("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0], "no water window")
            try:
                self.assertEqual(0, desktop("setmode", 1280, 1024, 32)[0])
                self.assertEqual((0, ["exit=0"]), desktop("wait-exit", 15000), "the run outlived the change")
                self.assertEqual(["count=0"], desktop("count", "Tavelo_VC")[1])
                self.assertEqual(["count=0"], desktop("processes", "Tavelo.dll")[1])
            finally:
                desktop("setmode", 1920, 1080, 32)
            self.assertEqual(wide, desktop("mode")[1])

    def test_two_monitors_each_show_water_over_their_own_desktop(self):
        # A display that cannot change modes: the run keeps it, as the mend says.
        monitors = winetest.Monitors(("1280x1024", "1024x768"))
        other = winetest.OtherDesktop(self.session, "two", monitors, [(X11, "UseXRandR", "REG_SZ", "N")], bare=True)
        with other as desktop:
            saver = other.install("Tavelo")
            self.assertEqual(0, desktop("create-window", "Wallpaper", 2304, 1024, 0, 0, "--picture",
                                        self.session.windows_path(self.blocks))[0])
            # A user's always-on-top window (another process's) where the second monitor's water goes.
            on_top = (1280 + 400, 600, 200, 100)
            self.assertEqual(0, desktop("create-window", "OnTop", on_top[2], on_top[3], on_top[0], on_top[1],
                                        "--topmost")[0])
            grey = (128, 128, 128)
            def grey_share(shot):
                px = [shot.at(x, y) for y in range(on_top[1], on_top[1] + on_top[3], 4)
                      for x in range(on_top[0], on_top[0] + on_top[2], 4)]
                return sum(1 for p in px if p == grey) / len(px)
            desk = lambda shot: winetest.near(blocks(200, 100), shot.at(200, 100), 2) and grey_share(shot) == 1.0
            self.assertTrue(desk(other.screenshot_showing("two-screens-0", desk)), "the desktop does not show")
            self.assertEqual(0, desktop("start", saver, "/s")[0], "the saver did not start")
            self.assertEqual(0, desktop("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0], "no water window")
            self.assertTrue(winetest.wait_until(lambda: desktop("count", "Tavelo_VC")[1][0] == "count=2"))
            code, lines = desktop("count", "Tavelo_VC")
            self.assertEqual({"rect=0,0,1280,1024", "rect=1280,0,2304,768"},
                             {line.split(" visible")[0].split(" ")[-1] for line in lines[1:]})
            # Topmost, as the system's own savers: above the taskbars of the other
            # monitors and the user's always-on-top windows.
            self.assertTrue(all(line.endswith("topmost=1") for line in lines[1:]), lines)
            self.assertEqual(0, desktop("above", "Tavelo_VC", "OnTop")[0], "the water is not above OnTop")
            self.assertEqual(["current=1280x1024x32 registry=1280x1024x32"], desktop("mode")[1])
            # The copy is the whole virtual screen.
            width, height, rows = winetest.read_bmp(os.path.join(other.drive_c, "Vey1.bmp"))
            self.assertEqual((2304, 1024), (width, height))
            places = ((200, 100), (1100, 300), (1280 + 100, 100), (1280 + 900, 250))
            first = other.screenshot_showing("two-screens-1", lambda shot: all(
                winetest.near(blocks(x, y), shot.at(x, y), 2) for x, y in places) and grey_share(shot) < 0.1)
            second = other.screenshot_showing("two-screens-2", lambda shot: min(
                changed(first, shot, x0, x1, y0, y1) for x0, x1, y0, y1 in ((0, 1280, 750, 1024),
                                                                          (1280, 2304, 560, 768))) > 2000)
            # Each monitor: its own part of the desktop above, at its place...
            for x, y in places:
                self.assertTrue(winetest.near(blocks(x, y), first.at(x, y), 2), (x, y, first.at(x, y)))
            # ...and moving water below.
            for x0, x1, y0, y1 in ((0, 1280, 750, 1024), (1280, 2304, 560, 768)):
                water = {first.at(x, y) for y in range(y0, y1, 8) for x in range(x0, x1, 8)}
                self.assertGreater(len(water), 200, f"no water from x={x0}")
                self.assertGreater(changed(first, second, x0, x1, y0, y1), 2000, f"still from x={x0}")
            self.assertLess(grey_share(first), 0.1, "OnTop shows through the water")
            self.end_run(desktop)
            self.assertFalse(os.path.exists(os.path.join(other.drive_c, "Vey1.bmp")), "the screen copy stayed")
            # OnTop back as it was, still always on top.
            line = desktop("find", "*", "OnTop", 0)[1][0]
            self.assertTrue("visible=1" in line and line.endswith("topmost=1"), line)
            self.assertTrue(winetest.wait_until(lambda: grey_share(other.screenshot("two-screens-after")) == 1.0),
                            "OnTop did not come back")
            desktop("destroy-window", "OnTop")
            desktop("destroy-window", "Wallpaper")

    def test_a_monitor_left_of_the_primary_shows_its_own_part_of_the_desktop(self):
        # The second head made the primary: the first lies left of it, at
        # negative x, and the screen copy starts at the virtual screen's corner.
        monitors = winetest.Monitors(("1280x1024", "1024x768"))
        registry = [(X11, "UseXRandR", "REG_SZ", "N"), (X11, "PrimaryMonitor", "REG_SZ", "1")]
        other = winetest.OtherDesktop(self.session, "left", monitors, registry, bare=True)
        with other as desktop:
            saver = other.install("Tavelo")
            self.assertEqual(0, desktop("create-window", "Wallpaper", 2304, 1024, -1280, 0, "--picture",
                                        self.session.windows_path(self.blocks))[0])
            places = ((200, 100), (1100, 300), (1280 + 100, 100), (1280 + 900, 250))  # on the X screen
            shows = lambda shot: all(winetest.near(blocks(x, y), shot.at(x, y), 2) for x, y in places)
            self.assertTrue(shows(other.screenshot_showing("left-0", shows)), "the desktop does not show")
            self.assertEqual(0, desktop("start", saver, "/s")[0], "the saver did not start")
            self.assertTrue(winetest.wait_until(lambda: desktop("count", "Tavelo_VC")[1][0] == "count=2"))
            lines = desktop("count", "Tavelo_VC")[1]
            self.assertEqual({"rect=-1280,0,0,1024", "rect=0,0,1024,768"},
                             {line.split(" visible")[0].split(" ")[-1] for line in lines[1:]})
            # Each monitor's own part behind its water, once both draw.
            water = lambda shot: all(len({shot.at(x, y) for y in range(y0, y0 + 60, 4) for x in range(x0, x0 + 200, 4)})
                                     > 100 for x0, y0 in ((500, 940), (1280 + 400, 690)))
            shot = other.screenshot_showing("left-1", lambda shot: shows(shot) and water(shot))
            for x, y in places:
                self.assertTrue(winetest.near(blocks(x, y), shot.at(x, y), 2), (x, y, shot.at(x, y)))
            self.assertTrue(water(shot), "no water on both monitors")
            self.end_run(desktop)
            desktop("destroy-window", "Wallpaper")


if __name__ == "__main__":
    sys.exit(winetest.main([ScreensTest]))
