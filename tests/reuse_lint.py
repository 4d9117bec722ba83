#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""reuse_lint.py SOURCE: runs `reuse lint` on the project's own files, alike in
a git checkout and in an unpacked release tarball on a machine without git.

reuse leaves out what .gitignore names (the build trees) only when it can ask
git; without git it would count every generated file. So the files are picked
here by .gitignore's patterns, copied to a scratch tree, and linted there with
no version control to ask. Debian 12's reuse 1.1 predates REUSE.toml; for it
the annotations are written into the copy as the older .reuse/dep5."""

import fnmatch
import os
import re
import shutil
import subprocess
import sys
import tempfile
import tomllib
from pathlib import Path


def ignore_patterns(source):
    """.gitignore's patterns as (pattern, directories only). Only names are
    supported (no "/" inside, no "!"); anything else stops the check rather
    than being misread."""
    patterns = []
    for line in (source / ".gitignore").read_text().splitlines():
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        name = line.removesuffix("/")
        if "/" in name or name.startswith("!") or "**" in name:
            sys.exit(f"reuse_lint.py: cannot read the .gitignore pattern {line!r}")
        patterns.append((name, line.endswith("/")))
    return patterns


def project_files(source):
    patterns = ignore_patterns(source)

    def ignored(name, is_dir):
        return any(fnmatch.fnmatchcase(name, pattern) and (is_dir or not dirs_only)
                   for pattern, dirs_only in patterns)

    for folder, dirs, files in os.walk(source):
        dirs[:] = [d for d in dirs if d != ".git" and not ignored(d, True)]
        for name in files:
            if not ignored(name, False):
                yield (Path(folder) / name).relative_to(source)


def dep5(annotations):
    """REUSE.toml's annotations as .reuse/dep5. A dep5 "*" crosses "/" where
    REUSE.toml's single "*" does not, so only "**" is translated."""
    stanzas = ["Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"]
    for annotation in annotations:
        unknown = set(annotation) - {"path", "SPDX-FileCopyrightText", "SPDX-License-Identifier"}
        paths, holders = annotation["path"], annotation["SPDX-FileCopyrightText"]
        paths = [paths] if isinstance(paths, str) else paths
        holders = [holders] if isinstance(holders, str) else holders
        if unknown or any(re.search(r"(?<!\*)\*(?!\*)", path) for path in paths):
            sys.exit(f"reuse_lint.py: cannot write {annotation} as dep5")
        stanzas.append(f"Files: {' '.join(path.replace('**', '*') for path in paths)}\n"
                       f"Copyright: {chr(10).join(' ' + holder for holder in holders).strip()}\n"
                       f"License: {annotation['SPDX-License-Identifier']}\n")
    return "\n".join(stanzas)


def main(source):
    source = Path(source).resolve()
    version = subprocess.run([sys.executable, "-m", "reuse", "--version"], check=True,
                             capture_output=True, text=True).stdout.split()[-1]
    with tempfile.TemporaryDirectory(prefix="strelkavo-reuse.") as scratch:
        copy = Path(scratch)
        for path in project_files(source):
            (copy / path).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source / path, copy / path, follow_symlinks=False)
        if int(version.split(".")[0]) < 3:
            annotations = tomllib.loads((copy / "REUSE.toml").read_text())["annotations"]
            (copy / ".reuse").mkdir(exist_ok=True)
            (copy / ".reuse/dep5").write_text(dep5(annotations))
            (copy / "REUSE.toml").unlink()
        return subprocess.run([sys.executable, "-m", "reuse", "--root", copy, "lint"]).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
