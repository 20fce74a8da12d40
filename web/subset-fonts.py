#!/usr/bin/env python3
"""Makes the browser edition's fonts: subsets of the Japanese faces holding
only the characters the program can show, under names of their own.

The characters are every string literal in the program's sources, Qt's
Japanese texts that the program shows (message box buttons, the line edit's
context menu), printable ASCII, and the full-width forms a child may type.

It also writes Qt's Japanese translation cut down to those texts
(--qm-out), so that the program carries only what it shows.

Usage: subset-fonts.py --sources DIR --qm qtbase_ja.qm --out DIR
                       [--qm-out FILE] [--face FILE=Family ...] [--full]
With --full the original files are copied instead (the way back to the
unmodified fonts that their licence asks for).
"""

import argparse
import logging
import pathlib
import re
import shutil
import struct
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

# Qt texts shown by the program: (context, source) in qtbase_ja.qm.
QT_TEXTS = [
    ("QPlatformTheme", "OK"), ("QPlatformTheme", "&Yes"), ("QPlatformTheme", "&No"),
    ("QMessageBox", "OK"), ("QDialogButtonBox", "OK"),
    ("QLineEdit", "&Undo"), ("QLineEdit", "&Redo"), ("QLineEdit", "Cu&t"),
    ("QLineEdit", "&Copy"), ("QLineEdit", "&Paste"), ("QLineEdit", "Delete"),
    ("QLineEdit", "Select All"),
]

# What a child may type besides ASCII: full-width ASCII forms (！ to ～),
# the ideographic space and the full-width signs (￠ to ￦); the ellipsis
# that Qt draws for elided text.
TYPED = [chr(c) for c in range(0xFF01, 0xFF5F)] + ["\u3000"] + \
        [chr(c) for c in range(0xFFE0, 0xFFE7)] + ["\u2026"]

# Name records that carry the original font's name: family, subfamily ID,
# full name, PostScript name, typographic and WWS family/subfamily names.
RENAMED_IDS = {1, 3, 4, 6, 16, 17, 18, 21, 22}


