#!/usr/bin/env python3
"""kelctl stats and compare against numpy: generated pictures are written as bitmaps (and one
as a sensor image file, which kelctl converts), kelctl measures them, and numpy computes the
same figures from the pixels on its own.

usage: check_picture_figures.py KELCTL
Exit status 0 when every figure agrees, 1 when one does not, 77 when numpy is missing."""

import json
import os
import struct
import subprocess
import sys
import tempfile

try:
    import numpy as np
except ImportError:
    print("numpy is not installed (Debian: python3-numpy)")
    sys.exit(77)

WIDTH, HEIGHT = 508, 432
STATUS_USAGE = 2
STATUS_PICTURES_DIFFER = 16
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def write_bitmap(path, pixels):
    """pixels: rows from the top, H x W x 3 (red, green, blue) or H x W (grey, with a palette)."""
    height, width = pixels.shape[:2]
    grey = pixels.ndim == 2
    rows = pixels if grey else pixels[:, :, ::-1].reshape(height, 3 * width)
    padding = b"\0" * (-rows.shape[1] % 4)
    body = b"".join(rows[y].tobytes() + padding for y in range(height - 1, -1, -1))
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256)) if grey else b""
    offset = 54 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8 if grey else 24, 0,
                          len(body), 100, 100, 256 if grey else 0, 0)
    with open(path, "wb") as f:
        f.write(header + palette + body)


def write_kel(path, raw, phase, gains):
    height, width = raw.shape
    with open(path, "wb") as f:
        f.write(b"KEL-CA  " + bytes((phase, *gains)) + struct.pack("<hh", width, height))
        f.write(raw.tobytes() + b"\0\0")


