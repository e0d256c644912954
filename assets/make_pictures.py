#!/usr/bin/env python3
"""Makes Tavelo's pictures as 24-bit bottom-up BMP files.

  sunlight.bmp      256 x 256: sunlight through water, grey and white, the
                    renderer's tiled surface pattern ("C:\\Vey2.bmp"); its
                    opposite edges join without a seam.
  demo-desktop.bmp  1024 x 768: a desktop of our own for the demos (and the
                    same at 1920 x 1080 and 2304 x 1024: demo-desktop-wide.bmp,
                    demo-desktop-two.bmp).
  preview.bmp       152 x 112: the saver's still picture for the preview in
                    the display settings: desktop icons above open water.
  tavelo.ico        32 x 32: the program's icon, a drop of sea water.
  button-*.bmp      64 x 25: the button control's six state pictures (Normal,
                    HighLight, Pressed, Disable, Selected; HighLightSelect is
                    HighLight); only their outer four-pixel strips are used.

Usage: make_pictures.py OUTPUT_FOLDER
Everything is computed here from fixed seeds: the same bytes on every run.
"""
import math
import os
import random
import struct
import sys


def write_bmp(path, width, height, pixel_rows):
    """pixel_rows: list of rows, top row first, each a bytes object of RGB."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixel_rows):  # bottom row first
        bgr = bytearray(row)
        bgr[0::3], bgr[2::3] = row[2::3], row[0::3]
        body += bgr + bytes(stride - width * 3)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(body), 0, 0, 54) + header + body)


def caustic_layer(size, cells, seed, warp):
    """Periodic cellular noise: F2 - F1 of jittered points on a torus, small
    along the cell borders, where sunlight focuses into bright lines. The
    sample point is displaced by a periodic swirl, so the lines bend like
    real caustics; everything is periodic in size, so tiles join seamlessly."""
    rng = random.Random(seed)
    points = [[(i + rng.random(), j + rng.random()) for j in range(cells)] for i in range(cells)]
    scale = cells / size
    tau = 2 * math.pi / size
    layer = []
    for y in range(size):
        row = []
        for x in range(size):
            wx = x + warp * math.sin(tau * 2 * y + 1.3) + 0.5 * warp * math.sin(tau * 3 * (x + y))
            wy = y + warp * math.sin(tau * 2 * x + 0.4) + 0.5 * warp * math.cos(tau * 3 * (x - y))
            fx = (wx % size + 0.5) * scale
            fy = (wy % size + 0.5) * scale
            cx = int(fx)
            cy = int(fy)
            d1 = d2 = 1e9
            for dy in (-1, 0, 1):
                gy = cy + dy
                for dx in (-1, 0, 1):
                    gx = cx + dx
                    px, py = points[gx % cells][gy % cells]
                    px += gx - gx % cells
                    py += gy - gy % cells
                    d = (px - fx) ** 2 + (py - fy) ** 2
                    if d < d1:
                        d1, d2 = d, d1
                    elif d < d2:
                        d2 = d
            row.append(math.sqrt(d2) - math.sqrt(d1))
        layer.append(row)
    return layer


def sunlight(size=256):
    coarse = caustic_layer(size, 5, 1, 9.0)
    fine = caustic_layer(size, 8, 2, 6.0)
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            # Bright, thin lines where the cell borders meet, softly glowing;
            # a gentle periodic swell keeps the grey from looking flat.
            a = math.exp(-coarse[y][x] * 9.0)
            b = math.exp(-fine[y][x] * 12.0)
            swell = 0.5 + 0.5 * math.sin(2 * math.pi * (x / size + 2 * y / size))
            v = 0.40 + 0.08 * swell + 0.55 * a + 0.18 * b
            g = max(0, min(255, int(round(255 * min(v, 1.0)))))
            row += bytes((g, g, g))
        rows.append(bytes(row))
    return rows


def demo_desktop(width=1024, height=768):
    """A calm evening wallpaper with a few desktop icons and one window."""
    rng = random.Random(7)
    rows = []
    for y in range(height):
        t = y / (height - 1)
        top, bottom = (32, 64, 120), (230, 160, 110)
        base = [int(top[i] + (bottom[i] - top[i]) * t ** 1.6) for i in range(3)]
        rows.append(bytearray(bytes(base) * width))

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(height, y1)):
            r = rows[y]
            for x in range(max(0, x0), min(width, x1)):
                r[3 * x:3 * x + 3] = bytes(colour)

    # Hills along the bottom, and a sun: where they lie on a 1024 x 768
    # desktop, in proportion on others.
    hills = height * 560 // 768
    for x in range(width):
        h = int(hills + 40 * math.sin(x / 130.0) + 25 * math.sin(x / 47.0 + 1.0))
        for y in range(max(0, h), height):
            shade = 40 + (y - h) // 6
            rows[y][3 * x:3 * x + 3] = bytes((shade // 2, min(255, shade + 30), shade // 2 + 20))
    sun_x, sun_y = width * 770 // 1024, height * 220 // 768
    for y in range(sun_y - 70, sun_y + 70):
        for x in range(sun_x - 70, sun_x + 70):
            if (x - sun_x) ** 2 + (y - sun_y) ** 2 < 62 ** 2:
                rows[y][3 * x:3 * x + 3] = bytes((255, 236, 170))
    # Desktop icons in a column on the left.
    colours = [(240, 200, 60), (80, 170, 240), (230, 90, 80), (120, 210, 120), (200, 130, 230)]
    for i, c in enumerate(colours):
        y = 24 + i * 96
        rect(28, y, 76, y + 48, c)
        rect(28, y, 76, y + 6, (255, 255, 255))
        rect(20, y + 58, 84, y + 66, (250, 250, 250))  # the label
    # A window: title bar, frame and a text-like body.
    rect(260, 140, 640, 420, (60, 60, 70))
    rect(262, 142, 638, 170, (40, 90, 170))
    rect(600, 148, 630, 164, (200, 60, 60))
    rect(262, 170, 638, 418, (245, 245, 240))
    for line in range(10):
        length = 120 + rng.randrange(220)
        rect(284, 190 + line * 22, 284 + length, 198 + line * 22, (90, 90, 100))
    # A task bar.
    rect(0, height - 36, width, height, (28, 30, 40))
    rect(6, height - 30, 96, height - 6, (60, 140, 90))
    return [bytes(r) for r in rows]


def downscale(rows, width, height, new_width, new_height):
    """Box-filters a picture (rows of RGB bytes, top first) to a new size."""
    out = []
    for ny in range(new_height):
        y0, y1 = ny * height // new_height, max(ny * height // new_height + 1, (ny + 1) * height // new_height)
        row = bytearray()
        for nx in range(new_width):
            x0, x1 = nx * width // new_width, max(nx * width // new_width + 1, (nx + 1) * width // new_width)
            total = [0, 0, 0]
            for y in range(y0, y1):
                r = rows[y]
                for x in range(x0, x1):
                    total[0] += r[3 * x]
                    total[1] += r[3 * x + 1]
                    total[2] += r[3 * x + 2]
            n = (y1 - y0) * (x1 - x0)
            row += bytes(int(t / n + 0.5) for t in total)
        out.append(row)
    return out


def preview(desktop, light, width=152, height=112, horizon=50):
    """The desktop's top, scaled down, above open water that carries the
    sunlight pattern in perspective and a rippling reflection of the desktop."""
    small = downscale(desktop, 1024, 768, width, 768 * width // 1024)
    return above_the_sea(small, light, width, height, horizon)


def wizard_picture(light, width=164, height=314, horizon=118):
    """The installer's side picture: an evening sky with a low sun over the
    same sea."""
    sky = []
    sun_x, sun_y, sun_r = width * 0.62, horizon * 0.72, 17.0
    for y in range(horizon):
        row = bytearray()
        t = y / (horizon - 1)
        for x in range(width):
            colour = [22 + 110 * t ** 2, 48 + 90 * t ** 2, 110 + 80 * t]
            d = math.hypot(x + 0.5 - sun_x, y + 0.5 - sun_y)
            glow = max(0.0, 1.0 - d / 70.0) ** 2 * 0.5
            colour = [c + (255 - c) * glow for c in colour]
            if d < sun_r:
                edge = min(1.0, sun_r - d)
                colour = [c + (v - c) * edge for c, v in zip(colour, (255, 236, 170))]
            row += bytes(max(0, min(255, int(c + 0.5))) for c in colour)
        sky.append(bytes(row))
    return above_the_sea(sky, light, width, height, horizon)


def above_the_sea(small, light, width, height, horizon):
    """The picture's rows above the horizon, then the sea below them."""
    rows = [bytearray(small[y]) for y in range(horizon)]
    lsize = len(light)
    for y in range(horizon, height):
        row = bytearray()
        for x in range(width):
            total = [0.0, 0.0, 0.0]
            for sy in (0.25, 0.75):
                for sx in (0.25, 0.75):
                    depth = (y + sy - horizon + 2.0) / (height - horizon)   # 0 far .. 1 near
                    z = 1.0 / depth
                    u = ((x + sx - width / 2) * z * 0.9 + 37) % lsize
                    v = (z * 70.0) % lsize
                    pattern = light[int(v)][3 * int(u)] / 255.0
                    # The lit sea: deep blue far away, blue-cyan near.
                    sea = (20 + 30 * depth, 90 + 60 * depth, 150 + 60 * depth)
                    # The reflection: the desktop's rows mirrored at the
                    # horizon, displaced by the waves.
                    ripple = 2.2 * math.sin(0.9 * y + 0.35 * x) + 1.2 * math.sin(0.23 * x - 0.5 * y)
                    ry = int(horizon - 1 - (y - horizon) * 0.8 + ripple)
                    rx = int(x + sx + 1.5 * math.sin(0.7 * y))
                    ry = max(0, min(horizon - 1, ry))
                    rx = max(0, min(width - 1, rx))
                    mirror = small[ry][3 * rx:3 * rx + 3]
                    for i in range(3):
                        total[i] += sea[i] * (0.55 + 0.6 * pattern) * 0.7 + 0.35 * mirror[i]
            row += bytes(max(0, min(255, int(t / 4 + 0.5))) for t in total)
        rows.append(row)
    return [bytes(r) for r in rows]


