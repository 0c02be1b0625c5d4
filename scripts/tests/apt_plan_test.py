"""The install step's decisions on outputs apt printed on machines of ours."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
import apt_plan  # noqa: E402

UPDATE_MID_SYNC = """\
Hit:1 http://deb.debian.org/debian bookworm InRelease
Get:2 http://deb.debian.org/debian-security bookworm-security InRelease [48.0 kB]
Get:3 http://deb.debian.org/debian-security bookworm-security/main amd64 Packages [262 kB]
Err:4 http://deb.debian.org/debian-security bookworm-security/main i386 Packages
  File has unexpected size (254836 != 254901). Mirror sync in progress? [IP: 151.101.2.132 80]
  Hashes of expected file:
   - Filesize:254901 [weak]
Fetched 310 kB in 1s (400 kB/s)
E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (254836 != 254901). Mirror sync in progress? [IP: 151.101.2.132 80]
E: Some index files failed to download. They have been ignored, or old ones used instead.
"""

INSTALL_BROKEN = """\
Some packages could not be installed. This may mean that you have
requested an impossible situation.
The following packages have unmet dependencies:
 libexpat1 : Breaks: libexpat1:i386 (!= 2.5.0-1+deb12u1) but 2.5.0-1 is to be installed
 libexpat1:i386 : Breaks: libexpat1 (!= 2.5.0-1) but 2.5.0-1+deb12u1 is to be installed
 libgnutls30:i386 : Depends: libp11-kit0:i386 (>= 0.23.18.1) but it is not going to be installed
 libssl3 : Breaks: libssl3:i386 (!= 3.0.15-1~deb12u1) but 3.0.11-1~deb12u2 is to be installed
E: Unable to correct problems, you have held broken packages.
"""

# Same mid-sync, another day: the amd64 libraries came from the security
# suite, whose i386 index failed, so apt only says the i386 copies "are not
# going to be installed" and never names a pair.
INSTALL_HELD_BACK = """\
The following packages have unmet dependencies:
 gstreamer1.0-plugins-good:i386 : Depends: libpng16-16:i386 (>= 1.6.2-1) but it is not going to be installed
                                  Depends: libssl3:i386 (>= 3.0.0) but it is not going to be installed
                                  Depends: libsoup2.4-1:i386 (>= 2.48) but it is not installable or
                                           libsoup-3.0-0:i386 but it is not installable
 libcurl4:i386 : Depends: libssl3:i386 (>= 3.0.0) but it is not going to be installed
                 PreDepends: zlib1g:i386 (>= 1:1.1.4) but it is not going to be installed
E: Unable to correct problems, you have held broken packages.
"""

# wine64 beside wine32:i386 while the i386 security index was mid-sync: the
# amd64 library apt refuses, its i386 copy being at the older version.
INSTALL_HELD_BACK_NATIVE = """\
The following packages have unmet dependencies:
 libwine : Depends: libgstreamer-plugins-base1.0-0 (>= 1.0.0) but it is not going to be installed
           Recommends: gstreamer1.0-plugins-good but it is not going to be installed
E: Unable to correct problems, you have held broken packages.
"""

POLICY = """\
libexpat1:
  Installed: 2.5.0-1+deb12u1
  Candidate: 2.5.0-1+deb12u1
  Version table:
 *** 2.5.0-1+deb12u1 500
        500 http://deb.debian.org/debian-security bookworm-security/main amd64 Packages
        100 /var/lib/dpkg/status
     2.5.0-1 500
        500 http://deb.debian.org/debian bookworm/main amd64 Packages
libexpat1:i386:
  Installed: (none)
  Candidate: 2.5.0-1
  Version table:
     2.5.0-1 500
        500 http://deb.debian.org/debian bookworm/main i386 Packages
libssl3:
  Installed: 3.0.15-1~deb12u1
  Candidate: 3.0.15-1~deb12u1
  Version table:
 *** 3.0.15-1~deb12u1 500
        500 http://deb.debian.org/debian-security bookworm-security/main amd64 Packages
        100 /var/lib/dpkg/status
libssl3:i386:
  Installed: (none)
  Candidate: 3.0.11-1~deb12u2
  Version table:
     3.0.11-1~deb12u2 500
        500 http://deb.debian.org/debian bookworm/main i386 Packages
"""


class AptPlanTest(unittest.TestCase):
    def test_a_mirror_mid_sync_names_only_the_broken_index(self):
        self.assertEqual(apt_plan.failed_indexes(UPDATE_MID_SYNC), [
            "http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz"])
        self.assertEqual(apt_plan.failed_indexes("Hit:1 http://x bookworm InRelease\n"), [])

    def test_twins_are_the_packages_whose_architectures_break_each_other(self):
        # libgnutls30 only depends on another package: not a twin pair.
        self.assertEqual(apt_plan.multiarch_twins(INSTALL_BROKEN), ["libexpat1", "libssl3"])

    def test_held_back_are_the_libraries_apt_refuses_not_the_missing_or_recommended_ones(self):
        self.assertEqual(apt_plan.held_back(INSTALL_HELD_BACK), ["libpng16-16", "libssl3", "zlib1g"])
        self.assertEqual(apt_plan.held_back(INSTALL_BROKEN), ["libp11-kit0"])
        self.assertEqual(apt_plan.held_back(INSTALL_HELD_BACK_NATIVE), ["libgstreamer-plugins-base1.0-0"])

    def test_pins_take_the_newest_version_both_architectures_offer(self):
        tables = apt_plan.parse_policy(POLICY)
        self.assertEqual(tables["libexpat1"], ["2.5.0-1+deb12u1", "2.5.0-1"])
        self.assertEqual(apt_plan.common_version(tables, "libexpat1"), "2.5.0-1")
        # No common version: nothing to pin, the caller reports the failure.
        self.assertIsNone(apt_plan.common_version(tables, "libssl3"))
        self.assertIsNone(apt_plan.common_version(tables, "absent"))

    def test_command_line_prints_install_arguments(self):
        import io
        from unittest import mock
        with mock.patch("sys.stdin", io.StringIO(POLICY)), \
                mock.patch("sys.stdout", new_callable=io.StringIO) as out:
            self.assertEqual(apt_plan.main(["apt_plan.py", "pins", "libexpat1", "libssl3"]), 0)
        self.assertEqual(out.getvalue().strip(), "libexpat1:amd64=2.5.0-1 libexpat1:i386=2.5.0-1")


if __name__ == "__main__":
    unittest.main()