def read_bitmap(path):
    """The pixels of a 24-bit bitmap as H x W x 3 (red, green, blue), rows from the top."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    row = (3 * width + 3) // 4 * 4
    rows = np.frombuffer(data, np.uint8, row * height, offset).reshape(height, row)
    return rows[::-1, :3 * width].reshape(height, width, 3)[:, :, ::-1]


def kelctl(*args):
    run = subprocess.run([KELCTL, "--settings", SETTINGS, *args], capture_output=True)
    return run.returncode, run.stdout.decode(), run.stderr.decode()


def channels_of(pixels):
    if pixels.ndim == 2:
        return [("grey", pixels)]
    return [(name, pixels[:, :, i]) for i, name in enumerate(("red", "green", "blue"))]


def expected_stats(pixels, roi):
    height, width = pixels.shape[:2]
    x, y, w, h = roi if roi else (0, 0, width, height)
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, width), min(y + h, height)
    figures = []
    for name, plane in channels_of(pixels):
        part = plane[y0:y1, x0:x1].astype(np.float64)
        count = part.size
        at255 = int((part == 255).sum())
        figures.append({
            "channel": name, "mean": part.mean(), "standardDeviation": part.std(),
            "minimum": int(part.min()), "maximum": int(part.max()),
            "at0": int((part == 0).sum()), "at255": at255,
            "percentAt0": 100.0 * (part == 0).sum() / count, "percentAt255": 100.0 * at255 / count,
            "saturated": at255 / count > 0.005,
            "histogram": np.bincount(part.astype(np.int64).ravel(), minlength=256).tolist()})
    return (x0, y0, x1 - x0, y1 - y0), figures


def close(a, b):
    return isinstance(a, (int, float)) and abs(a - b) <= 1e-9 * max(1.0, abs(b))


def compare_figures(what, got, expected):
    check(len(got) == len(expected), f"{what}: {len(got)} channels, numpy {len(expected)}")
    for g, e in zip(got, expected):
        for key, value in e.items():
            if isinstance(value, list):  # the histogram: the first bin that differs
                bins = [v for v in range(256) if g[key][v] != value[v]]
                check(not bins, f"{what} {e['channel']} {key}: bin {bins[:1]} differs")
                continue
            same = close(g[key], value) if isinstance(value, float) else g[key] == value
            check(same, f"{what} {e['channel']} {key}: kelctl {g[key]}, numpy {value}")


def check_stats(what, path, pixels, roi=None):
    args = ["stats", "--json", path] + (["--roi", ",".join(map(str, roi))] if roi else [])
    status, out, err = kelctl(*args)
    if status != 0:
        failures.append(f"{what}: stats exited {status}: {err}")
        return None
    got = json.loads(out)
    area, expected = expected_stats(pixels, roi)
    check((got["area"]["x"], got["area"]["y"], got["area"]["width"], got["area"]["height"]) ==
          area, f"{what}: area {got['area']}, numpy {area}")
    check(got["pixels"] == area[2] * area[3], f"{what}: {got['pixels']} pixels")
    compare_figures(what, got["channels"], expected)
    return got


def check_compare(what, path_a, a, path_b, b, threshold=None, max_share=None):
    args = ["compare", "--json", path_a, path_b]
    if threshold is not None:
        args += ["--threshold", str(threshold)]
    if max_share is not None:
        args += ["--max-share", str(max_share)]
    status, out, err = kelctl(*args)
    got = json.loads(out)
    t = 16 if threshold is None else threshold
    d = np.abs(a.astype(np.int64) - b.astype(np.int64))
    d = d if d.ndim == 3 else d[:, :, None]
    over = int((d.max(axis=2) > t).sum())
    percent = 100.0 * over / (d.shape[0] * d.shape[1])
    exceeded = max_share is not None and percent > max_share
    check(status == (STATUS_PICTURES_DIFFER if exceeded else 0),
          f"{what}: status {status}, expected {'15' if exceeded else '0'}: {err}")
    check(got["overThreshold"] == over, f"{what}: {got['overThreshold']} over, numpy {over}")
    check(close(got["percentOverThreshold"], percent), f"{what}: {got['percentOverThreshold']} %")
    check(got["exceeded"] == exceeded, f"{what}: exceeded {got['exceeded']}")
    names = [name for name, _ in channels_of(a)]
    for c, (name, g) in enumerate(zip(names, got["channels"])):
        check(g["channel"] == name, f"{what}: channel {g['channel']}, expected {name}")
        check(close(g["meanAbsoluteDifference"], d[:, :, c].mean()),
              f"{what} {name}: mean difference {g['meanAbsoluteDifference']}")
        check(g["largestDifference"] == int(d[:, :, c].max()), f"{what} {name}: largest")


def check_png(folder, kel, bitmap_pixels):
    """convert --png: the PNG beside the bitmap, or alone for a name ending in .png, holds the
    bitmap's pixels (read back by Pillow where it is installed)."""
    both = os.path.join(folder, "both.bmp")
    status, out, err = kelctl("convert", "--png", kel, both)
    png = os.path.join(folder, "both.png")
    check(status == 0 and out.split() == [both, png], f"convert --png: {status} {out} {err}")
    alone = os.path.join(folder, "alone.png")
    status, out, err = kelctl("convert", "--png", "--grey", kel, alone)
    check(status == 0 and out.split() == [alone], f"convert --png to .png: {status} {out} {err}")
    for path in (png, alone):
        check(open(path, "rb").read(8) == b"\x89PNG\r\n\x1a\n", f"{path}: no PNG signature")
    try:
        from PIL import Image
    except ImportError:
        return
    check(np.array_equal(np.asarray(Image.open(png).convert("RGB")), bitmap_pixels),
          "convert --png: the PNG's pixels are not the bitmap's")
    raw = np.fromfile(kel, np.uint8, WIDTH * HEIGHT, offset=16).reshape(HEIGHT, WIDTH)
    check(np.array_equal(np.asarray(Image.open(alone)), raw),
          "convert --png --grey: the PNG's pixels are not the raw values")


