#!/usr/bin/env python3
"""Setup.exe (or Setup64.exe) in a fresh Wine prefix of its own, as a user
runs it, and its uninstaller afterwards. The project's prefixes stay untouched.

Cases:
  install-uninstall  silent install: files, shortcuts, registration, the
                     installed programs working together (installed_suite_check);
                     silent uninstall: nothing of ours left but the pictures,
                     the registry as before the install
  upgrade-running    install over an install (the user's settings, pictures
                     and frames kept, the registry unchanged); Setup and the
                     uninstaller refusing while a program runs, changing nothing
  side-by-side       the virtual webcam for programs of both widths: the
                     32-bit Setup in a 64-bit (WoW64) prefix registers the
                     device and converter of each width in its registry view;
                     for each sender given (Lumivox, Invert), readers of the
                     given widths run at once; the uninstaller removes both.
                     With Setup64 only 64-bit programs take part. Where a
                     32-bit program is given and this machine cannot run
                     32-bit programs, the case says so and does not run
                     (exit code 77, which CTest counts as skipped).
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
import wine_registry  # noqa: E402

SKIPPED = 77
PROGRAM_FILES_LINKS = ("Snapory.lnk", "Orvane.lnk", "Uninstall Talvoro Webcam Suite.lnk")
# Written by Setup beside the staged files.
SETUP_MADE = {Path("Uninstall.exe"), Path("Snapory/config.ini"), Path("Orvane/config.ini")}


def fail(message: str) -> None:
    print(f"FAILED: {message}", flush=True)
    raise SystemExit(1)


def check(condition: bool, message: str) -> None:
    if not condition:
        fail(message)


def windows_path(path: Path) -> str:
    return "Z:" + str(path.resolve()).replace("/", "\\")


def pe_width(program: Path) -> int:
    data = program.read_bytes()[:4096]
    pe = int.from_bytes(data[60:64], "little")
    return 64 if data[pe + 4:pe + 6] == b"\x64\x86" else 32


def can_run_32bit() -> bool:
    """Whether this kernel runs i386 programs (as scripts/runtime.sh finds out)."""
    probe = subprocess.run(["bash", "-c", 'source "$0"; p=$(mktemp); write_i386_probe "$p"; '
                            '"$p" >/dev/null 2>&1; r=$?; rm -f "$p"; exit $r',
                            str(Path(__file__).resolve().parents[2] / "scripts/runtime.sh")])
    return probe.returncode == 0


class Prefix:
    """A throw-away Wine prefix, made from nothing: 32-bit, or 64-bit, which
    runs 32-bit programs too (WoW64) where the machine can."""

    def __init__(self, folder: Path, width: int):
        self.folder = folder
        # Wine takes the system's language (Setup's choice of texts) and the
        # file name encoding from the locale: English and UTF-8 (C.UTF-8 is
        # on every Debian machine) unless a step asks for another.
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
        self.env.update(WINEPREFIX=str(folder), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                        LANG="C.UTF-8")
        if width == 64:
            self.wine, self.server = "/usr/lib/wine/wine64", "/usr/lib/wine/wineserver64"
            self.env.update(WINEARCH="win64", WINELOADER=self.wine, WINESERVER=self.server)
        else:
            self.wine, self.server = "wine", "wineserver"
            self.env.update(WINEARCH="win32")
        shutil.rmtree(folder, ignore_errors=True)
        check(not folder.exists(), f"{folder} could not be removed")
        folder.parent.mkdir(parents=True, exist_ok=True)
        code = self.run("wineboot.exe", "-i")
        self.wait()
        check(code == 0 and (folder / "system.reg").exists(), f"creating the prefix failed ({code})")

        self.width = width
        self.setup_width = width

    @property
    def install_dir(self) -> Path:
        # A 32-bit Setup in a 64-bit prefix installs where 32-bit programs go.
        programs = "Program Files (x86)" if self.width == 64 and self.setup_width == 32 else "Program Files"
        return self.folder / "drive_c" / programs / "Talvoro"

    @property
    def start_menu(self) -> Path:
        return self.folder / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Talvoro"

    def run(self, *args: str, timeout: int = 300, env: dict = None) -> int:
        result = subprocess.run([self.wine, *args], env={**self.env, **(env or {})}, timeout=timeout,
                                stdin=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, errors="replace")
        # Without a sound card ALSA complains on every use; Wine's own notes are noise too.
        for line in result.stderr.splitlines():
            if not line.startswith(("ALSA lib", "err:", "fixme:")) and "cannot find card" not in line:
                print(line, file=sys.stderr)
        return result.returncode

    def wait(self) -> None:
        """Until every program of the prefix ended and the registry is on disk."""
        subprocess.run([self.server, "-w"], env=self.env, timeout=300)

    def kill(self) -> None:
        subprocess.run([self.server, "-k"], env=self.env)
        self.wait()

    def registry(self) -> dict:
        self.wait()
        return wine_registry.snapshot(self.folder)


def files_below(folder: Path) -> dict:
    """{relative path: bytes} of every file below folder."""
    return {p.relative_to(folder): p.read_bytes() for p in folder.rglob("*") if p.is_file()}


def check_installed(prefix: Prefix, stage: Path, users_files=()) -> None:
    installed = files_below(prefix.install_dir)
    staged = files_below(stage)
    if prefix.width == 32:
        # The 64-bit modules are installed on 64-bit Windows only.
        staged = {r: d for r, d in staged.items() if r.parts[:2] != ("Filters", "x64")}
    for relative, data in staged.items():
        check(installed.get(relative) == data, f"{relative} missing or different after Setup")
    extra = set(installed) - set(staged) - SETUP_MADE - set(users_files)
    check(not extra, f"Setup left files it does not list: {sorted(map(str, extra))}")
    check(all((prefix.install_dir / made).exists() for made in SETUP_MADE), "Setup's own files missing")
    check((prefix.install_dir / "Snapory/Capture").is_dir(), "no Capture folder")
    check(sorted(p.name for p in prefix.start_menu.glob("*.lnk")) == sorted(PROGRAM_FILES_LINKS),
          f"shortcuts: {sorted(p.name for p in prefix.start_menu.glob('*'))}")


def check_registry_equal(before: dict, after: dict, what: str) -> None:
    lines = wine_registry.differences(before, after)
    for line in lines[:40]:
        print("  " + line[:400])
    check(not lines, f"{len(lines)} registry differences {what}")
    compared = sum(1 for key in set(before) | set(after) if not wine_registry.is_volatile(key))
    print(f"registry {what}: equal ({compared} keys compared)", flush=True)


class SetupTest:
    def __init__(self, args):
        self.args = args
        self.width = pe_width(args.setup)
        programs = all_programs(args)
        # 32-bit Setup with 64-bit programs: a 64-bit prefix, which runs both.
        prefix_width = 64 if any(pe_width(p) == 64 for p in programs) else 32
        self.prefix = Prefix(args.work / f"prefix-{args.case}", prefix_width)
        self.prefix.setup_width = self.width

    def configure(self) -> None:
        """What the test adds to the fresh prefix: a camera of each width
        given, and a default renderer whose picture shows in screenshots (as
        the project prefix)."""
        for module in self.args.test_devices + self.args.test_servers:
            # Each width's regsvr32 writes its own registry view.
            regsvr32 = "C:\\windows\\syswow64\\regsvr32.exe" if (
                self.prefix.width == 64 and pe_width(module) == 32) else "regsvr32.exe"
            check(self.prefix.run(regsvr32, "/s", windows_path(module)) == 0,
                  f"registering {module.name} ({pe_width(module)}-bit) failed")
        check(self.prefix.run("reg.exe", "add",
                              "HKCR\\CLSID\\{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}\\TreatAs", "/ve", "/t",
                              "REG_SZ", "/d", "{70E102B0-5556-11CE-97C0-00AA0055595A}", "/f") == 0,
              "setting the renderer failed")

    def setup(self, *arguments: str) -> tuple:
        started = time.monotonic()
        code = self.prefix.run(windows_path(self.args.setup), *arguments)
        return code, time.monotonic() - started

    def uninstall(self) -> float:
        """The uninstaller as the uninstall entry starts it: it copies itself
        to the temporary folder and ends; the copy does the work."""
        started = time.monotonic()
        # By its C: path, as the entry names it: the uninstaller takes its
        # folder from where it was started.
        relative = (self.prefix.install_dir / "Uninstall.exe").relative_to(self.prefix.folder / "drive_c")
        code = self.prefix.run("C:\\" + str(relative).replace("/", "\\"), "/S")
        self.prefix.wait()
        check(code == 0, f"the uninstaller ended with {code}")
        return time.monotonic() - started

    def checker(self, tests: str, locale: str = "C.UTF-8", program: Path = None) -> None:
        program = program or self.args.checker[0]
        code = self.prefix.run(windows_path(program), f"--gtest_filter={tests}", timeout=600,
                               env={"SETUP_EXE": windows_path(self.args.setup), "LC_ALL": locale})
        check(code == 0, f"{program.name} ({pe_width(program)}-bit) {tests} failed ({code})")

    def install_uninstall(self) -> None:
        self.configure()
        before = self.prefix.registry()
        code, seconds = self.setup("/S")
        check(code == 0, f"Setup ended with {code}")
        print(f"{self.args.setup.name}: {self.args.setup.stat().st_size} bytes, silent install {seconds:.1f} s",
              flush=True)
        check_installed(self.prefix, self.args.stage)
        self.checker("InstalledSuite.*:InstalledServers.*")
        self.prefix.kill()
        pictures = files_below(self.prefix.install_dir / "Snapory/Capture")
        check(len(pictures) == 1, f"pictures before uninstalling: {sorted(map(str, pictures))}")

        seconds = self.uninstall()
        print(f"silent uninstall {seconds:.1f} s", flush=True)
        left = files_below(self.prefix.install_dir)
        check(left == {Path("Snapory/Capture") / name: data for name, data in pictures.items()},
              f"left after uninstalling: {sorted(map(str, left))}")
        check(not self.prefix.start_menu.exists(), "the Start menu folder is left")
        check_registry_equal(before, self.prefix.registry(), "before install and after uninstall")

    def upgrade_running(self) -> None:
        self.configure()
        before = self.prefix.registry()
        check(self.setup("/S")[0] == 0, "the first Setup failed")
        installed = self.prefix.registry()
        # What the user made meanwhile.
        mine = {Path("Snapory/config.ini"): b"[Snapory]\r\nJpegQuality=42\r\n",
                Path("Snapory/Capture/2026-12-9 10-0-0.jpg"): b"\xff\xd8 a picture",
                Path("Orvane/Frames/mine.bmp"): b"BM a frame of the user's"}
        for relative, data in mine.items():
            (self.prefix.install_dir / relative).write_bytes(data)

        code, seconds = self.setup("/S")
        check(code == 0, f"Setup over an install ended with {code}")
        print(f"silent install over an install {seconds:.1f} s", flush=True)
        check_installed(self.prefix, self.args.stage, mine)
        for relative, data in mine.items():
            check((self.prefix.install_dir / relative).read_bytes() == data, f"{relative} was not kept")
        check_registry_equal(installed, self.prefix.registry(), "after an install and after a second one")

        # The programs rewrite their settings when they end; nothing else may change.
        def ours():
            return {r: d for r, d in files_below(self.prefix.install_dir).items() if r.name != "config.ini"}
        files = ours()
        self.checker("RunningSuite.*:InstalledServers.*")
        self.prefix.kill()
        after = ours()
        changed = sorted(str(r) for r in set(files) | set(after) if files.get(r) != after.get(r))
        check(not changed, f"refused runs changed files: {changed}")
        check_registry_equal(installed, self.prefix.registry(), "before and after the refused runs")

        self.uninstall()
        left = files_below(self.prefix.install_dir)
        kept = {r: d for r, d in mine.items() if r.name != "config.ini"}
        check(left == kept, f"left after uninstalling: {sorted(map(str, left))}")
        check_registry_equal(before, self.prefix.registry(), "before install and after uninstall")
        # Last, as the change of language rewrites Wine's locale settings. A
        # Chinese system: the locale scripts/deps.sh makes for the GBK tests.
        self.checker("ChineseSystem.*", locale="zh_CN.GBK")

    def side_by_side(self) -> None:
        self.configure()
        before = self.prefix.registry()
        code, seconds = self.setup("/S")
        check(code == 0, f"Setup ended with {code}")
        print(f"{self.args.setup.name} in a {self.prefix.width}-bit prefix: silent install {seconds:.1f} s", flush=True)
        check_installed(self.prefix, self.args.stage)
        installed = self.prefix.registry()
        written = wine_registry.differences(before, installed)
        wow = sum("\\Wow6432Node\\" in line for line in written)
        if self.prefix.width == 64:
            print(f"registry keys Setup added or changed: {len(written) - wow} in the 64-bit view, {wow} in the "
                  "32-bit view (Wow6432Node); servers:", flush=True)
        for key in sorted(set(installed) - set(before)):
            if key.endswith("\\InprocServer32"):
                server = [v for v in installed[key] if v.startswith("@=")]
                print(f"  {key} = {server[0][3:-1].replace(chr(92) * 2, chr(92)) if server else '?'}")
        # Each width's view: its servers from its own folder, the device listed.
        for checker in self.args.checker:
            self.checker("InstalledServers.*", program=checker)

        for sender in self.args.sender:
            self.send_and_read(sender)

        seconds = self.uninstall()
        print(f"silent uninstall {seconds:.1f} s", flush=True)
        check(not files_below(self.prefix.install_dir), "files left after uninstalling")
        check_registry_equal(before, self.prefix.registry(), "before install and after uninstall")

    def send_and_read(self, sender_program: Path) -> None:
        """One sender with the Invert effect; every reader at once must see
        its picture moving through the device of the reader's own width."""
        env = self.prefix.env
        sender = subprocess.Popen([self.prefix.wine, windows_path(sender_program), "--effect", "5"], env=env,
                                  stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            readers = [(reader, subprocess.Popen([self.prefix.wine, windows_path(reader)], env=env,
                                                 stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                                 stderr=subprocess.DEVNULL, text=True, errors="replace"))
                       for reader in self.args.reader]
            failed = []
            for reader, process in readers:
                out, _ = process.communicate(timeout=180)
                width = pe_width(reader)
                for line in out.splitlines():
                    if "[ figures  ]" in line or "Failure" in line or "FAILED" in line or "Expected" in line:
                        print(f"{width}-bit reader: {line}")
                if process.returncode != 0:
                    failed.append(f"{width}-bit reader ({process.returncode})")
            print(f"{pe_width(sender_program)}-bit sender, readers of "
                  f"{', '.join(str(pe_width(r)) for r in self.args.reader)} bits at once", flush=True)
            check(not failed, f"{pe_width(sender_program)}-bit sender: failed {failed}")
        finally:
            sender.kill()
            self.prefix.kill()

    def run(self) -> None:
        try:
            {"install-uninstall": self.install_uninstall, "upgrade-running": self.upgrade_running,
             "side-by-side": self.side_by_side}[self.args.case]()
        finally:
            self.prefix.kill()
        shutil.rmtree(self.prefix.folder, ignore_errors=True)


def all_programs(args) -> list:
    return [args.setup] + args.checker + args.test_devices + args.test_servers + args.reader + args.sender


def ensure_display() -> subprocess.Popen:
    """A private Xvfb when no display is given; None otherwise."""
    if os.environ.get("DISPLAY"):
        return None
    for number in range(141, 190):
        if Path(f"/tmp/.X11-unix/X{number}").exists() or Path(f"/tmp/.X{number}-lock").exists():
            continue
        server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if Path(f"/tmp/.X11-unix/X{number}").exists():
                os.environ["DISPLAY"] = f":{number}"
                return server
            time.sleep(0.05)
        server.kill()
    fail("could not start Xvfb")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--case", required=True, choices=["install-uninstall", "upgrade-running", "side-by-side"])
    parser.add_argument("--setup", required=True, type=Path)
    parser.add_argument("--stage", required=True, type=Path, help="what Setup installs, as staged for it")
    parser.add_argument("--checker", required=True, type=Path, action="append",
                        help="installed_suite_check.exe; one per width taking part")
    parser.add_argument("--test-devices", required=True, type=Path, action="append",
                        help="TestDevices.ax; one per width taking part")
    parser.add_argument("--sender", type=Path, action="append", default=[],
                        help="VirtualWebcamSender.exe (side-by-side), one after the other")
    parser.add_argument("--test-servers", type=Path, action="append", default=[],
                        help="modules a sender of the other width needs, registered for the test")
    parser.add_argument("--reader", type=Path, action="append", default=[],
                        help="virtual_camera_reader_check.exe, one per width (side-by-side)")
    parser.add_argument("--work", required=True, type=Path)
    args = parser.parse_args()
    programs = all_programs(args)
    missing = [str(p) for p in programs if not p.exists()]
    if missing:
        fail(f"not built: {missing} (./test builds the 64-bit programs this needs)")
    if any(pe_width(p) == 32 for p in programs) and not can_run_32bit():
        print(f"did not run: {args.case} with 32-bit programs, and this machine cannot run 32-bit programs",
              flush=True)
        return SKIPPED
    display = ensure_display()
    try:
        SetupTest(args).run()
    finally:
        if display:
            display.kill()
    print("PASSED", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
