#!/usr/bin/python3
"""Reads a vCard file with python3-vobject, a reader independent of this program, and prints
one line per card: the formatted name, the structured name, the organisation, each number with
its types, and the note, so that the command-line test can compare what it read.

Usage: check_vcf.py FILE.vcf
"""
import sys

import vobject


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        text = f.read()
    for card in vobject.readComponents(text, validate=True):
        n = card.n.value
        parts = [card.fn.value, "%s|%s|%s" % (n.family, n.given, n.prefix)]
        if hasattr(card, "org"):
            parts.append("org=" + ";".join(card.org.value))
        for tel in card.contents.get("tel", []):
            parts.append("tel=%s(%s)" % (tel.value, ",".join(tel.params.get("TYPE", []))))
        for mail in card.contents.get("email", []):
            parts.append("email=" + mail.value)
        if hasattr(card, "note"):
            parts.append("note=" + card.note.value.replace("\n", "/"))
        print(" ".join(parts))


if __name__ == "__main__":
    main()