# The button's state pictures: colours of the outer four-pixel strips, from
# the outside in (top rows 0-3, bottom rows 24-21, left columns 0-3, right
# columns 63-60). The side strips carry a slight vertical shading around
# these values (given at mid-height); the 4 x 4 corners are blended round.
BUTTON_STRIPS = {
    "Normal": ("DCD6C2 003C74 F3F3EE F3F3EE", "FAFAF6 003C74 D6D0C5 E2DFD6",
               "E2DECB 003C74 F4F4F0 F4F4F0", "F0EEE0 003C74 E8E5DF EEEDE7"),
    "HighLight": ("DCD6C2 003C74 FFF0CF FDD889", "FAFAF6 003C74 E59700 F8B330",
                  "E2DECB 003C74 FCCA69 FBCA6A", "F0EEE0 003C74 FCCA69 FBCA6A"),
    "Selected": ("DCD6C2 003C74 CEE7FF CEE7FF", "FAFAF6 003C74 6982EE 6982EE",
                 "E2DECB 003C74 A9C5EF A8C6F0", "F0EEE0 003C74 A9C5EF A9C5EF"),
    "Pressed": ("ECE9D8 DCD6C2 003C74 D1CCC1", "ECE9D8 FAFAF6 003C74 F2F1EE",
                "ECE9D8 E2DECB 003C74 D7D4CB", "ECE9D8 F0EEE0 003C74 E4E3DC"),
    "Disable": ("ECE9D8 C9C7BA F5F4EA F5F4EA", "ECE9D8 C9C7BA F5F4EA F5F4EA",
                "ECE9D8 C9C7BA F5F4EA F5F4EA", "ECE9D8 C9C7BA F5F4EA F5F4EA"),
}
BUTTON_W, BUTTON_H = 64, 25
OUTLINES = ("003C74", "C9C7BA")


