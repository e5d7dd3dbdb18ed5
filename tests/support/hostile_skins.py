#!/usr/bin/python3
"""Writes hostile skins, one per kind, into OUTDIR.

Each kind is a small file (or a folder skin) that once made the skin readers
crash, hang or take gigabytes. Packages are named KIND.asz, folder skins are
folders named KIND; a few are named pipes, or folders holding one, and must
be copied as pipes (cp -a), never read. Four kinds are built from the Wood
package; they need --wood (the default is the build folder's Wood.asz).

    hostile_skins.py OUTDIR [--wood Wood.asz] [--only KIND ...] [--list]

The kinds and what a sound reader does with each are in KINDS below; the
start-up test reads them from `--list` (name, then expectation: "error" for
a skin that must be refused with a message box, "load" for one that must
load as a user skin looking like Wood, "any" where either is sound).
"""

import argparse
import os
import re
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


def deflate_pieces(pieces):
    """A zlib stream of the byte strings `pieces` yields, one after another:
    large members are streamed, never held whole."""
    z = zlib.compressobj(9)
    parts = [z.compress(piece) for piece in pieces]
    parts.append(z.flush())
    return b"".join(parts)


def padded(head, size, filler=b"\0"):
    """(size, stream) of `head` followed by `filler` repeated up to `size` bytes."""
    assert len(head) <= size and (size - len(head)) % len(filler) == 0

    def pieces():
        yield head
        left = (size - len(head)) // len(filler)
        block = max(1, (1 << 20) // len(filler))
        while left:
            n = min(block, left)
            yield filler * n
            left -= n

    return size, deflate_pieces(pieces())


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


def bmp_rle8_header(width, height, rle_length):
    """The headers and grey palette of a run-length 8-bit BMP (bottom-up)
    whose run records, `rle_length` bytes of them, follow."""
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, rle_length, 2835, 2835, 256, 0)
    return b"BM" + struct.pack("<IHHI", offset + rle_length, 0, 0, offset) + info + palette


def bmp_rle8(width, height, rle):
    """A run-length 8-bit BMP (bottom-up) with a grey palette."""
    return bmp_rle8_header(width, height, len(rle)) + rle


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


# A small JPEG writer for flat-colour pictures: every block of a flat
# picture has the same DC coefficient and no AC ones, so a picture of any
# size is a run of a few identical codes.


def jpeg_segment(marker, body):
    return b"\xff" + bytes((marker,)) + struct.pack(">H", len(body) + 2) + body


