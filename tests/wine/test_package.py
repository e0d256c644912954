#!/usr/bin/env python3
"""The release as a user gets it. The installer of this build tree, run
silently in a fresh prefix: where it puts the programs, the screen saver and
uninstall settings it writes, the installed saver running and saving its
settings beside itself, an update keeping Tavelo.ini, and the uninstaller
taking everything away (and the screen saver only when it is ours). Then the
zip's files and both shipped installers' contents."""
import getpass
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(__file__))
import winetest  # noqa: E402

UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavelo"
DESKTOP_KEY = "Control Panel\\Desktop"
JAPANESE_ENTRY, ENGLISH_ENTRY = "Tavelo をスクリーン セーバーにする", "Make Tavelo the screen saver"
SETTINGS = "[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=C:\\音楽\\海.mp3\r\n".encode("cp932")


def package_file(build, pattern):
    found = glob.glob(os.path.join(build, "package", pattern))
    return found[0] if len(found) == 1 else None


class InstallerTest(unittest.TestCase):
    """The steps run in order on one prefix, as one user's machine."""

    @classmethod
    def setUpClass(cls):
        s = cls.session
        cls.setup = package_file(s.build, "Tavelo-*-setup.exe")
        cls.version = os.path.basename(cls.setup).split("-")[1]
        cls.prefix = s.prefix + "-package"
        shutil.rmtree(cls.prefix, ignore_errors=True)  # a machine that never saw Tavelo
        cls.desktop = winetest.OtherDesktop(s, "package", "1024x768x24", [])
        cls.d = cls.desktop.__enter__()
        cls.d("mode")  # the prefix is made and its services run before anything is installed
        user = os.path.join(cls.prefix, "drive_c", "users", getpass.getuser())
        cls.folder = os.path.join(user, "AppData", "Local", "Programs", "Tavelo")
        cls.windows_folder = "C:\\users\\" + getpass.getuser() + "\\AppData\\Local\\Programs\\Tavelo"
        cls.menu = os.path.join(user, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")
        cls.windows_menu = ("C:\\users\\" + getpass.getuser() +
                            "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs")
        cls.entry = os.path.join(cls.menu, "Tavelo.lnk")
        cls.ini = os.path.join(cls.folder, "Tavelo.ini")

    @classmethod
    def tearDownClass(cls):
        winetest.end_ours(cls.d)
        cls.desktop.__exit__(None, None, None)

    def run_windows(self, program, *args):
        result = self.session.run(program, *args, prefix=self.prefix, display=self.desktop.screen.display,
                                  timeout=180, capture=False)
        self.assertEqual(0, result.returncode, f"{program} {args}")

    def install(self, setup):
        self.run_windows(self.session.windows_path(setup), "/S")

    def uninstall(self):
        # The uninstaller copies itself away and returns at once: wait for its
        # work, the folder and then (its last step) its registry entry gone.
        self.run_windows(self.windows_folder + "\\Uninstall.exe", "/S")
        self.assertTrue(winetest.wait_until(lambda: not os.path.exists(self.folder) and self.d(
            "regvalue", UNINSTALL_KEY, "DisplayName")[0] == 1, limit=60), "the uninstaller did not finish")

    def value(self, key, name):
        code, lines = self.d("regvalue", key, name)
        return lines[0].split("=", 1)[1] if code == 0 else None

    def older_setup(self):
        """The same installer made as version 0.9.0, standing for an earlier release."""
        s = self.session
        out = os.path.join(s.build, "package-test", "Tavelo-0.9.0-setup.exe")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        amd64 = ["-DAMD64"] if "-x64-" in self.setup else []
        subprocess.run(["makensis", "-V1", "-INPUTCHARSET", "UTF8", "-DVERSION=0.9.0", "-DBIN=" + s.bin,
                        "-DICON=" + os.path.join(s.build, "assets", "tavelo.ico"), "-DOUTFILE=" + out, *amd64,
                        os.path.join(s.source, "installer", "Tavelo.nsi")], check=True)
        return out

    def assert_make_it_the_saver_entry(self, name):
        """The Start-menu entry that makes Tavelo the screen saver again, as
        Explorer's "Install" on the .scr does, with the saver's icon."""
        self.assertTrue(os.path.isfile(os.path.join(self.menu, name + ".lnk")), name)
        code, lines = self.d("shortcut", self.windows_menu + "\\" + name + ".lnk")
        self.assertEqual(0, code)
        saver = self.windows_folder + "\\Tavelo.scr"
        self.assertEqual("target=c:\\windows\\system32\\rundll32.exe", lines[0].lower())
        self.assertEqual([f'arguments=desk.cpl,InstallScreenSaver "{saver}"', f"icon={saver},0"], lines[1:])

    def test_1_an_update_over_an_older_version_keeps_the_settings(self):
        self.install(self.older_setup())
        self.assertEqual("0.9.0", self.value(UNINSTALL_KEY, "DisplayVersion"))
        with open(self.ini, "wb") as f:
            f.write(SETTINGS)
        self.install(self.setup)
        self.assertEqual(self.version, self.value(UNINSTALL_KEY, "DisplayVersion"))
        with open(self.ini, "rb") as f:
            self.assertEqual(SETTINGS, f.read())

    def test_2_the_install_is_the_users_and_tavelo_is_the_screen_saver(self):
        for name in ("Tavelo.scr", "Tavelo.dll", "Uninstall.exe"):
            self.assertTrue(os.path.isfile(os.path.join(self.folder, name)), name)
        for name in ("Tavelo.scr", "Tavelo.dll"):
            with open(os.path.join(self.folder, name), "rb") as a, open(os.path.join(self.session.bin, name), "rb") as b:
                self.assertEqual(b.read(), a.read(), name)
        saver = self.value(DESKTOP_KEY, "SCRNSAVE.EXE")
        self.assertEqual(["path=" + self.windows_folder + "\\Tavelo.scr"], self.d("longpath", saver)[1])
        self.assertEqual("1", self.value(DESKTOP_KEY, "ScreenSaveActive"))
        self.assertTrue(os.path.isfile(self.entry), "no Start-menu entry")
        self.assert_make_it_the_saver_entry(JAPANESE_ENTRY)
        expected = {
            "DisplayName": "Tavelo", "Publisher": "Tavelo team", "InstallLocation": self.windows_folder,
            "UninstallString": f'"{self.windows_folder}\\Uninstall.exe"',
            "QuietUninstallString": f'"{self.windows_folder}\\Uninstall.exe" /S',
            "DisplayIcon": self.windows_folder + "\\Tavelo.scr,0", "NoModify": "1", "NoRepair": "1",
        }
        for name, value in expected.items():
            self.assertEqual(value, self.value(UNINSTALL_KEY, name), name)
        files = sum(os.path.getsize(p) for p in glob.glob(os.path.join(self.folder, "*")))
        self.assertAlmostEqual(files / 1024, int(self.value(UNINSTALL_KEY, "EstimatedSize")), delta=8)

    def test_3_the_installed_saver_runs_and_saves_its_settings_beside_itself(self):
        d, saver = self.d, self.value(DESKTOP_KEY, "SCRNSAVE.EXE")
        self.assertEqual(0, d("start", saver, "/s")[0])
        self.assertEqual(0, d("find", "PCUWindowClass", "Tavelo_VC", 30000, "--visible")[0])
        water = lambda shot: {shot.at(x, y) for y in range(450, 768, 16) for x in range(0, 1024, 16)}
        shot = self.desktop.screenshot_showing("installed-run", lambda shot: len(water(shot)) > 200)
        self.assertGreater(len(water(shot)), 200, "no water")
        self.assertEqual(0, d("key", "Tavelo_VC", 27)[0])
        self.assertEqual(0, d("gone", "Tavelo_VC", 15000)[0])
        self.assertEqual((0, ["exit=0"]), d("wait-exit", 15000))

        os.remove(self.ini)
        self.assertEqual(0, d("start", saver, "/c")[0])
        winetest.open_dialog(self, d)
        self.assertEqual(0, d("key", "<Tavelo>", 13)[0])  # Enter: 設定
        self.assertEqual((0, ["exit=0"]), d("wait-exit", 10000))
        with open(self.ini, "rb") as f:
            self.assertTrue(f.read().startswith("[Section]\r\nBGM区分= 0\r\n".encode("cp932")))
        self.assertEqual(0, winetest.end_ours(d))

    def test_4_the_uninstaller_takes_everything_and_our_screen_saver(self):
        # Set by the display settings in its long form: still ours.
        self.run_windows("reg", "add", "HKCU\\" + DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d",
                         self.windows_folder + "\\Tavelo.scr", "/f")
        self.uninstall()
        self.assertFalse(os.path.exists(self.folder), os.listdir(self.folder) if os.path.exists(self.folder) else "")
        self.assertFalse(os.path.exists(self.entry))
        self.assertFalse(os.path.exists(os.path.join(self.menu, JAPANESE_ENTRY + ".lnk")))
        self.assertEqual(1, self.d("regvalue", UNINSTALL_KEY, "DisplayName")[0])
        self.assertIsNone(self.value(DESKTOP_KEY, "SCRNSAVE.EXE"))

    def test_5_the_uninstaller_leaves_another_screen_saver_alone(self):
        self.install(self.setup)
        other = "C:\\windows\\system32\\other.scr"
        self.run_windows("reg", "add", "HKCU\\" + DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", other, "/f")
        self.uninstall()
        self.assertFalse(os.path.exists(self.folder))
        self.assertEqual(other, self.value(DESKTOP_KEY, "SCRNSAVE.EXE"))

    def test_6_on_an_english_system_the_entry_has_its_english_name(self):
        self.install(self.setup)
        os.environ["WINE_RUN_LANG"] = "C.UTF-8"
        try:
            self.install(self.setup)
        finally:
            del os.environ["WINE_RUN_LANG"]
        self.assert_make_it_the_saver_entry(ENGLISH_ENTRY)
        self.assertFalse(os.path.exists(os.path.join(self.menu, JAPANESE_ENTRY + ".lnk")), "two entries")
        self.uninstall()
        self.assertEqual([], [n for n in os.listdir(self.menu) if "Tavelo" in n])


class ZipTest(unittest.TestCase):
    def test_the_zip_holds_the_programs_a_readme_and_the_licence(self):
        s = self.session
        path = package_file(s.build, "Tavelo-*.zip")
        with zipfile.ZipFile(path) as z:
            self.assertEqual(["Tavelo.scr", "Tavelo.dll", "README.txt", "LICENSE.txt"], z.namelist())
            for name in ("Tavelo.scr", "Tavelo.dll"):
                with open(os.path.join(s.bin, name), "rb") as f:
                    self.assertEqual(f.read(), z.read(name), name)
            for name in ("README.txt", "LICENSE.txt"):
                data = z.read(name)
                self.assertTrue(data.startswith(b"\xef\xbb\xbf"), name + ": no byte-order mark")
                text = data[3:].decode("utf-8")
                self.assertEqual(text.count("\n"), text.count("\r\n"), name + ": not CRLF")
            readme = z.read("README.txt")[3:].decode("utf-8")
            version = os.path.basename(path).split("-")[1]
            for words in ("右クリック", "Right-click", "Tavelo.dll", "Tavelo " + version):
                self.assertIn(words, readme)
            self.assertNotIn("@VERSION@", readme)


class ShippedInstallerTest(unittest.TestCase):
    """Both installers we ship, looked into with 7-Zip: the x64 one
    (build/cross64) holds exactly the 64-bit programs of that build, the one
    for 32-bit Windows (build/cross) the 32-bit ones."""

    def test_each_shipped_installer_holds_its_trees_programs(self):
        trees = os.path.dirname(os.path.abspath(self.session.build))
        found = 0
        for tree, pattern, machine in (("cross64", "Tavelo-*-x64-setup.exe", b"\x64\x86"),
                                       ("cross", "Tavelo-*[0-9]-setup.exe", b"\x4c\x01")):
            setup = package_file(os.path.join(trees, tree), pattern)
            if setup is None:
                continue
            found += 1
            with tempfile.TemporaryDirectory() as out:
                subprocess.run(["7z", "x", "-y", "-o" + out, setup], check=True, stdout=subprocess.DEVNULL)
                # Besides the plug-ins ($PLUGINSDIR) 7-Zip shows the uninstaller's place.
                programs = sorted(n for n in os.listdir(out) if not n.startswith("$") and n != "Uninstall.exe")
                self.assertEqual(["Tavelo.dll", "Tavelo.scr"], programs, setup)
                for name in programs:
                    with open(os.path.join(out, name), "rb") as f:
                        data = f.read()
                    with open(os.path.join(trees, tree, "bin", name), "rb") as f:
                        self.assertEqual(f.read(), data, f"{setup}: {name}")
                    pe = int.from_bytes(data[0x3C:0x40], "little")
                    self.assertEqual(b"PE\0\0" + machine, data[pe:pe + 6], f"{setup}: {name}")
        self.assertIn(os.path.basename(self.session.build), ("cross", "cross64"))
        self.assertGreater(found, 0, "no installer")


if __name__ == "__main__":
    sys.exit(winetest.main([ZipTest, ShippedInstallerTest, InstallerTest]))
