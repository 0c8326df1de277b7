#!/usr/bin/env python3
"""Builds the archive test fixtures in this folder.

Real writers make the ordinary archives: Info-ZIP zip (stored, deflated, a data
descriptor from stdin, an archive comment) and Python's zipfile (UTF-8 names,
Zip64 local records, a 65535-byte comment). Damaged and unusual layouts that no
writer produces are put together record by record by the small builder below.
Run from anywhere; needs zip and python3. The outputs are committed.
"""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
# Every source file gets this time (local time; the tests read it back as local time).
STAMP = (2021, 3, 4, 5, 6, 8)
DOS_STAMP = ((STAMP[0] - 1980) << 25) | (STAMP[1] << 21) | (STAMP[2] << 16) | (STAMP[3] << 11) | (STAMP[4] << 5) | (STAMP[5] // 2)


def out(name):
    return os.path.join(HERE, name)


def set_stamp(path):
    t = time.mktime(STAMP + (0, 0, -1))
    os.utime(path, (t, t))


# ---------------------------------------------------------------- real writers

def make_tree_zip():
    """tree/ (committed) zipped by Info-ZIP: folders, stored and deflated files, modes."""
    src = out("tree")
    os.makedirs(os.path.join(src, "empty"), exist_ok=True)  # git keeps no empty folders
    for root, dirs, files in os.walk(src):
        for n in files + dirs:
            set_stamp(os.path.join(root, n))
    set_stamp(src)
    os.chmod(os.path.join(src, "docs", "readonly.txt"), 0o444)
    os.chmod(os.path.join(src, "docs", "private.txt"), 0o640)
    target = out("tree.zip")
    if os.path.exists(target):
        os.remove(target)
    # -0 for the .bin file keeps one entry stored; the rest is deflated.
    subprocess.run(["zip", "-q", "-r", "-X", "-n", ".bin", target, "."], cwd=src, check=True)


def make_stored_100000():
    data = bytes((i * 7 + 3) & 0xFF for i in range(100000))
    with zipfile.ZipFile(out("stored100000.zip"), "w", zipfile.ZIP_STORED) as z:
        z.writestr(zipfile.ZipInfo("data.bin", STAMP), data)


def make_zero_and_32768():
    with zipfile.ZipFile(out("zero-and-32768.zip"), "w", zipfile.ZIP_STORED) as z:
        z.writestr(zipfile.ZipInfo("empty.txt", STAMP), b"")
        z.writestr(zipfile.ZipInfo("block.bin", STAMP), bytes(range(256)) * 128)


def make_ties():
    """1, 2 and 5 bytes: progress passes 12.5 and 37.5 percent."""
    with zipfile.ZipFile(out("ties.zip"), "w", zipfile.ZIP_STORED) as z:
        for name, size in (("one", 1), ("two", 2), ("five", 5)):
            z.writestr(zipfile.ZipInfo(name, STAMP), b"t" * size)


def make_descriptor():
    """zip reading stdin and writing stdout writes a data descriptor (flag bit 3) for the entry "-"."""
    target = out("descriptor.zip")
    if os.path.exists(target):
        os.remove(target)
    payload = b"streamed through a pipe\n" * 200
    # Writing to a pipe keeps zip from seeking back: it appends a data descriptor.
    result = subprocess.run(["zip", "-q", "-", "-"], input=payload, stdout=subprocess.PIPE, check=True)
    with open(target, "wb") as f:
        f.write(result.stdout)


def make_comment_65535():
    with zipfile.ZipFile(out("comment65535.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("note.txt", STAMP), b"a file behind a long comment\n")
        z.comment = bytes((0x41 + i % 26) for i in range(65535))


def make_utf8_names():
    with zipfile.ZipFile(out("utf8names.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("中文/文件.txt", STAMP), "内容\n".encode("utf-8"))
        z.writestr(zipfile.ZipInfo("café.txt", STAMP), b"coffee\n")


def make_force_zip64():
    with zipfile.ZipFile(out("zip64-local.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        with z.open(zipfile.ZipInfo("forced.txt", STAMP), "w", force_zip64=True) as f:
            f.write(b"written with force_zip64\n" * 10)


def make_empty():
    with zipfile.ZipFile(out("empty22.zip"), "w") as z:
        pass
    assert os.path.getsize(out("empty22.zip")) == 22


def make_encrypted():
    """Traditional encryption by Info-ZIP, with a folder entry and a plain entry."""
    target = out("encrypted.zip")
    if os.path.exists(target):
        os.remove(target)
    with tempfile.TemporaryDirectory() as tmp:
        os.makedirs(os.path.join(tmp, "folder"))
        with open(os.path.join(tmp, "secret.txt"), "wb") as f:
            f.write(b"the package payload\n" * 50)
        subprocess.run(["zip", "-q", "-r", "-P", "PlovoTarnis", target, "folder", "secret.txt"], cwd=tmp, check=True)


# ----------------------------------------------------------- record builder

class Entry:
    def __init__(self, name, data, method=0, crc=None, usize=None, csize=None, stored=None,
                 flags=0, dostime=DOS_STAMP, central_extra=b"", local_extra=b"", method_field=None,
                 external=0x20):
        self.name = name if isinstance(name, bytes) else name.encode("utf-8")
        self.data = data
        if stored is None:
            if method == 8:
                c = zlib.compressobj(9, zlib.DEFLATED, -15)
                stored = c.compress(data) + c.flush()
            else:
                stored = data
        self.stored = stored
        self.method = method if method_field is None else method_field
        self.crc = zlib.crc32(data) if crc is None else crc
        self.usize = len(data) if usize is None else usize
        self.csize = len(stored) if csize is None else csize
        self.flags = flags
        self.dostime = dostime
        self.central_extra = central_extra
        self.local_extra = local_extra
        self.external = external


def build(entries, central_order=None, eocd_patch=None, after_central=b"", comment=b"",
          declared_extra=None, zip64_end=False):
    """Local records, then central records (in central_order), then the end record."""
    body = bytearray()
    offsets = []
    for e in entries:
        offsets.append(len(body))
        body += struct.pack("<IHHHIIIIHH", 0x04034B50, 20, e.flags, e.method, e.dostime, e.crc,
                            min(e.csize, 0xFFFFFFFF), min(e.usize, 0xFFFFFFFF), len(e.name), len(e.local_extra))
        body += e.name + e.local_extra + e.stored
    central_start = len(body)
    order = central_order if central_order is not None else range(len(entries))
    for i in order:
        e = entries[i]
        extra = e.central_extra
        declared = len(extra) if declared_extra is None or i not in declared_extra else declared_extra[i]
        offset = offsets[i] if not hasattr(e, "offset_field") else e.offset_field
        csize = e.csize if not hasattr(e, "csize_field") else e.csize_field
        usize = e.usize if not hasattr(e, "usize_field") else e.usize_field
        body += struct.pack("<IHHHHIIIIHHHHHII", 0x02014B50, 20, 20, e.flags, e.method, e.dostime, e.crc,
                            csize, usize, len(e.name), declared, 0, 0, 0, e.external, offset)
        body += e.name + extra
    central_size = len(body) - central_start
    count = len(entries)
    if zip64_end:
        z64 = len(body)
        body += struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, count, count, central_size, central_start)
        body += struct.pack("<IIQI", 0x07064B50, 0, z64, 1)
        body += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, len(comment))
    else:
        eocd = [0x06054B50, 0, 0, count, count, central_size, central_start, len(comment)]
        if eocd_patch:
            eocd_patch(eocd)
        body += struct.pack("<IHHHHIIH", *eocd)
    body += comment + after_central
    return bytes(body), central_start


def write(name, data):
    with open(out(name), "wb") as f:
        f.write(data)


def zip64_extra(*values):
    payload = b"".join(struct.pack("<Q", v) for v in values)
    return struct.pack("<HH", 0x0001, len(payload)) + payload


def make_built():
    hello = b"hello zip64\n"
    e = Entry("big.txt", hello, central_extra=zip64_extra(len(hello), len(hello), 0))
    e.csize_field = e.usize_field = e.offset_field = 0xFFFFFFFF
    write("zip64-central.zip", build([e], zip64_end=True)[0])

    # A stored entry that declares a size far beyond any disk.
    huge = Entry("huge.bin", b"tiny", central_extra=zip64_extra(1 << 62))
    huge.usize_field = 0xFFFFFFFF
    after = Entry("after.txt", b"still extracted\n")
    write("huge-declared.zip", build([huge, after])[0])

    # GBK bytes and UTF-8 bytes without the UTF-8 flag; a 0x7075 Unicode path.
    gbk = Entry("测试.txt".encode("gbk"), b"gbk name\n")
    raw_utf8 = Entry("ab中.txt".encode("utf-8"), b"utf-8 bytes, no flag\n")
    unicode_name = "统一码.txt".encode("utf-8")
    up = Entry("plain.txt", b"unicode path field\n",
               central_extra=struct.pack("<HHBI", 0x7075, 5 + len(unicode_name), 1, 0) + unicode_name)
    write("names.zip", build([gbk, raw_utf8, up])[0])

    # Central records in another order than the local headers.
    a, b, c = (Entry(n, (n * 3).encode()) for n in ("first.txt", "second.txt", "third.txt"))
    write("order.zip", build([a, b, c], central_order=[2, 0, 1])[0])

    # Date-times: 0 and month 13.
    zero = Entry("zero.txt", b"0\n", dostime=0)
    month13 = Entry("month13.txt", b"13\n", dostime=((2020 - 1980) << 25) | (13 << 21) | (5 << 16))
    write("dates.zip", build([zero, month13])[0])

    # Folder parts: plain, rooted, drive letter, and paths that must never be written.
    entries = [
        Entry("dir/sub/", b"", external=0x10),
        Entry("dir/a.txt", b"in dir\n"),
        Entry("/rooted/r.txt", b"rooted\n"),
        Entry("C:/drive/d.txt", b"drive\n"),
        Entry("../escape.txt", b"must not appear\n"),
        Entry("dir/../../escape2.txt", b"must not appear\n"),
        Entry("stream.txt:hidden", b"must not appear\n"),
        Entry("last.txt", b"after the refused ones\n"),
    ]
    write("paths.zip", build(entries)[0])

    # Unknown methods: method 7 with CRC 0 (passes unchecked), method 9 with a real CRC (fails).
    m7 = Entry("method7.bin", b"x" * 40, stored=b"\0" * 10, method_field=7, crc=0)
    m9 = Entry("method9.bin", b"y" * 40, stored=b"\0" * 10, method_field=9)
    ok = Entry("plain.txt", b"plain\n")
    write("unknown-method.zip", build([m7, m9, ok])[0])

    # Data one byte longer than declared, stored and deflated, then a good entry.
    long_stored = Entry("long-stored.txt", b"0123456789A", usize=10)
    long_deflated = Entry("long-deflated.txt", b"abcdefghijk" * 20, method=8, usize=219)
    write("bigger.zip", build([long_stored, long_deflated, Entry("good.txt", b"good\n")])[0])

    # Stored data running past the end of the file; invalid Deflate data; a cut Deflate stream.
    first = Entry("first.txt", b"complete\n")
    cut = Entry("cut.bin", b"z" * 100000)
    cut.csize_field = 100000
    cut.stored = b"z" * 50
    cut.csize = 100000
    data, _ = build([first, cut])
    write("premature.zip", data)
    write("bad-deflate.zip", build([first, Entry("bad.bin", b"q" * 100, method=8, stored=b"\xff" * 20)])[0])
    full = zlib.compressobj(9, zlib.DEFLATED, -15)
    stream = full.compress(os.urandom(0) + bytes(range(256)) * 64) + full.flush()
    write("cut-deflate.zip", build([first, Entry("cut.bin", bytes(range(256)) * 64, method=8, stored=stream[:len(stream) // 2])])[0])

    # A writer that declared central extra data it never wrote.
    x, y = Entry("x.txt", b"x\n"), Entry("y.txt", b"y\n")
    write("extra-missing.zip", build([x, y], declared_extra={0: 8})[0])

    # Damaged central directory: second record's signature broken -> rebuilt from local headers.
    d1, d2 = Entry("one.txt", b"one\n"), Entry("two.txt", b"two two\n", method=8)
    data, central = build([d1, d2])
    data = bytearray(data)
    second = central + 46 + len(d1.name)
    data[second] = 0x51
    write("damaged-central.zip", bytes(data))
    # Two central records for one local header.
    dup = build([d1, d2], central_order=[0, 0])[0]
    write("duplicate-central.zip", dup)

    # A fake end record inside the comment: the later signature wins.
    fake = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0, 0, 0, 0, 0)
    write("two-end-records.zip", build([Entry("real.txt", b"real\n")], comment=b"note " + fake + b" end")[0])

    # Method 99 with an AES extra field: strength 3, actual method 8 (data not real).
    aes = Entry("aes.txt", b"", stored=b"\0" * 40, csize=40, usize=12, method_field=99, flags=1, crc=0,
                central_extra=struct.pack("<HHHHBH", 0x9901, 7, 2, 0x4541, 3, 8))
    write("aes-fields.zip", build([aes])[0])

    # Central directory and end record in a side file next to the data.
    s1, s2 = Entry("side1.txt", b"from the side file\n"), Entry("side2.txt", b"second\n", method=8)
    data, central = build([s1, s2])
    write("sidefile.zip", data[:central])
    write("sidefile.zfc", data[central:])


def main():
    make_tree_zip()
    make_stored_100000()
    make_zero_and_32768()
    make_ties()
    make_descriptor()
    make_comment_65535()
    make_utf8_names()
    make_force_zip64()
    make_empty()
    make_encrypted()
    make_built()


if __name__ == "__main__":
    main()