class JpegBits:
    """Entropy-coded bits, most significant first, with 0xFF bytes stuffed."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def put(self, code, length):
        self.acc = (self.acc << length) | code
        self.count += length
        while self.count >= 8:
            self.count -= 8
            byte = (self.acc >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)
        self.acc &= (1 << self.count) - 1

    def put_repeated(self, code, length, times):
        """`times` copies of one code, in bulk where the bits line up."""
        while times and self.count:
            self.put(code, length)
            times -= 1
        # Aligned: eight copies fill `length` whole bytes.
        group = JpegBits()
        for _ in range(8):
            group.put(code, length)
        self.out += bytes(group.out) * (times // 8)
        for _ in range(times % 8):
            self.put(code, length)

    def finish(self):
        """The bytes, the last one padded with one-bits."""
        if self.count:
            self.put((1 << (8 - self.count)) - 1, 8 - self.count)
        return bytes(self.out)


def jpeg_huffman(table_class, table_id, symbols):
    """A DHT segment giving `symbols` codes of lengths 1, 2, 3 ... in that
    order (0, 10, 110 ...: never all ones), and the codes {symbol: (code,
    length)}."""
    assert 1 <= len(symbols) <= 16
    counts = [1 if i < len(symbols) else 0 for i in range(16)]
    codes = {s: ((1 << (i + 1)) - 2, i + 1) for i, s in enumerate(symbols)}
    body = bytes((table_class << 4 | table_id,)) + bytes(counts) + bytes(symbols)
    return jpeg_segment(0xC4, body), codes


def jpeg_category(value):
    return abs(value).bit_length()


def jpeg_magnitude(value):
    """The extra bits of a coefficient of category jpeg_category(value)."""
    size = jpeg_category(value)
    return value if value >= 0 else value + (1 << size) - 1


def jpeg_dc_of(level):
    # With every quantiser 1, a flat block of `level` has DC 8 * (level - 128).
    return 8 * (max(0, min(255, round(level))) - 128)


def jpeg_flat(width, height, rgb):
    """A baseline YCbCr JPEG (no subsampling) of one colour everywhere."""
    r, g, b = rgb
    levels = (0.299 * r + 0.587 * g + 0.114 * b,
              128 - 0.168736 * r - 0.331264 * g + 0.5 * b,
              128 + 0.5 * r - 0.418688 * g - 0.081312 * b)
    dcs = [jpeg_dc_of(v) for v in levels]
    categories = sorted({0} | {jpeg_category(d) for d in dcs})
    dht_dc, dc = jpeg_huffman(0, 0, categories)
    dht_ac, ac = jpeg_huffman(1, 0, [0x00])  # end of block only
    bits = JpegBits()
    # The first unit sets each component's predictor, then no block differs.
    for d in dcs:
        bits.put(*dc[jpeg_category(d)])
        if d:
            bits.put(jpeg_magnitude(d), jpeg_category(d))
        bits.put(*ac[0x00])
    units = ((width + 7) // 8) * ((height + 7) // 8)
    zero, eob = dc[0], ac[0x00]
    unit = (zero[0] << eob[1] | eob[0], zero[1] + eob[1])
    # One unit of three blocks, each "no difference, end of block".
    three = ((unit[0] << 2 * unit[1]) | (unit[0] << unit[1]) | unit[0], 3 * unit[1])
    bits.put_repeated(three[0], three[1], units - 1)
    frame = struct.pack(">BHHB", 8, height, width, 3) + b"\x01\x11\x00\x02\x11\x00\x03\x11\x00"
    scan = b"\x03\x01\x00\x02\x00\x03\x00\x00\x3f\x00"
    return (b"\xff\xd8" + jpeg_segment(0xDB, b"\x00" + bytes([1] * 64))
            + jpeg_segment(0xC0, frame) + dht_dc + dht_ac + jpeg_segment(0xDA, scan)
            + bits.finish() + b"\xff\xd9")


def jpeg_eob_runs(blocks):
    """End-of-band runs (symbol, extra bits, their length) covering `blocks`."""
    runs = []
    while blocks:
        run = min(blocks, 32767)
        size = run.bit_length() - 1
        runs.append((size << 4, run - (1 << size), size))
        blocks -= run
    return runs


def jpeg_progressive_scans(width, height, level, refinements):
    """A progressive greyscale JPEG of one grey level with a DC scan, an AC
    scan and `refinements` AC refinement scans. Each refinement is a few
    bytes (every block lies in end-of-band runs) yet makes the decoder visit
    every coefficient of every block once more."""
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    dc_value = jpeg_dc_of(level)
    dht_dc, dc = jpeg_huffman(0, 0, sorted({0, jpeg_category(dc_value)}))
    runs = jpeg_eob_runs(blocks)
    dht_ac, ac = jpeg_huffman(1, 0, sorted({symbol for symbol, _, _ in runs}))

    def sos(start, end, high, low):
        return jpeg_segment(0xDA, bytes((1, 1, 0x00, start, end, high << 4 | low)))

    bits = JpegBits()
    bits.put(*dc[jpeg_category(dc_value)])
    if dc_value:
        bits.put(jpeg_magnitude(dc_value), jpeg_category(dc_value))
    bits.put_repeated(dc[0][0], dc[0][1], blocks - 1)
    dc_scan = sos(0, 0, 0, 0) + bits.finish()
    bits = JpegBits()
    for symbol, extra, size in runs:
        bits.put(*ac[symbol])
        if size:
            bits.put(extra, size)
    band = bits.finish()
    frame = struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00"
    # The first AC scan leaves the lowest bit for the refinements.
    return (b"\xff\xd8" + jpeg_segment(0xDB, b"\x00" + bytes([1] * 64))
            + jpeg_segment(0xC2, frame) + dht_dc + dht_ac + dc_scan
            + sos(1, 63, 0, 1) + band + (sos(1, 63, 1, 0) + band) * refinements
            + b"\xff\xd9")


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


# ---------------------------------------------------------------------------
# Skins within every size cap that still hang, stall or take gigabytes
# ---------------------------------------------------------------------------

MAX_OPTIONS = 2 * 1024 * 1024
MAX_MEMBER = 64 * 1024 * 1024
MAX_UNPACKED = 128 * 1024 * 1024
MAX_MEMBERS = 4096


def write_capped_package(out, kind, members):
    """A package that stays within every cap the reader sets, so that only
    what it holds can make it costly."""
    sizes = [(m[0], len(m[1]) if len(m) == 2 else m[1]) for m in members]
    assert len(members) <= MAX_MEMBERS, kind
    for name, size in sizes:
        limit = MAX_OPTIONS if name.upper() in ("OPTIONS.DAT", b"OPTIONS.DAT") else MAX_MEMBER
        assert size <= limit, "%s: %s has %d bytes" % (kind, name, size)
    assert sum(size for _, size in sizes) <= MAX_UNPACKED, kind
    return write_package(out, kind, members)


def make_fifo(path):
    if os.path.lexists(path):
        os.remove(path)
    os.mkfifo(path)


def fresh_folder(out, kind):
    folder = os.path.join(out, kind)
    os.makedirs(folder, exist_ok=True)
    return folder


# Named pipes where a skin file is expected: opening one for reading waits
# for a writer that never comes.


def kind_fifo_package(out, wood):
    make_fifo(os.path.join(out, "fifo-package.asz"))


def kind_fifo_folder_options(out, wood):
    make_fifo(os.path.join(fresh_folder(out, "fifo-folder-options"), "OPTIONS.DAT"))


def kind_fifo_folder_picture(out, wood):
    folder = fresh_folder(out, "fifo-folder-picture")
    with open(os.path.join(folder, "Options.dat"), "wb") as f:
        f.write(options(GLOBAL))
    make_fifo(os.path.join(folder, "MASTER.BMP"))


def wood_with_global(wood, changes):
    """Wood's members with the GLOBALINFO lines KEY=... of `changes` set."""
    members = []
    for name, raw in wood_members(wood):
        if name.upper() == b"OPTIONS.DAT":
            text = raw.decode("cp1251")
            for key, value in changes.items():
                text, found = re.subn(r"(?m)^%s=[^\r\n]*" % key, "%s=%s" % (key, value), text)
                assert found == 1, "Wood's options have %d %s lines" % (found, key)
            raw = text.encode("cp1251")
        members.append((name, raw))
    return members


