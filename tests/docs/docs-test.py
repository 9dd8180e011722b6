#!/usr/bin/env python3
"""The scripts of the user's guide run and print what the guide shows.

    docs-test.py HOST ROOT PLUGIN MINI_HOST

Every fenced block marked `mvs` in README.md and docs/ is a whole script. The
next fenced block, when marked `output`, is what it prints; one marked
`errors` after it (or instead of it) is what it writes to standard error,
and the run must then fail. A comment `<!-- script: PATH -->` just before
the block says the block is the file PATH of the repository, byte for byte;
`<!-- script: PATH plugin -->` runs it with the example plug-in loaded
(`<!-- script: - plugin -->` for a block that is no file).
Any other block after `<!-- source: PATH -->` is an excerpt of the file PATH
and must appear in it as shown. A block after `<!-- mini_host: PATH -->` shows
the guide's small host running the script PATH; the next `output` block is
what it prints.
Every relative link of a page leads to a file of the repository.
Scripts under examples/ that no page shows must run cleanly. A block ends in
a line end, so a last line printed without one is compared as if it had one. Each script
runs in a scratch folder of its own, so the files it writes go nowhere.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

LINK = re.compile(r"\]\(([^)#\s]+)(#[^)\s]*)?\)")
FENCE = re.compile(r"^```(\S*)\s*$")
SCRIPT_NOTE = re.compile(r"^<!--\s*(script|source|mini_host):\s*(\S+)(\s+plugin)?\s*-->\s*$")


class Block:
    def __init__(self, kind, text, line, note):
        self.kind, self.text, self.line, self.note = kind, text, line, note


def read_blocks(path):
    """The fenced blocks of a Markdown file, each with the note before it."""
    blocks, note, lines = [], None, open(path, encoding="utf-8").read().split("\n")
    i = 0
    while i < len(lines):
        fence = FENCE.match(lines[i])
        if fence:
            start, body = i + 1, []
            i += 1
            while i < len(lines) and not lines[i].startswith("```"):
                body.append(lines[i])
                i += 1
            blocks.append(Block(fence.group(1), "\n".join(body) + "\n", start, note))
            note = None
        elif SCRIPT_NOTE.match(lines[i]):
            note = SCRIPT_NOTE.match(lines[i])
        elif lines[i].strip():
            note = None
        i += 1
    return blocks


def run_script(host, text, name, plugin):
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, name), "w", encoding="utf-8") as script:
            script.write(text)
        command = [host, "run", "--windows", "windows"]
        if plugin:
            command += ["--plugin", plugin]
        env = dict(os.environ, TZ="UTC", LC_ALL="C")
        done = subprocess.run(command + [name], cwd=work, env=env, capture_output=True,
                              timeout=120, stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout.decode("utf-8", "replace"), \
            done.stderr.decode("utf-8", "replace")


def check_excerpt(root, where, block, failures):
    if not block.note or block.note.group(1) != "source":
        return
    path = block.note.group(2)
    try:
        text = open(os.path.join(root, path), encoding="utf-8").read()
    except OSError as error:
        failures.append("%s:%d: %s cannot be read: %s" % (where, block.line, path, error))
        return
    if block.text not in text:
        failures.append("%s:%d: the excerpt is not part of %s" % (where, block.line, path))


def same_as_file(root, path, text, place, failures):
    try:
        on_disk = open(os.path.join(root, path), encoding="utf-8").read()
    except OSError as error:
        failures.append("%s: %s cannot be read: %s" % (place, path, error))
        return False
    if on_disk != text:
        failures.append("%s: the block differs from %s" % (place, path))
    return True


def ended(text):
    return text if text == "" or text.endswith("\n") else text + "\n"


def check_mini_host(mini_host, root, place, path, output, failures):
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(os.path.join(root, path), work)
        done = subprocess.run([mini_host, os.path.basename(path)], cwd=work, capture_output=True,
                              timeout=120, stdin=subprocess.DEVNULL)
    out = ended(done.stdout.decode("utf-8", "replace"))
    if done.returncode != 0 or output is None or out != output.text:
        failures.append("%s: the small host printed (status %d)\n%s\ninstead of\n%s"
                        % (place, done.returncode, out, output.text if output else ""))


def check_links(root, page, failures):
    text = open(page, encoding="utf-8").read()
    for target, _ in LINK.findall(text):
        if re.match(r"^[a-z]+:", target):
            continue
        if not os.path.exists(os.path.join(os.path.dirname(page), target)):
            failures.append("%s: the link %s leads nowhere" % (os.path.relpath(page, root), target))


def check_page(host, root, plugin, mini_host, page, shown, failures):
    blocks = read_blocks(page)
    check_links(root, page, failures)
    where = os.path.relpath(page, root)
    count = 0
    for index, block in enumerate(blocks):
        if block.kind != "mvs":
            check_excerpt(root, where, block, failures)
            if block.note and block.note.group(1) == "mini_host":
                following = blocks[index + 1] if index + 1 < len(blocks) else None
                output = following if following and following.kind == "output" else None
                check_mini_host(mini_host, root, "%s:%d" % (where, block.line),
                                block.note.group(2), output, failures)
            continue
        count += 1
        place = "%s:%d" % (where, block.line)
        name, use_plugin = "script.mvs", False
        if block.note:
            path, use_plugin = block.note.group(2), bool(block.note.group(3))
            if path != "-":
                name = os.path.basename(path)
                shown.add(os.path.normpath(path))
                if not same_as_file(root, path, block.text, place, failures):
                    continue
        following = blocks[index + 1:index + 3]
        output = following[0] if following and following[0].kind == "output" else None
        rest = following[1:] if output else following[:1]
        errors = rest[0] if rest and rest[0].kind == "errors" else None
        status, out, err = run_script(host, block.text, name, plugin if use_plugin else None)
        out, err = ended(out), ended(err)
        expected = output.text if output else ""
        if out != expected:
            failures.append("%s: prints\n%s\ninstead of\n%s" % (place, out, expected))
        if errors is None and (status != 0 or err):
            failures.append("%s: failed (status %d): %s" % (place, status, err))
        if errors is not None and (status == 0 or err != errors.text):
            failures.append("%s: status %d, errors\n%s\ninstead of\n%s"
                            % (place, status, err, errors.text))
    return count


def main():
    host, root, plugin, mini_host = (os.path.abspath(a) for a in sys.argv[1:5])
    pages = [os.path.join(root, "README.md")]
    for folder, _, files in os.walk(os.path.join(root, "docs")):
        pages += [os.path.join(folder, f) for f in sorted(files) if f.endswith(".md")]
    failures, shown, scripts = [], set(), 0
    for page in pages:
        scripts += check_page(host, root, plugin, mini_host, page, shown, failures)
    if scripts < 10:
        failures.append("only %d scripts found in the guide" % scripts)
    for folder, _, files in os.walk(os.path.join(root, "examples")):
        for f in sorted(files):
            path = os.path.relpath(os.path.join(folder, f), root)
            if f.endswith(".mvs") and os.path.normpath(path) not in shown:
                status, _, err = run_script(host, open(os.path.join(root, path)).read(), f, None)
                if status != 0 or err:
                    failures.append("%s: failed (status %d): %s" % (path, status, err))
    for failure in failures:
        print("FAIL: " + failure)
    print("%d scripts in %d pages; %d failures" % (scripts, len(pages), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
