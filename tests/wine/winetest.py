"""Helpers for the tests that run Tavelo's real programs under Wine and look
at them the way a user would: on the X display, in screenshots.

A WineSession has one X display (the one tools/test provides in
WINE_RUN_DISPLAY, else an Xvfb of its own), the project's Wine prefix, and
a Driver: the Windows-side test driver kept running in "session" mode, so
that the Wine desktop and its display mode live for the whole test.
"""
import os
import queue
import shutil
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
import xtest  # noqa: E402
from xtest import (Monitors, Screenshot, Xvfb, near, read_bmp, screenshot_showing,  # noqa: E402,F401
                   wait_until, write_bmp)


class Driver:
    """tavelo_driver.exe in session mode: one command a line, tab-separated."""

    def __init__(self, session, bare=False, display=None, prefix=None, environment=None):
        args = [session.wine_run, "--display", display or session.display]
        if prefix:
            args += ["--prefix", prefix]
        if bare:
            args.append("--bare")
        args += [session.driver_exe, "session"]
        env = dict(os.environ, **environment) if environment else None  # wine-run's own, say WINE_RUN_LANG
        self.process = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, env=env)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.process.stdout:
            self.lines.put(raw.decode("utf-8", "replace").rstrip("\r\n"))
        self.lines.put(None)

    def __call__(self, *words, timeout=60):
        """Runs one command; returns (exit code, output lines)."""
        self.process.stdin.write(("\t".join(str(w) for w in words) + "\n").encode("utf-8"))
        self.process.stdin.flush()
        output = []
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(0.1, deadline - time.monotonic()))
            except queue.Empty:
                raise AssertionError(f"driver: no answer to {words}")
            if line is None:
                raise AssertionError(f"driver ended during {words}")
            if line.startswith("= "):
                return int(line[2:]), output
            output.append(line)

    def close(self):
        try:
            self.process.stdin.close()
            self.process.wait(timeout=30)
        except Exception:
            self.process.kill()


OUR_PROGRAMS = ("Tavelo.scr", "Tavelo.dll")


def open_dialog(test, driver, caption="<Tavelo>"):
    """Waits for the settings dialog to be up and still (its buttons made, its
    opening animation over: the same window and children twice); its children."""
    test.assertEqual(0, driver("find", "*", caption, 20000, "--visible")[0], "the dialog did not open")
    look = lambda: driver("find", "*", caption, 0)[1] + driver("children", caption)[1]
    seen = [look()]

    def still():
        seen.append(look())
        return sum("class=TaveloCommand" in c for c in seen[-1]) >= 3 and seen[-1] == seen[-2]
    test.assertTrue(wait_until(still, every=0.2), "the dialog does not settle")
    return [c for c in seen[-1] if c not in seen[-1][:1]]


def end_ours(driver):
    """Ends every process of our programs; returns how many there were."""
    code, lines = driver("end-all", *OUR_PROGRAMS)
    return int(lines[0].split("=")[1]) if code == 0 and lines else 0


class ProgramTest(unittest.TestCase):
    """A test that starts our programs: none of them may run before it (any
    left over is ended), and none may be left after it (the test fails).
    environment: wine-run's own for the programs, say {"WINE_RUN_LANG":
    "C.UTF-8"} for an English system."""
    session = None
    environment = None

    def setUp(self):
        self.driver = Driver(self.session, environment=self.environment)
        end_ours(self.driver)

    def tearDown(self):
        self.driver("kill")
        self.clean_up()
        left = end_ours(self.driver)
        self.driver.close()
        self.assertEqual(0, left, "a program of ours was left running")

    def clean_up(self):
        """What a test class removes after each test (windows it made)."""


def stop_wineserver(prefix):
    subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=prefix), check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class WineSession:
    def __init__(self, build, source):
        self.build = os.path.abspath(build)
        self.source = os.path.abspath(source)
        self.wine_run = os.path.join(self.source, "tools", "wine-run")
        self.bin = os.path.join(self.build, "bin")
        self.driver_exe = os.path.join(self.bin, "tavelo_driver.exe")
        self.prefix = os.environ.get("WINE_RUN_PREFIX", os.path.join(self.build, "wineprefix"))
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.shots = os.path.join(self.build, "test-shots")
        os.makedirs(self.shots, exist_ok=True)
        self.xvfb = None
        self.display = os.environ.get("WINE_RUN_DISPLAY")
        if not self.display:
            self.xvfb = Xvfb()
            self.display = self.xvfb.display
        self.env = dict(os.environ, DISPLAY=self.display)
        # Make sure the prefix exists before anything is placed in it.
        subprocess.run([self.wine_run, "--display", self.display, self.driver_exe, "mode"],
                       stdout=subprocess.DEVNULL, check=False)

    def close(self):
        if self.xvfb:
            stop_wineserver(self.prefix)  # Wine's processes on this display go first
            self.xvfb.close()

    def windows_path(self, path):
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def place(self, source, name):
        """Copies a file to C:\\name in the prefix."""
        shutil.copyfile(source, os.path.join(self.drive_c, name))

    def install(self, folder, names=OUR_PROGRAMS):
        """The built programs in C:\\folder; the Windows path of the first."""
        return install_programs(self.bin, self.drive_c, folder, names)

    def remove(self, name):
        try:
            os.remove(os.path.join(self.drive_c, name))
        except FileNotFoundError:
            pass

    def run(self, program, *args, bare=False, timeout=120, prefix=None, display=None, capture=True):
        """Runs a program to its end. Without capture its output is thrown away:
        a program that starts the prefix's Wine services passes its output pipes
        on to them, and waiting for the pipes to close would wait for them."""
        command = ([self.wine_run, "--display", display or self.display] + (["--bare"] if bare else []) +
                   (["--prefix", prefix] if prefix else []) + [program, *args])
        output = subprocess.PIPE if capture else subprocess.DEVNULL
        return subprocess.run(command, timeout=timeout, stdout=output, stderr=output)

    def screenshot(self, name, display=None):
        return xtest.screenshot(display or self.display, os.path.join(self.shots, name + ".png"))

    def screenshot_showing(self, name, shows, display=None, limit=30.0):
        """The first screenshot that shows what shows(shot) looks for (or the
        last taken): see xtest.screenshot_showing."""
        return screenshot_showing(display or self.display, os.path.join(self.shots, name + ".png"), shows, limit)

    def key(self, name):
        subprocess.run(["xdotool", "key", name], env=self.env, check=True)


