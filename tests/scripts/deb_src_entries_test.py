#!/usr/bin/env python3
"""scripts/deb_src_entries.py over made-up apt configurations: which entries count as the
distribution's own, how both list formats are read, and the message when there is none."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                      "scripts", "deb_src_entries.py")
KEY = "/usr/share/keyrings/debian-archive-keyring.gpg"


def run(files, *options):
    """Runs the script over a root holding os-release and the given files under etc/apt/."""
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, "etc/apt/sources.list.d"))
        with open(os.path.join(root, "etc/os-release"), "w") as f:
            f.write('ID=debian\nVERSION_CODENAME="bookworm"\n')
        for name, text in files.items():
            with open(os.path.join(root, "etc/apt", name), "w") as f:
                f.write(text)
        return subprocess.run([sys.executable, SCRIPT, "--root", root, *options], capture_output=True, text=True)


class DebSrcEntries(unittest.TestCase):
    def test_deb822_stanzas_keep_address_suites_and_key(self):
        done = run({"sources.list.d/debian.sources":
                    f"Types: deb\n# a comment\nURIs: http://mirror.test/archive\nSuites: bookworm bookworm-updates\n"
                    f"Components: main contrib\nSigned-By: {KEY}\n\n"
                    f"Types: deb\nURIs: http://mirror.test/old\nSuites: bookworm\nComponents: main\nEnabled: no\n\n"
                    f"Types: deb\nURIs: http://third.test/apt\nSuites: bookworm\nComponents: main\n"
                    f"Signed-By: /usr/share/keyrings/third.gpg\n\n"
                    f"Types: deb\nURIs: http://other.test/apt\nSuites: nodistro\nComponents: main\n",
                    "sources.list.d/unread.sources.disabled": "Types: deb\nURIs: http://x.test\nSuites: bookworm\n"})
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, f"Types: deb-src\nURIs: http://mirror.test/archive\nSuites: bookworm bookworm-updates\n"
                                      f"Components: main contrib\nSigned-By: {KEY}\n")

    def test_one_line_lists_with_options_each_entry_once(self):
        done = run({"sources.list": f"deb [ arch=amd64 signed-by={KEY} ] http://mirror.test/archive bookworm main\n"
                                    f"deb [ arch=amd64 signed-by={KEY} ] http://mirror.test/archive bookworm main #\n"
                                    "deb-src http://mirror.test/archive bookworm main\n"
                                    "deb http://mirror.test/archive-security bookworm-security main\n"
                                    "deb http://mirror.test/archive sid main\n",
                    "sources.list.d/third.list": "deb [signed-by=/etc/apt/keyrings/t.asc] http://t.test bookworm main\n"})
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, "\n".join([
            f"Types: deb-src\nURIs: http://mirror.test/archive\nSuites: bookworm\nComponents: main\nSigned-By: {KEY}\n",
            "Types: deb-src\nURIs: http://mirror.test/archive-security\nSuites: bookworm-security\nComponents: main\n"]))

    # Another release of the same distribution from the same mirror: its suites renamed, the
    # security pocket kept at its own address; --archive names the main suite's address.
    def test_another_release_as_binary_entries_and_its_archive(self):
        files = {"sources.list.d/debian.sources":
                 f"Types: deb\nURIs: http://mirror.test/archive\nSuites: bookworm bookworm-updates\n"
                 f"Components: main\nSigned-By: {KEY}\n",
                 "sources.list": "deb http://mirror.test/archive-security bookworm-security main\n"
                                 "deb http://t.test/apt nodistro main\n"}
        done = run(files, "--type", "deb", "--release", "trixie")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, "\n".join([
            "Types: deb\nURIs: http://mirror.test/archive-security\nSuites: trixie-security\nComponents: main\n",
            f"Types: deb\nURIs: http://mirror.test/archive\nSuites: trixie trixie-updates\nComponents: main\n"
            f"Signed-By: {KEY}\n"]))
        done = run(files, "--type", "deb", "--release", "trixie", "--archive")
        self.assertEqual((done.returncode, done.stdout), (0, "http://mirror.test/archive\n"))
        done = run({"sources.list": "deb http://mirror.test/archive-security bookworm-security main\n"}, "--archive")
        self.assertEqual(done.returncode, 1)

    def test_without_a_distribution_entry_says_what_to_add(self):
        done = run({"sources.list.d/third.list": "deb http://t.test/apt nodistro main\n"})
        self.assertEqual(done.returncode, 1)
        self.assertEqual(done.stdout, "")
        self.assertIn("Suites: bookworm", done.stderr)
        self.assertIn(f"Signed-By: {KEY}", done.stderr)


if __name__ == "__main__":
    unittest.main()
