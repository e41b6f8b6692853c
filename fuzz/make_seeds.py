#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/: small valid
bitmaps, PNG and JPEG files, and the hostile shapes (very wide, very high, short colour
tables, cut-off files, huge declared sizes); old set index files (.dbt) of whole, blank,
shifted and broken records. The JPEG seeds need ImageMagick's convert.
Run again after changing it (or name the targets to write: make_seeds.py old_record);
the files are kept in the tree."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ------------------------------------------------------------------------------ bitmaps

def info_header(width, height, bits, compression=0, used=0, size=40):
    head = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, 0, 0, 0, used, 0)
    return head + b"\0" * (size - 40)


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def rows(width, height, bits, fill):
    """Rows of the given stride, pixel bytes from fill(x, y) for whole-byte sizes."""
    out = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row += fill(x, y)
        row += b"\0" * (stride(width, bits) - len(row))
        out += row
    return bytes(out)


def packed_rows(width, height, bits, index):
    out = bytearray()
    for y in range(height):
        row = bytearray(stride(width, bits))
        for x in range(width):
            bit = x * bits
            row[bit // 8] |= index(x, y) << (8 - bits - bit % 8)
        out += row
    return bytes(out)


def palette(n):
    return b"".join(bytes([(i * 40) % 256, (i * 90) % 256, (i * 150) % 256, 0]) for i in range(n))


def dibs():
    write("dib", "24bit_2x2", info_header(2, 2, 24) + rows(2, 2, 24, lambda x, y: bytes([x * 200, y * 200, 90])))
    write("dib", "32bit_topdown_3x2", info_header(3, -2, 32) + rows(3, 2, 32, lambda x, y: bytes([x * 80, y * 100, 7, 255])))
    write("dib", "16bit_555_3x3", info_header(3, 3, 16) + rows(3, 3, 16, lambda x, y: struct.pack("<H", (x << 10) | (y << 5) | 31)))
    write("dib", "16bit_565_bitfields", info_header(2, 2, 16, 3) + struct.pack("<III", 0xF800, 0x07E0, 0x001F)
          + rows(2, 2, 16, lambda x, y: struct.pack("<H", 0xF800 if x else 0x07E0)))
    write("dib", "32bit_bitfields_10bit", info_header(2, 1, 32, 3) + struct.pack("<III", 0x3FF00000, 0x000FFC00, 0x3FF)
          + rows(2, 1, 32, lambda x, y: struct.pack("<I", 0x3FF00000 if x else 0x3FF)))
    v5 = info_header(2, 2, 32, 3, size=124)
    v5 = v5[:40] + struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000) + v5[56:]
    write("dib", "v5_header_bitfields", v5 + rows(2, 2, 32, lambda x, y: bytes([1, 2, 3, 4])))
    write("dib", "8bit_full_table_4x4", info_header(4, 4, 8) + palette(256) + rows(4, 4, 8, lambda x, y: bytes([x * 60 + y])))
    write("dib", "8bit_short_table", info_header(4, 2, 8, used=4) + palette(4) + rows(4, 2, 8, lambda x, y: bytes([(x + y) % 4])))
    write("dib", "8bit_index_past_table", info_header(4, 2, 8, used=4) + palette(4) + rows(4, 2, 8, lambda x, y: bytes([9 if x == 3 else 1])))
    write("dib", "4bit_odd_width", info_header(3, 2, 4) + palette(16) + packed_rows(3, 2, 4, lambda x, y: x + y * 5))
    write("dib", "4bit_index_past_table", info_header(3, 2, 4, used=3) + palette(3) + packed_rows(3, 2, 4, lambda x, y: 2 + x))
    write("dib", "1bit_5x3", info_header(5, 3, 1) + palette(2) + packed_rows(5, 3, 1, lambda x, y: (x + y) % 2))
    write("dib", "1bit_wide_70000x1", info_header(70000, 1, 1) + palette(2) + packed_rows(70000, 1, 1, lambda x, y: x % 3 == 0))
    write("dib", "1bit_high_1x2000", info_header(1, 2000, 1) + palette(2) + packed_rows(1, 2000, 1, lambda x, y: y % 2))
    core = struct.pack("<IHHHH", 12, 3, 2, 1, 8) + b"".join(bytes([i, 255 - i, i // 2]) for i in range(256))
    write("dib", "core_header_8bit", core + rows(3, 2, 8, lambda x, y: bytes([x * 70 + y])))
    write("dib", "huge_declared_size", info_header(100000, 100000, 24) + b"\0" * 64)
    write("dib", "truncated_64x64", info_header(64, 64, 24) + b"\x7f" * 100)
    write("dib", "short_colour_table", info_header(4, 4, 8, used=200) + palette(10))
    write("dib", "empty", b"")
    write("dib", "three_bytes", b"(((")
    write("dib", "negative_width", info_header(-5, 5, 24) + b"\0" * 80)
    write("dib", "height_int_min", info_header(1, -2 ** 31, 24) + b"\0" * 16)
    write("dib", "rle8_compressed", info_header(2, 2, 8, 1) + palette(256) + b"\x02\x01\x00\x00\x02\x01\x00\x01")
    write("dib", "overlapping_masks", info_header(1, 1, 16, 3) + struct.pack("<III", 0xF800, 0x0FE0, 0x1F) + b"\0" * 4)


# ---------------------------------------------------------------------------------- PNG

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(width, height, depth, colour, raw_rows, interlace=0, extra=b"", level=9):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    idat = zlib.compress(raw_rows, level)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra + chunk(b"IDAT", idat) + chunk(b"IEND", b"")


def filtered(width_bytes, height, row):
    return b"".join(b"\0" + row(y) for y in range(height))


def pngs():
    rgb = png(2, 2, 8, 2, filtered(6, 2, lambda y: bytes([255, 0, 0, 0, 255 * y, 0])))
    write("png", "rgb_2x2", rgb)
    write("png", "gray1_3x3", png(3, 3, 1, 0, filtered(1, 3, lambda y: bytes([0b10100000 >> y]))))
    plte = chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255]))
    trns = chunk(b"tRNS", bytes([255, 128]))
    write("png", "palette_trns_4x2", png(4, 2, 8, 3, filtered(4, 2, lambda y: bytes([0, 1, 2, y])), extra=plte + trns))
    write("png", "rgba16_2x2", png(2, 2, 16, 6, filtered(16, 2, lambda y: bytes(range(16 * y, 16 * y + 16)))))
    write("png", "gray_alpha_2x1", png(2, 1, 8, 4, filtered(4, 1, lambda y: bytes([10, 255, 200, 0]))))
    write("png", "interlaced_9x9", png(9, 9, 8, 2, b"".join(
        b"\0" + bytes((x * 7 + y) % 256 for x in range(w * 3))
        for (w, h) in [(2, 2), (1, 2), (3, 1), (2, 3), (5, 2), (4, 5), (9, 4)] for y in range(h)), interlace=1))
    write("png", "wide_70000x1", png(70000, 1, 1, 0, b"\0" + b"\xaa" * 8750))
    write("png", "high_1x2000", png(1, 2000, 8, 0, b"".join(b"\0" + bytes([y % 256]) for y in range(2000))))
    write("png", "truncated", rgb[:len(rgb) - 20])
    bad_crc = bytearray(rgb)
    bad_crc[29] ^= 0xFF  # inside the IHDR checksum
    write("png", "bad_crc", bytes(bad_crc))
    write("png", "huge_declared_size", png(100000, 100000, 8, 2, b"\0" * 16))
    write("png", "declared_8000x8000_no_data", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 8000, 8000, 8, 2, 0, 0, 0)) + chunk(b"IEND", b""))
    write("png", "signature_only", b"\x89PNG\r\n\x1a\n")


