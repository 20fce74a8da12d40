#!/usr/bin/env python3
"""Writes the seed corpora and the list dictionary under tests/fuzz.

Run it again after changing a case; the files are committed, so the fuzz runs
do not need Python. Each seed is tiny: the fuzzer does the rest.
"""

import shutil
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent
CORPUS = HERE / "corpus"


def utf16(text):
    return text.encode("utf-16-le")


# Texts a child or a parent might type, and the edges of the conversions.
NUMBER_TEXTS = {
    "plain": "12",
    "full_width": "１２",
    "ideographic_spaces": "\u3000１２\u3000",
    "full_width_sign_point": "－１２．５",
    "grouping": "1,000",
    "grouping_misplaced": "1,00",
    "decimal_comma": "12,5",
    "exponent": "1e3",
    "exponent_full_width": "１ｅ３",
    "nan": "nan",
    "inf": "inf",
    "minus_inf": "-inf",
    "huge_exponent": "1e400",
    "tiny_exponent": "1e-400",
    "subnormal": "4.9e-324",
    "lowest_tie": "-32768.5",
    "below_lowest": "-32768.6",
    "highest_tie": "32767.5",
    "above_16_bits": "99999",
    "above_limit_half": "10000.5",
    "tie_down": "12.5",
    "tie_up": "13.5",
    "half": "0.5",
    "minus_half": "-0.5",
    "leading_zero": "07",
    "trailing_zero": "7.0",
    "plus": "+12",
    "point_first": ".5",
    "point_last": "5.",
    "empty": "",
    "space": " ",
    "ideographic_space": "\u3000",
    "letters": "abc",
    "digits_letters": "12abc",
    "hex": "0x10",
    "arabic_indic": "\u0663",
    "circled_one": "\u2460",
    "vulgar_half": "\u00bd",
    "unicode_minus": "\u22125",
    "bom": "\ufeff12",
    "combining_accent": "１２\u0301",
}

COUNT_TEXTS = {
    "thirty": "30",
    "limit": "10000",
    "limit_half": "10000.5",
    "limit_below_half": "10000.4",
    "limit_exponent": "1e4",
    "one_above": "10001",
    "far_above": "99999",
    "tie_down": "12.5",
    "tie_up": "13.5",
    "full_width": "１０",
    "ideographic_spaces": "\u3000３０\u3000",
    "one": "1",
    "half": "0.5",
    "one_and_half": "1.5",
    "zero": "0",
    "negative": "-5",
    "below_16_bits": "-40000",
    "lowest_tie": "-32768.5",
    "grouping": "1,000",
    "empty": "",
    "letters": "abc",
    "nan": "nan",
    "inf": "inf",
}

KINDS = [
    "たし算", "ひき算", "かけ算", "わり算", "九九",
    "たし算＋ひき算", "たし算＋かけ算", "たし算＋わり算", "ひき算＋かけ算", "ひき算＋わり算", "かけ算＋わり算",
    "たし算＋ひき算＋かけ算", "たし算＋ひき算＋わり算", "たし算＋かけ算＋わり算", "ひき算＋かけ算＋わり算",
    "たし算＋ひき算＋かけ算＋わり算",
]
RANGES = ["1～10", "1～20", "1～50", "1～100", "1～200", "1～500", "1～999"]
ROWS = ["九九（全て）"] + [f"九九（{n}の段）" for n in "一二三四五六七八九"]

# Index of a value in fuzz_choices.cpp's list of earlier values.
EARLIER = {0: 0, 1: 1, 3: 3, 81: 16, 20: 17, 50: 18, 200: 20}


def choices(kind, rng, row, before=None):
    text = f"{kind}\n{rng}\n{row}"
    if before:
        text += "\n" + chr(EARLIER[before[0]]) + chr(EARLIER[before[1]])
    return text


