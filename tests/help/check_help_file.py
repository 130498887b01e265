#!/usr/bin/env python3
"""Reads the compiled help file back with an independent CHM reader (libchm's extract_chmLib)
and checks it as the program and a user would meet it:

- every page the program asks for (the ".htm" names of its topic table) is inside;
- the table of contents and the index are inside, and every entry points at a page that is;
- every page is reachable from the table of contents;
- no link, picture or style sheet reference of any page is broken, and no page links out of
  the help file except to web addresses;
- every page has a title and uses the one style sheet.

Exit 0 when all holds; otherwise each fault is printed and the exit code is 1.
"""
import argparse
import html.parser
import os
import posixpath
import re
import shutil
import subprocess
import sys
import urllib.parse


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.refs = []        # (attribute, value)
        self.params = []      # (name, value) of <param> in sitemap files
        self.ids = set()
        self.title = ""
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for key in ("href", "src"):
            if key in a and a[key] is not None:
                self.refs.append((key, a[key]))
        for key in ("id", "name"):
            if tag != "param" and tag != "meta" and a.get(key):
                self.ids.add(a[key])
        if tag == "param":
            self.params.append((a.get("name", ""), a.get("value", "")))
        if tag == "title":
            self._in_title = True

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def parse(path):
    p = Links()
    with open(path, "rb") as f:
        p.feed(f.read().decode("cp1252"))
    return p


def topics_of(sources):
    names = set()
    for source in sources:
        with open(source, encoding="utf-8") as f:
            names.update(re.findall(r'"([A-Za-z0-9_]+\.htm)"', f.read()))
    return sorted(names)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--chm", required=True)
    ap.add_argument("--extract", default="extract_chmLib")
    ap.add_argument("--topics", required=True, nargs="+", help="the source files of the program's topic table")
    ap.add_argument("--work", required=True, help="a scratch folder for the extracted files")
    args = ap.parse_args()

    faults = []
    if not os.path.isfile(args.chm):
        print("FAIL: no help file at %s" % args.chm)
        return 1
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    run = subprocess.run([args.extract, args.chm, args.work], capture_output=True, text=True)
    if run.returncode != 0:
        print("FAIL: %s could not read %s: %s" % (args.extract, args.chm, run.stderr.strip()))
        return 1

    inside = set()
    for root, _dirs, files in os.walk(args.work):
        for name in files:
            rel = os.path.relpath(os.path.join(root, name), args.work).replace(os.sep, "/")
            if not rel.startswith(("#", "$")) and not rel.startswith("_#_"):
                inside.add(rel)
    pages = sorted(n for n in inside if n.endswith(".htm"))
    if not pages:
        faults.append("the help file holds no pages")

    # 1. What the program asks for.
    topics = topics_of(args.topics)
    if len(topics) < 20:
        faults.append("only %d page names found in %s" % (len(topics), " ".join(args.topics)))
    for t in topics:
        if t not in inside:
            faults.append("the program asks for %s, which is not in the help file" % t)

    # 2. Contents and index.
    reachable = set()
    for sitemap in ("kalvora.hhc", "kalvora.hhk"):
        if sitemap not in inside:
            faults.append("%s is not in the help file" % sitemap)
            continue
        entries = [v for n, v in parse(os.path.join(args.work, sitemap)).params if n == "Local"]
        if not entries:
            faults.append("%s has no entries" % sitemap)
        for local in entries:
            target = urllib.parse.unquote(local.split("#")[0])
            if target not in inside:
                faults.append("%s points at %s, which is not in the help file" % (sitemap, local))
            elif sitemap == "kalvora.hhc":
                reachable.add(target)
    for page in pages:
        if page not in reachable:
            faults.append("%s is not in the table of contents" % page)

    # 3. Links inside the pages.
    ids = {}
    parsed = {}
    for page in pages:
        parsed[page] = parse(os.path.join(args.work, page))
        ids[page] = parsed[page].ids
    for page in pages:
        p = parsed[page]
        if not p.title.strip():
            faults.append("%s has no title" % page)
        sheets = [v for k, v in p.refs if k == "href" and v.endswith(".css")]
        if sheets != ["kalvora.css"]:
            faults.append("%s does not use the style sheet kalvora.css alone: %s" % (page, sheets))
        for attr, ref in p.refs:
            url = urllib.parse.urlsplit(ref)
            if url.scheme in ("http", "https", "mailto"):
                continue
            if url.scheme or url.netloc:
                faults.append("%s: %s=\"%s\" leaves the help file" % (page, attr, ref))
                continue
            path = urllib.parse.unquote(url.path)
            target = posixpath.normpath(posixpath.join(posixpath.dirname(page), path)) if path else page
            if target not in inside:
                faults.append("%s: %s=\"%s\" is broken" % (page, attr, ref))
            elif url.fragment and target.endswith(".htm") and url.fragment not in ids.get(target, set()):
                faults.append("%s: %s=\"%s\" names an anchor that is not there" % (page, attr, ref))

    # 4. The style sheet's own references.
    for sheet in (n for n in inside if n.endswith(".css")):
        with open(os.path.join(args.work, sheet), encoding="cp1252") as f:
            for ref in re.findall(r"url\(\s*['\"]?([^'\")]+)", f.read()):
                target = posixpath.normpath(posixpath.join(posixpath.dirname(sheet), ref))
                if target not in inside:
                    faults.append("%s: url(%s) is broken" % (sheet, ref))

    for f in faults:
        print("FAIL: " + f)
    print("%d pages, %d asked for by the program, %d files in all, %d faults"
          % (len(pages), len(topics), len(inside), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
