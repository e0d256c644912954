#!/usr/bin/env python3
"""The settings dialog as a user meets it: the real Tavelo.scr /c under Wine,
driven with real mouse and keyboard input, each case proven by the bytes of
Tavelo.ini after the dialog closed, and the dialog's look in screenshots."""
import math
import os
import stat
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import winetest  # noqa: E402

SOURCE, TRACK, FILE, MODE = "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ", "画面ﾓｰﾄﾞ"
FOLDER = "Tavelo 設定"
HTTPS_OPEN = "HKCR\\https\\shell\\open\\command"


ini = winetest.settings_file


class DialogTest(winetest.ProgramTest):
    """What the tests on a Japanese and on an English system share: the
    programs installed, the dialog opened, places on it, the texts that
    differ."""
    FILE_DIALOG, SAVE_FAILED = "ﾌｧｲﾙを開く", "設定を保存できませんでした"

    @classmethod
    def setUpClass(cls):
        s = cls.session
        cls.saver = s.install(FOLDER)
        cls.folder = os.path.join(s.drive_c, FOLDER)
        cls.ini_path = os.path.join(cls.folder, "Tavelo.ini")
        cls.music = os.path.join(s.drive_c, "音楽")
        os.makedirs(cls.music, exist_ok=True)
        for name in ("海.mp3", "波.wav"):
            with open(os.path.join(cls.music, name), "wb") as f:
                f.write(b"\0" * 16)
        cls.sea = "C:\\音楽\\海.mp3"
        # The shell's "open" of an https address writes the address to a file.
        # (Wine's HKCR does not take the user's own classes: the prefix's
        # handler is set, and put back afterwards.)
        s.run("reg", "add", HTTPS_OPEN, "/ve", "/d", s.windows_path(os.path.join(s.bin, "tavelo_recorder.exe")) + " %1",
              "/f")

    @classmethod
    def tearDownClass(cls):
        cls.session.run("reg", "add", HTTPS_OPEN, "/ve", "/d", '"C:\\windows\\system32\\winebrowser.exe" "%1"', "/f")

    def clean_up(self):
        if os.path.exists(self.ini_path):
            os.chmod(self.ini_path, stat.S_IRUSR | stat.S_IWUSR)
            os.remove(self.ini_path)

    def open_dialog(self, settings):
        if settings is not None:
            with open(self.ini_path, "wb") as f:
                f.write(settings)
        self.assertEqual(0, self.driver("start", self.saver, "/c")[0])
        children = winetest.open_dialog(self, self.driver)
        # The client area's origin on the screen, from the panel at (12, 16).
        panel = next(c for c in children if "class=TaveloControl" in c and self.size(c) == (469, 165))
        left, top, _, _ = self.rect(panel)
        self.origin = (left - 12, top - 16)
        return children

    rect = staticmethod(winetest.rect_of)

    def size(self, line):
        l, t, r, b = self.rect(line)
        return r - l, b - t

    def click(self, x, y):
        self.assertEqual(0, self.driver("click", self.origin[0] + x, self.origin[1] + y)[0])

    # Places on the client area (the panel's controls at 12, 16 plus their own place).
    def click_choice(self, index, on_label=False):
        y = 16 + {0: 76, 1: 56, 2: 96}[index] + 6
        self.click(12 + (48 if on_label else 34), y)

    def click_screen_mode(self, index, on_label=False):
        """The display marks: 0 switches to 1024x768, 1 keeps the resolution."""
        self.click(12 + (300 if on_label else 286), 16 + (56, 76)[index] + 6)

    def press(self, vk):
        self.assertEqual(0, self.driver("key", "<Tavelo>", vk)[0])

    def closed(self):
        self.assertEqual((0, ["exit=0"]), self.driver("wait-exit", 10000))

    def saved(self):
        with open(self.ini_path, "rb") as f:
            return f.read()

    def tap(self, vk):
        """A key for whatever has the focus now."""
        self.assertEqual(0, self.driver("tap", vk)[0])

    def focused(self, expected):
        """Where the control with the focus is, once it is the one expected
        (or what it still is when it does not become that)."""
        def place():
            code, lines = self.driver("focus", "<Tavelo>")
            left, top, _, _ = self.rect(lines[0]) if code == 0 else (0, 0, 0, 0)
            return left - self.origin[0], top - self.origin[1]
        seen = [place()]
        winetest.wait_until(lambda: seen.append(place()) or seen[-1] == expected, limit=10)
        return seen[-1]

    def combo(self, expected):
        """The track box's state, once it begins as expected (or as it is)."""
        seen = [self.driver("combo", "<Tavelo>")[1][0]]
        winetest.wait_until(lambda: seen.append(self.driver("combo", "<Tavelo>")[1][0]) or seen[-1].startswith(
            expected), limit=10)
        return seen[-1]

    def file_dialog(self):
        """The file dialog, up with the focus in its name box."""
        self.assertEqual(0, self.driver("find", "#32770", self.FILE_DIALOG, 10000, "--visible")[0], "no file dialog")
        self.assertTrue(winetest.wait_until(lambda: "class=Edit" in "".join(self.driver("focus", self.FILE_DIALOG)[1])),
                        "the file dialog's name box has no focus")

    def shown_file(self, caption):
        """Waits for the file label to show the caption."""
        self.assertTrue(winetest.wait_until(lambda: any(f"caption={caption} " in c for c in self.driver(
            "children", "<Tavelo>")[1])), f"{caption} is not shown")

    def still_open(self):
        self.assertEqual(1, self.driver("wait-exit", 300)[0], "the dialog closed")

    TRACK_BOX, FILE_BUTTON, SAVE, CANCEL = (12 + 112 + 3, 16 + 52 + 3), (12 + 28, 16 + 116), (324, 200), (404, 200)


