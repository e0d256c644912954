#!/usr/bin/env python3
"""tavelo under the real xscreensaver daemon on Xvfb, as a Linux user meets
it: activated, it shows the known desktop above moving water; deactivated,
it ends within a second and leaves nothing running."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import linuxtest  # noqa: E402
import winetest  # noqa: E402


def blocks(x, y):
    bx, by = x // 128, y // 128
    return (40 + bx * 26, 30 + by * 40, 200 - bx * 12 - by * 10)


class XScreenSaverTest(unittest.TestCase):
    build = None

    @classmethod
    def setUpClass(cls):
        if os.geteuid() != 0:
            raise unittest.SkipTest("makes a user of its own for xscreensaver: needs root")
        cls.shots = os.path.join(cls.build, "test-shots")
        os.makedirs(cls.shots, exist_ok=True)
        picture = os.path.join(cls.shots, "blocks.bmp")
        winetest.write_bmp(picture, 1024, 768, blocks)
        cls.session = linuxtest.XScreenSaverSession(os.path.join(cls.build, "bin", "tavelo"), picture)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def test_the_desktop_above_moving_water_and_an_end_on_deactivate(self):
        s = self.session
        self.assertTrue(s.activate(), "xscreensaver did not start tavelo")
        places = ((60, 40), (300, 150), (700, 250), (1000, 300))

        def water(shot):
            return {shot.at(x, y) for y in range(450, 768, 12) for x in range(0, 1024, 12)}

        first = s.screenshot_showing(
            os.path.join(self.shots, "xscreensaver-1.png"),
            lambda shot: len(water(shot)) > 200 and all(winetest.near(blocks(x, y), shot.at(x, y), 2)
                                                        for x, y in places))
        # The known picture, pixel for pixel, above the horizon.
        for x, y in places:
            self.assertTrue(winetest.near(blocks(x, y), first.at(x, y), 2), (x, y, first.at(x, y)))
        self.assertGreater(len(water(first)), 200, "no water")
        time.sleep(1)
        second = s.screenshot(os.path.join(self.shots, "xscreensaver-2.png"))
        changed = sum(1 for y in range(450, 768, 4) for x in range(0, 1024, 4) if first.at(x, y) != second.at(x, y))
        self.assertGreater(changed, 2000, "the water does not move")
        # Deactivated: xscreensaver sends SIGTERM; tavelo ends within a second.
        s.deactivate()
        started = time.monotonic()
        while s.tavelo_processes():
            self.assertLess(time.monotonic() - started, 1.0, "tavelo did not end within a second")
            time.sleep(0.05)
        time.sleep(0.5)
        self.assertEqual([], s.tavelo_processes())


if __name__ == "__main__":
    linuxtest.main(XScreenSaverTest)
