#!/usr/bin/python3
"""Pictures for the Windows tests, with Debian's Python Imaging Library (python3-pil, for /usr/bin/python3).

  pictures.py compare LINUX.png WINDOWS.png T N     two frames: colours within T, edges moved by a
                                                    pixel, and at most N other pixels (see compare)
  pictures.py title SHOT.ppm                            the title is drawn: its grey ground and the logo
  pictures.py moved A.ppm B.ppm                         the view changed between two grabs
(The grabs themselves are ImageMagick's: import -window.)
"""
import sys
from PIL import Image, ImageChops, ImageFilter


def load(path):
    return Image.open(path).convert('RGB')


def compare(linux, windows, tolerance, allowed):
    """Two rasterisers may differ in colour by rounding (bilinear weights at texel centres, lighting) up to
    `tolerance` per channel, and at edges: a pixel whose colour lies within the range of the other picture's
    3 x 3 neighbourhood (and the other way round) is an edge a rounding moved by a pixel. What is left is
    listed; more than `allowed` such pixels fail."""
    a, b = load(linux), load(windows)
    if a.size != b.size:
        print(f'sizes differ: {a.size} and {b.size}')
        return 1
    # Each picture's per-channel least and greatest value over every pixel's 3 x 3 neighbourhood.
    lows = [list(p.filter(ImageFilter.MinFilter(3)).getdata()) for p in (a, b)]
    highs = [list(p.filter(ImageFilter.MaxFilter(3)).getdata()) for p in (a, b)]

    def within(other, i, colour):
        return all(lows[other][i][k] - tolerance <= colour[k] <= highs[other][i][k] + tolerance for k in range(3))

    rounding = edges = 0
    left = []
    for i, (pa, pb) in enumerate(zip(a.getdata(), b.getdata())):
        d = max(abs(pa[k] - pb[k]) for k in range(3))
        if d == 0:
            continue
        if d <= tolerance:
            rounding += 1
        elif within(0, i, pb) and within(1, i, pa):
            edges += 1
        else:
            left.append((i % a.width, i // a.width, pa, pb))
    print(f'{rounding} pixels within {tolerance}, {edges} edge pixels, {len(left)} others (at most {allowed})')
    for x, y, pa, pb in left:
        print(f'  ({x}, {y}): Linux {pa}, Windows {pb}')
    return 0 if len(left) <= allowed else 1


def title(path):
    """The 640 x 480 picture in a grab is the whole of it in full screen, or lies inside the frame Wine draws
    itself without a window manager (borders of equal width, the title bar above)."""
    shot = load(path)
    left = (shot.width - 640) // 2
    top = shot.height - 480 - left
    at = lambda px, py: shot.getpixel((left + px, top + py))
    ground = at(620, 460)  # the title's grey ground, bottom right below "PUSH ENTER"
    logo = sum(1 for px in range(60, 500, 4) for py in range(40, 130, 4) if at(px, py)[2] > at(px, py)[0] + 60)
    print(f'title: ground {ground}, {logo} blue samples in the logo')
    grey = max(ground) - min(ground) < 8 and 150 < ground[0] < 240
    return 0 if grey and logo > 50 else 1


def moved(a, b):
    changed = sum(1 for r, g, _ in ImageChops.difference(load(a), load(b)).getdata() if r + g > 24)
    print(f'moved: {changed} pixels changed')
    return 0 if changed > 5000 else 1


if __name__ == '__main__':
    command, args = sys.argv[1], sys.argv[2:]
    if command == 'compare':
        sys.exit(compare(args[0], args[1], int(args[2]), int(args[3])))
    if command == 'title':
        sys.exit(title(args[0]))
    if command == 'moved':
        sys.exit(moved(args[0], args[1]))
    sys.exit(__doc__)
