#!/usr/bin/env python3
"""Makes the release package: quandrel-VERSION.zip with quandrel.exe, zlibwapi.dll
and the usage notes as a GBK text file with CR LF line ends.

Usage: make-package.py VERSION BIN_FOLDER NOTES_UTF8 OUTPUT_ZIP
"""
import sys
import zipfile
from pathlib import Path


def main() -> None:
    version, bin_folder, notes, output = sys.argv[1:5]
    bin_folder = Path(bin_folder)
    text = Path(notes).read_text(encoding="utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
    folder = f"quandrel-{version}/"
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED) as package:
        for name in ("quandrel.exe", "zlibwapi.dll"):
            package.write(bin_folder / name, folder + name)
        # Python flags a non-ASCII name as UTF-8 (bit 11), which Windows' own unzip honours.
        package.writestr(folder + "使用说明.txt", text.encode("gbk"))


if __name__ == "__main__":
    main()
