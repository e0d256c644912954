#!/usr/bin/env python3
"""The Debian package tavelo as the build makes it, looked at in a root of
its own (never installed on this machine): its files, its dependencies (what
the program links, nothing else), its description as apt shows it, lintian
clean at its default level, the distribution's hardening, and its programs
run from the unpacked tree."""
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
         "./usr/share/man/man6/tavelo.6.gz", "./usr/share/doc/tavelo/copyright", "./usr/share/doc/tavelo/changelog.gz",
         "./usr/bin/tavelo-add-to-xscreensaver", "./usr/share/man/man1/tavelo-add-to-xscreensaver.1.gz"}


def run(*command, **kwargs):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE, **kwargs).stdout.decode()


class DebianPackageTest(unittest.TestCase):
    build = None

    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp()
        run("cpack", "-G", "DEB", "--config", os.path.join(cls.build, "CPackConfig.cmake"), "-B", cls.out)
        found = glob.glob(os.path.join(cls.out, "tavelo_*.deb"))
        assert len(found) == 1, found
        cls.deb = found[0]
        cls.root = os.path.join(cls.out, "root")
        run("dpkg-deb", "-x", cls.deb, cls.root)

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

    def test_described_once_and_lintian_clean(self):
        description = run("dpkg-deb", "-f", self.deb, "Description").splitlines()
        self.assertEqual("calm, moving water over the desktop, for xscreensaver", description[0])
        self.assertNotIn(description[0].strip(), [line.strip() for line in description[1:]], "the summary twice")
        self.assertGreaterEqual(description.count(" ."), 1, "no paragraphs")
        self.assertFalse([line for line in description if ";" in line], description)
        # Errors and warnings (lintian's default level); it warns when run as root.
        tags = subprocess.run(["lintian", "--allow-root", self.deb], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.assertEqual([], [t for t in tags.stdout.decode().splitlines() if t[:2] in ("E:", "W:")])

    def test_built_with_the_distributions_hardening(self):
        program = os.path.join(self.root, "usr", "libexec", "xscreensaver", "tavelo")
        dynamic, headers = run("readelf", "-dW", program), run("readelf", "-lhW", program)
        self.assertIn("BIND_NOW", dynamic)
        self.assertIn("GNU_RELRO", headers)
        self.assertIn("DYN (", headers)  # position-independent
        symbols = run("nm", "-D", program)
        self.assertIn("__stack_chk_fail", symbols)
        self.assertRegex(symbols, r"__\w+_chk@")  # fortified functions

    def test_its_programs_run_from_the_unpacked_tree(self):
        tavelo = os.path.join(self.root, "usr", "libexec", "xscreensaver", "tavelo")
        usage = subprocess.run([tavelo, "--help"], stdout=subprocess.PIPE)
        self.assertEqual(0, usage.returncode)
        self.assertIn(b"tavelo --root", usage.stdout)
        config = ElementTree.parse(os.path.join(self.root, "usr/share/xscreensaver/config/tavelo.xml")).getroot()
        self.assertEqual(("tavelo", "yes"), (config.get("name"), config.get("gl")))
        self.assertTrue(run("gzip", "-dc", os.path.join(self.root, "usr/share/man/man6/tavelo.6.gz"))
                        .startswith(".TH tavelo 6 "))
        # The command adds Tavelo to a user's own settings, keeping theirs, once.
        with tempfile.TemporaryDirectory() as home:
            path = os.path.join(home, ".xscreensaver")
            with open(path, "w") as f:
                f.write("# mine\nmode: one\nprograms: \\\n  maze --root \\n\n")
            command = os.path.join(self.root, "usr", "bin", "tavelo-add-to-xscreensaver")
            for _ in range(2):
                run(command, env=dict(os.environ, HOME=home))
            with open(path) as f:
                text = f.read()
            self.assertTrue(text.startswith("# mine\nmode: one\nprograms: \\\n  maze --root \\n\\\n"), text)
            self.assertEqual(1, text.count("tavelo --root"), text)
        self.assertIn(b"tavelo-add-to-xscreensaver", run("dpkg-deb", "-I", self.deb, "postinst").encode())


if __name__ == "__main__":
    linuxtest.main(DebianPackageTest)
