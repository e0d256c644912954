"""Helpers for the tests of tavelo on Linux (and the demo): the real
xscreensaver daemon running tavelo on an X display of its own, and the
tests' entry. xscreensaver starts no program as root, so it runs as an
unprivileged user of its own (made when missing), with the built tavelo
copied into that user's home and named in its ~/.xscreensaver."""
import argparse
import os
import pwd
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "wine"))
import winetest  # noqa: E402  (its X server starter, screenshots and pictures)

USER = "tavelo-xss"


def as_user(*command, display):
    home = pwd.getpwnam(USER).pw_dir
    return ["runuser", "-u", USER, "--", "env", f"DISPLAY={display}", f"HOME={home}", *command]


class XScreenSaverSession:
    """Xvfb, a known picture shown in a window at the top-left corner (what
    xscreensaver's grab of the desktop holds), and xscreensaver with tavelo."""

    def __init__(self, tavelo, picture, screen="1024x768x24", arguments="--root"):
        if subprocess.run(["id", USER], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode != 0:
            subprocess.run(["useradd", "-m", USER], check=True)
        home = pwd.getpwnam(USER).pw_dir
        shutil.copyfile(tavelo, os.path.join(home, "tavelo"))
        os.chmod(os.path.join(home, "tavelo"), 0o755)
        with open(os.path.join(home, ".xscreensaver"), "w") as f:
            f.write("mode: one\nselected: 0\ntimeout: 1:00:00\nlock: False\nfade: False\nunfade: False\n"
                    "splash: False\ngrabDesktopImages: True\n"
                    f"programs: \\\n  GL: {home}/tavelo {arguments} \\n\\\n\n")
        shutil.chown(os.path.join(home, ".xscreensaver"), USER)
        self.xvfb = winetest.Xvfb(screen)
        self.display = self.xvfb.display
        self.viewer = subprocess.Popen(["display", "-geometry", "+0+0", "-borderwidth", "0", picture],
                                       env=dict(os.environ, DISPLAY=self.display),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2)
        self.daemon = subprocess.Popen(as_user("xscreensaver", "-no-splash", display=self.display),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2)

    def command(self, verb):
        subprocess.run(as_user("xscreensaver-command", verb, display=self.display), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def tavelo_processes(self):
        found = subprocess.run(["pgrep", "-u", USER, "-f", "/tavelo "], stdout=subprocess.PIPE).stdout.split()
        return [int(pid) for pid in found]

    def activate(self, timeout=15.0):
        """Blanks the screen; True once tavelo runs."""
        self.command("-activate")
        deadline = time.monotonic() + timeout
        while not self.tavelo_processes():
            if time.monotonic() > deadline:
                return False
            time.sleep(0.1)
        return True

    def deactivate(self):
        self.command("-deactivate")

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", path], check=True)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, stdout=subprocess.PIPE).stdout
        size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                              stdout=subprocess.PIPE).stdout.decode().split()
        return winetest.Screenshot(int(size[0]), int(size[1]), raw, path)

    def screenshot_showing(self, path, shows, timeout=20.0):
        """The first screenshot for which shows(shot) holds (the last one taken if
        none does in time): a loaded machine may take a while to draw."""
        deadline = time.monotonic() + timeout
        while True:
            shot = self.screenshot(path)
            if shows(shot) or time.monotonic() > deadline:
                return shot
            time.sleep(0.5)

    def close(self):
        for process in (self.daemon, self.viewer):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        subprocess.run(["pkill", "-u", USER], stdout=subprocess.DEVNULL)
        self.xvfb.close()


def main(test_class):
    """Runs a test class given the native build tree: --build DIR."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    args, rest = parser.parse_known_args()
    test_class.build = os.path.abspath(args.build)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
