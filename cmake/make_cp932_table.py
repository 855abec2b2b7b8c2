#!/usr/bin/env python3
"""Writes src/platform/Cp932Table.cpp from Microsoft's code page 932 table (tests/data/cp932.tsv).

    python3 cmake/make_cp932_table.py tests/data/cp932.tsv > src/platform/Cp932Table.cpp

Only the decoding is stored: the encoder derives its choices from it (see Cp932Codec.cpp), and
this script refuses to write a table for which that derivation would differ from the file's own
encoding rows.
"""
import sys

LEADS = [b for b in range(0x81, 0x100) if 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC]
TRAILS = [b for b in range(0x40, 0xFD) if b != 0x7F]
NONE = 0xFFFF


def read(path):
    decode, encode = {}, {}
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            kind, a, b = line.split()
            if kind == "D":
                decode[bytes.fromhex(a)] = int(b, 16)
            else:
                encode[int(a, 16)] = bytes.fromhex(b)
    return decode, encode


def derived_encoding(decode):
    # The first form in byte order, except that the NEC-selected copies of IBM's extensions
    # (lead bytes 0xED and 0xEE) give way to any other form.
    forms = {}
    for seq in sorted(decode, key=lambda s: (len(s), s)):
        forms.setdefault(decode[seq], []).append(seq)
    chosen = {}
    for char, seqs in forms.items():
        preferred = [s for s in seqs if not (len(s) == 2 and s[0] in (0xED, 0xEE))]
        chosen[char] = (preferred or seqs)[0]
    return chosen


def main():
    decode, encode = read(sys.argv[1])
    if derived_encoding(decode) != encode:
        sys.exit("the encoder's rule does not give the table's encoding rows")
    single = [decode.get(bytes([b]), NONE) for b in range(256)]
    pairs = [decode.get(bytes([lead, trail]), NONE) for lead in LEADS for trail in TRAILS]
    out = sys.stdout
    out.write("// Made by cmake/make_cp932_table.py from Microsoft's table of code page 932; do not edit.\n")
    out.write('#include "Cp932Table.h"\n\nnamespace ornvale::cp932 {\n\n// clang-format off\n')
    for name, values in (("kSingleBytes", single), ("kPairs", pairs)):
        out.write(f"const char16_t {name}[{len(values)}] = {{\n")
        for i in range(0, len(values), 12):
            out.write("    " + " ".join(f"0x{v:04X}," for v in values[i:i + 12]) + "\n")
        out.write("};\n\n")
    out.write("// clang-format on\n\n} // namespace ornvale::cp932\n")


main()
