#!/usr/bin/env python3
"""Checks that clang, compiling the GBK copies of the fuzz build, writes the
same text constants as GCC writes for the UTF-8 originals with
-fexec-charset=GBK.

Each source is compiled by both at -O0 (where neither folds short literals
into instructions); the text constants are the zero-separated pieces of the
objects' .rodata and .rodata.str* sections that read as GBK, hold a
character from U+3000 up (CJK and full-width forms) and no character that the
sources do not have (which leaves out numbers that happen to read as GBK).
Every such piece of one object must be found in the other: the same strings,
byte for byte.

    check_gbk_literals.py --gcc g++ --clang clang++ --source-root ROOT
                          --gbk-root COPIES [--define NAME=VALUE ...] FILE...
"""
import argparse
import re
import subprocess
import sys
import tempfile
from pathlib import Path


def text_constants(obj, work, known):
    sections = subprocess.run(["readelf", "-SW", str(obj)], check=True, capture_output=True, text=True).stdout
    names = {n for n in re.findall(r"\]\s+(\.rodata\S*)", sections) if not n.startswith(".rodata.cst")}
    found = set()
    for name in sorted(names):
        dump = work / "section.bin"
        subprocess.run(["objcopy", "-O", "binary", "-j", name, str(obj), str(dump)], check=True)
        for piece in dump.read_bytes().split(b"\0"):
            try:
                text = piece.decode("gbk")
            except UnicodeDecodeError:
                continue
            if any(ord(c) >= 0x3000 for c in text) and all(c.isascii() or c in known for c in text):
                found.add(piece)
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--gcc", required=True)
    parser.add_argument("--clang", required=True)
    parser.add_argument("--source-root", required=True, type=Path)
    parser.add_argument("--gbk-root", required=True, type=Path)
    parser.add_argument("--define", action="append", default=[])
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    defines = [f"-D{d}" for d in args.define]

    # The characters of the sources and of every header beside them.
    known = set()
    for folder in {(args.source_root / f).parent for f in args.files}:
        for path in [*folder.glob("*.h"), *folder.glob("*.cpp")]:
            known.update(c for c in path.read_text(encoding="utf-8") if not c.isascii())

    failures = 0
    compared = 0
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        for file in args.files:
            gcc_obj, clang_obj = work / "gcc.o", work / "clang.o"
            subprocess.run([args.gcc, "-std=c++20", "-O0", "-c", "-finput-charset=UTF-8", "-fexec-charset=GBK",
                            *defines, "-I", str(args.source_root), str(args.source_root / file), "-o", str(gcc_obj)],
                           check=True)
            subprocess.run([args.clang, "-std=c++20", "-O0", "-c", "-Wno-invalid-source-encoding", *defines,
                            "-I", str(args.gbk_root), str(args.gbk_root / file), "-o", str(clang_obj)], check=True)
            by_gcc = text_constants(gcc_obj, work, known)
            by_clang = text_constants(clang_obj, work, known)
            # A constant may sit inside a longer one (merged string tails).
            missing = [p for p in by_gcc if not any(p in q for q in by_clang)]
            extra = [p for p in by_clang if not any(p in q for q in by_gcc)]
            compared += len(by_gcc)
            for piece in missing:
                print(f"{file}: GCC wrote {piece.hex(' ')}, clang did not", file=sys.stderr)
            for piece in extra:
                print(f"{file}: clang wrote {piece.hex(' ')}, GCC did not", file=sys.stderr)
            failures += len(missing) + len(extra)
    print(f"{compared} text constants in {len(args.files)} sources compared, {failures} differences")
    return 1 if failures or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
