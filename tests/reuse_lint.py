#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""reuse_lint.py SOURCE: `reuse lint` on the project's own files, alike in a
git checkout and in an unpacked tarball on a machine without git.

reuse leaves out what .gitignore names (the build trees) only when it can ask
git, so the files are picked here by .gitignore's name patterns and linted in
a scratch copy. Debian 12's reuse 1.1 predates REUSE.toml; for it the
annotations are written into the copy as the older .reuse/dep5."""

import fnmatch
import os
import re
import shutil
import subprocess
import sys
import tempfile
import tomllib
from pathlib import Path


def project_files(source):
    patterns = [line.strip() for line in (source / ".gitignore").read_text().splitlines()
                if line.strip() and not line.startswith("#")]

    def ignored(name, is_dir):
        return any(fnmatch.fnmatchcase(name, pattern.rstrip("/"))
                   for pattern in patterns if is_dir or not pattern.endswith("/"))

    for folder, dirs, files in os.walk(source):
        dirs[:] = [name for name in dirs if name != ".git" and not ignored(name, True)]
        yield from ((Path(folder) / name).relative_to(source)
                    for name in files if not ignored(name, False))


def dep5(annotations):
    """dep5's "*" crosses "/" where REUSE.toml's single "*" does not: only "**" is written."""
    stanzas = ["Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"]
    for note in annotations:
        paths = [note["path"]] if isinstance(note["path"], str) else note["path"]
        stanzas.append(f"Files: {' '.join(path.replace('**', '*') for path in paths)}\n"
                       f"Copyright: {note['SPDX-FileCopyrightText']}\n"
                       f"License: {note['SPDX-License-Identifier']}\n")
    return "\n".join(stanzas)


def main(source):
    reuse = [sys.executable, "-m", "reuse"]
    said = subprocess.run([*reuse, "--version"], check=True, capture_output=True, text=True)
    # "reuse 1.1.2", or "python -m reuse, version 5.0.2" and the licence
    major = int(re.search(r"\b(\d+)\.\d+\.\d+", said.stdout).group(1))
    with tempfile.TemporaryDirectory(prefix="strelkavo-reuse.") as scratch:
        copy = Path(scratch)
        for path in project_files(source):
            (copy / path).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source / path, copy / path, follow_symlinks=False)
        if major < 3:
            toml = copy / "REUSE.toml"
            (copy / ".reuse").mkdir(exist_ok=True)
            (copy / ".reuse/dep5").write_text(dep5(tomllib.loads(toml.read_text())["annotations"]))
            toml.unlink()
        return subprocess.run([*reuse, "--root", copy, "lint"]).returncode


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1]).resolve()))
