#!/usr/bin/env python3
"""Builds two tagged corpora from real C files for the documentation benchmark.

Every function definition whose head fits on one line gets a generated
comment above it: "@func/@parm/@rdesc" tags for folios in one corpus, and the
equivalent "@brief/@param/@return" comment for the peer in the other. The
files' own comments are neutralised ("/**" and "@" in them) so that only the
generated comments document anything.

usage: make_corpus.py SOURCE_DIR OUT_DIR MEGABYTES [TEXT_REPEAT]
  writes OUT_DIR/folios/*.c and OUT_DIR/peer/*.c with at least MEGABYTES of
  tagged folios sources; TEXT_REPEAT lengthens every description that many
  times (for the memory check: same topics, longer texts).
"""
import os
import re
import sys

HEAD = re.compile(r'^(?:static\s+|inline\s+|const\s+|unsigned\s+|struct\s+)*[A-Za-z_][\w\s\*]*?\b([A-Za-z_]\w*)\(([^()]*)\)\s*$')
WORD = re.compile(r'([A-Za-z_]\w*)\s*(?:\[[^\]]*\])?\s*$')


def parameters(text):
    text = text.strip()
    if text in ('', 'void'):
        return []
    names = []
    for part in text.split(','):
        if part.strip() == '...':
            continue
        m = WORD.search(part.strip())
        names.append(m.group(1) if m else 'arg%d' % len(names))
    return names


def tag_file(lines, repeat):
    ours, peer = ['/* @doc CORPUS */\n'], ['/** @file */\n']
    count = 0
    for i, line in enumerate(lines):
        line = line.replace('/**', '/* ').replace('@', '(at)')
        m = HEAD.match(line)
        nxt = lines[i + 1] if i + 1 < len(lines) else ''
        if m and not line.startswith((' ', '\t', '#')) and nxt.startswith('{') and m.group(1) not in (
                'if', 'for', 'while', 'switch', 'return', 'sizeof'):
            name, params = m.group(1), parameters(m.group(2))
            text = ('%s does the work its name promises; this description is generated '
                    'for the benchmark and reads like a real one.' % name)
            text = ' '.join([text] * repeat)
            ours.append('/* @func %s\n' % text)
            peer.append('/**\n * @brief %s\n' % text)
            for p in params:
                ours.append(' * @parm The %s argument of %s.\n' % (p, name))
                peer.append(' * @param %s The %s argument of %s.\n' % (p, p, name))
            ours.append(' * @rdesc What %s returns.\n */\n' % name)
            peer.append(' * @return What %s returns.\n */\n' % name)
            count += 1
        ours.append(line)
        peer.append(line)
    return ours, peer, count


def main():
    source, out, megabytes = sys.argv[1], sys.argv[2], float(sys.argv[3])
    repeat = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    for sub in ('folios', 'peer'):
        os.makedirs(os.path.join(out, sub), exist_ok=True)
    files = []
    for root, _, names in os.walk(source):
        files += [os.path.join(root, n) for n in names if n.endswith('.c')]
    files.sort()
    written = topics = n = 0
    for path in files:
        if written >= megabytes * 1e6:
            break
        with open(path, encoding='latin-1') as f:
            lines = f.readlines()
        ours, peer, count = tag_file(lines, repeat)
        if count == 0:
            continue
        name = '%05d_%s' % (n, os.path.basename(path))
        n += 1
        for sub, text in (('folios', ours), ('peer', peer)):
            with open(os.path.join(out, sub, name), 'w', encoding='latin-1') as f:
                f.writelines(text)
        # The budget counts the plain tagging, so that a corpus with longer
        # texts holds the same files and topics as the plain one.
        sized = ours if repeat == 1 else tag_file(lines, 1)[0]
        written += sum(len(l) for l in sized)
        topics += count
    print('%d files, %.1f MB, %d topics' % (n, written / 1e6, topics))


if __name__ == '__main__':
    main()