def literals(text):
    """The string literals of a C++ source, decoded; comments skipped."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            i = text.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif c == "'":  # character literal: skip, escapes included
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
        elif c == '"':
            m = re.match(r'R"([^(\s]{0,16})\(', text[i - 1:]) if i > 0 and text[i - 1] == "R" else None
            if m:
                end = text.find(")" + m.group(1) + '"', i)
                out.append(text[i + len(m.group(0)) - 1:end])
                i = end + len(m.group(1)) + 2
                continue
            j = i + 1
            buf = []
            while j < n and text[j] != '"':
                if text[j] == "\\":
                    esc = text[j + 1]
                    if esc in "uU":
                        width = 4 if esc == "u" else 8
                        buf.append(chr(int(text[j + 2:j + 2 + width], 16)))
                        j += 2 + width
                        continue
                    if esc == "x":  # a byte, not a character the screens show
                        m = re.match(r"[0-9a-fA-F]+", text[j + 2:])
                        j += 2 + len(m.group(0))
                        continue
                    buf.append({"n": "\n", "t": "\t", "r": "\r", "0": "\0"}.get(esc, esc))
                    j += 2
                else:
                    buf.append(text[j])
                    j += 1
            out.append("".join(buf))
            i = j + 1
        else:
            i += 1
    return out


def program_characters(source_dir):
    chars = set()
    files = sorted(p for p in pathlib.Path(source_dir).rglob("*") if p.suffix in (".cpp", ".h"))
    if not files:
        sys.exit(f"subset-fonts: no sources under {source_dir}")
    for path in files:
        for lit in literals(path.read_text(encoding="utf-8")):
            chars.update(lit)
    return chars


def qm_messages(path):
    """(context, source) -> translation, from a .qm file."""
    data = pathlib.Path(path).read_bytes()
    pos, messages = 16, None
    while pos < len(data):
        tag, length = data[pos], struct.unpack(">I", data[pos + 1:pos + 5])[0]
        if tag == 0x69:
            messages = data[pos + 5:pos + 5 + length]
        pos += 5 + length
    if messages is None:
        sys.exit(f"subset-fonts: no messages in {path}")
    found, cur, i = {}, {}, 0
    while i < len(messages):
        tag = messages[i]
        i += 1
        if tag == 1:  # end of a message
            if "ctx" in cur and "src" in cur and "tr" in cur:
                found[(cur["ctx"], cur["src"])] = cur["tr"]
            cur = {}
        elif tag in (5, 9):  # obsolete markers, no payload
            pass
        elif tag in (2, 3, 4, 6, 7, 8):
            length = struct.unpack(">I", messages[i:i + 4])[0]
            i += 4
            if length == 0xFFFFFFFF:
                continue
            value = messages[i:i + length]
            i += length
            if tag == 3:
                cur["tr"] = value.decode("utf-16-be")
            elif tag == 6:
                cur["src"] = value.decode("utf-8")
            elif tag == 7:
                cur["ctx"] = value.decode("utf-8")
        else:
            sys.exit(f"subset-fonts: unknown tag {tag} in {path}")
    return found


def elf_hash(data):
    """The hash QTranslator looks messages up by."""
    h = 0
    for byte in data:
        h = ((h << 4) + byte) & 0xFFFFFFFF
        g = h & 0xF0000000
        if g:
            h ^= g >> 24
        h &= ~g & 0xFFFFFFFF
    return h or 1


def write_qm(messages, path):
    """A .qm file holding only these messages: {(context, source): text}."""
    def field(tag, data):
        return bytes([tag]) + struct.pack(">I", len(data)) + data
    body, index = b"", []
    for (context, source), text in sorted(messages.items()):
        index.append((elf_hash(source.encode()), len(body)))
        body += (field(3, text.encode("utf-16-be")) + field(6, source.encode())
                 + field(7, context.encode()) + b"\x01")
    hashes = b"".join(struct.pack(">II", h, offset) for h, offset in sorted(index))
    magic = bytes.fromhex("3cb86418caef9c95cd211cbf60a1bddd")
    pathlib.Path(path).write_bytes(magic + field(0xA7, b"ja") + field(0x42, hashes) + field(0x69, body))


def qt_texts(qm):
    messages = qm_messages(qm)
    for key in QT_TEXTS:
        if key not in messages:
            sys.exit(f"subset-fonts: {key} not translated in {qm}")
    return {key: messages[key] for key in QT_TEXTS}


def rename(font, family):
    name = font["name"]
    postscript = family.replace(" ", "")
    name.names = [r for r in name.names if r.nameID not in RENAMED_IDS]
    for name_id, value in ((1, family), (2, "Regular"), (3, postscript + "-Subset"),
                           (4, family), (6, postscript)):
        name.removeNames(nameID=name_id)
        name.setName(value, name_id, 3, 1, 0x409)  # Windows, Unicode BMP, English
        name.setName(value, name_id, 1, 0, 0)      # Macintosh, Roman, English


def make_subset(source, family, chars, out_path):
    options = subset.Options()
    options.name_IDs = ["*"]          # keep copyright and licence records
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.hinting = False           # outlines only: smaller, and Qt draws unhinted
    options.layout_features = ["*"]   # vertical and proportional forms stay usable
    font = TTFont(source, recalcTimestamp=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in chars])
    subsetter.subset(font)
    rename(font, family)
    cmap = font.getBestCmap()
    missing = sorted(c for c in chars if ord(c) not in cmap and c.isprintable() and not c.isspace())
    font.save(out_path)
    return missing


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sources", required=True)
    parser.add_argument("--qm", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--qm-out", help="where to write the cut-down translation")
    parser.add_argument("--face", action="append", required=True, help="FILE=Family")
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--require", default="～０１２３４５６７８９！",
                        help="characters every face must have")
    args = parser.parse_args()
    logging.getLogger("fontTools").setLevel(logging.ERROR)

    out = pathlib.Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    for old in out.glob("*.ttf"):
        old.unlink()

    texts = qt_texts(args.qm)
    if args.qm_out:
        write_qm(texts, args.qm_out)
    chars = program_characters(args.sources)
    for text in texts.values():
        chars |= set(text.replace("&", ""))
    chars |= {chr(c) for c in range(0x20, 0x7F)}
    chars |= set(TYPED)
    chars = {c for c in chars if c >= " " and c != "\x7f"}
    (out / "characters.txt").write_text("".join(sorted(chars)) + "\n", encoding="utf-8")

    failed = False
    for face in args.face:
        source, family = face.split("=", 1)
        target = out / (family.replace(" ", "") + ".ttf")
        if args.full:
            shutil.copyfile(source, out / pathlib.Path(source).name)
            continue
        missing = make_subset(source, family, chars, target)
        absent = [c for c in args.require if c in missing]
        program_missing = [c for c in missing if c not in TYPED]
        if absent or program_missing:
            print(f"subset-fonts: {source} lacks {''.join(absent + program_missing)!r}", file=sys.stderr)
            failed = True
        print(f"{target.name}: {target.stat().st_size} bytes, {len(chars)} characters")
    if failed:
        sys.exit(1)


if __name__ == "__main__":
    main()
