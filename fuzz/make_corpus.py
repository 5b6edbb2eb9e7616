#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

The seeds are the accepted and refused inputs of the unit tests and a few
malformed ones, small on purpose: the fuzzer finds the rest. The carried
skin files and the ripple picture are not copied here; the fuzz build reads
them from resources/ as further seed folders. Running this again rewrites
the same files (and removes seeds it no longer makes).

    python3 fuzz/make_corpus.py
"""
import math
import pathlib
import shutil
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


def gbk(text):
    return text.encode("gbk")


def date_texts():
    accepted = [
        "2011-05-06 12:30:45", "2011/5/6 12:30:45", "2011-5-6 12:30:45", "20110506123045",
        "2011年5月6日12时30分45秒", "2011-05-06 12:30:45秒", "2011-05-06 12:30:45秒 and then anything\n",
        "２０１１－０５－０６　１２：３０：４５", "2011.5.6", "2011:5:6", "2011年5月6日", "２０１１－５－６",
        "2012-02-29", "0100-01-01", "0100-01-01 01:00:00", "9999-12-31 23:59:59", "1899-12-30", "1899-12-29 18:00:00",
        "2011～05～06", "2011-05-06 12:30:45\0 garbage",
    ]
    refused = [
        "2011-05-06 12:30:45\n", "2011-05-06 12:30:45 ", "2011年5月6日 12:30:45", " 2011-05-06", "2011-5",
        "11-5-6", "2011-02-29", "2011-05-06T12:30:45", "2011-05-06 24:00:00", "", "2011-05-06 12:60:00",
        "2011-13-01", "2011-00-10", "abc", "2011-05-06 12:30:45x", "0099-12-31",
    ]
    seeds = {f"accepted-{i:02}": gbk(t) for i, t in enumerate(accepted)}
    seeds.update({f"refused-{i:02}": gbk(t) for i, t in enumerate(refused)})
    seeds["refused-lone-lead-byte"] = b"\xA3"
    seeds["refused-lead-byte-then-zero"] = b"2011-05-06\xA3\0"
    return seeds


def byte_blocks():
    return {
        "text-zero-text": b"12\x0034",
        "empty": b"",
        "zero-first": b"\0abc",
        "gbk-no-zero": gbk("青禾万年历"),
        "time-answer": gbk("2011-02-04 09:30:00") + b"\0\0\0",
        "all-bytes": bytes(range(1, 256)) + b"\0",
    }


def time_answers():
    return {
        "answer": gbk("2011-02-04 09:30:00"),
        "answer-chinese": gbk("2011年2月4日9时30分0秒"),
        "answer-with-zero": gbk("2011-02-04 09:30:00") + b"\0<html>",
        "answer-last-day": gbk("9999-12-31 23:59:59"),
        "answer-first-day": gbk("0100-01-01 00:00:01"),
        "not-a-date": gbk("<html><body>503</body></html>"),
        "content-length": b"1234",
        "content-length-blanks-sign": b" +42\t",
        "content-length-huge": b"99999999999999999999999",
        "content-length-negative": b"-5",
        "empty": b"",
    }


def props_record(version, date, mode, fmt=b"", show=1, length=None, tail=b""):
    out = struct.pack("<idi", version, date, mode)
    out += struct.pack("<i", len(fmt) if length is None else length) + fmt
    if version >= 2:
        out += struct.pack("<i", show)
    return out + tail


def calendar_props():
    december19 = 40531.0  # 2010-12-19, the main window's stored date
    return {
        # The main window's control: version 2, Gregorian mode, no format, header shown (24 bytes).
        "main-window": props_record(2, december19, 1),
        "with-format": props_record(2, 40578.75, 2, gbk("%Y年 %y"), show=0),
        "version-1": props_record(1, december19, 0, b"%y"),
        "version-0": props_record(0, december19, 0),
        "trailing-bytes": props_record(2, december19, 1, show=0, tail=struct.pack("<i", 77)),
        "negative-length": props_record(2, december19, 1, length=-5, show=0),
        "format-with-zero": props_record(2, december19, 1, b"%y\0x"),
        "date-nan": props_record(2, math.nan, 1),
        "date-minus-infinity": props_record(2, -math.inf, 1),
        "too-short-for-version": b"\x01\x00",
        "too-short-for-date": struct.pack("<ii", 2, 0),
        "no-show-header": props_record(2, december19, 1)[:-4],
        "text-past-the-end": props_record(1, december19, 1, b"%y", length=5),
        "length-near-2-31": props_record(2, december19, 1, b"abcd", length=0x7FFFFFFF)[:-4],
        "newer-version": props_record(7, december19, 3, b"%m", show=0),
    }


def skin_files():
    base = (pathlib.Path(__file__).resolve().parent.parent / "resources" / "skins" / "asus.skn").read_bytes()
    crlf = base.replace(b"\n", b"\r\n")
    spaced = base.replace(b"name = Asus", b"\t  # indented comment\nname=Asus").replace(
        b"frame.width = 4", b"  frame.width\t=\t4  ")
    return {
        "asus-crlf": crlf,
        "asus-spaced": spaced,
        "asus-truncated": base[: len(base) // 2],
        "asus-no-end": base.replace(b"end\n", b""),
        "asus-text-after-end": base + b"frame.width = 4\n",
        "asus-buttons-too-tall": base.replace(b"caption.button.height = 20", b"caption.button.height = 25"),
        "asus-gbk-name": base.replace(b"name = Asus", b"name = \xC0\xB6"),
        "asus-version-2": base.replace(b".SKN 1", b".SKN 2"),
        "asus-stray-cr": base.replace(b"name = Asus", b"name = As\rus"),
        "magic-only": b".SKN 1\n",
        "minimal-refused": b".SKN 1\nend\n",
    }


def search_texts():
    texts = ["万年历", "A&B", "C#", "1+1 50%", "az-_.~09", "q=1&pid=x#top", "a b\tc\r\n", "",
             "日历 & 闹钟 #2 +100%", "％２０", "http://example/?a=b"]
    seeds = {f"text-{i:02}": gbk(t) for i, t in enumerate(texts)}
    seeds["zero-and-ff"] = b"\0\xFF"
    return seeds


def bmp(width, height, colours, table_entries, info_size=40, top_down=False, bits=8, compression=0,
        cut=0, extra=b""):
    stride = (width + 3) // 4 * 4
    table = b"".join(struct.pack("<BBBB", (i * 37) % 256, (i * 91) % 256, (i * 13) % 256, 0)
                     for i in range(table_entries))
    pixels = b"".join(bytes((x + y) % max(table_entries, 1) for x in range(width)) + b"\0" * (stride - width)
                      for y in range(height))
    offset = 14 + info_size + len(table)
    info = struct.pack("<IiiHHIIiiII", info_size, width, -height if top_down else height, 1, bits,
                       compression, len(pixels), 2835, 2835, colours, 0)
    info += b"\0" * (info_size - len(info))
    data = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + table + pixels + extra
    return data[: len(data) - cut] if cut else data


def bitmaps():
    return {
        "3x2-two-colours": bmp(3, 2, 2, 2),
        "5x3-top-down-full-table": bmp(5, 3, 0, 256, top_down=True),
        "4x4-v5-header": bmp(4, 4, 16, 16, info_size=124),
        "1x1": bmp(1, 1, 1, 1),
        "truncated": bmp(7, 5, 4, 4, cut=3),
        "24-bit": bmp(2, 2, 0, 0, bits=24),
        "compressed": bmp(4, 2, 4, 4, compression=1),
        "too-many-colours": bmp(2, 2, 300, 4),
        "trailing-bytes": bmp(6, 2, 8, 8, extra=b"\xAA" * 9),
        "not-a-bitmap": b"MB" + b"\0" * 60,
    }


def qhcal_arguments():
    runs = [
        [], ["2010", "12"], ["2026", "2"], ["2025", "12", "--lunar"], ["2012", "4", "--lunar", "--leap"],
        ["--lunar"], ["convert", "2011-02-04"], ["convert", "--lunar", "2011-01-02"],
        ["convert", "--lunar", "2012-04-01", "--leap"], ["convert", "2011-02-30"], ["convert", "1901-02-18"],
        ["terms", "2011"], ["terms", "1879"], ["festivals", "2011"], ["festivals", "2049"],
        ["ics", "2011", "2011", "--terms"], ["ics", "2011", "2012", "--festivals"], ["ics", "2012", "2011"],
        ["dump", "2011-01-01", "2011-01-10"], ["dump", "2011-01-10", "2011-01-01"], ["--version"], ["help"],
        ["2011", "13"], ["99999", "1"], ["-x"],
    ]
    return {f"args-{i:02}": "\n".join(args).encode("ascii") for i, args in enumerate(runs)}


TARGETS = {
    "text_to_date_time": date_texts,
    "bytes_to_text": byte_blocks,
    "time_server_answer": time_answers,
    "calendar_props": calendar_props,
    "skin_file": skin_files,
    "web_addresses": search_texts,
    "indexed_bitmap": bitmaps,
    "qhcal_args": qhcal_arguments,
}


def main():
    for target, make in TARGETS.items():
        folder = CORPUS / target
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for name, data in make().items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
