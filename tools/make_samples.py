#!/usr/bin/env python3
"""Writes the demo folder samples/: a few plain files to encode and two
storages (UU and XX encoded text files) holding complete files and one
incomplete file (its middle section missing).

Run from the repository root: python3 tools/make_samples.py
The output is deterministic, so the committed files can be regenerated."""

import os
import random

UU = "`" + "".join(chr(32 + v) for v in range(1, 64))
XX = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
CRLF = "\r\n"


def encode_line(data, alphabet):
    """One data line: the length character, the groups of four, a filler."""
    chars = [alphabet[len(data)]]
    padded = data + b"\0\0"
    for i in range(0, len(data), 3):
        b0, b1, b2 = padded[i], padded[i + 1], padded[i + 2]
        chars += [alphabet[b0 >> 2], alphabet[((b0 & 3) << 4) | (b1 >> 4)],
                  alphabet[((b1 & 15) << 2) | (b2 >> 6)], alphabet[b2 & 63]]
    count = (8 * len(data) + 5) // 6  # the last group is cut, not padded
    line = chars[0] + "".join(chars[1:1 + count])
    if count < 60:
        line += alphabet[0]
    return line


def data_lines(data, alphabet):
    return [encode_line(data[i:i + 45], alphabet) for i in range(0, len(data), 45)]


def encode_sections(name, data, alphabet, sections, keep=None):
    """The text of `name` cut into `sections` parts; `keep` lists the
    section numbers written (all when None)."""
    lines = data_lines(data, alphabet)
    per = -(-len(lines) // sections)
    out = []
    for s in range(1, sections + 1):
        body = lines[(s - 1) * per:s * per]
        if keep is not None and s not in keep:
            continue
        out.append(CRLF + "section %d of %d of file %s (demo storage)" % (s, sections, name) + CRLF)
        if s == 1:
            if alphabet is XX:
                out.append("table" + CRLF + alphabet[:32] + CRLF + alphabet[32:] + CRLF)
            out.append("begin 644 %s" % name + CRLF)
        out.append("".join(line + CRLF for line in body))
        if s == sections:
            out.append(alphabet[0] + CRLF + "end" + CRLF + CRLF)
    return "".join(out)


def text_file(lines):
    return ("\n".join(lines) + "\n").encode("ascii")


def main():
    rng = random.Random(20261208)
    root = "samples"
    os.makedirs(root, exist_ok=True)

    letter = text_file([
        "Dear reader,",
        "",
        "this letter is one of the files in the demo folder. Select it with",
        "Insert, select numbers.csv as well, open the plugins menu with F11",
        "and choose the encoder: both files are written as encoded text into",
        "the folder of the other panel.",
        "",
        "Press Enter on demo.uue to look inside a storage, and copy a file",
        "onto the open storage with F5 to append it.",
        "",
        "Kind regards,",
        "the demo folder",
    ])
    numbers = text_file(["n,square,cube"] + ["%d,%d,%d" % (n, n * n, n ** 3) for n in range(1, 41)])
    pixels = bytes(rng.randrange(256) for _ in range(700))
    readme = text_file(["Readme of the demo storage.", ""] +
                       ["Line %02d of a small text that was encoded into demo.uue." % n for n in range(1, 25)])
    logo = bytes((x * 7 + y * 13) & 0xFF for y in range(24) for x in range(40))
    photo = bytes(rng.randrange(256) for _ in range(3000))
    report = text_file(["Quarterly figures"] + ["row %03d: %d" % (n, rng.randrange(10 ** 6)) for n in range(60)])
    table = bytes(rng.randrange(256) for _ in range(400))

    for name, data in (("letter.txt", letter), ("numbers.csv", numbers), ("pixels.bin", pixels)):
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)

    demo = ("Demo storage: encoded files, one of them incomplete." + CRLF +
            encode_sections("readme.txt", readme, UU, 1) +
            encode_sections("logo.bin", logo, UU, 1) +
            encode_sections("report.txt", report, UU, 2) +
            encode_sections("photo.jpg", photo, UU, 3, keep={1, 3}))
    with open(os.path.join(root, "demo.uue"), "wb") as f:
        f.write(demo.encode("ascii"))

    xx = "Demo storage in the XX alphabet." + CRLF + encode_sections("table.bin", table, XX, 1)
    with open(os.path.join(root, "tables.xxe"), "wb") as f:
        f.write(xx.encode("ascii"))


if __name__ == "__main__":
    main()
