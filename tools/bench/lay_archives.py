#!/usr/bin/env python3
"""Lays out a folder of test archives for the window benchmark, natively.

Usage: lay_archives.py FOLDER COUNT ENTRIES

COUNT archives named 100000.zip, 100001.zip, ... of ENTRIES stored entries each,
none ending with the benchmark's suffix ".exe". Done outside Wine because Wine
looks up every new name by scanning the folder, so creating 100,000 files
through it takes the better part of an hour here.
"""
import os
import sys
import zipfile


def main() -> None:
    folder, count, entries = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        with zipfile.ZipFile(os.path.join(folder, f"{100000 + i}.zip"), "w", zipfile.ZIP_STORED) as archive:
            for e in range(entries):
                archive.writestr(f"data/part{e}.bin", b"x" * 64)


if __name__ == "__main__":
    main()
