#!/usr/bin/python3
"""Writes hostile skins, one per kind, into OUTDIR.

Each kind is a small file (or a folder skin) that once made the skin readers
crash, hang or take gigabytes. Packages are named KIND.asz, folder skins are
folders named KIND. Two kinds are built from the Wood package and must still
load; they need --wood (the default is the build folder's Wood.asz).

    hostile_skins.py OUTDIR [--wood Wood.asz] [--only KIND ...] [--list]

The kinds and what a sound reader does with each are in KINDS below; the
start-up test reads them from `--list` (name, then expectation: "error" for
a skin that must be refused with a message box, "load" for one that must
load as a user skin looking like Wood, "any" where either is sound).
"""

import argparse
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Package writing and reading
# ---------------------------------------------------------------------------

MAGIC = b"ASzf"


def member_record(name, raw_size, stream):
    """One member: name length, name (Windows-1251), unpacked size, zlib stream."""
    encoded = name.encode("cp1251") if isinstance(name, str) else name
    return struct.pack("<i", len(encoded)) + encoded + struct.pack("<i", raw_size) + stream


def package(members):
    """members: (name, bytes) or (name, raw size, ready zlib stream) tuples."""
    out = [MAGIC, struct.pack("<i", len(members))]
    for m in members:
        if len(m) == 2:
            out.append(member_record(m[0], len(m[1]), zlib.compress(m[1])))
        else:
            out.append(member_record(*m))
    return b"".join(out)


def deflate_repeated(chunk, times):
    """A zlib stream of `chunk` repeated, without holding the whole text."""
    z = zlib.compressobj(9)
    parts = [z.compress(chunk) for _ in range(times)]
    parts.append(z.flush())
    return b"".join(parts)


def read_package(data):
    """Returns [(name bytes, unpacked bytes)] of a package."""
    assert data[:4] == MAGIC, "not a skin package"
    (count,) = struct.unpack_from("<i", data, 4)
    at, members = 8, []
    for _ in range(count):
        (length,) = struct.unpack_from("<i", data, at)
        name = data[at + 4 : at + 4 + length]
        at += 4 + length + 4
        z = zlib.decompressobj()
        raw = z.decompress(data[at:])
        at = len(data) - len(z.unused_data)
        members.append((name, raw))
    return members


def options(*sections):
    """An options text from (section, [(key, value)]) pairs, CR LF line ends."""
    lines = []
    for name, keys in sections:
        lines.append("[%s]" % name)
        lines.extend("%s=%s" % kv for kv in keys)
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")


GLOBAL = ("GLOBALINFO", [("VERSION", "6.5"), ("MASTERBITMAP", "MASTER.BMP")])

# ---------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------


def bmp_rle8(width, height, rle):
    """A run-length 8-bit BMP (bottom-up) with a grey palette."""
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(rle), 2835, 2835, 256, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(rle), 0, 0, offset) + info + palette + rle


