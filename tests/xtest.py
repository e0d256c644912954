"""What the Wine and the Linux tests share: X servers of their own (one
screen, or monitors side by side), screenshots of them as pictures, the
tests' pictures as BMP files, and waiting for a state rather than for a time:
wait_until(check) and screenshot_showing(...) poll up to a generous limit
and give back what they last saw."""
import os
import struct
import subprocess
import time


class Screenshot:
    def __init__(self, width, height, rgb, path):
        self.width, self.height, self.rgb, self.path = width, height, rgb, path

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def rows(self, y0, y1):
        return self.rgb[y0 * self.width * 3:y1 * self.width * 3]


def screenshot(display, path):
    """The whole X display as a Screenshot, kept at path (PNG)."""
    subprocess.run(["import", "-display", display, "-window", "root", path], check=True)
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, stdout=subprocess.PIPE).stdout
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                          stdout=subprocess.PIPE).stdout.decode().split()
    return Screenshot(int(size[0]), int(size[1]), raw, path)


def screenshot_showing(display, path, shows, limit=30.0):
    """The first screenshot for which shows(shot) holds, or the last one
    taken when none does within limit seconds (a loaded machine may take a
    while to draw): the caller asserts on what it got."""
    deadline = time.monotonic() + limit
    while True:
        shot = screenshot(display, path)
        if shows(shot) or time.monotonic() > deadline:
            return shot
        time.sleep(0.3)


def wait_until(check, limit=30.0, every=0.1):
    """Polls check() until it is true, at most limit seconds; its last value."""
    deadline = time.monotonic() + limit
    while True:
        value = check()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(every)


def near(expected, actual, tolerance=6):
    """Two colours alike within a tolerance on each channel."""
    return all(abs(e - a) <= tolerance for e, a in zip(expected, actual))


def read_bmp(path):
    """A 24-bit bottom-up BMP as (width, height, rows top first of RGB bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    size, width, height, planes, bits = struct.unpack_from("<IiiHH", data, 14)
    assert bits == 24 and height > 0, (bits, height)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        row = data[start:start + width * 3]
        rgb = bytearray(row)
        rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
        rows.append(bytes(rgb))
    return width, height, rows


def write_bmp(path, width, height, pixel):
    """A 24-bit bottom-up BMP; pixel(x, y) -> (r, g, b) with y = 0 the top row."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        body += row + bytes(stride - width * 3)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 54 + len(body), 0, 0, 54) + header + body)


def start_x_server(command, env=None):
    """Starts an X server on a free display number (it writes the number to
    the descriptor given with -displayfd); returns (process, ":N") once the
    server answers."""
    read, write = os.pipe()
    process = subprocess.Popen([command[0], "-displayfd", str(write), *command[1:]], pass_fds=(write,), env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    display = ":" + number.decode().strip()
    # The number comes a moment before the server answers.
    wait_until(lambda: subprocess.run(["xdpyinfo", "-display", display], stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL).returncode == 0, limit=20, every=0.05)
    return process, display


class Xvfb:
    """An X server of its own on a free display number (glx=False: one
    without the GLX extension)."""

    def __init__(self, screen="1024x768x24", glx=True):
        self.process, self.display = start_x_server(
            ["Xvfb", "-screen", "0", screen, "+extension" if glx else "-extension", "GLX", "-nolisten", "tcp"])

    def close(self):
        self.process.terminate()
        self.process.wait()


class Monitors:
    """Monitors side by side, left to right: an Xvfb host and a Xephyr on it
    with one screen each, joined by Xinerama. Wine sees them as monitors
    where its X11 driver does not use XRandR (which shows only the first),
    and xscreensaver gives each its own window. Such a display cannot change
    modes."""

    def __init__(self, screens=("1280x1024", "1024x768")):
        sizes = [tuple(int(v) for v in s.split("x")) for s in screens]
        self.host = Xvfb(f"{sum(w for w, h in sizes)}x{max(h for w, h in sizes)}x24")
        command = ["Xephyr", "+xinerama", "-nolisten", "tcp"]
        for screen in screens:
            command += ["-screen", screen]
        self.process, self.display = start_x_server(command, env=dict(os.environ, DISPLAY=self.host.display))

    def close(self):
        self.process.terminate()
        self.process.wait()
        self.host.close()
