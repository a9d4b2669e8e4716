#!/usr/bin/env python3
"""Prints deb-src entries (deb822) for the distribution's own package archive,
derived from the machine's apt configuration, so that the project names no
mirror of its own and follows whatever mirror or proxy the machine uses.

    deb_src_entries.py [--root DIR] [--type deb] [--release CODENAME] [--archive]

Reads /etc/os-release and the apt source lists under DIR (default /): the
one-line lists (sources.list, sources.list.d/*.list) and the deb822 files
(sources.list.d/*.sources). An entry is the distribution's own when it is of
type deb, its suite is the release's codename or a pocket of it (bookworm,
bookworm-updates, bookworm-security) and it is signed, if it names a key at
all, by the distribution's archive keyring. Third-party repositories are left
out: they have no source indexes. Each such entry is printed once as deb-src
with the same address, suites, components and key. When there is none, the
script says what to add and exits with status 1.

With --type deb the entries are printed as binary ones; with --release the
suites name another release of the same distribution (trixie, trixie-updates,
trixie-security), as a system of that release made from the same mirror needs;
--archive prints only the address of the release's main suite (what
debootstrap takes).
"""
import argparse
import os
import re
import sys

LIST_NAME = re.compile(r"^[A-Za-z0-9_.-]+\.(list|sources)$")


def os_release(root):
    fields = {}
    with open(os.path.join(root, "etc/os-release"), encoding="utf-8") as f:
        for line in f:
            key, sep, value = line.strip().partition("=")
            if sep:
                fields[key] = value.strip('"')
    return fields.get("ID", ""), fields.get("VERSION_CODENAME", "")


def one_line_entries(text):
    """Entries of a one-line list: (types, uris, suites, components, signed_by)."""
    for line in text.splitlines():
        tokens = line.split("#", 1)[0].split()
        if len(tokens) < 3:
            continue
        kind, options = tokens.pop(0), {}
        if tokens[0].startswith("["):
            words = []
            while tokens and not (words and words[-1].endswith("]")):
                words.append(tokens.pop(0))
            for word in " ".join(words).strip("[]").split():
                key, _, value = word.partition("=")
                options[key.lower()] = value
        if len(tokens) < 2:
            continue
        yield [kind], [tokens[0]], [tokens[1]], tokens[2:], options.get("signed-by", "")


def deb822_entries(text):
    """Entries of a deb822 .sources file; stanzas with Enabled: no are skipped."""
    for stanza in re.split(r"\n\s*\n", text):
        fields, key = {}, None
        for line in stanza.splitlines():
            if line.startswith("#"):
                continue
            if line[:1].isspace() and key:
                fields[key] += "\n" + line.strip()
                continue
            key, sep, value = line.partition(":")
            key = key.strip().lower() if sep else None
            if key:
                fields[key] = value.strip()
        if fields.get("enabled", "yes").lower() == "no":
            continue
        yield (fields.get("types", "").split(), fields.get("uris", "").split(), fields.get("suites", "").split(),
               fields.get("components", "").split(), fields.get("signed-by", ""))


def configured_entries(root):
    """Every entry apt reads, in its order: sources.list, then sources.list.d by name."""
    main = os.path.join(root, "etc/apt/sources.list")
    parts = os.path.join(root, "etc/apt/sources.list.d")
    files = [main] if os.path.isfile(main) else []
    if os.path.isdir(parts):
        files += [os.path.join(parts, n) for n in sorted(os.listdir(parts)) if LIST_NAME.match(n)]
    for path in files:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        yield from (deb822_entries(text) if path.endswith(".sources") else one_line_entries(text))


def source_stanzas(root, kind="deb-src", release=None):
    """Stanzas of type `kind` for the distribution's own entries, each once, their suites
    renamed to `release` when given."""
    distribution, codename = os_release(root)
    keyring = f"/usr/share/keyrings/{distribution}-archive-keyring."
    stanzas = []
    for types, uris, suites, components, signed_by in configured_entries(root):
        own = [s for s in suites if s == codename or s.startswith(codename + "-")]
        if "deb" not in types or not uris or not own or not components or not codename:
            continue
        if signed_by and not signed_by.startswith(keyring):
            continue
        if release:
            own = [release + s[len(codename):] for s in own]
        lines = ["Types: " + kind, "URIs: " + " ".join(uris), "Suites: " + " ".join(own),
                 "Components: " + " ".join(components)]
        if signed_by:
            lines.append("Signed-By: " + signed_by)
        stanza = "\n".join(lines) + "\n"
        if stanza not in stanzas:
            stanzas.append(stanza)
    return distribution, codename, stanzas


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--root", default="/")
    parser.add_argument("--type", choices=("deb", "deb-src"), default="deb-src")
    parser.add_argument("--release")
    parser.add_argument("--archive", action="store_true")
    args = parser.parse_args()
    distribution, codename, stanzas = source_stanzas(args.root, args.type, args.release)
    if not stanzas:
        sys.exit(f"setup: apt has no entry for {distribution or 'the distribution'}'s own archive "
                 f"(Types: deb, Suites: {codename or '<codename>'}) to take the source packages from.\n"
                 f"Add one for the mirror this machine uses, for example in "
                 f"/etc/apt/sources.list.d/{distribution or 'distribution'}.sources:\n"
                 f"  Types: deb\n  URIs: <the mirror's address>\n  Suites: {codename or '<codename>'}\n"
                 f"  Components: main\n  Signed-By: /usr/share/keyrings/{distribution}-archive-keyring.gpg")
    if args.archive:
        main_suite = args.release or codename
        for stanza in stanzas:
            fields = dict(line.split(": ", 1) for line in stanza.splitlines())
            if main_suite in fields["Suites"].split():
                print(fields["URIs"].split()[0])
                return
        sys.exit(f"no entry of {distribution}'s own archive holds the suite {main_suite}")
    print("\n".join(stanzas), end="")


if __name__ == "__main__":
    main()
