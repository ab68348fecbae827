#!/usr/bin/env python3
"""Every help number the program opens reaches a topic of the built help: the map names
it, the compiled file's context table has an entry for each number, and both its context page and
the topic (with the place in it) are in the file.

usage: help_map_test.py SOURCE_DIR KELVRA_CHM
"""
import os
import re
import struct
import sys


def encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def chm_directory(data):
    """Names of the compiled file's entries with (section, offset, length)."""
    if data[:4] != b"ITSF":
        raise ValueError("not a compiled help file")
    directory_offset = struct.unpack_from("<Q", data, 0x48)[0]
    if data[directory_offset:directory_offset + 4] != b"ITSP":
        raise ValueError("no directory")
    itsp_length = struct.unpack_from("<I", data, directory_offset + 8)[0]
    chunk_size = struct.unpack_from("<I", data, directory_offset + 0x10)[0]
    chunks = struct.unpack_from("<I", data, directory_offset + 0x2C)[0]
    entries = {}
    for i in range(chunks):
        start = directory_offset + itsp_length + i * chunk_size
        chunk = data[start:start + chunk_size]
        if chunk[:4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", chunk, 4)[0]
        pos, end = 0x14, chunk_size - free
        while pos < end:
            length, pos = encint(chunk, pos)
            name = chunk[pos:pos + length].decode("utf-8")
            pos += length
            section, pos = encint(chunk, pos)
            offset, pos = encint(chunk, pos)
            size, pos = encint(chunk, pos)
            entries[name] = (section, offset, size)
    return entries


def program_help_numbers(source):
    """The numbers the controls are given, written out or by their IDH_ names."""
    texts = []
    for root, _, files in os.walk(os.path.join(source, "src")):
        for name in files:
            if name.endswith((".cpp", ".h")):
                with open(os.path.join(root, name), encoding="utf-8") as f:
                    texts.append(f.read())
    names = {}
    for text in texts:
        names.update(re.findall(r"^#define (IDH_\w+) ([1-9]\d*)$", text, re.M))
    numbers = set()
    for text in texts:
        for given in re.findall(r"HelpContext = (\w+);", text):
            if given.isdigit():
                if int(given):  # 0: no help
                    numbers.add(int(given))
            elif given in names:
                numbers.add(int(names[given]))
            elif given.startswith("IDH_"):
                raise SystemExit(f"help name {given} is used but not defined")
    return numbers


def read_map(source):
    mapping = {}
    with open(os.path.join(source, "help", "helpmap.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                number, target = line.split()
                mapping[int(number)] = target
    return mapping


def main():
    source, chm = sys.argv[1:3]
    with open(chm, "rb") as f:
        data = f.read()
    entries = chm_directory(data)
    mapping = read_map(source)
    failures = []

    for number in sorted(program_help_numbers(source) - set(mapping)):
        failures.append(f"help number {number} is used by the program but not in the map")

    # The context table (compressed with the topics): a length, then a number and a
    # string reference per entry.
    ivb = entries.get("/#IVB")
    if not ivb or ivb[2] != 4 + 8 * len(mapping):
        failures.append(f"the compiled context table holds {(ivb[2] - 4) // 8 if ivb else 0} numbers, "
                        f"the map {len(mapping)}")

    for number, target in sorted(mapping.items()):
        topic, _, place = target.partition("#")
        if f"/context/{number}.htm" not in entries:
            failures.append(f"help number {number}: no context page in the compiled file")
        if "/" + topic not in entries:
            failures.append(f"help number {number}: topic {topic} is not in the compiled file")
            continue
        with open(os.path.join(source, "help", topic), encoding="utf-8") as f:
            text = f.read()
        if place and f'name="{place}"' not in text:
            failures.append(f"help number {number}: {topic} has no place {place}")

    for line in failures:
        print(line)
    print(f"{len(mapping)} help numbers, {len(entries)} entries in the compiled file")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
