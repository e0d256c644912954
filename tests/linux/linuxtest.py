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
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
import xtest  # noqa: E402

USER = "tavelo-xss"


def make_user():
    """The daemon's user, its home emptied of an earlier test's files."""
    if subprocess.run(["id", USER], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode != 0:
        subprocess.run(["useradd", "-m", USER], check=True)
    home = pwd.getpwnam(USER).pw_dir
    for name in os.listdir(home):
        path = os.path.join(home, name)
        shutil.rmtree(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)
    return home


def as_user(*command, display, path=None):
    home = pwd.getpwnam(USER).pw_dir
    extra = [f"PATH={path}:{os.environ.get('PATH', '/usr/bin:/bin')}"] if path else []
    return ["runuser", "-u", USER, "--", "env", f"DISPLAY={display}", f"HOME={home}", *extra, *command]


class XScreenSaverSession:
    """An X display (one screen, or screens side by side as monitors), known
    pictures shown in windows at their places (what xscreensaver's grab of
    the desktop holds), and the daemon with tavelo as its one program, in the
    user's settings given (by default it may grab the desktop). prepare(home)
    runs before the daemon starts; with settings=None it writes
    ~/.xscreensaver itself."""

    def __init__(self, tavelo, desktop, screens=("1024x768",), settings=("grabDesktopImages: True",),
                 glx=True, prepare=None):
        home = make_user()
        os.makedirs(os.path.join(home, "bin"))
        shutil.copyfile(tavelo, os.path.join(home, "bin", "tavelo"))
        os.chmod(os.path.join(home, "bin", "tavelo"), 0o755)
        self.home = home
        if settings is not None:
            self.write_settings("mode: one", "selected: 0", *settings,
                                f"programs: \\\n  GL: {home}/bin/tavelo --root \\n\\\n")
        if prepare:
            prepare(home)
        subprocess.run(["chown", "-R", USER, home], check=True)
        if len(screens) == 1:
            self.x = xtest.Xvfb(screens[0] + "x24", glx=glx)
        else:
            self.x = xtest.Monitors(screens)
        self.display = self.x.display
        show = lambda picture, x, y: subprocess.Popen(
            ["display", "-geometry", f"+{x}+{y}", "-borderwidth", "0", picture],
            env=dict(os.environ, DISPLAY=self.display), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.viewers = [show(*place) for place in desktop]
        ended = []

        # Every picture on the screen before the daemon starts; a viewer that
        # ended is started again, and a failure says how the viewers ended.
        def shown():
            for i, viewer in enumerate(self.viewers):
                if viewer.poll() is not None:
                    ended.append(viewer.returncode)
                    self.viewers[i] = show(*desktop[i])
            return self.windows("ImageMagick") >= len(desktop)
        assert xtest.wait_until(shown, limit=30), f"no pictures (viewers that ended: {ended})"
        self.daemon = subprocess.Popen(as_user("xscreensaver", "-no-splash", display=self.display,
                                               path=os.path.join(home, "bin")),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        assert xtest.wait_until(lambda: subprocess.run(
            as_user("xscreensaver-command", "-version", display=self.display), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL).returncode == 0, limit=30), "the daemon did not answer"

    def write_settings(self, *lines):
        with open(os.path.join(self.home, ".xscreensaver"), "w") as f:
            f.write("timeout: 1:00:00\nlock: False\nfade: False\nunfade: False\nsplash: False\n" +
                    "".join(line + "\n" for line in lines))

    def windows(self, name):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, env=dict(os.environ, DISPLAY=self.display))
        return len(found.stdout.split())

    def command(self, *verb):
        subprocess.run(as_user("xscreensaver-command", *verb, display=self.display), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def tavelo_processes(self):
        found = subprocess.run(["pgrep", "-u", USER, "-f", "/tavelo |^tavelo "], stdout=subprocess.PIPE).stdout.split()
        return [int(pid) for pid in found]

    def activate(self, *verb, count=1, timeout=20.0):
        """Blanks the screen (-activate, or the verb given); True once count
        copies of tavelo run (one a monitor)."""
        self.command(*(verb or ("-activate",)))
        return xtest.wait_until(lambda: len(self.tavelo_processes()) >= count, limit=timeout)

    def deactivate(self):
        self.command("-deactivate")

    def screenshot(self, path):
        return xtest.screenshot(self.display, path)

    def screenshot_showing(self, path, shows, limit=30.0):
        return xtest.screenshot_showing(self.display, path, shows, limit)

    def close(self):
        """Ends what the session started, by process id: the daemon (which
        ends its programs), the pictures, then any tavelo it left."""
        left = self.tavelo_processes()
        for process in (self.daemon, *self.viewers):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        if not xtest.wait_until(lambda: not set(left) & set(self.tavelo_processes()), limit=10):
            for pid in set(left) & set(self.tavelo_processes()):
                os.kill(pid, 9)
        self.x.close()


def main(*test_classes):
    """Runs the test classes given the native build tree: --build DIR
    (their screenshots in its test-shots folder)."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    args, rest = parser.parse_known_args()
    shots = os.path.join(os.path.abspath(args.build), "test-shots")
    os.makedirs(shots, exist_ok=True)
    for test_class in test_classes:
        test_class.build, test_class.shots = os.path.abspath(args.build), shots
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
