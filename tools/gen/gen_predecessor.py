#!/usr/bin/env python3
"""Makes an installation of the predecessor product (Orbisa 3.5) for the migration tests.

Nobody here has such an installation, so it is built from the formats its files are known to
have:
  - the calendar configuration "default.obc": magic "ORBCA" and its zero, a 16-bit version
    (4 or 5 here), the database folder path at offset 264 (empty: the "DAV" folder beside the
    configuration), the overlay count at 2046 and, after the 2048-byte header, the overlay
    paths each ended by a blank (version 4) or by the byte 0x1C (version 5);
  - the database files, which have this program's database formats under other names: month
    files and notes files "*.obd", the to-do file "todo.otd", the phonebook "phonebk.obp". They
    are made with kvtool in a scratch folder and renamed, so they are the very formats;
  - older overlay files: a 14-byte header ("QOV" of the predecessor or "KOV" of this program's
    earlier releases, a zero byte, accent, highlight, 16-bit format, 32-bit colour, 16-bit
    count) and events of 16 (format 3), 20 (format 4) or 26 (format 5) bytes, each followed by
    its zero-terminated description.

Usage: gen_predecessor.py OUT_DIR [--version 4|5] [--database-folder NAME] [--windows-paths]
                          [--damage FILE] [--missing-overlay] -- KVTOOL [ARGS...]
Prints the path of the configuration it wrote. --windows-paths writes paths as Wine sees the
Linux folders ("Z:\\..."), for a Windows build run under Wine.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile


def win_path(path, windows):
    path = os.path.abspath(path)
    return "Z:" + path.replace("/", "\\") if windows else path


def older_overlay(magic, fmt, events, colour=0x0000FF):
    """An overlay of format 3, 4 or 5: events are (year, month, day, kind, param, description)."""
    out = bytearray(magic + b"\0")
    out += bytes([0, 0]) + struct.pack("<HIH", fmt, colour, len(events))
    for year, month, day, kind, param, text in events:
        fixed = bytearray(16 if fmt <= 3 else 20 if fmt == 4 else 26)
        struct.pack_into("<hBBhBBBBB", fixed, 0, year, month, day, 0, 0, 0, param, 0, kind)
        if fmt >= 4:
            struct.pack_into("<hBB", fixed, 16, 10, 0, 0)  # weight, same time, zone
        out += fixed + text.encode("cp1252") + b"\0"
    return bytes(out)


def obc(version, database, overlays):
    header = bytearray(2048)
    header[0:6] = b"ORBCA\0"
    struct.pack_into("<H", header, 6, version)
    raw = database.encode("cp1252")
    header[264:264 + len(raw)] = raw
    struct.pack_into("<H", header, 2046, len(overlays))
    sep = b"\x1c" if version >= 5 else b" "
    return bytes(header) + b"".join(o.encode("cp1252") + sep for o in overlays)


def kvtool(cmd, *args):
    result = subprocess.run(cmd + list(args), capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("kvtool %s failed: %s%s" % (" ".join(args), result.stdout, result.stderr))
    return result.stdout


def database_files(cmd, folder, windows):
    """Schedule items, notes, to-do items and phonebook entries in this program's formats."""
    scratch = tempfile.mkdtemp(dir=os.path.dirname(os.path.abspath(folder)))
    db = win_path(scratch, windows)
    kvtool(cmd, "sched", "add", "--db", db, "--date", "2025-01-15", "--start", "09:00", "--end", "10:00",
           "--title", "Dentist", "--answer", "ok")
    kvtool(cmd, "sched", "add", "--db", db, "--date", "2025-02-03", "--start", "14:00", "--end", "15:30",
           "--title", "Orbisa meeting", "--answer", "ok")
    kvtool(cmd, "note", "set", "--db", db, "--day", "2025-01-15", "--text", "Bring the X-rays")
    kvtool(cmd, "todo", "add", "--db", db, "--text", "Renew passport", "--due", "2025-03-01",
           "--activate", "2025-01-01")
    kvtool(cmd, "todo", "add", "--db", db, "--text", "Pay taxes", "--due", "2025-04-15", "--priority", "2",
           "--activate", "2025-01-01")
    kvtool(cmd, "note", "set", "--db", db, "--todo", "1", "--text", "Photos first")
    kvtool(cmd, "phone", "add", "--db", db, "--category", "Family", "--last", "Orbis", "--first", "Ada",
           "--phone", "555 0100")
    kvtool(cmd, "note", "set", "--db", db, "--phone", "1", "--text", "Birthday in May")
    os.makedirs(folder, exist_ok=True)
    for name in sorted(os.listdir(scratch)):
        base, ext = os.path.splitext(name)
        lower = name.lower()
        if lower == "todo.kvtd":
            target = "todo.otd"
        elif lower == "phonebk.kvpb":
            target = "phonebk.obp"
        elif ext.lower() == ".kvdb":
            target = base + ".obd"
        else:
            continue
        shutil.copyfile(os.path.join(scratch, name), os.path.join(folder, target))
    shutil.rmtree(scratch)


def main():
    argv = sys.argv[1:]
    if "--" not in argv:
        sys.exit(__doc__)
    cut = argv.index("--")
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--version", type=int, default=5, choices=(4, 5))
    ap.add_argument("--database-folder", default="", help="a folder name beside DAV; empty: DAV")
    ap.add_argument("--windows-paths", action="store_true")
    ap.add_argument("--damage", default="", help="a database file to cut short, such as JAN-2025.obd")
    ap.add_argument("--missing-overlay", action="store_true", help="list an overlay file that is not there")
    opts = ap.parse_args(argv[:cut])
    cmd = argv[cut + 1:]

    install = os.path.join(opts.out, "Orbisa")
    os.makedirs(install, exist_ok=True)
    dbfolder = os.path.join(install, opts.database_folder or "DAV")
    database_files(cmd, dbfolder, opts.windows_paths)
    with open(os.path.join(dbfolder, "readme.txt"), "w") as f:
        f.write("not a database file\n")
    if opts.damage:
        path = os.path.join(dbfolder, opts.damage)
        with open(path, "r+b") as f:
            f.truncate(20)

    overlays_dir = os.path.join(install, "Overlays")
    os.makedirs(overlays_dir, exist_ok=True)
    files = {
        "Holidays.oov": older_overlay(b"QOV", 5, [(2000, 1, 20, 6, 0, "Orbisa Founders Day"),
                                                  (2000, 7, 4, 6, 0, "Orbisa Independence Day")]),
        "Family Days.oov": older_overlay(b"QOV", 4, [(1990, 1, 17, 9, 0, "Ada's birthday")]),
        "Oldest.kov": older_overlay(b"KOV", 3, [(2000, 1, 1, 6, 0, "Oldest New Year")]),
    }
    listed = []
    for name, data in files.items():
        with open(os.path.join(overlays_dir, name), "wb") as f:
            f.write(data)
        listed.append(name)
    if opts.missing_overlay:
        listed.insert(1, "Gone.oov")
    if opts.version == 4:
        # Blanks separate the names of version 4, so none of its names may hold one.
        listed = [n for n in listed if " " not in n]
    paths = [win_path(os.path.join(overlays_dir, n), opts.windows_paths) for n in listed]
    database = win_path(dbfolder, opts.windows_paths) if opts.database_folder else ""
    config = os.path.join(install, "default.obc")
    with open(config, "wb") as f:
        f.write(obc(opts.version, database, paths))
    print(win_path(config, opts.windows_paths))


if __name__ == "__main__":
    main()