def kind_shadow_blur_1000(out, wood):
    # The shadowed labels blur their shadow this many times at every paint.
    write_capped_package(out, "shadow-blur-1000", wood_with_global(wood, {"SHADOW1BLUR": 1000}))


def kind_shadow_blur_32767(out, wood):
    # A shadowed label grows by the blur on each side, and the offset moves
    # the shadow: pictures 65,534 pixels wider and taller.
    write_capped_package(out, "shadow-blur-32767",
                         wood_with_global(wood, {"SHADOW1BLUR": 32767, "SHADOW1OFFSET": 32767}))


def small_bmp():
    return bmp24(2, 2, lambda y: b"\x30\x50\x80" * 2)


def kind_member_inflated_per_key(out, wood):
    # One 64 MiB member, too large to be kept, named by a thousand keys.
    size, stream = padded(small_bmp(), MAX_MEMBER)
    keys = [("K%04d" % i, "!BIG.BMP!1!0!0") for i in range(1000)]
    write_capped_package(out, "member-inflated-per-key", [
        ("Options.dat", options(GLOBAL, ("BIG", keys))), ("Big.bmp", size, stream)])


def kind_texture_keys_one_jpeg(out, wood):
    # Just under the pattern size: each key makes a texture of its own.
    jpeg = jpeg_flat(948, 948, (150, 95, 50))
    sections = [("T%03d" % i, [("PATTERN", "BIG.JPG"), ("HOTPATTERN", "BIG.JPG")])
                for i in range(200)]
    write_capped_package(out, "texture-keys-one-jpeg",
                         [("Options.dat", options(GLOBAL, *sections)), ("Big.jpg", jpeg)])


