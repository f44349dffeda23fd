#!/usr/bin/env python3
"""Moves the program's English/German text pairs to Qt's translation system.

    i18n-convert.py extract FILE...       prints the literal pairs of Bilingual(app, en, de)
                                          as table rows (english TAB german TAB note);
                                          calls it cannot read are listed on stderr
    i18n-convert.py add TABLE FILE...     adds the literal pairs of the files that the table
                                          lacks to its end (an English text that has another
                                          German text in the table is reported: give both a note)
    i18n-convert.py convert TABLE FILE... rewrites every literal Bilingual(app, en, de) as
                                          Tr(app, QT_TRANSLATE_NOOP("Celvio", en)), with
                                          the table's note as the disambiguation
    i18n-convert.py fill TABLE TS         gives every message of the .ts file (after
                                          lupdate) the German text of the table

The table is tests/core/german_texts.tsv: one text a line, the English source, the
German text and a note that tells two German texts of one English source apart; a
backslash writes a line break (\\n), a tab (\\t) or itself (\\\\).
"""
import re
import sys
import xml.etree.ElementTree as ET

CONTEXT = "Celvio"


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append({"n": "\n", "t": "\t", "r": "\r", "\\": "\\"}[text[i + 1]])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_table(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            while len(parts) < 3:
                parts.append("")
            rows.append(tuple(unescape(p) for p in parts[:3]))
    return rows


def call_end(src, open_paren):
    """The index of the parenthesis that closes the one at open_paren."""
    depth, i = 0, open_paren
    while i < len(src):
        c = src[i]
        if c == '"':
            i += 1
            while src[i] != '"':
                i += 2 if src[i] == "\\" else 1
        elif c == "'":
            i += 1
            while src[i] != "'":
                i += 2 if src[i] == "\\" else 1
        elif c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth == 0:
                return i
        i += 1
    raise ValueError("unbalanced call")


def split_args(text):
    args, depth, start, i = [], 0, 0, 0
    while i < len(text):
        c = text[i]
        if c == '"':
            i += 1
            while text[i] != '"':
                i += 2 if text[i] == "\\" else 1
        elif c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif c == "," and depth == 0:
            args.append(text[start:i].strip())
            start = i + 1
        i += 1
    args.append(text[start:].strip())
    return args


LITERALS = re.compile(r'^(?:"(?:[^"\\]|\\.)*"\s*)+$')
WRAPPED = re.compile(r"^(?:QStringLiteral|QString::fromUtf8)\((.*)\)$", re.S)
ESCAPES = {"n": "\n", "t": "\t", "r": "\r", '"': '"', "\\": "\\", "'": "'"}


def literal(arg):
    """(the C++ literal tokens, their text) of a plain string argument, else None."""
    m = WRAPPED.match(arg)
    if m:
        arg = m.group(1).strip()
    if not LITERALS.match(arg):
        return None
    text = ""
    for body in re.findall(r'"((?:[^"\\]|\\.)*)"', arg):
        text += re.sub(r"\\(.)", lambda e: ESCAPES[e.group(1)], body)
    return arg, text


def calls(src):
    """Every Bilingual(...) call of a source: (start, end, arguments)."""
    for m in re.finditer(r"\bBilingual\(", src):
        if src[: m.start()].rstrip().endswith(("QString", "inline")) or re.search(r"QString\s*$", src[: m.start()]):
            continue  # the declaration itself
        open_paren = m.end() - 1
        end = call_end(src, open_paren)
        yield m.start(), end + 1, split_args(src[open_paren + 1 : end])


def line_of(src, pos):
    return src.count("\n", 0, pos) + 1


def extract(files):
    seen = set()
    for path in files:
        src = open(path, encoding="utf-8").read()
        for start, _, args in calls(src):
            pair = [literal(a) for a in args[1:]] if len(args) == 3 else [None]
            if None in pair:
                print(f"{path}:{line_of(src, start)}: not a literal pair", file=sys.stderr)
                continue
            key = (pair[0][1], pair[1][1])
            if key not in seen:
                seen.add(key)
                print(f"{escape(key[0])}\t{escape(key[1])}\t")


def pairs_of(files):
    for path in files:
        src = open(path, encoding="utf-8").read()
        for start, _, args in calls(src):
            pair = [literal(a) for a in args[1:]] if len(args) == 3 else [None]
            if None in pair:
                print(f"{path}:{line_of(src, start)}: not a literal pair", file=sys.stderr)
                continue
            yield path, line_of(src, start), pair[0][1], pair[1][1]


def add(table, files):
    rows = read_table(table)
    known = {(en, de) for en, de, _ in rows}
    german_of = {}
    for en, de, _ in rows:
        german_of.setdefault(en, set()).add(de)
    clashes = 0
    with open(table, "a", encoding="utf-8") as f:
        for path, line, en, de in pairs_of(files):
            if (en, de) in known:
                continue
            if en in german_of:
                print(f"{path}:{line}: {escape(en)} has another German text: add a note to both", file=sys.stderr)
                clashes += 1
            known.add((en, de))
            german_of.setdefault(en, set()).add(de)
            f.write(f"{escape(en)}\t{escape(de)}\t\n")
            print(f"{path}:{line}: added {escape(en)}", file=sys.stderr)
    return 1 if clashes else 0


def with_include(src, drop_old):
    """The source with core/translation.h among its includes, in order, and without
    core/bilingual.h when nothing uses it any more."""
    lines = src.split("\n")
    old = '#include "core/bilingual.h"'
    if drop_old and old in lines:
        lines.remove(old)
    wanted = '#include "core/translation.h"'
    if wanted not in lines:
        quoted = [i for i, l in enumerate(lines) if l.startswith('#include "')]
        # The file's own header stays first; the others are in order of their path.
        later = quoted[1:] if len(quoted) > 1 else quoted
        at = next((i for i in later if lines[i] > wanted), later[-1] + 1)
        lines.insert(at, wanted)
    return "\n".join(lines)


def convert(table, files):
    notes = {(en, de): note for en, de, note in read_table(table)}
    for path in files:
        src = open(path, encoding="utf-8").read()
        out, last, left = [], 0, 0
        for start, end, args in calls(src):
            pair = [literal(a) for a in args[1:]] if len(args) == 3 else [None]
            if None in pair or (pair[0][1], pair[1][1]) not in notes:
                print(f"{path}:{line_of(src, start)}: left for a hand conversion", file=sys.stderr)
                left += 1
                continue
            note = notes[(pair[0][1], pair[1][1])]
            tokens = pair[0][0]
            if note:
                text = f'Tr({args[0]}, QT_TRANSLATE_NOOP3("{CONTEXT}", {tokens}, "{note}"))'
            else:
                text = f'Tr({args[0]}, QT_TRANSLATE_NOOP("{CONTEXT}", {tokens}))'
            out.append(src[last:start] + text)
            last = end
        out.append(src[last:])
        new = "".join(out)
        if new != src:
            new = with_include(new, drop_old=left == 0 and "Bilingual(" not in new)
            open(path, "w", encoding="utf-8").write(new)
            print(f"{path}: converted", file=sys.stderr)


def fill(table, ts):
    german = {(en, note): de for en, de, note in read_table(table)}
    tree = ET.parse(ts)
    missing = 0
    for message in tree.iter("message"):
        source = message.findtext("source")
        note = message.findtext("comment") or ""
        translation = message.find("translation")
        if (source, note) in german:
            translation.text = german[(source, note)]
            translation.attrib.pop("type", None)
        elif translation.get("type") != "vanished" and translation.get("type") != "obsolete":
            print(f"no German text for: {escape(source)} ({note})", file=sys.stderr)
            missing += 1
    ET.indent(tree, "    ")
    with open(ts, "wb") as f:
        f.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        tree.write(f, encoding="utf-8", xml_declaration=False)
        f.write(b"\n")
    return 1 if missing else 0


def main(argv):
    if len(argv) >= 2 and argv[0] == "extract":
        extract(argv[1:])
    elif len(argv) >= 3 and argv[0] == "add":
        return add(argv[1], argv[2:])
    elif len(argv) >= 3 and argv[0] == "convert":
        convert(argv[1], argv[2:])
    elif len(argv) == 3 and argv[0] == "fill":
        return fill(argv[1], argv[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