class OtherDesktop:
    """A Wine desktop of its own: an X display (an Xvfb screen of the given
    size, or a display object such as Monitors) and a prefix beside the
    session's (made once, kept in the build tree) with the given registry
    values, and a Driver in it (with wine-run's environment given); bare: the
    prefix has no virtual desktop, so programs meet the X display itself.
    Use it as a context manager."""

    def __init__(self, session, name, screen, registry, bare=False, environment=None):
        self.session, self.bare, self.environment = session, bare, environment
        self.screen = Xvfb(screen) if isinstance(screen, str) else screen
        self.prefix = session.prefix + "-" + name
        self.real_prefix = self.prefix + ("-bare" if bare else "")
        self.drive_c = os.path.join(self.real_prefix, "drive_c")
        self.driver = None
        for key, value, kind, data in registry:
            session.run("reg", "add", key, "/v", value, "/t", kind, "/d", data, "/f",
                        prefix=self.prefix, display=self.screen.display, bare=bare)
        stop_wineserver(self.real_prefix)  # the values count from the next start

    def __enter__(self):
        self.driver = Driver(self.session, display=self.screen.display, prefix=self.prefix, bare=self.bare,
                             environment=self.environment)
        return self.driver

    def __exit__(self, *exc):
        if self.driver:
            self.driver.close()
        stop_wineserver(self.real_prefix)
        self.screen.close()
        return False

    def install(self, folder, names=OUR_PROGRAMS):
        """The built programs in C:\\folder of this desktop's prefix."""
        return install_programs(self.session.bin, self.drive_c, folder, names)

    def screenshot(self, name):
        return self.session.screenshot(name, display=self.screen.display)

    def screenshot_showing(self, name, shows, limit=30.0):
        return self.session.screenshot_showing(name, shows, display=self.screen.display, limit=limit)


def install_programs(bin_folder, drive_c, folder, names):
    """Copies built programs into C:\\folder (made if missing); returns the
    Windows path of the first one there."""
    target = os.path.join(drive_c, *folder.split("\\"))
    os.makedirs(target, exist_ok=True)
    for name in names:
        shutil.copyfile(os.path.join(bin_folder, name), os.path.join(target, name))
    return "C:\\" + folder + "\\" + names[0]


def scaling(dpi):
    """The registry values of a display scaled to dpi (96 is 100 %), for an
    OtherDesktop."""
    return [("HKCU\\Control Panel\\Desktop", "LogPixels", "REG_DWORD", str(dpi)),
            ("HKCC\\Software\\Fonts", "LogPixels", "REG_DWORD", str(dpi))]


def rect_of(line):
    """A window's rectangle (left, top, right, bottom) from a line of the
    driver's find or children."""
    return tuple(int(v) for v in line.split("rect=")[1].split()[0].split(","))


def settings_file(*lines):
    """Tavelo.ini's bytes: the lines joined with CR LF, in Shift_JIS."""
    return "".join(line + "\r\n" for line in lines).encode("cp932")


def main(test_case_classes):
    """Runs the test cases with a closing line the CI reads."""
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    args, rest = parser.parse_known_args()
    session = WineSession(args.build, args.source)
    for cls in test_case_classes:
        cls.session = session
    try:
        suite = unittest.TestSuite()
        loader = unittest.TestLoader()
        for cls in test_case_classes:
            tests = loader.loadTestsFromTestCase(cls)
            if rest:  # names of tests to run, e.g. test_full_run
                tests = [t for t in tests if t._testMethodName in rest]
            suite.addTests(tests)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    finally:
        session.close()
    failed = len(result.failures) + len(result.errors)
    print(f"{result.testsRun - failed} passed, {failed} failed")
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1
