#!/usr/bin/env python3
"""Stages the suite's installed layout and builds its installer with makensis.

The stage holds what Setup installs, program folders as the build lays them
out and the filters together, with Windows modules stripped of their debug
information. From it come the installer's lists (files to install, servers
to register, files and folders to remove, in removal order), so the
uninstaller removes exactly what was installed. makensis runs only when the
stage, the lists or the script changed.
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
from pathlib import Path

MODULE_SUFFIXES = {".exe", ".dll", ".ax"}
# The 32-bit suite's 64-bit modules, for 64-bit programs on 64-bit Windows.
X64 = "x64"


def is_x64(relative: Path) -> bool:
    return relative.parts[:2] == ("Filters", X64)


def nsis_path(relative: Path) -> str:
    return "\\".join(relative.parts)


def stage_file(source: Path, target: Path, strip: str) -> None:
    """Copies (a module: strips) source to target unless target is current."""
    if target.exists() and target.stat().st_mtime >= source.stat().st_mtime:
        return
    target.parent.mkdir(parents=True, exist_ok=True)
    partial = target.with_name(target.name + ".partial")
    if strip and source.suffix.lower() in MODULE_SUFFIXES:
        subprocess.run([strip, "--strip-debug", "-o", str(partial), str(source)], check=True)
    else:
        shutil.copyfile(source, partial)
    os.replace(partial, target)


def stage(folders: dict, filters: list, filters64: list, excluded: list, stage_dir: Path, strip: str,
          strip64: str) -> list:
    """Mirrors the sources into stage_dir; returns the staged files, relative.
    excluded: what a program run from the build folder wrote there."""
    wanted = {}
    for name, source_dir in folders.items():
        for root, _, files in os.walk(source_dir):
            for file in files:
                source = Path(root) / file
                relative = Path(name) / source.relative_to(source_dir)
                if not any(relative == e or e in relative.parents for e in excluded):
                    wanted[relative] = source
    for module in filters:
        wanted[Path("Filters") / Path(module).name] = Path(module)
    for module in filters64:
        wanted[Path("Filters") / X64 / Path(module).name] = Path(module)
    for relative, source in wanted.items():
        stage_file(source, stage_dir / relative, strip64 if is_x64(relative) else strip)
    # Whatever the build no longer makes leaves the stage too.
    for root, dirs, files in os.walk(stage_dir, topdown=False):
        for file in files:
            path = Path(root) / file
            if path.relative_to(stage_dir) not in wanted:
                path.unlink()
        for folder in dirs:
            path = Path(root) / folder
            if not any(path.iterdir()):
                path.rmdir()
    return sorted(wanted)


def install_lines(files: list, stage_dir: Path) -> list:
    lines, current = [], None
    for relative in files:
        folder = relative.parent
        if folder != current:
            lines.append(f'SetOutPath "$INSTDIR\\{nsis_path(folder)}"')
            current = folder
        lines.append(f'File "{stage_dir / relative}"')
    return lines


def uninstall_lines(files: list) -> list:
    lines = [f'Delete "$INSTDIR\\{nsis_path(relative)}"' for relative in files]
    folders = set()
    for relative in files:
        folders.update(parent for parent in relative.parents if parent != Path("."))
    # Deepest first; a folder the user added files to stays.
    for folder in sorted(folders, key=lambda f: (-len(f.parts), str(f))):
        lines.append(f'RMDir "$INSTDIR\\{nsis_path(folder)}"')
    return lines


def server_lines(files: list, macro: str, reverse: bool = False) -> list:
    servers = [f for f in files if f.parts[0] == "Filters" and f.suffix.lower() in MODULE_SUFFIXES]
    if reverse:
        servers.reverse()
    return [f'!insertmacro {macro} "{nsis_path(f.relative_to("Filters"))}"' for f in servers]


def write_if_changed(path: Path, lines: list) -> None:
    # A byte-order mark: makensis reads the list's non-ASCII names as UTF-8.
    text = "\ufeff" + "\n".join(lines) + "\n"
    if not path.exists() or path.read_text(encoding="utf-8") != text:
        path.write_text(text, encoding="utf-8")


def fingerprint(paths: list) -> str:
    digest = hashlib.sha256()
    for path in paths:
        info = path.stat()
        digest.update(f"{path}\0{info.st_size}\0{info.st_mtime_ns}\n".encode())
    return digest.hexdigest()


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--nsi", required=True, type=Path)
    parser.add_argument("--makensis", required=True)
    parser.add_argument("--strip", default="")
    parser.add_argument("--strip64", default="", help="strip of the 64-bit modules")
    parser.add_argument("--width", required=True, choices=["32", "64"])
    parser.add_argument("--icon", required=True, type=Path)
    parser.add_argument("--work", required=True, type=Path, help="stage and lists go below it")
    parser.add_argument("--out", required=True, type=Path)
    parser.add_argument("--folder", action="append", default=[], help="NAME=DIR, a program folder")
    parser.add_argument("--filter", action="append", default=[], help="a filter or device module")
    parser.add_argument("--filter64", action="append", default=[], type=Path,
                        help="a module of the 64-bit build, installed beside the 32-bit suite on 64-bit Windows")
    parser.add_argument("--exclude", action="append", default=[], type=Path,
                        help="a file or folder below the stage that the programs write, not the build")
    args = parser.parse_args()

    missing = [str(m) for m in args.filter64 if not m.exists()]
    if missing:
        print(f"build_setup.py: missing 64-bit modules {missing}: build the win64 tree's targets first "
              "(scripts/build.sh win32 does)", file=sys.stderr)
        return 1
    folders = {}
    for folder_arg in args.folder:
        name, _, directory = folder_arg.partition("=")
        folders[name] = Path(directory)
    stage_dir = args.work / "stage"
    lists_dir = args.work / "lists"
    lists_dir.mkdir(parents=True, exist_ok=True)
    files = stage(folders, args.filter, args.filter64, args.exclude, stage_dir, args.strip,
                  args.strip64)
    native = [f for f in files if not is_x64(f)]
    x64 = [f for f in files if is_x64(f)]
    # The 64-bit modules are installed and registered only on 64-bit Windows;
    # their removal lines are harmless elsewhere.
    write_if_changed(lists_dir / "install_files.nsh", install_lines(native, stage_dir))
    write_if_changed(lists_dir / "install_files64.nsh", install_lines(x64, stage_dir))
    write_if_changed(lists_dir / "uninstall_files.nsh", uninstall_lines(files))
    write_if_changed(lists_dir / "register_servers.nsh", server_lines(native, "RegisterServer"))
    write_if_changed(lists_dir / "register_servers64.nsh", server_lines(x64, "RegisterServer64"))
    write_if_changed(lists_dir / "unregister_servers.nsh", server_lines(native, "UnregisterServer", reverse=True))
    write_if_changed(lists_dir / "unregister_servers64.nsh", server_lines(x64, "UnregisterServer64", reverse=True))

    inputs = [args.nsi, args.icon, Path(__file__)] + sorted(lists_dir.iterdir()) + [stage_dir / f for f in files]
    stamp = args.work / "setup.fingerprint"
    current = fingerprint(inputs) + f"\n{args.width}\n{args.out}\n"
    if args.out.exists() and stamp.exists() and stamp.read_text() == current:
        return 0
    command = [args.makensis, "-V2", "-INPUTCHARSET", "UTF8", f"-DWIDTH={args.width}",
               f"-DOUTFILE={args.out}", f"-DGENERATED={lists_dir}", f"-DICON={args.icon}", str(args.nsi)]
    if subprocess.run(command).returncode != 0:
        return 1
    stamp.write_text(current)
    return 0


if __name__ == "__main__":
    sys.exit(main())
