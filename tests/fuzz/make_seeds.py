#!/usr/bin/env python3
"""make_seeds.py - writes the fuzz target's seed corpus (tests/fuzz/corpus): one small input per
edge case of the skeleton language, in the layout that scanner_fuzz.cpp decodes.

    tests/fuzz/make_seeds.py        # rewrites corpus/seed-*
"""
import pathlib
import struct

INTERACTIVE, LAST_READ_FAILS, UNOPENABLE, UNWRITABLE, TWO_RUNS, LONG_RUN = 1, 2, 4, 8, 16, 32
CAPACITIES = (64, 6, 9, 5, 5, 5)


def record(*values, after=b"\xab"):
    """The six fields; a value as long as its field is stored without a NUL, and the bytes after
    a NUL are `after`, so that reading past a field shows."""
    out = b""
    for value, capacity in zip(values, CAPACITIES):
        field = value[:capacity]
        if len(field) < capacity:
            field += b"\0" + after * (capacity - len(field) - 1)
        out += field
    return out


PLAIN = record(b"Alpha Beta", b"ab", b"Cobol", b"cbl", b"ext", b"txt")


def seed(skeleton, flags=0, salt=0, split=0, at=0, run=0, fill=b"x", blocks=(0,) * 8, rec=PLAIN):
    blocks = tuple(blocks) + (0,) * (8 - len(blocks))
    header = struct.pack(">BBHHBc8B", flags, salt, split, at, run, fill, *blocks)
    return header + rec + skeleton


EVERY_TOKEN = (b"intro @TEMPLATE_NAME@ (@TEMPLATE_NAME_SHORT@)\n+File:.src\n"
               b"@SOURCE_LANGUAGE@ @SOURCE_EXTENSION@ @EXTERNAL_EXTENSION@ @DOCUMENT_EXTENSION@\n"
               b"+File: .doc\r\nsee @TEMPLATE_NAME_SHORT@.@DOCUMENT_EXTENSION@\r\n")

SEEDS = {
    "every-token": seed(EVERY_TOKEN),
    "every-token-reads-1-2-3": seed(EVERY_TOKEN, blocks=(1, 2, 3)),
    "every-token-interactive": seed(EVERY_TOKEN, INTERACTIVE, blocks=(5, 0)),
    "placeholder-neighbours": seed(b"@TEMPLATE_NAME_SHORT@@TEMPLATE_NAME_SHORT@@TEMPLATE_NAME@"
                                   b"@@TEMPLATE_NAME@@ @TEMPLATE@SOURCE_LANGUAGE@ @TEMPLATE_NAM@ "
                                   b"@template_name@ @TEMPLATE_NAME_SHORT\n+FILE:.x\n+Fil\n+File\n"),
    "directive-line-odd-bytes": seed(b"a+File:a1b x_y-z/w\\v:u.t\n@\n+File:@SOURCE_EXTENSION@\nZ\n"
                                     b"+File: 123\nkept\n+File:.end"),
    "nul-and-high-bytes": seed(b"@TEMPLATE\0_NAME@ @SOURCE\x80LANGUAGE@\xff\xfe\n+File:a\x80b\0c\n\xff\0\x80",
                               blocks=(2, 1)),
    "cr-lf-every-split": seed(b"a\r\nb\rc\r\n\r\r\n+File:.x\r\nA\r\nB\rC\r\r", blocks=(1, 2, 3, 1, 1, 4)),
    "ctrl-z": seed(b"+File:.x\nA\r\x1a@TEMPLATE_NAME@\n", blocks=(1, 1, 1, 1, 1, 1, 1, 9)),
    "ctrl-z-interactive": seed(b"a\x1a@TEMPLATE_NAME_SHORT@\nb\r\nc\n", INTERACTIVE),
    "last-byte-cr": seed(b"+File:.x\nA\r", blocks=(10, 1)),
    "fields-full-no-nul": seed(b"@TEMPLATE_NAME@|@TEMPLATE_NAME_SHORT@|@SOURCE_LANGUAGE@|@SOURCE_EXTENSION@|"
                               b"@EXTERNAL_EXTENSION@|@DOCUMENT_EXTENSION@\n+File:.x\n",
                               rec=record(b"L" * 64, b"SSSSSS", b"G" * 9, b"1234", b"5678", b"9abc")),
    "fields-empty": seed(b"[@TEMPLATE_NAME@]\n+File:.x\n@SOURCE_EXTENSION@.", rec=record(*(b"",) * 6)),
    "fields-high-bytes": seed(b"@TEMPLATE_NAME@\n+File:.x\n@SOURCE_LANGUAGE@",
                              rec=record(b"\xe9t\xe9\x80\xff", b"\xe9t", b"\x80\x81", b"", b"\xff", b"a\x01",
                                         after=b"Q")),
    "name-259-and-260": seed(b"+File:" + b"n" * 257 + b"\nA\n+File:" + b"n" * 258 + b"\nlost\n+File:.ok\nB"),
    "suffix-grows-buffer": seed(b"+File:\nlost\n+File:.ok\nkept", LONG_RUN, at=6, run=200, fill=b"q"),
    "token-across-8192": seed(b"x" * 120 + b"@TEMPLATE_NAME_SHORT@+File:.y\nZ", LONG_RUN, run=63),
    "token-across-16384": seed(b"x" * 120 + b"@TEMPLATE_NAME_SHORT@+File:.y\nZ\r\n", LONG_RUN, run=127),
    "cr-lf-across-8192": seed(b"x" * 127 + b"\r\nA\r", LONG_RUN, run=63, blocks=(0, 1)),
    "second-run-on-directive-line": seed(b"+File:.a\nfirst\n+File:x\nafter", TWO_RUNS, split=20),
    "second-run-mid-placeholder": seed(b"+File:.a\n@TEMPLATE_NAME@\r\n", TWO_RUNS, split=14),
    "read-fails-mid-placeholder": seed(b"+File:.x\nsaved @TEMPLATE_NA", LAST_READ_FAILS, blocks=(4,)),
    "read-fails-after-cr": seed(b"+File:.x\nA\r", LAST_READ_FAILS),
    "read-fails-after-complete-placeholder": seed(b"x@TEMPLATE_NAME@\n+File:.x\n@SOURCE_LANGUAGE@",
                                                  LAST_READ_FAILS, blocks=(3, 0)),
    "open-and-write-failures": seed(b"+File:.a\none\n+File:.b\ntwo\n+File:.c.d\nthree\n+File:.e\n",
                                    UNOPENABLE | UNWRITABLE, salt=7),
    "empty": seed(b""),
}

if __name__ == "__main__":
    corpus = pathlib.Path(__file__).resolve().parent / "corpus"
    corpus.mkdir(exist_ok=True)
    for old in corpus.glob("seed-*"):
        old.unlink()
    for name, data in SEEDS.items():
        (corpus / f"seed-{name}").write_bytes(data)
    print(f"{len(SEEDS)} seeds in {corpus}")
