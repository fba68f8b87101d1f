#!/usr/bin/env python3
"""Pictures for the Windows tests, with nothing but the standard library (and libX11 through ctypes).

  pictures.py compare LINUX.png WINDOWS.png T N     two frames: colours within T, edges moved by a
                                                    pixel, and at most N other pixels (see compare)
  pictures.py grab WINDOW|root OUT.ppm                  a window's pixels (X11, DISPLAY)
  pictures.py title SHOT.ppm                            the title is drawn: its grey ground and the logo
  pictures.py moved A.ppm B.ppm                         the view changed between two grabs
"""
import ctypes
import struct
import sys
import zlib


def read_png(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    at, idat, header = 8, b'', None
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (2, 6) and interlace == 0, (path, header)
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * step
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b = prev[i]
            c = prev[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line[j:j + 3]) for j in range(0, stride, step))
        rows[-1] = b''.join(rows[-1])
        prev = line
    return width, height, b''.join(rows)


def read_ppm(path):
    data = open(path, 'rb').read()
    magic, width, height, _, pixels = data.split(maxsplit=4)
    assert magic == b'P6'
    return int(width), int(height), pixels


def compare(linux, windows, tolerance, allowed):
    """Two rasterisers may differ in colour by rounding (bilinear weights at texel centres, lighting) up to
    `tolerance` per channel, and at edges: a pixel whose colour lies within the range of the other picture's
    3 x 3 neighbourhood (and the other way round) is an edge a rounding moved by a pixel. What is left is
    listed; more than `allowed` such pixels fail."""
    w, h, a = read_png(linux)
    w2, h2, b = read_png(windows)
    if (w, h) != (w2, h2):
        print(f'sizes differ: {w}x{h} and {w2}x{h2}')
        return 1

    def within(img, x, y, colour):
        for k in range(3):
            values = [img[3 * ((y + dy) * w + x + dx) + k] for dx in (-1, 0, 1) for dy in (-1, 0, 1)
                      if 0 <= x + dx < w and 0 <= y + dy < h]
            if not min(values) - tolerance <= colour[k] <= max(values) + tolerance:
                return False
        return True

    rounding = edges = 0
    left = []
    for y in range(h):
        for x in range(w):
            i = 3 * (y * w + x)
            pa, pb = a[i:i + 3], b[i:i + 3]
            d = max(abs(pa[0] - pb[0]), abs(pa[1] - pb[1]), abs(pa[2] - pb[2]))
            if d == 0:
                continue
            if d <= tolerance:
                rounding += 1
            elif within(a, x, y, pb) and within(b, x, y, pa):
                edges += 1
            else:
                left.append((x, y, tuple(pa), tuple(pb)))
    print(f'{rounding} pixels within {tolerance}, {edges} edge pixels, {len(left)} others (at most {allowed})')
    for x, y, pa, pb in left:
        print(f'  ({x}, {y}): Linux {pa}, Windows {pb}')
    return 0 if len(left) <= allowed else 1


class XImage(ctypes.Structure):
    _fields_ = [('width', ctypes.c_int), ('height', ctypes.c_int), ('xoffset', ctypes.c_int),
                ('format', ctypes.c_int), ('data', ctypes.POINTER(ctypes.c_ubyte)), ('byte_order', ctypes.c_int),
                ('bitmap_unit', ctypes.c_int), ('bitmap_bit_order', ctypes.c_int), ('bitmap_pad', ctypes.c_int),
                ('depth', ctypes.c_int), ('bytes_per_line', ctypes.c_int), ('bits_per_pixel', ctypes.c_int)]


def grab(window, out):
    """Window 'root' is the screen's top-left 640 x 480 (a full-screen game in Wine's virtual desktop draws
    there, not into its own window)."""
    x = ctypes.cdll.LoadLibrary('libX11.so.6')
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = x.XOpenDisplay(None)
    if not display:
        print('no X display')
        return 1
    if window == 'root':
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        window, width, height = x.XDefaultRootWindow(ctypes.c_void_p(display)), 640, 480
    else:
        window = int(window, 0)
        attributes = (ctypes.c_int * 32)()
        x.XGetWindowAttributes(ctypes.c_void_p(display), ctypes.c_ulong(window), attributes)
        width, height = attributes[2], attributes[3]
    image = x.XGetImage(ctypes.c_void_p(display), window, 0, 0, width, height, 0xFFFFFFFF, 2)
    if not image:
        print('no image of window', window)
        return 1
    im = image.contents
    rows = []
    for y in range(im.height):
        line = ctypes.string_at(ctypes.addressof(im.data.contents) + y * im.bytes_per_line, im.width * 4)
        rows.append(b''.join(bytes((line[i + 2], line[i + 1], line[i])) for i in range(0, len(line), 4)))
    with open(out, 'wb') as f:
        f.write(b'P6 %d %d 255\n' % (im.width, im.height) + b''.join(rows))
    return 0


def client(path):
    """The 640 x 480 picture in a grab: the whole window in full screen, or inside the frame Wine draws
    itself without a window manager (borders of equal width, the title bar above)."""
    width, height, pixels = read_ppm(path)
    left = (width - 640) // 2
    top = height - 480 - left
    return lambda px, py: pixels[3 * ((top + py) * width + (left + px)):][:3]


def title(path):
    at = client(path)
    ground = at(620, 460)  # the title's grey ground, bottom right below "PUSH ENTER"
    logo = sum(1 for px in range(60, 500, 4) for py in range(40, 130, 4) if at(px, py)[2] > at(px, py)[0] + 60)
    print(f'title: ground {tuple(ground)}, {logo} blue samples in the logo')
    grey = max(ground) - min(ground) < 8 and 150 < ground[0] < 240
    return 0 if grey and logo > 50 else 1


def moved(a, b):
    _, _, p = read_ppm(a)
    _, _, q = read_ppm(b)
    changed = sum(1 for i in range(0, min(len(p), len(q)), 3) if abs(p[i] - q[i]) + abs(p[i + 1] - q[i + 1]) > 24)
    print(f'moved: {changed} pixels changed')
    return 0 if changed > 5000 else 1


if __name__ == '__main__':
    command, args = sys.argv[1], sys.argv[2:]
    if command == 'compare':
        sys.exit(compare(args[0], args[1], int(args[2]), int(args[3])))
    if command == 'grab':
        sys.exit(grab(args[0], args[1]))
    if command == 'title':
        sys.exit(title(args[0]))
    if command == 'moved':
        sys.exit(moved(args[0], args[1]))
    sys.exit(__doc__)