def button_picture(name):
    def rgb(text):
        return [int(text[i:i + 2], 16) for i in (0, 2, 4)]

    top, bottom, left, right = ([rgb(c) for c in strip.split()] for strip in BUTTON_STRIPS[name])
    outline = [any(c == rgb(o) for o in OUTLINES) for c in left]

    def mix(a, b, f):
        return [round(a[i] + (b[i] - a[i]) * f) for i in range(3)]

    def ring(colours, k):  # a colour between rings, k from 0 (outside) to 3
        k = min(max(k, 0.0), 3.0)
        lo = int(k)
        return colours[lo] if lo == 3 else mix(colours[lo], colours[lo + 1], k - lo)

    def side(colours, k, y):  # a side strip's shading: a little lighter above, darker below
        c = colours[k]
        if outline[k]:
            return c
        shade = (BUTTON_H / 2 - y) / BUTTON_H * 6
        return [max(0, min(255, round(v + shade))) for v in c]

    centre = mix(top[3], bottom[3], 0.5)
    rows = []
    for y in range(BUTTON_H):
        row = bytearray()
        for x in range(BUTTON_W):
            dl, dr, dt, db = x, BUTTON_W - 1 - x, y, BUTTON_H - 1 - y
            horizontal = left if dl < dr else right
            vertical = top if dt < db else bottom
            dh, dv = min(dl, dr), min(dt, db)
            if dh < 4 and dv < 4:
                # A corner: rings round a centre four pixels in, blended
                # between the two strips by the angle.
                k = 4 - math.hypot(4 - dh, 4 - dv)
                weight = math.atan2(4 - dv, 4 - dh) / (math.pi / 2)  # 0 side, 1 top/bottom
                colour = mix(ring(horizontal, k), ring(vertical, k), weight)
            elif dv < 4:
                colour = vertical[dv]
            elif dh < 4:
                colour = side(horizontal, dh, y)
            else:
                colour = centre
            row += bytes(colour)
        rows.append(bytes(row))
    return rows


