#!/usr/bin/env python3
"""The demo's Linux part, started by tools/demo as root (xscreensaver runs
as a user of its own, made here): the real xscreensaver daemon runs tavelo
on two monitors (1280x1024 and 1024x768 side by side, a virtual display of
their own), each over the demo desktop, and linux.png is the screen a few
seconds after it blanked.

  demo_linux.py --build NATIVE_BUILD --out DIR
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "linux"))
import linuxtest  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    desktop = os.path.join(args.build, "assets", "demo-desktop.bmp")
    large = os.path.join(tempfile.mkdtemp(), "demo-desktop-1280.bmp")
    subprocess.run(["convert", desktop, "-resize", "1280x1024!", "-type", "TrueColor", large], check=True)
    session = linuxtest.XScreenSaverSession(os.path.join(args.build, "bin", "tavelo"),
                                            [(large, 0, 0), (desktop, 1280, 0)], screens=("1280x1024", "1024x768"))
    try:
        if not session.activate(count=2):
            raise SystemExit("demo: xscreensaver did not start tavelo")
        time.sleep(4)
        path = os.path.join(args.out, "linux.png")
        session.screenshot(path)
        # Below the second monitor lies no monitor (the X screen is the heads' bounding box).
        subprocess.run(["convert", path, "-fill", "black", "-draw", "rectangle 1280,768 2303,1023", path], check=True)
        print("demo:", os.path.relpath(path))
        session.deactivate()
    finally:
        session.close()


if __name__ == "__main__":
    main()