def bmp24(width, height, row_of):
    """A plain 24-bit BMP whose rows (bottom-up) `row_of(y)` gives as bytes."""
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(row_of(y).ljust(stride, b"\0") for y in range(height))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) + info + pixels


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png_palette_1bit(width, height):
    """A 1-bit paletted PNG of stripes; its image data is compressed row by row."""
    row = b"\0" + b"\x55" * ((width + 7) // 8)
    header = struct.pack(">IIBBBBB", width, height, 1, 3, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + png_chunk(b"IHDR", header)
        + png_chunk(b"PLTE", bytes((90, 60, 30, 200, 160, 110)))
        + png_chunk(b"IDAT", deflate_repeated(row, height))
        + png_chunk(b"IEND", b"")
    )


def jpeg_progressive_header(width, height):
    """A progressive JPEG of three components that claims width x height and
    carries one tiny DC scan: every decoder must size its whole-picture
    buffers from the header before it sees there is almost no data."""
    def segment(marker, body):
        return b"\xff" + bytes((marker,)) + struct.pack(">H", len(body) + 2) + body

    dqt = segment(0xDB, b"\x00" + bytes([1] * 64))
    sof2 = segment(0xC2, struct.pack(">BHHB", 8, height, width, 3)
                   + b"\x01\x11\x00" + b"\x02\x11\x00" + b"\x03\x11\x00")
    # DC table 0: one code of length 1 for category 0 (no difference).
    dht = segment(0xC4, b"\x00" + bytes([1] + [0] * 15) + b"\x00")
    sos = segment(0xDA, b"\x03" + b"\x01\x00" + b"\x02\x00" + b"\x03\x00" + b"\x00\x00\x00")
    body = b"\xff\xd8" + dqt + sof2 + dht + sos + b"\x00" * 900 + b"\xff\xd9"
    return body


# ---------------------------------------------------------------------------
# The kinds
# ---------------------------------------------------------------------------

INT_MAX = 2**31 - 1


def rle_past_int_max(total_step, height=16):
    """RLE8 whose delta records move the column by `total_step` on the first
    row in memory, then paint eight pixels of colour 0x2A there."""
    rle = b"\x00\x00" * (height - 1)  # to the last row in file order
    full, rest = divmod(total_step, 255)
    rle += b"\x00\x02\xff\x00" * full
    if rest:
        rle += b"\x00\x02" + bytes((rest, 0))
    rle += b"\x08\x2a\x00\x01"
    return bmp_rle8(16, height, rle)


def kind_rle_column_overflow(out, wood):
    # Past INT_MAX the column wraps near INT_MIN: a write gigabytes away.
    bmp = rle_past_int_max(INT_MAX + 1 + 255)
    write_package(out, "rle-column-overflow", [("Options.dat", options(GLOBAL)), ("Master.bmp", bmp)])


def kind_rle_column_overflow_quiet(out, wood):
    # Wrapping all the way round to -16: a write just before the pixels.
    bmp = rle_past_int_max(2**32 - 16)
    write_package(out, "rle-column-overflow-quiet",
                  [("Options.dat", options(GLOBAL)), ("Master.bmp", bmp)])


def chain_sections(count, ring):
    sections = [GLOBAL]
    for i in range(count):
        parent = (i + 1) % count if ring or i + 1 < count else None
        keys = [("COLOR", str(i)), ("TRANSPARENCY", "0")]
        if parent is not None:
            keys.insert(0, ("PARENTCLASS", "S%05d" % parent))
        sections.append(("S%05d" % i, keys))
    return options(*sections)


def kind_parent_chain(out, wood):
    write_package(out, "parent-chain-3000", [("Options.dat", chain_sections(3000, False))])


def kind_parent_ring(out, wood):
    write_package(out, "parent-ring-10000", [("Options.dat", chain_sections(10000, True))])


def kind_many_keys(out, wood):
    keys = [("K%06d" % i, str(i)) for i in range(200000)]
    write_package(out, "section-keys-200000", [("Options.dat", options(GLOBAL, ("MANY", keys)))])


def kind_zlib_bombs(out, wood):
    # Eight members of 255 MiB of zeros each that nothing refers to.
    size = 255 * 1024 * 1024
    stream = deflate_repeated(b"\0" * (1024 * 1024), 255)
    bombs = [("Unused%d.bmp" % i, size, stream) for i in range(8)]
    opts = options(GLOBAL)
    write_package(out, "zlib-bombs-unreferenced",
                  [("Options.dat", len(opts), zlib.compress(opts))] + bombs)


def kind_huge_options(out, wood):
    head = options(GLOBAL, ("PAD", []))
    line = b";" + b"=" * 1021 + b"\r\n"
    count = (200 * 1024 * 1024 - len(head)) // len(line)
    z = zlib.compressobj(9)
    stream = z.compress(head) + b"".join(z.compress(line) for _ in range(count)) + z.flush()
    write_package(out, "options-text-200mib",
                  [("Options.dat", len(head) + count * len(line), stream)])


def kind_rle_six_keys(out, wood):
    width, height = 16384, 4096
    row = b"\xff\x40" * (width // 255) + bytes((width % 255, 0x80)) + b"\x00\x00"
    bmp = bmp_rle8(width, height, row * height + b"\x00\x01")
    keys = [("BIG%d" % i, "!HUGE.BMP!1!0!0") for i in range(6)]
    write_package(out, "rle-16384x4096-six-keys",
                  [("Options.dat", options(GLOBAL, ("HUGE", keys))), ("Huge.bmp", bmp)])


def kind_png_four_keys(out, wood):
    png = png_palette_1bit(16384, 4096)
    keys = [("BIG%d" % i, "!HUGE.PNG!1!0!0") for i in range(4)]
    write_package(out, "png-16384x4096-four-keys",
                  [("Options.dat", options(GLOBAL, ("HUGE", keys))), ("Huge.png", png)])


def kind_jpeg_claims(out, wood):
    jpeg = jpeg_progressive_header(16384, 4096)
    opts = options(GLOBAL, ("HUGE", [("PATTERN", "HUGE.JPG"), ("HOTPATTERN", "HUGE.JPG")]))
    write_package(out, "jpeg-progressive-claims-16384x4096",
                  [("Options.dat", opts), ("Huge.jpg", jpeg)])


def kind_dev_zero(out, wood):
    folder = os.path.join(out, "folder-master-dev-zero")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "Options.dat"), "wb") as f:
        f.write(options(GLOBAL))
    link = os.path.join(folder, "MASTER.BMP")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink("/dev/zero", link)