def kind_pattern_keys_one_member(out, wood):
    # A pattern keeps its compressed bytes: here 64 MiB for each key.
    size, stream = padded(jpeg_flat(1024, 1024, (90, 60, 30)), MAX_MEMBER)
    sections = [("P%02d" % i, [("PATTERN", "BIG.JPG")]) for i in range(20)]
    write_capped_package(out, "pattern-keys-one-member",
                         [("Options.dat", options(GLOBAL, *sections)), ("Big.jpg", size, stream)])


def kind_png_text_chunks(out, wood):
    # Text chunks are inflated and kept while the picture is read: 999 of
    # them just under the decoder's 8 MB per chunk.
    text = deflate_repeated(b"A" * 100000, 79)
    chunk = png_chunk(b"zTXt", b"Comment\0\0" + text)
    header = struct.pack(">IIBBBBB", 4, 4, 8, 2, 0, 0, 0)
    pixels = zlib.compress((b"\0" + b"\x80\x50\x30" * 4) * 4)
    png = (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + chunk * 999
           + png_chunk(b"IDAT", pixels) + png_chunk(b"IEND", b""))
    opts = options(GLOBAL, ("TEXT", [("PICTURE", "!SMALL.PNG!1!0!0")]))
    write_capped_package(out, "png-text-chunks", [("Options.dat", opts), ("Small.png", png)])


def kind_jpeg_many_scans(out, wood):
    # The form's whole background: decoded at load and again whenever it is
    # painted.
    jpeg = jpeg_progressive_scans(4096, 4096, 110, 1500)
    opts = options(GLOBAL, ("FORM", [("IMAGEPERCENT", "100"), ("HOTIMAGEPERCENT", "100"),
                                     ("PATTERN", "SCANS.JPG"), ("HOTPATTERN", "SCANS.JPG")]))
    write_capped_package(out, "jpeg-many-scans", [("Options.dat", opts), ("Scans.jpg", jpeg)])


# Sections the main window and its controls paint.
PAINTED = ["FORM", "FORMTITLE", "BUTTON", "BUTTON_BIG", "BUTTON_HUGE", "EDIT", "ALPHAEDIT",
           "MAINMENU", "MENUITEM", "MENULINE", "PANEL", "PANEL_LOW", "GROUPBOX", "CHECKBOX",
           "RADIOBUTTON", "SPEEDBUTTON", "TOOLBUTTON", "TOOLBAR", "STATUSBAR", "DIALOG", "HINT",
           "SELECTION", "COMBOBOX", "COMBOBTN", "DIVIDER", "DIVIDERV", "BAR", "BARTITLE",
           "BARPANEL", "PAGECONTROL", "TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT",
           "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V", "SCROLLSLIDERH",
           "SCROLLSLIDERV", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM",
           "SPLITTER", "GAUGE", "TRACKBAR", "EXTRALINE", "WEBBUTTON", "UPDOWNBTN", "COLHEADER"]


def kind_sections_chains(out, wood):
    # Ten chains of 3,000 sections; every painted section heads into one,
    # and none of them has a texture, so each look-up walks a whole chain.
    chains, length = 10, 3000
    sections = [GLOBAL]
    for i, name in enumerate(PAINTED):
        sections.append((name, [("PARENTCLASS", "L%02d%04d" % (i % chains, 0))]))
    for at in range(length):
        for chain in range(chains):
            if at + 1 < length:
                keys = [("PARENTCLASS", "L%02d%04d" % (chain, at + 1))]
            else:
                keys = [("COLOR", str(0x305080)), ("TRANSPARENCY", "0")]
            sections.append(("L%02d%04d" % (chain, at), keys))
    write_capped_package(out, "sections-30000-chains", [("Options.dat", options(*sections))])


