#!/usr/bin/env python3
"""The demo's Linux part, started by tools/demo as root (xscreensaver runs
as a user of its own, made here): the real xscreensaver daemon runs tavelo
over the demo desktop on a virtual display of its own, and linux.png is the
screen a few seconds after it blanked.

  demo_linux.py --build NATIVE_BUILD --out DIR
"""
import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "linux"))
import linuxtest  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    session = linuxtest.XScreenSaverSession(
        os.path.join(args.build, "bin", "tavelo"), os.path.join(args.build, "assets", "demo-desktop.bmp"))
    try:
        if not session.activate():
            raise SystemExit("demo: xscreensaver did not start tavelo")
        time.sleep(4)
        path = os.path.join(args.out, "linux.png")
        session.screenshot(path)
        print("demo:", os.path.relpath(path))
        session.deactivate()
    finally:
        session.close()


if __name__ == "__main__":
    main()
