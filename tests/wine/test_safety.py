#!/usr/bin/env python3
"""Nothing planted gets in, nothing private stays behind, with the real
programs under Wine: libraries planted beside the programs are never loaded;
a killed saver takes its renderer and its screen copy with it and the display
mode comes back; a preview whose host's process dies ends; a music path too
long for the settings file is stored by its short name and read back."""
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import winetest  # noqa: E402

# What the programs import, what MP3 playback loads later by name, what the file dialog loads.
PLANTED = ("glu32.dll", "opengl32.dll", "winmm.dll", "msimg32.dll", "mciqtz32.dll", "quartz.dll", "msacm32.dll",
           "dsound.dll", "comctl32.dll")
# One second of MPEG-1 layer III frames (128 kbit/s, 44.1 kHz), silent.
MP3 = (bytes((0xFF, 0xFB, 0x90, 0xC0)) + bytes(413)) * 40
DESKTOPS = "HKCU\\Software\\Wine\\Explorer\\Desktops"
FILE = "BGMﾌｧｲﾙ"


ini = winetest.settings_file


class SafetyTest(winetest.ProgramTest):

    @classmethod
    def setUpClass(cls):
        s = cls.session
        cls.folder_name = "Tavelo 植"
        cls.saver = s.install(cls.folder_name)
        cls.folder = os.path.join(s.drive_c, cls.folder_name)
        shutil.copyfile(os.path.join(s.bin, "tavelo_driver.exe"), os.path.join(cls.folder, "tavelo_driver.exe"))
        cls.marker = os.path.join(s.drive_c, "planted.txt")

    def clean_up(self):
        for name in PLANTED:
            path = os.path.join(self.folder, name)
            if os.path.exists(path):
                os.remove(path)
        for path in (self.marker, os.path.join(self.folder, "Tavelo.ini"), os.path.join(self.folder, "sea.mp3")):
            if os.path.exists(path):
                os.remove(path)
        self.driver("destroy-window", "Host")

    def open_file_dialog(self, children):
        buttons = [winetest.rect_of(c) for c in children if "class=TaveloCommand" in c]
        left, top, right, bottom = sorted(buttons)[0]  # "...", the leftmost
        self.driver("click", (left + right) // 2, (top + bottom) // 2)
        self.assertEqual(0, self.driver("find", "#32770", "ﾌｧｲﾙを開く", 10000, "--visible")[0])

    def test_libraries_planted_beside_the_programs_are_never_loaded(self):
        for name in PLANTED:
            shutil.copyfile(os.path.join(self.session.bin, "planted.dll"), os.path.join(self.folder, name))
        # Wine told to prefer them, as Windows does for names that are not known DLLs.
        self.driver.close()
        self.driver = winetest.Driver(self.session, environment={
            "WINE_RUN_DLLOVERRIDES": ",".join(n[:-4] for n in PLANTED) + "=n,b"})
        # A program of that folder that does not guard itself loads them: the marker works.
        loader = "C:\\" + self.folder_name + "\\tavelo_driver.exe"
        self.assertEqual(0, self.driver("start", loader, "load-library", "glu32.dll")[0])
        self.driver("wait-exit", 20000)
        self.assertTrue(os.path.exists(self.marker), "the planted library was not loaded even unguarded")
        os.remove(self.marker)

        # A run with music, then the settings with the file dialog opened.
        with open(os.path.join(self.folder, "sea.mp3"), "wb") as f:
            f.write(MP3)
        with open(os.path.join(self.folder, "Tavelo.ini"), "wb") as f:
            f.write(ini("[Section]", "BGM区分= 2", "BGMﾘﾋﾟｰﾄ= 0", f"{FILE}=C:\\{self.folder_name}\\sea.mp3"))
        self.assertEqual(0, self.driver("start", self.saver, "/s")[0])
        self.assertEqual(0, self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
        water = lambda shot: {shot.at(x, y) for y in range(450, 768, 16) for x in range(0, 1024, 16)}
        shot = self.session.screenshot_showing("planted-run", lambda shot: len(water(shot)) > 200)
        self.assertGreater(len(water(shot)), 200, "no water")
        self.assertEqual(0, self.driver("key", "Tavelo_VC", 27)[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 15000))
        self.assertEqual(0, self.driver("start", self.saver, "/c")[0])
        self.open_file_dialog(winetest.open_dialog(self, self.driver))
        self.assertEqual(0, self.driver("key", "ﾌｧｲﾙを開く", 27)[0])
        self.assertEqual(0, self.driver("gone", "ﾌｧｲﾙを開く", 5000)[0])
        self.assertEqual(0, self.driver("key", "<Tavelo>", 27)[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 10000))
        self.assertFalse(os.path.exists(self.marker), open(self.marker, "rb").read().decode("utf-16-le", "replace")
                         if os.path.exists(self.marker) else "")

    def test_a_saver_killed_at_any_moment_takes_its_renderer_and_its_screen_copy_with_it(self):
        # A 1280x1024 desktop of its own, so that the run's 1024x768 is a real change.
        s = self.session
        with winetest.OtherDesktop(s, "1280", "1280x1024x24", [(DESKTOPS, "Default", "REG_SZ", "1280x1024")]) as big:
            drive_c = s.prefix + "-1280/drive_c"
            saver = s.windows_path(os.path.join(s.bin, "Tavelo.scr"))
            running = lambda: big("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0] == 0
            moments = {
                "before the renderer starts": lambda: True,
                "just after the renderer is created": lambda: big("kill-when-running", "Tavelo.dll", 30000)[0] == 0,
                "during the run": running,
                "just after Escape": lambda: running() and big("key", "Tavelo_VC", 27)[0] == 0,
            }
            state = lambda: (big("processes", "Tavelo.dll")[1] == ["count=0"],
                             not os.path.exists(os.path.join(drive_c, "Vey1.bmp")),
                             big("mode")[1] == ["current=1280x1024x32 registry=1280x1024x32"])
            for moment, reach in moments.items():
                for attempt in range(5):
                    self.assertEqual(0, big("start", saver, "/s")[0])
                    self.assertTrue(reach(), moment)
                    big("kill")  # by its handle: this saver alone
                    killed = time.monotonic()
                    self.assertTrue(winetest.wait_until(lambda: all(state()), limit=2.0, every=0.05),
                                    f"{moment}: renderer gone, screen copy gone, mode back: {state()}")
                    print(f"saver killed {moment}: all gone after {time.monotonic() - killed:.2f} s")

            # A loop that is stuck: the guard puts the mode back and ends the renderer itself.
            stuck = os.path.join(drive_c, "Tavelo stuck")
            os.makedirs(stuck, exist_ok=True)
            shutil.copyfile(os.path.join(s.bin, "Tavelo.scr"), os.path.join(stuck, "Tavelo.scr"))
            shutil.copyfile(os.path.join(s.bin, "water_frames.exe"), os.path.join(stuck, "Tavelo.dll"))
            self.assertEqual(0, big("setenv", "TAVELO_FRAME_STALL", "1")[0])
            report = os.path.join(drive_c, "Tavelo-frames.txt")
            if os.path.exists(report):
                os.remove(report)
            self.assertEqual(0, big("start", "C:\\Tavelo stuck\\Tavelo.scr", "/s")[0])
            self.assertTrue(winetest.wait_until(lambda: os.path.exists(report)), "the loop did not stall")
            self.assertEqual(["current=1024x768x32 registry=1280x1024x32"], big("mode")[1])
            big("kill")
            killed = time.monotonic()
            self.assertTrue(winetest.wait_until(lambda: all(state()), limit=2.0, every=0.05), f"stuck loop: {state()}")
            print(f"saver killed with the loop stuck: all gone after {time.monotonic() - killed:.2f} s")

    def test_the_renderer_inherits_no_handle_but_the_one_meant_for_it(self):
        # The saver itself holds an inheritable handle (the driver's probe, inherited).
        code, lines = self.driver("start-inheriting", self.saver, "/s")
        self.assertEqual(0, code)
        probe = next(line.split("=")[1] for line in lines if line.startswith("probe="))
        self.assertEqual(0, self.driver("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
        self.assertEqual(["held=1"], [l.split()[1] for l in self.driver("holds", "Tavelo.scr", probe, "--probe")[1]])
        self.assertEqual(["held=0"], [l.split()[1] for l in self.driver("holds", "Tavelo.dll", probe, "--probe")[1]])
        self.assertEqual(0, self.driver("key", "Tavelo_VC", 27)[0])
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 15000))

    def test_a_preview_whose_hosts_process_dies_ends(self):
        host_program = self.session.windows_path(os.path.join(self.session.bin, "tavelo_driver.exe"))
        for _ in range(2):
            self.assertEqual(0, self.driver("spawn", host_program, "host", "Host", 200, 150, 100, 100)[0])
            code, lines = self.driver("find", "*", "Host", 10000, "--visible")
            self.assertEqual(0, code)
            host = str(int(lines[0].split()[0].split("=")[1], 16))
            self.assertEqual(0, self.driver("start", self.saver, "/p", host)[0])
            self.assertTrue(winetest.wait_until(lambda: any("caption=Preview Window" in line for line in self.driver(
                "children", "Host")[1])), "no preview in the host")
            self.assertEqual(1, self.driver("wait-exit", 100)[0], "the preview ended by itself")
            killed = time.monotonic()
            self.assertEqual(0, self.driver("kill-owner", "Host")[0])
            self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 2000), "the preview outlived its host")
            print(f"preview: ended {time.monotonic() - killed:.1f} s after its host's process")

    def test_a_music_path_too_long_for_the_settings_file_goes_by_its_short_name(self):
        # 135 characters, 256 bytes in Shift_JIS: one more than a read gives back.
        folder, name = "海" * 60, "波" * 61 + "123456.wav"
        path = "C:\\" + folder + "\\" + name
        self.assertEqual((135, 256), (len(path), len(path.encode("cp932"))))
        os.makedirs(os.path.join(self.session.drive_c, folder), exist_ok=True)
        with open(os.path.join(self.session.drive_c, folder, name), "wb") as f:
            f.write(b"\0" * 16)
        settings = os.path.join(self.folder, "Tavelo.ini")
        with open(settings, "wb") as f:  # MP3、WAV with a file there, so that "..." is on
            f.write(ini("[Section]", "BGM区分= 2", f"{FILE}=C:\\{self.folder_name}\\Tavelo.dll"))
        self.assertEqual(0, self.driver("start", self.saver, "/c")[0])
        self.open_file_dialog(winetest.open_dialog(self, self.driver))
        self.assertTrue(winetest.wait_until(lambda: "class=Edit" in "".join(self.driver("focus", "ﾌｧｲﾙを開く")[1])),
                        "the file dialog's name field has no focus")
        self.driver("type", path)
        self.driver("key", "ﾌｧｲﾙを開く", 13)
        self.assertEqual(0, self.driver("gone", "ﾌｧｲﾙを開く", 5000)[0])
        before = f"caption=C:\\{self.folder_name}\\Tavelo.dll "
        self.assertTrue(winetest.wait_until(lambda: not any(before in c for c in self.driver("children", "<Tavelo>")[1])),
                        "the chosen file is not shown")
        self.driver("key", "<Tavelo>", 13)  # 設定
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 10000))
        with open(settings, "rb") as f:
            saved = f.read().decode("cp932")
        stored = next(line.split("=", 1)[1] for line in saved.split("\r\n") if line.startswith(FILE + "="))
        self.assertNotEqual(path, stored)
        self.assertLessEqual(len(stored.encode("cp932")), 255)
        self.assertEqual(["path=" + path], self.driver("longpath", stored)[1], "not the chosen file")
        # Read back at the next start: the file is still chosen.
        self.assertEqual(0, self.driver("start", self.saver, "/c")[0])
        children = winetest.open_dialog(self, self.driver)
        self.assertTrue(any(f"caption={stored} " in c for c in children), children)
        self.driver("key", "<Tavelo>", 27)
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 10000))


if __name__ == "__main__":
    sys.exit(winetest.main([SafetyTest]))