def main(folder):
    rng = np.random.default_rng(30)
    y, x = np.mgrid[0:HEIGHT, 0:WIDTH]
    pictures = {
        "uniform": np.dstack([np.full((HEIGHT, WIDTH), v, np.uint8) for v in (128, 0, 255)]),
        "ramps": np.dstack([x * 255 // (WIDTH - 1), y * 255 // (HEIGHT - 1),
                            (x + y) % 256]).astype(np.uint8),
        "noise": rng.integers(0, 256, (HEIGHT, WIDTH, 3), dtype=np.uint8),
        "odd size": rng.integers(0, 256, (23, 37, 3), dtype=np.uint8),
        "grey ramp": ((x + 2 * y) % 256).astype(np.uint8),
    }
    # Red saturated in 0.6 % of the pixels, green in 0.4 %: only red is marked.
    saturated = rng.integers(0, 250, (HEIGHT, WIDTH, 3), dtype=np.uint8)
    spots = rng.permutation(WIDTH * HEIGHT)
    saturated.reshape(-1, 3)[spots[:int(0.006 * WIDTH * HEIGHT)], 0] = 255
    saturated.reshape(-1, 3)[spots[:int(0.004 * WIDTH * HEIGHT)], 1] = 255
    pictures["saturated"] = saturated

    paths = {}
    for name, pixels in pictures.items():
        paths[name] = os.path.join(folder, name.replace(" ", "_") + ".bmp")
        write_bitmap(paths[name], pixels)

    rois = [None, (100, 50, 200, 100), (500, 420, 20, 20), (-5, -7, 10, 10), (507, 431, 1, 1)]
    for name, pixels in pictures.items():
        for roi in rois if pixels.shape[1] == WIDTH else [None, (30, 20, 10, 10)]:
            check_stats(f"{name} {roi}", paths[name], pixels, roi)
    got = check_stats("saturated", paths["saturated"], pictures["saturated"])
    if got:
        check([c["saturated"] for c in got["channels"]] == [True, False, False],
              "saturated: only red is marked")

    # A sensor image file is measured through the program's conversion: as its bitmap is.
    kel = os.path.join(folder, "mosaic.KEL")
    write_kel(kel, rng.integers(0, 256, (HEIGHT, WIDTH), dtype=np.uint8), 1, (40, 0, 90))
    converted = os.path.join(folder, "mosaic.bmp")
    status, _, err = kelctl("convert", kel, converted)
    check(status == 0, f"convert exited {status}: {err}")
    if status == 0:
        check_stats("sensor image file", kel, read_bitmap(converted), (10, 10, 300, 200))
        check_png(folder, kel, read_bitmap(converted))

    ramps, noise = pictures["ramps"], pictures["noise"]
    drifted = ramps.copy()
    drifted[100:140, 200:300] = np.clip(drifted[100:140, 200:300].astype(int) + 30, 0, 255)
    drifted[300:310, :, 2] = 255 - drifted[300:310, :, 2]
    paths["drifted"] = os.path.join(folder, "drifted.bmp")
    write_bitmap(paths["drifted"], drifted)
    check_compare("itself", paths["ramps"], ramps, paths["ramps"], ramps, max_share=0)
    check_compare("drifted", paths["drifted"], drifted, paths["ramps"], ramps)
    check_compare("drifted, threshold 40", paths["drifted"], drifted, paths["ramps"], ramps, 40)
    check_compare("drifted, 5 % allowed", paths["drifted"], drifted, paths["ramps"], ramps,
                  max_share=5)
    check_compare("drifted, 1 % allowed", paths["drifted"], drifted, paths["ramps"], ramps,
                  max_share=1)
    check_compare("noise", paths["noise"], noise, paths["ramps"], ramps, 0)
    grey = pictures["grey ramp"]
    brighter = np.clip(grey.astype(int) + rng.integers(0, 40, grey.shape), 0, 255).astype(np.uint8)
    paths["brighter"] = os.path.join(folder, "brighter.bmp")
    write_bitmap(paths["brighter"], brighter)
    check_compare("grey", paths["brighter"], brighter, paths["grey ramp"], grey, max_share=50)

    for other in ("odd size", "grey ramp"):
        status, out, err = kelctl("compare", "--json", paths[other], paths["ramps"])
        check(status == STATUS_USAGE, f"compare with {other}: status {status}")
        check(json.loads(out)["compared"] is False, f"compare with {other}: {out}")
        check(err.strip() != "", f"compare with {other}: nothing said")


if __name__ == "__main__":
    KELCTL = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        SETTINGS = os.path.join(folder, "Setting.ini")
        with open(SETTINGS, "w") as f:
            f.write("[OPERATION]\r\nLanguage=English\r\n")
        main(folder)
    for failure in failures:
        print(failure)
    print(f"{len(failures)} figures differ" if failures else "all figures agree")
    sys.exit(1 if failures else 0)
