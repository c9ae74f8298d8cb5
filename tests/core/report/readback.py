#!/usr/bin/env python3
"""Reads an exported file or a report back with a real parser and prints what it found, one item a line:
  ROW <cells>   a table row (HTML, RTF) or a record (CSV, TXT); each cell as the hex of its UTF-8, "-" if empty
  TAG <name>    an element start tag (HTML, RTF through unrtf)
  ID <hex>      an id attribute;  HREF <hex> a link target;  IMG <hex> an image source
  BOM           the file starts with a UTF-8 byte-order mark
Usage: readback.py html|csv|txt|rtf FILE"""
import csv
import html.parser
import io
import re
import subprocess
import sys


def hx(s):
    return s.encode("utf-8").hex() or "-"


class Cells(html.parser.HTMLParser):
    def __init__(self, carry_stray_text=False):
        super().__init__(convert_charrefs=True)
        self.row = None
        self.cell = None
        # unrtf writes the leading escaped braces of a cell before the cell's start tag: such text belongs to
        # the next cell.
        self.carry = carry_stray_text
        self.stray = ""

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        print("TAG", tag)
        if a.get("id") is not None:
            print("ID", hx(a["id"]))
        if tag == "a" and a.get("href") is not None:
            print("HREF", hx(a["href"]))
        if tag == "img":
            print("IMG", hx(a.get("src") or ""))
        if tag == "tr":
            self.row = []
        elif tag in ("td", "th"):
            self.cell = [self.stray]
            self.stray = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None and self.row is not None:
            self.row.append("".join(self.cell))
            self.cell = None
        elif tag == "tr" and self.row is not None:
            print("ROW", " ".join(hx(c) for c in self.row))
            self.row = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell.append(data)
        elif self.carry and data.strip():
            self.stray += data.strip()


def utf16_references(text):
    """unrtf writes each UTF-16 unit of a \\u control word as a character reference; join surrogate pairs."""
    def pair(m):
        hi, lo = int(m.group(1)), int(m.group(2))
        return "&#%d;" % (0x10000 + ((hi - 0xD800) << 10) + (lo - 0xDC00))
    return re.sub(r"&#(5[5-6]\d{3});&#(5[6-7]\d{3});", pair, text)


def main():
    mode, path = sys.argv[1], sys.argv[2]
    raw = open(path, "rb").read()
    if raw.startswith(b"\xef\xbb\xbf"):
        print("BOM")
    if mode == "html":
        p = Cells()
        p.feed(raw.decode("utf-8"))  # strict: a byte that is not UTF-8 fails the read
        p.close()
    elif mode in ("csv", "txt"):
        text = raw.decode("utf-8-sig")
        for record in csv.reader(io.StringIO(text, newline=""), delimiter=";" if mode == "csv" else "\t", strict=True):
            print("ROW", " ".join(hx(c) for c in record))
    elif mode == "rtf":
        out = subprocess.run(["unrtf", "--html", path], check=True, capture_output=True).stdout.decode("utf-8")
        body = out[out.find("<body>"):] if "<body>" in out else out
        p = Cells(carry_stray_text=True)
        p.feed(utf16_references(body))
        p.close()
    else:
        sys.exit("unknown mode " + mode)


main()
