#!/usr/bin/env python3
"""The help file check must see real faults: a copy of the help sources is broken in four ways
(a link to a page that does not exist, a missing picture, a page the program asks for left out
of the project, an anchor that is not there), compiled with chmcmd and checked; each fault must
be reported and the check must fail. The untouched copy must pass."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def compile_and_check(args, folder, work):
    subprocess.run([args.chmcmd, "--no-html-scan", "--verbosity", "0", "kalvora.hhp"], cwd=folder,
                   capture_output=True, check=True)
    return subprocess.run([sys.executable, os.path.join(HERE, "check_help_file.py"),
                           "--chm", os.path.join(folder, "kalvora.chm"), "--extract", args.extract,
                           "--topics", *args.topics, "--work", work], capture_output=True, text=True)


def edit(path, old, new):
    with open(path, encoding="cp1252") as f:
        text = f.read()
    if old not in text:
        raise SystemExit("cannot break %s: %r not found" % (path, old))
    with open(path, "w", encoding="cp1252") as f:
        f.write(text.replace(old, new, 1))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--help-sources", required=True)
    ap.add_argument("--chmcmd", default="chmcmd")
    ap.add_argument("--extract", default="extract_chmLib")
    ap.add_argument("--topics", nargs="+", required=True)
    args = ap.parse_args()
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        good = os.path.join(tmp, "good")
        shutil.copytree(args.help_sources, good)
        run = compile_and_check(args, good, os.path.join(tmp, "x1"))
        if run.returncode != 0:
            print("FAIL: the untouched help does not pass:\n" + run.stdout)
            failures += 1

        bad = os.path.join(tmp, "bad")
        shutil.copytree(args.help_sources, bad)
        edit(os.path.join(bad, "overlay_event.htm"), 'href="weekends.htm"', 'href="weekend.htm"')
        edit(os.path.join(bad, "day_view.htm"), 'src="images/day_view.png"', 'src="images/dayview.png"')
        edit(os.path.join(bad, "kalvora.hhp"), "\nyear_view.htm", "")
        edit(os.path.join(bad, "fonts.htm"), 'href="contents.htm"', 'href="contents.htm#top"')
        run = compile_and_check(args, bad, os.path.join(tmp, "x2"))
        expected = [
            'overlay_event.htm: href="weekend.htm" is broken',
            'day_view.htm: src="images/dayview.png" is broken',
            "the program asks for year_view.htm, which is not in the help file",
            'fonts.htm: href="contents.htm#top" names an anchor that is not there',
        ]
        if run.returncode != 1:
            print("FAIL: the broken help passed the check")
            failures += 1
        for fault in expected:
            if fault not in run.stdout:
                print("FAIL: not reported: " + fault)
                failures += 1
    print("all checks passed" if failures == 0 else "%d check(s) failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