def kind_folder_many_files(out, wood):
    # Ten thousand files beside ten thousand names of pictures that are not there.
    folder = fresh_folder(out, "folder-10000-files")
    for i in range(10000):
        open(os.path.join(folder, "F%05d.DAT" % i), "wb").close()
    keys = [("K%05d" % i, "!M%05d.BMP!1!0!0" % i) for i in range(10000)]
    with open(os.path.join(folder, "Options.dat"), "wb") as f:
        f.write(options(GLOBAL, ("MISSING", keys)))


def kind_member_names(out, wood):
    # As many members as a package may hold, and 60,000 names of none of them.
    members = [("M%04d_%s.BMP" % (i, "N" * 48), b"\0") for i in range(MAX_MEMBERS - 1)]
    sections = [("MISSING%02d" % s, [("K%04d" % k, "!A%02d%04d.BMP!1!0!0" % (s, k))
                                     for k in range(1000)])
                for s in range(60)]
    write_capped_package(out, "member-names-4096",
                         [("Options.dat", options(GLOBAL, *sections))] + members)


def kind_gradient_inherited(out, wood):
    # One long gradient that 60,000 sections inherit.
    steps = 2000
    gradient = ("1;2;3;0;0;" * steps).rstrip(";")
    sections = [GLOBAL, ("GRADIENT", [("GRADIENTDATA", gradient), ("GRADIENTPERCENT", "50")])]
    sections += [("G%05d" % i, [("PARENTCLASS", "GRADIENT")]) for i in range(60000)]
    write_capped_package(out, "gradient-inherited", [("Options.dat", options(*sections))])


def kind_empty_sections(out, wood):
    # Names of one letter or digit, repeated: five bytes a section.
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    sections = [GLOBAL] + [(letters[i % len(letters)], []) for i in range(400000)]
    write_capped_package(out, "empty-sections-400000", [("Options.dat", options(*sections))])


def kind_rle_past_edge(out, wood):
    # 1 x 1 pictures whose runs of 255 pixels all fall past the edge: the
    # two largest members the caps allow beside a small options text.
    size = MAX_MEMBER - 4096
    header = bmp_rle8_header(1, 1, size - len(bmp_rle8_header(1, 1, 0)))
    runs = (size - len(header) - 2) // 2

    def pieces():
        yield header
        left = runs
        while left:
            n = min(left, 1 << 19)
            yield b"\xff\x2a" * n
            left -= n
        yield b"\x00\x01"

    stream = deflate_pieces(pieces())
    keys = [("FIRST", "!RLE1.BMP!1!0!0"), ("SECOND", "!RLE2.BMP!1!0!0")]
    write_capped_package(out, "rle-past-edge",
                         [("Options.dat", options(GLOBAL, ("RLE", keys))),
                          ("Rle1.bmp", size, stream), ("Rle2.bmp", size, stream)])


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
    ("fifo-package", "error", kind_fifo_package),
    ("fifo-folder-options", "error", kind_fifo_folder_options),
    ("fifo-folder-picture", "error", kind_fifo_folder_picture),
    ("shadow-blur-1000", "any", kind_shadow_blur_1000),
    ("shadow-blur-32767", "any", kind_shadow_blur_32767),
    ("member-inflated-per-key", "any", kind_member_inflated_per_key),
    ("texture-keys-one-jpeg", "any", kind_texture_keys_one_jpeg),
    ("pattern-keys-one-member", "any", kind_pattern_keys_one_member),
    ("png-text-chunks", "any", kind_png_text_chunks),
    ("jpeg-many-scans", "any", kind_jpeg_many_scans),
    ("sections-30000-chains", "any", kind_sections_chains),
    ("folder-10000-files", "any", kind_folder_many_files),
    ("member-names-4096", "any", kind_member_names),
    ("gradient-inherited", "any", kind_gradient_inherited),
    ("empty-sections-400000", "any", kind_empty_sections),
    ("rle-past-edge", "any", kind_rle_past_edge),
]
NEEDS_WOOD = {"cyrillic-member-names", "ten-times-wood", "shadow-blur-1000", "shadow-blur-32767"}


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