class SettingsTest(DialogTest):

    def test_layout_marks_and_background(self):
        children = self.open_dialog(ini("[Section]", f"{SOURCE}= 2", f"{TRACK}= 0", f"{FILE}={self.sea}"))
        code, lines = self.driver("find", "*", "<Tavelo>", 0)
        # The buttons where the design puts them (client pixels), the file in its label.
        ox, oy = self.origin
        rects = [self.rect(c) for c in children]
        for x, y, w, h in ((324, 200, 77, 25), (404, 200, 77, 25), (12 + 28, 16 + 116, 41, 21)):
            self.assertIn((ox + x, oy + y, ox + x + w, oy + y + h), rects)
        self.assertTrue(any(f"caption={self.sea} " in c for c in children), children)
        # The credit, sized to its text, ends before the buttons begin.
        credit = next(self.rect(c) for c in children if "caption=Design:" in c)
        self.assertLess(credit[2], ox + 324)
        mark_at = lambda shot, i: shot.at(ox + 12 + 28 + 6, oy + 16 + {0: 76, 1: 56, 2: 96}[i] + 6)
        # The form's waves and the children's faces are painted apart: wait for both.
        shot = self.session.screenshot_showing("settings", lambda shot: shot.at(ox + 324 + 38, oy + 200 + 1) == (
            0x00, 0x3C, 0x74) and winetest.near((0x10, 0x3C, 0x74), mark_at(shot, 2), 8)
            and winetest.near((9, 9, 39), shot.at(ox + 5, oy + 3), 3))
        # The MP3、WAV mark selected (its dark dot), the others not.
        mark = lambda i: mark_at(shot, i)
        self.assertTrue(winetest.near((0x10, 0x3C, 0x74), mark(2), 8), mark(2))
        self.assertTrue(winetest.near((0xFF, 0xFF, 0xFF), mark(0), 8), mark(0))
        self.assertTrue(winetest.near((0xFF, 0xFF, 0xFF), mark(1), 8), mark(1))
        # The waves: the form's dark blue to pale, the panel's grey.
        k = 243 / 3.142
        for y in (3, 60, 121, 239):
            v = round(abs(math.sin(y / k) * 220))
            self.assertTrue(winetest.near((v, v, v + 30), shot.at(ox + 5, oy + y), 3), (y, shot.at(ox + 5, oy + y)))
        k = 165 / 3.142
        for y in (10, 82, 150):
            v = round(abs(math.sin(y / k) * 220)) + 30
            at = shot.at(ox + 12 + 460, oy + 16 + y)
            self.assertTrue(winetest.near((v, v, v), at, 3), (y, at))
        # The display group: switching (the default) marked, keeping not.
        screen_mark = lambda i: shot.at(ox + 12 + 280 + 6, oy + 16 + (56, 76)[i] + 6)
        self.assertTrue(winetest.near((0x10, 0x3C, 0x74), screen_mark(0), 8), screen_mark(0))
        self.assertTrue(winetest.near((0xFF, 0xFF, 0xFF), screen_mark(1), 8), screen_mark(1))
        for caption in ("1024×768 に切り替える", "今の解像度のまま", "画面"):
            label = next(self.rect(c) for c in children if f"caption={caption} " in c)
            self.assertLessEqual(label[2], ox + 12 + 469, caption)  # inside the panel
        # The buttons' faces: 設定 in its Normal frame.
        self.assertEqual((0x00, 0x3C, 0x74), shot.at(ox + 324 + 38, oy + 200 + 1))
        self.press(27)  # Escape: closed, nothing written
        self.closed()
        self.assertEqual(ini("[Section]", f"{SOURCE}= 2", f"{TRACK}= 0", f"{FILE}={self.sea}"), self.saved())

    def test_a_hand_edited_screen_mode_shows_the_switch_marked(self):
        for mode in ("2", "-1"):  # anything but 1 switches, as a run does
            self.open_dialog(ini("[Section]", f"{MODE}= {mode}"))
            ox, oy = self.origin
            mark = lambda shot, i: shot.at(ox + 12 + 280 + 6, oy + 16 + (56, 76)[i] + 6)
            dark, white = (0x10, 0x3C, 0x74), (0xFF, 0xFF, 0xFF)
            shot = self.session.screenshot_showing(f"settings-mode-{mode}", lambda shot: winetest.near(
                dark, mark(shot, 0), 8) and winetest.near(white, mark(shot, 1), 8))
            self.assertTrue(winetest.near(dark, mark(shot, 0), 8), (mode, mark(shot, 0)))
            self.assertTrue(winetest.near(white, mark(shot, 1), 8), (mode, mark(shot, 1)))
            self.press(27)
            self.closed()

    def test_saving_each_case_writes_what_the_user_chose(self):
        other = ("[Other]", "Keep=me")
        cases = [
            # (name, settings, actions, expected section lines)
            ("track 0 saved as 0", [f"{SOURCE}= 1", f"{TRACK}= 0"], [("enter",)],
             [f"{SOURCE}= 1", f"{TRACK}= 0", f"{FILE}=", f"{MODE}= 0"]),
            ("track 12 typed after choosing the CD by its label", [f"{SOURCE}= 0"],
             [("label", 1), ("click", 12 + 112 + 12, 16 + 52 + 10), ("type", "12"), ("click", 362, 212)],
             [f"{SOURCE}= 1", f"{TRACK}= 12", f"{FILE}=", f"{MODE}= 0"]),
            ("MP3、WAV by its picture, no file chosen: the old path", [f"{SOURCE}= 0", f"{FILE}={self.sea}"],
             [("picture", 2), ("enter",)], [f"{SOURCE}= 2", f"{FILE}={self.sea}", f"{TRACK}= 0", f"{MODE}= 0"]),
            ("track 30, the last, typed", [f"{SOURCE}= 1"],
             [("click", 12 + 112 + 12, 16 + 52 + 10), ("type", "30"), ("click", 362, 212)],
             [f"{SOURCE}= 1", f"{TRACK}= 30", f"{FILE}=", f"{MODE}= 0"]),
            ("a hand-edited source 7 comes back unchanged", [f"{SOURCE}=7"], [("enter",)],
             [f"{SOURCE}= 7", f"{TRACK}= 0", f"{FILE}=", f"{MODE}= 0"]),
            ("keeping the resolution, by its label, after the music keys",
             [f"{SOURCE}= 1", f"{TRACK}= 3", f"{FILE}={self.sea}"], [("mode-label", 1), ("enter",)],
             [f"{SOURCE}= 1", f"{TRACK}= 3", f"{FILE}={self.sea}", f"{MODE}= 1"]),
            ("switching again, by its picture, in the key's own place", [f"{MODE}= 1", f"{SOURCE}= 0"],
             [("mode-picture", 0), ("enter",)], [f"{MODE}= 0", f"{SOURCE}= 0", f"{TRACK}= 0", f"{FILE}="]),
            ("a hand-edited mode 5 switches and is saved as 0", [f"{MODE}=5"], [("enter",)],
             [f"{MODE}= 0", f"{SOURCE}= 0", f"{TRACK}= 0", f"{FILE}="]),
        ]
        for name, lines, actions, expected in cases:
            with self.subTest(name):
                self.open_dialog(ini(*other, "[Section]", *lines))
                for action in actions:
                    if action[0] == "enter":
                        self.press(13)
                    elif action[0] in ("label", "picture"):
                        self.click_choice(action[1], on_label=action[0] == "label")
                    elif action[0] in ("mode-label", "mode-picture"):
                        self.click_screen_mode(action[1], on_label=action[0] == "mode-label")
                    elif action[0] == "click":
                        self.click(action[1], action[2])
                    elif action[0] == "type":
                        self.driver("type", action[1])
                self.closed()
                self.assertEqual(ini(*other, "[Section]", *expected), self.saved())

    def test_the_file_dialog_chooses_and_cancel_writes_nothing(self):
        before = ini("[Section]", f"{SOURCE}= 2", f"{FILE}={self.sea}")
        self.open_dialog(before)
        self.click(12 + 28 + 20, 16 + 116 + 10)  # "..."
        self.file_dialog()
        self.driver("type", "波.wav")  # in the dialog's own name box, in BGM_Folder (the sea's folder)
        self.assertEqual(0, self.driver("key", self.FILE_DIALOG, 13)[0])
        self.assertEqual(0, self.driver("gone", self.FILE_DIALOG, 5000)[0])
        self.shown_file("C:\\音楽\\波.wav")
        self.click(404 + 38, 200 + 12)  # ｷｬﾝｾﾙ
        self.closed()
        self.assertEqual(before, self.saved())
        # Again, and this time saved.
        self.open_dialog(None)
        self.click(12 + 28 + 20, 16 + 116 + 10)
        self.file_dialog()
        self.driver("type", "波.wav")
        self.driver("key", self.FILE_DIALOG, 13)
        self.assertEqual(0, self.driver("gone", self.FILE_DIALOG, 5000)[0])
        self.shown_file("C:\\音楽\\波.wav")
        self.press(13)
        self.closed()
        self.assertEqual(ini("[Section]", f"{SOURCE}= 2", f"{FILE}=C:\\音楽\\波.wav", f"{TRACK}= 0", f"{MODE}= 0"),
                         self.saved())

    def test_the_open_track_list_takes_escape_and_enter_first(self):
        before = ini("[Section]", f"{SOURCE}= 1", f"{TRACK}= 5")
        self.open_dialog(before)
        self.click(12 + 112 + 12, 16 + 52 + 10)  # into the track box
        self.tap(115)  # F4: its list opens
        self.assertTrue(self.combo("dropped=1").startswith("dropped=1"))
        self.tap(27)  # Escape closes the list only
        self.assertEqual("dropped=0 text=5", self.combo("dropped=0 text=5"))
        self.still_open()
        self.tap(27)  # and now the dialog, without saving
        self.closed()
        self.assertEqual(before, self.saved())
        # Enter in the open list takes the highlighted entry; the next Enter saves.
        self.open_dialog(before)
        self.click(12 + 112 + 12, 16 + 52 + 10)
        self.tap(115)
        self.tap(40)  # down to the next entry
        self.tap(13)
        self.assertEqual("dropped=0 text=6", self.combo("dropped=0 text=6"))
        self.still_open()
        self.tap(13)
        self.closed()
        self.assertEqual(ini("[Section]", f"{SOURCE}= 1", f"{TRACK}= 6", f"{FILE}=", f"{MODE}= 0"), self.saved())

    def test_shift_tab_walks_back_and_enter_on_a_focused_cancel_saves_nothing(self):
        before = ini("[Section]", f"{SOURCE}= 1")
        self.open_dialog(before)
        self.click(362, 212 - 30)  # on the form, off every control
        for expected in (self.CANCEL, self.SAVE, self.TRACK_BOX, self.CANCEL):
            self.assertEqual(0, self.driver("chord", 16, 9)[0])  # Shift+Tab
            self.assertEqual(expected, self.focused(expected))
        self.tap(13)  # Enter on ｷｬﾝｾﾙ is ｷｬﾝｾﾙ's
        self.closed()
        self.assertEqual(before, self.saved())

    def test_a_button_disabled_with_the_focus_opens_at_the_first_click_once_enabled(self):
        self.open_dialog(ini("[Section]", f"{SOURCE}= 2", f"{FILE}={self.sea}"))
        self.click(362, 212 - 30)
        self.tap(9)
        self.assertEqual(self.FILE_BUTTON, self.focused(self.FILE_BUTTON))
        self.click_choice(0, on_label=True)  # なし: "..." goes off with the focus on it...
        self.assertEqual(self.SAVE, self.focused(self.SAVE))  # ...and hands the focus on
        self.click_choice(2, on_label=True)  # MP3、WAV: "..." on again
        self.click(12 + 28 + 20, 16 + 116 + 10)  # one click
        self.assertEqual(0, self.driver("find", "#32770", self.FILE_DIALOG, 5000, "--visible")[0],
                         "the first click on \"...\" opened nothing")
        self.driver("key", self.FILE_DIALOG, 27)
        self.assertEqual(0, self.driver("gone", self.FILE_DIALOG, 5000)[0])
        self.press(27)
        self.closed()

    def test_mp3_wav_chosen_again_leaves_the_focus_on_the_file_button(self):
        self.open_dialog(ini("[Section]", f"{SOURCE}= 2", f"{FILE}={self.sea}"))
        self.click(362, 212 - 30)
        self.tap(9)
        for on_label in (False, True):  # its mark, then its label
            self.click_choice(2, on_label=on_label)
            self.assertEqual(self.FILE_BUTTON, self.focused(self.FILE_BUTTON))
        self.tap(13)  # Enter is still "..."'s: the file dialog, not a save
        self.assertEqual(0, self.driver("find", "#32770", self.FILE_DIALOG, 5000, "--visible")[0])
        self.driver("key", self.FILE_DIALOG, 27)
        self.assertEqual(0, self.driver("gone", self.FILE_DIALOG, 5000)[0])
        self.press(27)
        self.closed()

    def test_a_press_begun_elsewhere_clicks_nothing_and_a_double_click_opens_the_link_once(self):
        before = ini("[Section]", f"{SOURCE}= 0")
        links = os.path.join(self.session.drive_c, "links.txt")
        if os.path.exists(links):
            os.remove(links)
        self.open_dialog(before)
        ox, oy = self.origin
        for drag in ("drag", "double-drag"):  # form, then 設定 (a double click's second press, too)
            self.assertEqual(0, self.driver(drag, ox + 362, oy + 182, ox + 362, oy + 212)[0])
            self.still_open()
            self.assertEqual(before, self.saved())
        # The link, through the shell: its "open" of https writes to a file here.
        code, children = self.driver("children", "<Tavelo>")
        link = next(self.rect(c) for c in children if "caption=https://" in c)
        self.assertEqual(0, self.driver("double-click", link[0] + 20, (link[1] + link[3]) // 2)[0])
        # Escape after it: once the dialog has closed, both clicks were handled, and once
        # no handler runs, each opening has written its line.
        self.press(27)
        self.closed()
        self.assertTrue(winetest.wait_until(lambda: self.driver("processes", "tavelo_recorder.exe")[1] == ["count=0"]))
        with open(links, "rb") as f:
            self.assertEqual(1, len(f.read().splitlines()), "the page was opened more than once, or not at all")
        self.closed()
        self.assertEqual(before, self.saved())

    def test_tab_walks_the_controls_in_their_order(self):
        self.open_dialog(ini("[Section]", f"{SOURCE}= 1"))
        ox, oy = self.origin
        self.click(362, 212 - 30)  # on the form, off every control: nothing has the focus yet
        # The track box (its edit), "設定", "ｷｬﾝｾﾙ", and round again ("..." is off for the CD).
        for expected in (self.TRACK_BOX, self.SAVE, self.CANCEL, self.TRACK_BOX):
            self.press(9)
            self.assertEqual(expected, self.focused(expected))
        self.press(27)
        self.closed()

    def test_at_every_scaling_the_layout_buttons_and_marks_scale_with_the_twips(self):
        # Each scaling in a prefix and X screen of its own, on a 1024x768 screen.
        s = self.session
        saver = s.windows_path(os.path.join(s.bin, "Tavelo.scr"))
        frame_line = (0x00, 0x3C, 0x74)
        for dpi in (120, 144, 192):
            with self.subTest(dpi=dpi):
                other = winetest.OtherDesktop(s, f"{dpi}dpi", "1024x768x24", winetest.scaling(dpi))
                px = lambda twips: math.floor(twips * dpi / 1440 + 0.5)
                music = os.path.join(s.shots, "波.wav")
                with open(music, "wb") as f:
                    f.write(b"\0" * 16)
                with open(os.path.join(s.bin, "Tavelo.ini"), "wb") as f:  # "..." enabled: MP3、WAV chosen
                    f.write(ini("[Section]", f"{SOURCE}= 2", f"{FILE}={s.windows_path(music)}"))
                try:
                    with other as big:
                        self.assertEqual(0, big("start", saver, "/c")[0])
                        winetest.open_dialog(self, big)
                        code, lines = big("find", "*", "<Tavelo>", 0)
                        window = self.rect(lines[0])
                        self.assertTrue(window[0] >= 0 and window[1] >= 0 and window[2] <= 1024 and window[3] <= 768,
                                        f"the dialog runs off the screen: {window}")
                        code, children = big("children", "<Tavelo>")
                        panel = next(c for c in children if self.size(c) == (px(7035), px(2475)))
                        left, top, _, _ = self.rect(panel)
                        ox, oy = left - px(180), top - px(240)
                        rects = [self.rect(c) for c in children]
                        # 設定 where its twips put it, and each choice mark at the layout's size.
                        self.assertIn((ox + px(4860), oy + px(3000), ox + px(4860) + px(1155), oy + px(3000) + px(375)),
                                      rects)
                        mark = (px(180) + px(420), py := px(240) + px(1440))
                        self.assertIn((ox + mark[0], oy + py, ox + mark[0] + px(195), oy + py + px(195)), rects)
                        credit = next(self.rect(c) for c in children if "caption=Design:" in c)
                        self.assertLess(credit[2], ox + px(4860))
                        # Every button's frame line on all four sides, within its scaled corner.
                        corner = px(60)
                        buttons = [self.rect(c) for c in children if "class=TaveloCommand" in c]
                        cx, cy = ox + mark[0] + px(90), oy + py + px(90)

                        def frames_missing(shot):
                            missing = []
                            for l, t, r, b in buttons:
                                across = (l + corner + 2, (l + r) // 2, r - corner - 3)
                                down = (t + corner + 1, (t + b) // 2, b - corner - 2)
                                sides = {"top": [(x, y) for x in across for y in range(t, t + corner)],
                                         "bottom": [(x, y) for x in across for y in range(b - corner, b)],
                                         "left": [(x, y) for y in down for x in range(l, l + corner)],
                                         "right": [(x, y) for y in down for x in range(r - corner, r)]}
                                for side, points in sides.items():
                                    hits = {p[0] if side in ("top", "bottom") else p[1] for p in points
                                            if winetest.near(frame_line, shot.at(*p), 10)}
                                    if len(hits) != 3:
                                        missing.append(f"button {l},{t}: no frame line along its {side}")
                            return missing
                        shot = other.screenshot_showing(f"settings-{dpi}", lambda shot: not frames_missing(shot) and
                                                        winetest.near((0x10, 0x3C, 0x74), shot.at(cx, cy), 8))
                        self.assertEqual(3, len(buttons))
                        self.assertEqual([], frames_missing(shot))
                        # The chosen mark's dot is at its scaled centre, and the mark fills its image.
                        self.assertTrue(winetest.near((0x10, 0x3C, 0x74), shot.at(cx, cy), 8), shot.at(cx, cy))
                        self.assertTrue(winetest.near((0xFF, 0xFF, 0xFF), shot.at(cx + px(45), cy), 8),
                                        shot.at(cx + px(45), cy))
                        big("key", "<Tavelo>", 27)
                        self.assertEqual((0, ["exit=0"]), big("wait-exit", 10000))
                finally:
                    os.remove(os.path.join(s.bin, "Tavelo.ini"))

    def test_a_read_only_settings_file_is_said_and_the_dialog_stays(self):
        before = ini("[Section]", f"{SOURCE}= 0")
        self.open_dialog(before)
        os.chmod(self.ini_path, stat.S_IRUSR)
        self.click_choice(1)
        self.press(13)
        code, lines = self.driver("messagebox", "Tavelo (ScreenSaver)", 10000, "--dismiss")
        self.assertEqual(0, code, "no message")
        self.assertIn(self.SAVE_FAILED, lines[0])
        self.assertEqual(1, self.driver("wait-exit", 300)[0], "the dialog closed")
        self.assertEqual(before, self.saved())
        # Alt+F4 closes it without saving.
        self.assertEqual(0, self.driver("chord", 18, 115)[0])
        self.closed()
        self.assertEqual(before, self.saved())


class EnglishSettingsTest(DialogTest):
    """On a system whose display language is not Japanese: every text in
    English, in a font that fits it at every scaling, and the same file."""
    environment = {"WINE_RUN_LANG": "C.UTF-8"}
    FILE_DIALOG, SAVE_FAILED = "Choose the music", "The settings could not be saved."
    TEXTS = ("Music", "None", "Music CD", "MP3 or WAV", "Repeat track", "Screen", "Switch to 1024 × 768",
             "Keep my resolution", "OK", "Cancel")
    BOXED = ("Music", "Screen", "OK", "Cancel")  # in a place of the layout's size; the rest sized to their text

    # The same clicks write the same bytes, and the file dialog and the
    # message speak English.
    test_saving_each_case_writes_what_the_user_chose = SettingsTest.test_saving_each_case_writes_what_the_user_chose
    test_the_file_dialog_chooses_and_cancel_writes_nothing = \
        SettingsTest.test_the_file_dialog_chooses_and_cancel_writes_nothing
    test_a_read_only_settings_file_is_said_and_the_dialog_stays = \
        SettingsTest.test_a_read_only_settings_file_is_said_and_the_dialog_stays

    def test_every_text_is_english_and_fits_its_place_at_every_scaling(self):
        s = self.session
        for dpi in (96, 120, 144, 192):
            with self.subTest(dpi=dpi):
                if dpi == 96:
                    self.assertEqual(0, self.driver("start", self.saver, "/c")[0])
                    self.check_texts(self.driver, lambda shows: s.screenshot_showing("settings-en-96", shows))
                    continue
                other = winetest.OtherDesktop(s, f"{dpi}dpi", "1024x768x24", winetest.scaling(dpi),
                                             environment=self.environment)
                with other as big:
                    self.assertEqual(0, big("start", s.windows_path(os.path.join(s.bin, "Tavelo.scr")), "/c")[0])
                    self.check_texts(big, lambda shows: other.screenshot_showing(f"settings-en-{dpi}", shows))

    def check_texts(self, driver, screenshot_showing):
        winetest.open_dialog(self, driver)
        children = driver("children", "<Tavelo>")[1]
        caption = lambda line: line.split(" caption=")[1].split(" rect=")[0]
        self.assertEqual([], [caption(c) for c in children if any(ord(ch) >= 0x3000 for ch in caption(c))])
        places = {caption(c): self.rect(c) for c in children}
        self.assertEqual([], [t for t in self.TEXTS if t not in places], "texts missing")
        panel = max((self.rect(c) for c in children), key=lambda r: (r[2] - r[0]) * (r[3] - r[1]))
        others = [self.rect(c) for c in children if caption(c) not in self.BOXED and self.rect(c) != panel]
        sizes = {t: tuple(int(v) for v in driver("text-size", "Tahoma", 800, t)[1][0][5:].split(",")) for t in self.TEXTS}
        shot = screenshot_showing(lambda shot: all(ink_width(shot, places[t]) for t in self.TEXTS))
        for text in self.TEXTS:
            (l, t, r, b), (w, h) = places[text], sizes[text]
            if text in self.BOXED:
                self.assertTrue(w + 4 <= r - l and h <= b - t, f"{text} ({w}x{h}) does not fit {r - l}x{b - t}")
            else:  # sized to itself, inside the panel, on no other control
                self.assertEqual((w, h), (r - l, b - t), text)
                self.assertTrue(panel[0] <= l and r <= panel[2] and panel[1] <= t and b <= panel[3], text)
                self.assertEqual([], [o for o in others if o != places[text] and
                                      o[0] < r and l < o[2] and o[1] < b and t < o[3]], text)
            # Drawn whole, in the font measured: its ink as wide as the text, less the letters' side bearings.
            ink = ink_width(shot, places[text])
            self.assertTrue(w - 4 - w // 25 <= ink <= w, (text, w, ink, shot.path))
        driver("key", "<Tavelo>", 27)
        self.assertEqual((0, ["exit=0"]), driver("wait-exit", 10000))


def ink_width(shot, rect):
    """How wide the dark text in a place is, along the middle half of its
    height: pixels well darker than the lightest of their row (the
    backgrounds are vertical gradients); columns dark all the way are a
    frame's line, not text."""
    l, t, r, b = rect
    rows = range(t + (b - t) // 4, b - (b - t) // 4)
    light = {y: max(sum(shot.at(x, y)) for x in range(l, r)) for y in rows}
    columns = [x for x in range(l, r) if 0 < sum(sum(shot.at(x, y)) < light[y] - 150 for y in rows) < len(rows)]
    return columns[-1] - columns[0] + 1 if columns else 0


if __name__ == "__main__":
    sys.exit(winetest.main([SettingsTest, EnglishSettingsTest]))