def wood_members(wood):
    with open(wood, "rb") as f:
        return read_package(f.read())


def kind_cyrillic_names(out, wood):
    # The same skin as Wood with its pictures renamed in Cyrillic: it must
    # look exactly like Wood.
    renames = {b"MASTER.BMP": "МАСТЕР.BMP", b"BUTTONHUGE.BMP": "КНОПКА.BMP", b"BG_B.JPG": "ФОН.JPG"}
    members = []
    for name, raw in wood_members(wood):
        upper = name.upper()
        if upper == b"OPTIONS.DAT":
            text = raw.decode("cp1251")
            for old, new in renames.items():
                text = text.replace(old.decode(), new)
            members.append(("Options.dat", text.encode("cp1251")))
        else:
            members.append((renames.get(upper, name), raw))
    write_package(out, "cyrillic-member-names", members)


def kind_ten_times_wood(out, wood):
    # Wood plus a picture that a section of its own refers to: ten times
    # Wood's package and ten times its decoded pixels. It must load.
    import random

    rng = random.Random(18)
    members = wood_members(wood)
    # Wood packed as users' packages are: the program's own copy is stored
    # uncompressed and would make the comparison meaningless.
    wood_size = len(package(wood_members(wood)))
    width, height = 1600, 1500
    # Every eighth row is noise, the others repeat: about 1 MB packed.
    rows = [rng.randbytes(width * 3) if y % 8 == 0 else b"\x80" * (width * 3) for y in range(height)]
    bmp = bmp24(width, height, lambda y: rows[y])
    for i, (name, raw) in enumerate(members):
        if name.upper() == b"OPTIONS.DAT":
            members[i] = (name, raw + b"[HOSTILEBIG]\r\nBORDERSMASK=!LARGE.BMP!1!0!0\r\n")
    members.append((b"Large.bmp", bmp))
    path = write_package(out, "ten-times-wood", members)
    ratio = os.path.getsize(path) / wood_size
    assert ratio >= 8, "the large skin is only %.1f times Wood's size" % ratio


def write_package(out, kind, members):
    path = os.path.join(out, kind + ".asz")
    with open(path, "wb") as f:
        f.write(package(members))
    return path


# name, expectation at start-up, writer
KINDS = [
    ("rle-column-overflow", "any", kind_rle_column_overflow),
    ("rle-column-overflow-quiet", "any", kind_rle_column_overflow_quiet),
    ("parent-chain-3000", "any", kind_parent_chain),
    ("parent-ring-10000", "any", kind_parent_ring),
    ("section-keys-200000", "any", kind_many_keys),
    ("zlib-bombs-unreferenced", "any", kind_zlib_bombs),
    ("options-text-200mib", "error", kind_huge_options),
    ("rle-16384x4096-six-keys", "any", kind_rle_six_keys),
    ("png-16384x4096-four-keys", "any", kind_png_four_keys),
    ("jpeg-progressive-claims-16384x4096", "any", kind_jpeg_claims),
    ("folder-master-dev-zero", "any", kind_dev_zero),
    ("cyrillic-member-names", "load", kind_cyrillic_names),
    ("ten-times-wood", "load", kind_ten_times_wood),
]
NEEDS_WOOD = {"cyrillic-member-names", "ten-times-wood"}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Writes hostile skins, one per kind.")
    parser.add_argument("outdir", nargs="?")
    parser.add_argument("--wood", default=os.path.join(here, "../../build/generated/skin/Wood.asz"))
    parser.add_argument("--only", nargs="*", help="kinds to write (default: all)")
    parser.add_argument("--list", action="store_true", help="print each kind and its expectation")
    args = parser.parse_args()
    if args.list:
        for name, expect, _ in KINDS:
            print(name, expect)
        return 0
    if not args.outdir:
        parser.error("OUTDIR is needed")
    os.makedirs(args.outdir, exist_ok=True)
    for name, _, write in KINDS:
        if args.only and name not in args.only:
            continue
        if name in NEEDS_WOOD and not os.path.exists(args.wood):
            print("hostile_skins: %s needs the Wood package (--wood)" % name, file=sys.stderr)
            return 1
        write(args.outdir, args.wood)
    return 0


if __name__ == "__main__":
    sys.exit(main())
