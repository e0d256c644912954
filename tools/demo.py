#!/usr/bin/env python3
"""The demo's run, started by tools/demo on a display it chose: Tavelo.scr
installed in the Wine prefix, a demo desktop of our own (wallpaper, two
windows), a real full-screen run ("/s") photographed a second apart, Escape,
and the preview as the display settings show it; then today's screens, each
on a virtual display of its own shape: a 1920x1080 desktop kept at its
resolution, and two monitors side by side.

  demo.py --build BUILD --source SOURCE --out DIR [--seconds N] [--desktop-window]
The display comes in WINE_RUN_DISPLAY.
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "wine"))
import winetest  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--seconds", type=int, default=6)
    parser.add_argument("--desktop-window", action="store_true",
                        help="photograph the Wine desktop window (on a display of the user's)")
    args = parser.parse_args()

    session = winetest.WineSession(args.build, args.source)
    driver = winetest.Driver(session)

    def shoot(name):
        # On a display of the user's, the Wine desktop window; on ours, the screen.
        target = "root"
        if args.desktop_window:
            found = subprocess.run(["xdotool", "search", "--name", "Wine desktop"], env=session.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.split()
            target = found[0].decode() if found else "root"
        path = os.path.join(args.out, name + ".png")
        subprocess.run(["import", "-display", session.display, "-window", target, path], check=True)
        print("demo:", os.path.relpath(path, args.source))

    try:
        # Installed as Windows would have it, in a folder with a blank in its name.
        saver = session.install("Program Files\\Tavelo")
        assets = os.path.join(session.build, "assets")

        # The desktop: our wallpaper and two windows.
        driver("create-window", "Wallpaper", 1024, 768, 0, 0, "--picture",
               session.windows_path(os.path.join(assets, "demo-desktop.bmp")))
        driver("create-window", "写真 - 木漏れ日.bmp", 256, 256, 690, 330, "--framed", "--picture",
               session.windows_path(os.path.join(assets, "sunlight.bmp")))
        driver("create-window", "Tavelo プレビュー", 152, 112, 120, 480, "--framed", "--picture",
               session.windows_path(os.path.join(assets, "preview.bmp")))
        time.sleep(1)
        shoot("desktop")

        # The full-screen run.
        if driver("start", saver, "/s")[0] != 0:
            raise SystemExit("demo: Tavelo.scr did not start")
        if driver("find", "PCUWindowClass", "Tavelo_VC", 60000, "--visible")[0] != 0:
            raise SystemExit("demo: the renderer's window did not appear")
        time.sleep(2)
        for i in range(1, args.seconds + 1):
            shoot(f"water-{i}")
            time.sleep(1)
        # Escape, as a user would press it (through Windows' input queue).
        driver("key", "Tavelo_VC", 27)
        code, lines = driver("wait-exit", 10000)
        print("demo: Escape pressed; Tavelo.scr", lines[0] if lines else "still running")
        time.sleep(1)
        shoot("after")

        # The preview, as the display settings show it.
        for caption in ("写真 - 木漏れ日.bmp", "Tavelo プレビュー"):
            driver("destroy-window", caption)
        driver("start", session.windows_path(os.path.join(session.bin, "preview_demo.exe")), 8)
        driver("find", "TaveloPreviewDemo", "画面のプロパティ - スクリーン セーバー", 20000, "--visible")
        time.sleep(2)
        shoot("preview")
        driver("wait-exit", 20000)

        # The settings dialog, as "Tavelo.scr /c" shows it, then with the
        # pointer over "設定".
        driver("start", saver, "/c")
        if driver("find", "*", "<Tavelo>", 20000, "--visible")[0] == 0:
            time.sleep(1.5)
            shoot("settings")
            code, children = driver("children", "<Tavelo>")
            rects = [winetest.rect_of(c) for c in children if "class=TaveloCommand" in c]
            wide = sorted(r for r in rects if r[2] - r[0] == 77)  # 設定 and ｷｬﾝｾﾙ, left to right
            if wide:
                left, top, right, bottom = wide[0]
                driver("move", (left + right) // 2, (top + bottom) // 2)
                time.sleep(0.5)
                shoot("settings-hover")
            driver("key", "<Tavelo>", 27)
            driver("wait-exit", 10000)

        # The same dialog on a system whose display language is English.
        english = winetest.Driver(session, environment={"WINE_RUN_LANG": "C.UTF-8"})
        english("start", saver, "/c")
        if english("find", "*", "<Tavelo>", 20000, "--visible")[0] == 0:
            time.sleep(1.5)
            shoot("settings-en")
        english("key", "<Tavelo>", 27)
        english("wait-exit", 10000)
        english.close()

        # The button control's six looks, side by side, enlarged four times.
        driver("start", session.windows_path(os.path.join(session.bin, "buttons_demo.exe")), 6)
        driver("find", "*", "Command looks", 20000, "--visible")
        time.sleep(2)
        shoot("buttons-screen")
        whole = os.path.join(args.out, "buttons-screen.png")
        buttons = os.path.join(args.out, "buttons.png")
        subprocess.run(["convert", whole, "-crop", "518x41+0+0", "+repage", "-scale", "400%", buttons], check=True)
        os.remove(whole)
        print("demo:", os.path.relpath(buttons, args.source))
        driver("wait-exit", 20000)

        settings_at_scalings(session, args.out)
        today_s_screens(session, args.out)
    finally:
        driver("kill")
        driver.close()
        session.close()


def settings_at_scalings(session, out):
    """settings-144.png and settings-192.png: the dialog at 150 % and 200 %
    display scaling, each on a 1024x768 screen and a prefix of its own."""
    saver = session.windows_path(os.path.join(session.bin, "Tavelo.scr"))
    for dpi in (144, 192):
        other = winetest.OtherDesktop(session, f"demo-{dpi}dpi", "1024x768x24", winetest.scaling(dpi))
        with other as desktop:
            desktop("start", saver, "/c")
            if desktop("find", "*", "<Tavelo>", 20000, "--visible")[0] == 0:
                time.sleep(1.5)
                path = os.path.join(out, f"settings-{dpi}.png")
                subprocess.run(["import", "-display", other.screen.display, "-window", "root", path], check=True)
                print("demo:", os.path.relpath(path, os.path.dirname(os.path.dirname(os.path.abspath(out)))))
            desktop("key", "<Tavelo>", 27)
            desktop("wait-exit", 10000)


def today_s_screens(session, out):
    """wide.png: a 1920x1080 desktop, "画面ﾓｰﾄﾞ= 1"; two-screens.png: a run on
    1280x1024 and 1024x768 side by side (a display that cannot switch)."""
    assets = os.path.join(session.build, "assets")
    setups = [
        ("wide", "1920x1080x24", [("HKCU\\Software\\Wine\\Explorer\\Desktops", "Default", "REG_SZ", "1920x1080")],
         False, "demo-desktop-wide.bmp", (1920, 1080)),
        ("two-screens", lambda: winetest.Monitors(("1280x1024", "1024x768")),
         [("HKCU\\Software\\Wine\\X11 Driver", "UseXRandR", "REG_SZ", "N")], True, "demo-desktop-two.bmp",
         (2304, 1024)),
    ]
    for name, screen, registry, bare, wallpaper, (width, height) in setups:
        other = winetest.OtherDesktop(session, "demo-" + name, screen if isinstance(screen, str) else screen(),
                                      registry, bare=bare)
        with other as desktop:
            saver = other.install("Program Files\\Tavelo")
            with open(os.path.join(other.drive_c, "Program Files", "Tavelo", "Tavelo.ini"), "wb") as f:
                f.write("[Section]\r\n画面ﾓｰﾄﾞ= 1\r\n".encode("cp932"))
            desktop("create-window", "Wallpaper", width, height, 0, 0, "--picture",
                    session.windows_path(os.path.join(assets, wallpaper)))
            time.sleep(1)
            desktop("start", saver, "/s")
            if desktop("find", "PCUWindowClass", "Tavelo_VC", 60000, "--visible")[0] != 0:
                raise SystemExit(f"demo: the renderer's window did not appear ({name})")
            time.sleep(3)
            path = os.path.join(out, name + ".png")
            subprocess.run(["import", "-display", other.screen.display, "-window", "root", path], check=True)
            print("demo:", os.path.relpath(path, os.path.dirname(os.path.dirname(os.path.abspath(out)))))
            desktop("key", "Tavelo_VC", 27)
            desktop("wait-exit", 15000)
            desktop("kill")


if __name__ == "__main__":
    main()
