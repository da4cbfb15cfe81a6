#!/usr/bin/env python3
"""Opens help.chm with libchm's tools and checks it against the help sources.

check  --chm FILE --sources DIR    every source file is in the CHM with the same bytes, every
                                   page is in the contents, and every local link and anchor of
                                   the pages, contents and index resolves inside the CHM.
faults --chmcmd PROG --sources DIR  compiles broken copies of the sources and expects check to
                                   name each fault, so a checker that passes everything fails.
Exit 77 (skipped) when a tool is missing.
"""
import argparse
import filecmp
import html.parser
import os
import posixpath
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

SOURCE_KINDS = (".html", ".css", ".png", ".hhc", ".hhk")


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(77)


class LinkParser(html.parser.HTMLParser):
    """Collects link targets and anchor names of one page (or of a .hhc/.hhk sitemap)."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []
        self.anchors = set()

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.anchors.add(a["id"])
        if tag == "a" and "name" in a:
            self.anchors.add(a["name"])
        for key in ("href", "src"):
            if a.get(key):
                self.links.append(a[key])
        if tag == "param" and (a.get("name") or "").lower() == "local" and a.get("value"):
            self.links.append(a["value"])


def parse(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        parser = LinkParser()
        parser.feed(f.read())
    return parser


def run(*command):
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        raise SystemExit("FAIL: %s: %s" % (" ".join(command), done.stderr.strip()))
    return done.stdout


def extract(chm, into):
    """Lists and extracts the CHM's normal files; returns their names (no leading slash)."""
    names = set()
    for line in run("enum_chmLib", chm).splitlines():
        if "normal file" in line:
            name = line.split("normal file", 1)[1].strip()
            if name.startswith("/") and not name.startswith(("/#", "/$")):
                names.add(name[1:])
    run("extract_chmLib", chm, into)
    return names


def check(chm, sources):
    """Returns the list of faults found (empty when the CHM is sound)."""
    faults = []
    if not os.path.isfile(chm):
        return ["%s was not built" % chm]
    work = tempfile.mkdtemp(prefix="voz-help-")
    try:
        inside = extract(chm, work)
        source_files = sorted(n for n in os.listdir(sources) if n.endswith(SOURCE_KINDS))
        pages = [n for n in source_files if n.endswith(".html")]
        if not pages:
            faults.append("no pages in %s" % sources)
        for name in source_files:
            if name not in inside:
                faults.append("%s is missing from the CHM" % name)
                continue
            if not filecmp.cmp(os.path.join(sources, name), os.path.join(work, name), shallow=False):
                faults.append("%s in the CHM differs from its source" % name)

        parsed = {n: parse(os.path.join(work, n)) for n in sorted(inside)
                  if n.endswith((".html", ".htm", ".hhc", ".hhk"))}
        contents = [n for n in parsed if n.endswith(".hhc")]
        listed = {urllib.parse.urlsplit(link).path for n in contents for link in parsed[n].links}
        if not contents:
            faults.append("the CHM has no contents file")
        faults += ["%s is not in the contents" % page for page in pages if contents and page not in listed]

        for name, parser in parsed.items():
            for link in parser.links:
                url = urllib.parse.urlsplit(link)
                if url.scheme or url.netloc:
                    continue  # outside the help file
                target = posixpath.normpath(posixpath.join(posixpath.dirname(name), urllib.parse.unquote(url.path))) \
                    if url.path else name
                if target not in inside:
                    faults.append("%s: link %s: no file %s in the CHM" % (name, link, target))
                elif url.fragment:
                    if url.fragment not in (parsed[target].anchors if target in parsed else set()):
                        faults.append("%s: link %s: no anchor #%s in %s" % (name, link, url.fragment, target))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return faults


def replace_in(path, old, new):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if old not in text:
        raise SystemExit("FAIL: fault case cannot apply: %r not in %s" % (old, path))
    with open(path, "w", encoding="utf-8") as f:
        f.write(text.replace(old, new, 1))


# Each case breaks a copy of the sources in one way; check must report the expected fault.
FAULT_CASES = [
    ("broken page link", "index.html", 'href="about.html"', 'href="abuot.html"', "no file abuot.html"),
    ("broken anchor", "alarm-set.html", 'href="tray-menu.html#stop"', 'href="tray-menu.html#stp"',
     "no anchor #stp"),
    ("broken contents entry", "voz.hhc", 'value="settings.html"', 'value="setings.html"', "no file setings.html"),
    ("page left out of the project", "voz.hhp", "\nabout.html\n", "\n", "about.html is missing from the CHM"),
]


def faults_mode(chmcmd, sources):
    failures = 0
    for title, file, old, new, expected in FAULT_CASES:
        work = tempfile.mkdtemp(prefix="voz-help-fault-")
        try:
            for n in os.listdir(sources):
                if n.endswith(SOURCE_KINDS + (".hhp",)):
                    shutil.copy(os.path.join(sources, n), work)
            replace_in(os.path.join(work, file), old, new)
            built = subprocess.run([chmcmd, "--no-html-scan", "voz.hhp"], cwd=work, capture_output=True, text=True)
            chm = os.path.join(work, "help.chm")
            if built.returncode != 0 or not os.path.isfile(chm):
                print("FAIL %s: chmcmd did not build the broken copy: %s" % (title, built.stdout + built.stderr))
                failures += 1
                continue
            found = check(chm, work)
            if any(expected in f for f in found):
                print("ok   %s: reported" % title)
            else:
                print("FAIL %s: expected a fault naming %r, got %s" % (title, expected, found))
                failures += 1
        finally:
            shutil.rmtree(work, ignore_errors=True)
    return failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("mode", choices=["check", "faults"])
    ap.add_argument("--chm")
    ap.add_argument("--sources", required=True)
    ap.add_argument("--chmcmd")
    ap.add_argument("--skip", help="skip with this reason (a build tool was missing)")
    args = ap.parse_args()
    if args.skip:
        skip(args.skip)
    for tool in ("enum_chmLib", "extract_chmLib"):
        if not shutil.which(tool):
            skip("%s not found (Debian: libchm-bin)" % tool)
    if args.mode == "check":
        found = check(args.chm, args.sources)
        for f in found:
            print("FAIL " + f)
        if not found:
            print("ok   %s: every source file is in it, every page in the contents, every link resolves" % args.chm)
        return 1 if found else 0
    if not args.chmcmd or not shutil.which(args.chmcmd):
        skip("chmcmd not found (Debian: fp-utils)")
    return 1 if faults_mode(args.chmcmd, args.sources) else 0


if __name__ == "__main__":
    sys.exit(main())
