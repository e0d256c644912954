#!/usr/bin/env python3
"""The Debian package tavelo as the build makes it: its files, its
dependencies (what the program links, nothing else), installed with dpkg
and removed again."""
import glob
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
import linuxtest  # noqa: E402

FILES = {"./usr/libexec/xscreensaver/tavelo", "./usr/share/xscreensaver/config/tavelo.xml",
         "./usr/share/man/man6/tavelo.6.gz", "./usr/share/doc/tavelo/copyright"}


def run(*command):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout.decode()


class DebianPackageTest(unittest.TestCase):
    build = None

    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp()
        run("cpack", "-G", "DEB", "--config", os.path.join(cls.build, "CPackConfig.cmake"), "-B", cls.out)
        found = glob.glob(os.path.join(cls.out, "tavelo_*.deb"))
        assert len(found) == 1, found
        cls.deb = found[0]

    def test_its_files_and_its_dependencies(self):
        listed = {line.split()[-1] for line in run("dpkg-deb", "-c", self.deb).splitlines()}
        self.assertEqual(FILES, {f for f in listed if not f.endswith("/")})
        # Depends: the packages of the libraries the program links, and no others.
        program = os.path.join(self.build, "bin", "tavelo")
        needed = [line.split("[")[1].rstrip("]") for line in run("readelf", "-d", program).splitlines()
                  if "(NEEDED)" in line]
        libraries = {}
        for line in run("ldconfig", "-p").splitlines():
            parts = line.strip().split(" => ")
            if len(parts) == 2 and "x86-64" in parts[0]:
                libraries.setdefault(parts[0].split()[0], parts[1])
        def owner(path):  # dpkg knows some libraries by their paths from before /lib moved into /usr
            for candidate in (path, os.path.realpath(path), path.replace("/usr/lib/", "/lib/", 1),
                              os.path.realpath(path).replace("/usr/lib/", "/lib/", 1)):
                found = subprocess.run(["dpkg", "-S", candidate], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                if found.returncode == 0:
                    return found.stdout.decode().split(":")[0]
            raise AssertionError(f"no package holds {path}")
        linked = {owner(libraries[soname]) for soname in needed}
        depends = run("dpkg-deb", "-f", self.deb, "Depends")
        first_choices = {d.split("|")[0].split("(")[0].strip() for d in depends.split(",")}
        self.assertEqual(linked, first_choices, depends)

    def test_installed_with_dpkg_and_removed(self):
        if os.geteuid() != 0:
            self.skipTest("dpkg -i needs root")
        run("dpkg", "-i", self.deb)
        try:
            self.assertEqual("install ok installed", run("dpkg-query", "-W", "-f=${Status}", "tavelo"))
            usage = subprocess.run(["/usr/libexec/xscreensaver/tavelo", "--help"], stdout=subprocess.PIPE)
            self.assertEqual(0, usage.returncode)
            self.assertIn(b"tavelo --root", usage.stdout)
            config = ElementTree.parse("/usr/share/xscreensaver/config/tavelo.xml").getroot()
            self.assertEqual(("tavelo", "yes"), (config.get("name"), config.get("gl")))
            self.assertTrue(run("gzip", "-dc", "/usr/share/man/man6/tavelo.6.gz").startswith(".TH tavelo 6 "))
        finally:
            run("dpkg", "-r", "tavelo")
        self.assertFalse(os.path.exists("/usr/libexec/xscreensaver/tavelo"))


if __name__ == "__main__":
    linuxtest.main(DebianPackageTest)