CHOICE_TEXTS = {f"kind_{i:02d}": choices(k, RANGES[i % len(RANGES)], "") for i, k in enumerate(KINDS)}
CHOICE_TEXTS.update({
    f"row_{i}": choices("九九", RANGES[(i + 3) % len(RANGES)], r) for i, r in enumerate(ROWS)
})
CHOICE_TEXTS.update({
    "unknown_row": choices("九九", "1～20", "九九（十の段）", (1, 0)),
    "row_for_other_kind": choices("かけ算", "1～50", "九九（七の段）", (1, 0)),
    "kind_kept_at_table": choices("なにか", "1～100", "九九（八の段）", (81, 0)),
    "ascii_plus": choices("たし算+ひき算", "1～10", "", (3, 20)),
    "ascii_tilde": choices("たし算", "1~10", "", (1, 50)),
    "full_width_digits": choices("たし算", "１～１０", "", (1, 50)),
    "trailing_spaces": choices("わり算 ", "1～100 ", "", (3, 20)),
    "empty": "",
    "only_breaks": "\n\n\n",
})

# fuzz_answer.cpp's layout: kind pick, range pick, count size pick, count,
# seed, clock, flags, second kind/range/count, record pick, typing, text.
KIND_PICKS = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 81, 0, 16, 80, 82, -1, 42, 32767, -32768]
RANGE_PICKS = [10, 20, 50, 100, 200, 500, 999, 81, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0]


def count_bytes(count):
    large = count > 200
    return bytes([0xF0 if large else 0]) + struct.pack("<H", count)


def answer(kind, rng, count, seed, text="", second=None, pick=0, typing=0, utf16_text=False):
    flags = (1 if second else 0) | (2 if utf16_text else 0)
    k2, r2, c2 = second or (1, 10, 0)
    data = bytes([KIND_PICKS.index(kind), RANGE_PICKS.index(rng)]) + count_bytes(count)
    data += struct.pack("<QI", seed, 45296000)  # 12:34:56
    data += bytes([flags, KIND_PICKS.index(k2), RANGE_PICKS.index(r2)]) + count_bytes(c2)
    data += bytes([pick, typing])
    data += utf16(text) if utf16_text else text.encode("utf-8")
    return data


ANSWERS = {}
for i, kind in enumerate(range(1, 16)):
    ANSWERS[f"kind_{kind:02d}"] = answer(kind, RANGE_PICKS[i % 7], 7 + i, 1000 + i, "7", pick=i, typing=i * 9)
for row in [81, 1, 5, 9]:
    ANSWERS[f"table_row_{row}"] = answer(81, row, 12, row, "１２", typing=1)
ANSWERS.update({
    "table_with_range": answer(81, 500, 20, 5, "\u3000３\u3000"),
    "unset_range_division": answer(4, 0, 30, 6, "0"),
    "unset_range_mixed": answer(15, 0, 40, 7, "nan"),
    "division_row_range": answer(4, 1, 10, 8, "2"),
    "unknown_kind": answer(42, 10, 30, 9, "inf", pick=3),
    "zero_kind": answer(0, 20, 30, 10, ""),
    "zero_count": answer(1, 10, 0, 11, "0", typing=5 << 3),
    "one_problem": answer(2, 10, 1, 12, "-0"),
    "full_set": answer(15, 999, 10000, 13, "1e3"),
    "rebuild_shorter": answer(15, 100, 50, 14, "12.5", second=(1, 10, 30), pick=40),
    "rebuild_longer": answer(3, 20, 5, 15, "13.5", second=(10, 999, 120)),
    "rebuild_to_nothing": answer(5, 50, 60, 16, "-32768.5", second=(16, 50, 60)),
    "answer_utf16": answer(1, 20, 10, 17, "１０", utf16_text=True),
    "answer_grouping": answer(1, 999, 10, 18, "1,000"),
    "answer_typed_half": answer(2, 100, 10, 19, "", typing=6 << 3),
    "answer_typed_plus": answer(3, 200, 10, 20, "", typing=6),
})


# Settings files: one byte for the value's length, the value, then the file.
def settings(value, file):
    data = value.encode("utf-8")
    return bytes([len(data)]) + data + file


