"""Writes generated files, or checks that the committed copies are current.

Shared by the generators under tools/ so that `--check` means the same for
all of them: nothing is written, and every file that differs is named.
"""

import sys


def write_or_check(outputs, check):
    """outputs: {pathlib.Path: bytes}. Returns the exit code (1 when stale)."""
    stale = []
    for path, data in outputs.items():
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(str(path))
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0