def write_icon(path, size=32):
    """A drop of sea water: a blue gradient drop with a light wave, 32 bits
    with alpha, in an .ico file."""
    pixels = []
    for y in range(size):
        for x in range(size):
            # The drop: a circle below, narrowing to a point at the top.
            cx, cy, r = 15.5, 19.5, 11.0
            d = math.hypot(x - cx, y - cy)
            inside = d <= r or (y < cy and abs(x - cx) <= (y - 2) * r / (cy - 2) and y >= 2)
            if not inside:
                pixels.append((0, 0, 0, 0))
                continue
            t = y / size
            b, g, r_ = 0xF0 - int(80 * t), 0xA0 - int(90 * t), 0x30 - int(40 * t)
            if abs(math.sin(x / 4.0) * 2 + 20 - y) < 1.2:
                b, g, r_ = 0xFF, 0xF4, 0xE8
            pixels.append((max(b, 0), max(g, 0), max(r_, 0), 255))
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            xor += bytes(pixels[y * size + x])
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = 0
        row = bytearray(mask_stride)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16))
        f.write(image)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    light = sunlight()
    desktop = demo_desktop()
    write_bmp(os.path.join(out, "sunlight.bmp"), 256, 256, light)
    write_bmp(os.path.join(out, "demo-desktop.bmp"), 1024, 768, desktop)
    # Today's screens: a wide one, and two monitors side by side (1280 x 1024, 1024 x 768).
    for name, width, height in (("demo-desktop-wide.bmp", 1920, 1080), ("demo-desktop-two.bmp", 2304, 1024)):
        write_bmp(os.path.join(out, name), width, height, demo_desktop(width, height))
    write_bmp(os.path.join(out, "preview.bmp"), 152, 112, preview(desktop, light))
    write_icon(os.path.join(out, "tavelo.ico"))
    write_bmp(os.path.join(out, "installer-wizard.bmp"), 164, 314, wizard_picture(light))
    for name in BUTTON_STRIPS:
        write_bmp(os.path.join(out, f"button-{name}.bmp"), BUTTON_W, BUTTON_H, button_picture(name))


if __name__ == "__main__":
    main()