SETTINGS_FILES = {
    "none": settings("abc", b""),
    "registered": settings("new", b"[Data]\nPassWord=old\n"),
    "others_around": settings("x", b"[General]\nstray\n[Data]\nOther=\"a,b\"\nPassWord=old ; note\n[Z]\nk=v\n"),
    "quoted_escaped": settings("a;b \"c\"", b"[Data]\r\nPassWord=\"x\\ny\" \r\n"),
    "list_value": settings("p", b"[Data]\nPassWord=a, b\n"),
    "stored_type": settings("p", b"[Data]\nPassWord=@Rect(1 2 3 4)\n"),
    "bom_file": settings("\ufeffp\\\ufeff", b"\xef\xbb\xbf[Data]\nPassWord=@String(x)\n"),
    "backslash_at_end": settings("p", b"[General]\nx=a\\"),
    "open_quote_at_end": settings("p", b"[General]\nx=\"a"),
    "invalid_utf8": settings("p", b"[Data]\nPassWord=\xff\xfe\n"),
}


# Rows of the browser's learning record: both formats, every escape, a
# leading U+FEFF typed, and one stored as raw UTF-16.
M2_ROW = "m2\t7\u306e\u6bb5\t1765260000123\t32400\t2\t81\t7\t30\t0\t12\t7\t8\t3\t56\t1\t1500\t56\t0"
RECORD_ROWS = {
    "m1": "m1\td\t0\t0\t1\t1\t10\t5\t0\t1\t3\t4\t1\t7\t1\t900\t7",
    "m2": M2_ROW,
    "m2_escapes": "m2\ta\\\\b\\tc\\nd\\re\t-1\t-36000\t-32768\t32767\t1\t0\t1\t0\t0\t0\t0\t-1\t0"
                  "\t-2147483648\t\ufeff\uff15\uff16\\t\t1",
    "m2_unknown_escape": M2_ROW.replace("\t56\t0", "\t5\\x\t0"),
    "utf16_m2": utf16(M2_ROW),
}
RECORD_ROW_WORDS = ["m1", "m2", "\t", "\\\\", "\\t", "\\n", "\\r", "\ufeff", "-2147483648", "32767"]


def write_record_rows():
    write("fuzz_record_row", RECORD_ROWS)
    lines = ["# The row's format names, its separator and escapes."]
    for word in RECORD_ROW_WORDS:
        lines.append('"' + "".join(f"\\x{b:02x}" for b in word.encode("utf-8")) + '"')
    (HERE / "fuzz_record_row.dict").write_text("\n".join(lines) + "\n")


def write(name, cases):
    folder = CORPUS / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for case, value in cases.items():
        data = value.encode("utf-8") if isinstance(value, str) else value
        (folder / case).write_bytes(data)


def main():
    numbers = dict(NUMBER_TEXTS)
    # The same texts as raw UTF-16, and some doubles for RealToInt16 directly.
    numbers.update({f"utf16_{k}": utf16(v) for k, v in NUMBER_TEXTS.items() if k in
                    ("full_width", "lowest_tie", "tie_down", "bom")})
    for name, value in {"double_2_5": 2.5, "double_minus_0_5": -0.5, "double_32767_5": 32767.5,
                        "double_minus_32768_5": -32768.5, "double_tiny": -1e-300}.items():
        numbers[name] = struct.pack("<d", value)
    write("fuzz_conversions", numbers)

    counts = dict(COUNT_TEXTS)
    counts.update({f"utf16_{k}": utf16(v) for k, v in COUNT_TEXTS.items() if k in ("limit", "tie_up")})
    write("fuzz_problem_count", counts)

    texts = dict(CHOICE_TEXTS)
    texts["utf16_table_all"] = utf16(choices("九九", "1～999", "九九（全て）"))
    texts["utf16_mixed"] = utf16(choices("たし算＋ひき算", "1～50", ""))
    write("fuzz_choices", texts)

    write("fuzz_answer", ANSWERS)
    write("fuzz_ini_store", SETTINGS_FILES)
    write_record_rows()

    # libFuzzer's dictionary: every list text and the parts they share.
    words = KINDS + RANGES + ROWS + ["\n", "～", "＋", "九九（", "の段）", "算"]
    lines = ['# The list texts, so the fuzzer can put whole rows together.']
    for word in words:
        escaped = "".join(f"\\x{b:02x}" for b in word.encode("utf-8"))
        lines.append(f'"{escaped}"')
    (HERE / "fuzz_choices.dict").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
