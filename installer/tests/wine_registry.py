"""A Wine prefix's registry as data: the keys and values of its .reg files.

Wine keeps the registry in system.reg, user.reg and userdef.reg, written out
when the prefix's server ends. Each key line carries the time it was last
written and some keys a "#time" line; neither is content. Comparing two
snapshots tells what a program left behind.
"""
from pathlib import Path

HIVES = {"system.reg": "HKLM", "user.reg": "HKCU", "userdef.reg": "HKU\\.Default"}

# Written by Wine itself, by time or on first use, not by a program: the
# display driver's date and monitor state (at every start), the console's
# defaults (the first console program), the audio endpoints it found (the
# first use of sound), the device enumerator's cache of the devices it found
# (every enumeration) and Wine's own settings.
VOLATILE_PREFIXES = (
    "HKLM\\Hardware\\",
    "HKLM\\System\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}",
    "HKLM\\System\\CurrentControlSet\\Enum\\DISPLAY\\",
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\MMDevices",
    "HKCU\\Console",
    "HKCU\\Software\\Microsoft\\ActiveMovie\\devenum",
    "HKCU\\Software\\Wine\\",
)
# Values of that kind: files to delete at the next start of Windows, the
# usual way an uninstaller has its own temporary copy removed.
VOLATILE_VALUES = (
    ("HKLM\\System\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations"),
)


def read_hive(path: Path, root: str) -> dict:
    """{key path: {value line, ...}} of one .reg file."""
    keys = {}
    current = None
    pending = ""
    for raw in path.read_text(encoding="utf-8", errors="replace").splitlines():
        line = pending + raw
        if line.endswith("\\") and current is not None and not line.startswith("["):
            pending = line[:-1]
            continue
        pending = ""
        if line.startswith("["):
            name = line[1:line.index("]")] if "]" in line else line[1:]
            current = root + "\\" + name.replace("\\\\", "\\")
            keys.setdefault(current, set())
        elif current is not None and line and not line.startswith("#") and not _volatile_value(current, line):
            keys[current].add(line.strip())
    return keys


def _volatile_value(key: str, line: str) -> bool:
    return any(key.lower() == k.lower() and line.startswith(f'"{v}"=') for k, v in VOLATILE_VALUES)


def snapshot(prefix: Path) -> dict:
    keys = {}
    for file, root in HIVES.items():
        if (prefix / file).exists():
            keys.update(read_hive(prefix / file, root))
    return keys


def is_volatile(key: str) -> bool:
    lowered = key.lower()
    return any(lowered.startswith(p.lower()) or lowered == p.lower().rstrip("\\") for p in VOLATILE_PREFIXES)


def differences(before: dict, after: dict) -> list:
    """Human-readable lines for every key or value that differs, volatile keys aside."""
    lines = []
    for key in sorted(set(before) | set(after)):
        if is_volatile(key):
            continue
        if key not in before:
            lines.append(f"added key {key}: {sorted(after[key])}")
        elif key not in after:
            lines.append(f"removed key {key}: {sorted(before[key])}")
        elif before[key] != after[key]:
            lines.append(f"changed key {key}: -{sorted(before[key] - after[key])} +{sorted(after[key] - before[key])}")
    return lines
