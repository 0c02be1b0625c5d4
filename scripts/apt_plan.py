#!/usr/bin/env python3
"""Decisions of the install step that depend on what apt printed.

  apt_plan.py failed-indexes < apt-get-update-output
      the index files that could not be downloaded, one per line
  apt_plan.py twins < apt-get-install-errors
      base names of multiarch twins whose versions could not be matched
  apt_plan.py held-back < apt-get-install-errors
      base names of libraries, of either architecture, that another package
      needs but apt will not install (typically: their copy of the other
      architecture is installed at a version this architecture's index
      lacks, so the pair cannot be matched)
  apt_plan.py pins NAME... < apt-cache-policy-output
      for each NAME, "NAME:amd64=V NAME:i386=V" with the newest version V
      that both architectures' indexes offer (nothing for a name without one)

Kept free of apt itself so the decisions can be tested on canned outputs.
"""
import re
import sys

FOREIGN = ":i386"


def failed_indexes(update_output):
    failed = []
    for line in update_output.splitlines():
        m = re.search(r"Failed to fetch (\S+)", line)
        if m and m.group(1) not in failed:
            failed.append(m.group(1))
    return failed


def _base(name):
    return name.split(":", 1)[0]


def multiarch_twins(install_errors):
    """Packages where one architecture's version breaks the other's."""
    twins = []
    pattern = re.compile(r"^\s*(\S+)\s+:\s+(?:Breaks|Depends|PreDepends|Conflicts):\s+(\S+)")
    for line in install_errors.splitlines():
        m = pattern.match(line)
        if not m:
            continue
        left, right = m.group(1), m.group(2)
        if _base(left) == _base(right) and (FOREIGN in left) != (FOREIGN in right):
            if _base(left) not in twins:
                twins.append(_base(left))
    return twins


def held_back(install_errors):
    names = []
    pattern = re.compile(r"(?:Pre)?Depends:\s+([^\s:]+)(?::i386)?\s.*but it is not going to be installed")
    for line in install_errors.splitlines():
        m = pattern.search(line)
        if m and m.group(1) not in names:
            names.append(m.group(1))
    return names


def parse_policy(policy_output):
    """{package name as apt printed it: [versions, newest first]}"""
    tables = {}
    current = None
    in_table = False
    for line in policy_output.splitlines():
        if line and not line[0].isspace() and line.endswith(":"):
            current = line[:-1]
            tables[current] = []
            in_table = False
        elif current is None:
            continue
        elif line.strip() == "Version table:":
            in_table = True
        elif in_table:
            m = re.match(r"^ (?:\*\*\*| {3}) (\S+) (-?\d+)$", line)
            if m and m.group(1) not in tables[current]:
                tables[current].append(m.group(1))
    return tables


def _versions(tables, name, arch):
    for key in (f"{name}:{arch}", name) if arch != "i386" else (f"{name}:i386",):
        if key in tables:
            return tables[key]
    return []


def common_version(tables, name):
    """Newest version offered for both architectures (apt lists newest first)."""
    foreign = set(_versions(tables, name, "i386"))
    for version in _versions(tables, name, "amd64"):
        if version in foreign:
            return version
    return None


def main(argv):
    text = sys.stdin.read()
    if len(argv) >= 2 and argv[1] == "failed-indexes":
        print("\n".join(failed_indexes(text)))
    elif len(argv) >= 2 and argv[1] == "twins":
        print("\n".join(multiarch_twins(text)))
    elif len(argv) >= 2 and argv[1] == "held-back":
        print("\n".join(held_back(text)))
    elif len(argv) >= 2 and argv[1] == "pins":
        tables = parse_policy(text)
        pins = []
        for name in argv[2:]:
            version = common_version(tables, name)
            if version:
                pins += [f"{name}:amd64={version}", f"{name}:i386={version}"]
        print(" ".join(pins))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
