#!/usr/bin/env python3
"""Makes the Windows release zip: the programs, the skins, a read-me for Windows
users and the licence notices of what is linked into the programs.

The Windows build runs it as its `release` target (cmake --build build/windows
--target release), which passes the built files and the version:

    make_release.py --out ZIP --version V --readme TEMPLATE
                    --file NAME=PATH ... --notice NAME=PATH[,PATH...] ...

--file puts PATH into the zip as NAME unchanged; --notice joins text files into
licences/NAME.txt. The read-me template's {version} is replaced by the version.
Text files get Windows line ends, so every editor shows them as written.
Python's zipfile makes the archive: no zip program is needed.
"""
import argparse
import os
import sys
import time
import zipfile


def windows_text(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def read_text(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def pair(value):
    name, sep, path = value.partition("=")
    if not sep or not name or not path:
        raise argparse.ArgumentTypeError(f"expected NAME=PATH, got {value!r}")
    return name, path


def entry(name, mtime):
    info = zipfile.ZipInfo(name, time.localtime(max(mtime, 315532800))[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    return info


def make_release(out, version, readme, files, notices):
    """Writes the zip afresh (through a temporary file, so a failed run leaves no half zip)."""
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, path in files:
            with open(path, "rb") as f:
                archive.writestr(entry(name, os.path.getmtime(path)), f.read())
        text = read_text(readme).replace("{version}", version)
        archive.writestr(entry("README.txt", os.path.getmtime(readme)), windows_text(text))
        for name, paths in notices:
            parts = [read_text(p).rstrip("\n") + "\n" for p in paths]
            newest = max(os.path.getmtime(p) for p in paths)
            archive.writestr(entry(f"licences/{name}.txt", newest), windows_text("\n\n".join(parts)))
    os.replace(partial, out)


def main():
    parser = argparse.ArgumentParser(description="Makes the Windows release zip.")
    parser.add_argument("--out", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--file", type=pair, action="append", default=[])
    parser.add_argument("--notice", type=pair, action="append", default=[])
    args = parser.parse_args()
    notices = [(name, paths.split(",")) for name, paths in args.notice]
    missing = [p for _, p in args.file] + [p for _, paths in notices for p in paths] + [args.readme]
    missing = [p for p in missing if not os.path.isfile(p)]
    if missing:
        sys.exit("make_release: missing " + ", ".join(missing))
    make_release(args.out, args.version, args.readme, args.file, notices)
    print(f"make_release: {args.out}")


if __name__ == "__main__":
    main()