# --------------------------------------------------------------------------------- JPEG

def convert(args, suffix):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out" + suffix)
        subprocess.run(["convert"] + args + [out], check=True)
        with open(out, "rb") as f:
            return f.read()


def set_size(jpeg, width, height):
    """The same file with the size of its frame header changed."""
    data = bytearray(jpeg)
    at = 2
    while at + 4 <= len(data):
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[at + 5:at + 9] = struct.pack(">HH", height, width)
            return bytes(data)
        at += 2 + length
    raise SystemExit("no frame header")


def jpegs():
    plain = ["-strip", "-size", "8x8", "gradient:red-blue"]
    base = convert(plain + ["-quality", "75"], ".jpg")
    write("jpeg", "baseline_8x8", base)
    write("jpeg", "progressive_8x8", convert(plain + ["-interlace", "JPEG"], ".jpg"))
    write("jpeg", "gray_5x3", convert(["-strip", "-size", "5x3", "gradient:", "-colorspace", "Gray"], ".jpg"))
    write("jpeg", "cmyk_4x4", convert(["-strip", "-size", "4x4", "xc:orange", "-colorspace", "CMYK"], ".jpg"))
    write("jpeg", "subsampled_17x9", convert(["-strip", "-size", "17x9", "gradient:green-yellow", "-sampling-factor", "2x2"], ".jpg"))
    write("jpeg", "high_1x2000", convert(["-strip", "-size", "1x2000", "gradient:"], ".jpg"))
    write("jpeg", "wide_65535x1_declared", set_size(base, 65535, 1))
    write("jpeg", "huge_declared_size", set_size(base, 65000, 65000))
    write("jpeg", "truncated", base[:len(base) // 2])
    write("jpeg", "soi_only", b"\xff\xd8\xff")
    write("jpeg", "no_end_marker", base[:-2])


# --------------------------------------------------------------------- old set index files

def old_record(source=b"Notepad", date=b"2009-03-14 15:09:26", blob=b"000012", text=b"some text", kind=b"T"):
    """A 437-byte record with the fields at their 1-based positions, blank-padded."""
    record = bytearray(b" " * 437)

    def put(position, length, value):
        value = value[:length]
        record[position - 1:position - 1 + len(value)] = value

    put(1, 4, b"0001")
    put(5, 64, b"caption")
    put(69, 56, source)
    put(125, 19, date)
    put(160, 1, b"N")
    put(161, 6, b"000007")
    put(167, 6, blob)
    put(173, 12, b"000000000042")
    put(185, 250, text)
    put(435, 1, kind)
    return bytes(record)


def old_records():
    write("old_record", "text_rich_image", old_record() + old_record(blob=b"000013", kind=b"F") +
          old_record(blob=b"000014", text=b"", kind=b"I"))
    write("old_record", "blank_and_zero_records", b" " * 437 + b"\0" * 437 + old_record())
    write("old_record", "short_tail", old_record() + b"tail")
    write("old_record", "leading_blanks", b"    " + old_record()[4:])
    write("old_record", "zero_inside_text", old_record()[:200] + b"\0" + old_record()[201:])
    write("old_record", "bad_number", old_record(blob=b"12a456"))
    write("old_record", "blank_number", old_record(blob=b"      "))
    write("old_record", "unknown_type", old_record(kind=b"X"))
    write("old_record", "long_fields", old_record(source=b"s" * 80, text=b"t" * 300))
    write("old_record", "high_bytes", old_record(source=b"Caf\xe9 \x99", text=b"\xff" * 250))
    write("old_record", "empty", b"")
    write("old_record", "one_byte", b"T")


TARGETS = {"dib": lambda: dibs(), "png": lambda: pngs(), "jpeg": lambda: jpegs(), "old_record": lambda: old_records()}


def main():
    for target in sys.argv[1:] or list(TARGETS):
        if target not in TARGETS:
            raise SystemExit("no target " + target + "; targets: " + " ".join(TARGETS))
        TARGETS[target]()
    return 0


if __name__ == "__main__":
    sys.exit(main())
