#!/usr/bin/env python3
"""Tells whether a screenshot shows an image at a zoom inside a window.

usage: screen-shows-image.py SCREEN.ppm IMAGE.pam LEFT TOP WIDTH HEIGHT [ZOOM [--centred]]

SCREEN.ppm is the whole screen as a binary P6; IMAGE.pam is the image as
pnghost open --pam writes it (black and white, gray, RGB, with or without
alpha). The image's pixels with alpha are blended over the viewer's light
checkerboard (8-pixel squares of 255 and 204, starting light at the image's
top-left corner). The image is looked for with its top-left corner within
the window's rectangle (LEFT, TOP, WIDTH, HEIGHT on the screen), and must
appear there whole and exact. ZOOM (default 1) is N, each pixel shown as an
NxN square, or 1/N, each NxN square of pixels (fewer at the right and bottom
edges) shown as one pixel of their average, rounded. With --centred the
image must stand in the middle of the background around it: as much of the
background's colour (the colour left of the image) on its left as on its
right, and above as below, give or take a pixel. Exit 0 when it does; else
1 and where the nearest match fell short.
"""
import sys

SQUARE, LIGHT, DARK = 8, 255, 204


def read_netpbm(path):
    with open(path, "rb") as file:
        data = file.read()
    fields, at = {}, 0
    magic = data[:2]
    if magic == b"P6":
        words = []
        while len(words) < 4:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at)
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            words.append(data[at:end])
            at = end
        at += 1
        fields = {"WIDTH": int(words[1]), "HEIGHT": int(words[2]), "DEPTH": 3, "MAXVAL": int(words[3])}
    elif magic == b"P7":
        end = data.index(b"ENDHDR\n")
        for line in data[3:end].decode().splitlines():
            parts = line.split()
            if parts and not parts[0].startswith("#"):
                fields[parts[0]] = parts[1] if parts[0] == "TUPLTYPE" else int(parts[1])
        at = end + len(b"ENDHDR\n")
    else:
        sys.exit(f"{path}: not a binary PPM or PAM")
    return fields, data[at:]


def expected_pixels(path):
    """The image's rows as lists of (red, green, blue), as the viewer shows them."""
    fields, samples = read_netpbm(path)
    width, height, depth, maxval = fields["WIDTH"], fields["HEIGHT"], fields["DEPTH"], fields["MAXVAL"]
    colour = 3 if depth >= 3 else 1
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            pixel = samples[(y * width + x) * depth:(y * width + x + 1) * depth]
            values = [v * 255 // maxval for v in pixel]
            rgb = values[:3] if colour == 3 else values[:1] * 3
            alpha = values[colour] if depth > colour else 255
            shade = LIGHT if (x // SQUARE + y // SQUARE) % 2 == 0 else DARK
            row.append(tuple((c * alpha + shade * (255 - alpha) + 127) // 255 for c in rgb))
        rows.append(row)
    return rows


def zoomed(image, zoom):
    """The image as the viewer shows it at the zoom ("N" or "1/N")."""
    if zoom.startswith("1/"):
        step = int(zoom[2:])
        rows, columns = len(image), len(image[0])
        out = []
        for top in range(0, rows, step):
            block_rows = image[top:top + step]
            row = []
            for left in range(0, columns, step):
                pixels = [pixel for block_row in block_rows for pixel in block_row[left:left + step]]
                count = len(pixels)
                row.append(tuple((sum(p[c] for p in pixels) + count // 2) // count for c in range(3)))
            out.append(row)
        return out
    times = int(zoom)
    return [[pixel for pixel in row for _ in range(times)] for row in image for _ in range(times)]


def run_length(shown, x, y, dx, dy, colour, limit):
    """How many pixels from (x, y) on, stepping by (dx, dy), show the colour."""
    count = 0
    while count < limit and shown(x + dx * count, y + dy * count) == colour:
        count += 1
    return count


def centring(shown, ox, oy, columns, rows, bounds):
    """Why the image at (ox, oy) is not in the middle of its background, or None."""
    left, top, width, height = bounds
    background = shown(ox - 1, oy)
    middle_x, middle_y = ox + columns // 2, oy + rows // 2
    margins = {
        "left": run_length(shown, ox - 1, middle_y, -1, 0, background, ox - left),
        "right": run_length(shown, ox + columns, middle_y, 1, 0, background, left + width - ox - columns),
        "above": run_length(shown, middle_x, oy - 1, 0, -1, background, oy - top),
        "below": run_length(shown, middle_x, oy + rows, 0, 1, background, top + height - oy - rows),
    }
    if abs(margins["left"] - margins["right"]) <= 1 and abs(margins["above"] - margins["below"]) <= 1:
        return None
    return f"background {background} around it: " + ", ".join(f"{k} {v}" for k, v in margins.items())


def main():
    screen_path, image_path = sys.argv[1:3]
    left, top, width, height = (int(v) for v in sys.argv[3:7])
    zoom = sys.argv[7] if len(sys.argv) > 7 else "1"
    centred = "--centred" in sys.argv[8:]
    fields, screen = read_netpbm(screen_path)
    screen_width = fields["WIDTH"]

    def shown(x, y):
        at = (y * screen_width + x) * 3
        return tuple(screen[at:at + 3])

    image = zoomed(expected_pixels(image_path), zoom)
    rows, columns = len(image), len(image[0])
    best = (-1, None, None)
    for oy in range(top, top + height - rows + 1):
        for ox in range(left, left + width - columns + 1):
            if shown(ox, oy) != image[0][0]:
                continue
            matched = 0
            for y in range(rows):
                if any(shown(ox + x, oy + y) != image[y][x] for x in range(columns)):
                    break
                matched += 1
            if matched == rows:
                off_centre = centred and centring(shown, ox, oy, columns, rows, (left, top, width, height))
                if off_centre:
                    print(f"{image_path}: shown at {ox},{oy} at {zoom}, but not centred: {off_centre}")
                    return 1
                print(f"{image_path}: shown at {ox},{oy} at {zoom}")
                return 0
            if matched > best[0]:
                bad = next(x for x in range(columns) if shown(ox + x, oy + matched) != image[matched][x])
                best = (matched, (ox, oy), (bad, matched, shown(ox + bad, oy + matched), image[matched][bad]))
    if best[1] is None:
        print(f"{image_path}: not on the screen: no pixel shows its top-left colour {image[0][0]}")
    else:
        (ox, oy), (x, y, got, wanted) = best[1], best[2]
        print(f"{image_path}: not on the screen; the nearest match, at {ox},{oy}, shows {got} "
              f"at the image's pixel {x},{y}, where it has {wanted}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
