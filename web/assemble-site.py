#!/usr/bin/env python3
"""Assembles the browser edition's static site: the page, Qt's loader, the
program (.js and .wasm), the web app manifest, the service worker with the
list of files it keeps, the icons, and the fonts' files and licences.

Usage: assemble-site.py --web DIR --program DIR --qtloader FILE
                        --fonts DIR --licence FILE... --out DIR
"""

import argparse
import gzip
import hashlib
import json
import pathlib
import shutil

import brotli


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--web", required=True, help="the web/ folder of the sources")
    parser.add_argument("--program", required=True, help="folder with mimoran.js and mimoran.wasm")
    parser.add_argument("--qtloader", required=True)
    parser.add_argument("--fonts", required=True, help="folder with the fonts built in")
    parser.add_argument("--licence", action="append", default=[], help="NAME=FILE, a licence text")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    web = pathlib.Path(args.web)
    program = pathlib.Path(args.program)
    out = pathlib.Path(args.out)
    if out.exists():
        shutil.rmtree(out)
    (out / "icons").mkdir(parents=True)
    (out / "fonts").mkdir()

    loaded = {"mimoran.js": program / "mimoran.js", "mimoran.wasm": program / "mimoran.wasm"}
    for name, path in loaded.items():
        shutil.copyfile(path, out / name)
    shutil.copyfile(args.qtloader, out / "qtloader.js")
    shutil.copyfile(web / "manifest.webmanifest", out / "manifest.webmanifest")
    for icon in sorted((web / "icons").glob("*.png")):
        shutil.copyfile(icon, out / "icons" / icon.name)

    sizes = {name: (out / name).stat().st_size for name in loaded}
    page = (web / "index.html").read_text(encoding="utf-8")
    (out / "index.html").write_text(page.replace("@FILE_SIZES@", json.dumps(sizes)), encoding="utf-8")

    # The fonts inside the program, as files too, with their licences and how
    # to put the original fonts back (their licence asks for both).
    for font in sorted(pathlib.Path(args.fonts).glob("*.ttf")):
        shutil.copyfile(font, out / "fonts" / font.name)
    shutil.copyfile(web / "fonts-README.txt", out / "fonts" / "README.txt")
    for licence in args.licence:
        name, path = licence.split("=", 1)
        shutil.copyfile(path, out / "fonts" / name)

    # What the service worker keeps: everything the page needs to start.
    kept = ["./", "index.html", "qtloader.js", "mimoran.js", "mimoran.wasm", "manifest.webmanifest"]
    kept += [f"icons/{p.name}" for p in sorted((out / "icons").iterdir())]
    digest = hashlib.sha256()
    for name in kept[1:]:
        digest.update(name.encode() + b"\0" + (out / name).read_bytes())
    worker = (web / "sw.js").read_text(encoding="utf-8")
    worker = worker.replace("@VERSION@", digest.hexdigest()[:16]).replace("/* @FILES@ */ []", json.dumps(kept))
    (out / "sw.js").write_text(worker, encoding="utf-8")

    # The large files also compressed once, at the highest level, for a server
    # that sends a file's .gz or .br as it is (nginx's gzip_static and
    # brotli_static): fewer bytes than compressing on every request, and no
    # wait while the server does it. Brotli's copy of the program is 0.9 MB
    # smaller than gzip's, for every browser of the last years; gzip stays for
    # the others. (Brotli at 11 takes about 20 s here; at 10 the program is
    # 80 KB larger, at 9 0.3 MB.)
    for name in ["mimoran.wasm", "mimoran.js", "qtloader.js"]:
        data = (out / name).read_bytes()
        (out / (name + ".gz")).write_bytes(gzip.compress(data, compresslevel=9, mtime=0))
        (out / (name + ".br")).write_bytes(brotli.compress(data, quality=11))

    total = sum(p.stat().st_size for p in out.rglob("*") if p.is_file() and p.suffix not in (".gz", ".br"))
    print(f"site: {out} ({total // 1024} KiB, mimoran.wasm {sizes['mimoran.wasm'] // 1024} KiB)")


if __name__ == "__main__":
    main()
