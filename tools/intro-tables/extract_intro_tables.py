#!/usr/bin/env python3
"""Writes src/intro/intro_tables.cpp from the introductory lesson's script.

The lesson's script is a Markdown document whose page tables (one row per
step range: Steps | Clip | Teacher | Bubble | ...), teacher timeline lines
("54-63 F0; 66-153 F0 44+32; ...") and clip list ("By number: 1 Name.ogg, ...")
are typed once by the lesson's author. This tool reads them mechanically so the
program's tables never drift from the script:

    tools/intro-tables/extract_intro_tables.py SCRIPT.md > src/intro/intro_tables.cpp

Only the regular columns are read (steps, clip, teacher, bubble); what a row
draws besides is drawn by the row's own code, keyed by the row's first step.
"""
import re
import sys

TOPIC_STARTS = [1, 1337, 3888, 6217, 8345, 8903, 9178, 14078, 17588]


def topic_of(step):
    topic = 1
    for i, s in enumerate(TOPIC_STARTS):
        if step >= s:
            topic = i + 1
    return topic


def c_string(s):
    return '"' + s.replace('\\', '\\\\').replace('"', '\\"') + '"'


def parse_clip(text, first):
    """(clip, sound-bank buffer, steps the clip starts at, started by an event)."""
    text = text.strip()
    if not text:
        return 0, 0, [], False
    m = re.match(r'^the reference note: `soundBuffers`\[(\d+)\]', text)
    if m:
        return 0, int(m.group(1)), [first], False
    m = re.match(r'^(\d+) "[^"]*" when F returns event (\d+)', text)
    if m:
        return int(m.group(1)), 0, [], True
    m = re.match(r'^(\d+) at (.*)$', text)
    if m:
        parts = [p.strip() for p in m.group(2).split(',')]
        steps = []
        for i, p in enumerate(parts):
            if p == '...':
                step = steps[-1] - steps[-2]
                nxt = int(parts[i + 1])
                v = steps[-1] + step
                while v < nxt:
                    steps.append(v)
                    v += step
            else:
                steps.append(int(p))
        return int(m.group(1)), 0, steps, False
    m = re.match(r'^(\d+)$', text)
    if m:
        return int(m.group(1)), 0, [first], False
    raise SystemExit('unreadable clip column: %r' % text)


def parse_teacher(text):
    text = text.strip()
    m = re.match(r'^\((-?\d+), (-?\d+)\)$', text)
    if m:
        return 'fixed', int(m.group(1)), int(m.group(2))
    if text.startswith(('gliding', 'moving', 'walking', 'per pick')):
        return 'moving', 0, 0
    raise SystemExit('unreadable teacher column: %r' % text)


def parse_bubble(text):
    text = text.strip()
    if not text:
        return None
    m = re.match(r'^(down|up|right) \((-?\d+), (-?\d+), (\d+), (\d+), (\d+)\) (.*)$', text)
    if not m:
        raise SystemExit('unreadable bubble column: %r' % text)
    rest = m.group(7)
    # The one line the script describes instead of quoting: the words in
    # double quotes followed by a quoted tail.
    special = re.match(r'^"([^"]*)" and a second line made of the words (.*) in double quotes '
                       r'followed by "([^"]*)"$', rest)
    if special:
        lines = [special.group(1), '"' + special.group(2) + '"' + special.group(3)]
    else:
        lines = re.findall(r'"([^"]*)"', rest)
        if re.sub(r'"[^"]*"', '', rest).strip():
            raise SystemExit('bubble text outside quotes: %r' % rest)
    if not 1 <= len(lines) <= 3:
        raise SystemExit('bubble with %d lines: %r' % (len(lines), text))
    lines += [''] * (3 - len(lines))
    return (m.group(1),) + tuple(int(m.group(i)) for i in range(2, 7)) + (lines,)


def page_rows(doc):
    """The rows of every page table (header "| Steps | Clip | Teacher | Bubble ...")."""
    rows = []
    in_table = False
    for line in doc.splitlines():
        if line.startswith('| Steps | Clip | Teacher | Bubble'):
            in_table = True
            continue
        if not line.startswith('|'):
            in_table = False
            continue
        m = re.match(r'^\| (\d+)(?:-(\d+))? \| (.*)$', line)
        if not in_table or not m:
            continue
        cells = [c.strip() for c in m.group(3).rstrip().rstrip('|').split('|')]
        first = int(m.group(1))
        last = int(m.group(2) or first)
        clip, bank, clip_steps, on_event = parse_clip(cells[0], first)
        teacher = parse_teacher(cells[1])
        bubble = parse_bubble(cells[2])
        rows.append(dict(first=first, last=last, clip=clip, bank=bank, clip_steps=clip_steps,
                         on_event=on_event, teacher=teacher, bubble=bubble))
    return rows


# Topic 5 and the closing frame are written as prose, not as a table: the teacher stands at (870, 140)
# and sings "Fa" in two ranges; the exercise itself starts the clips by its
# events. The entry steps 8345-8354 and the fallback terminator 8863-8902 are
# rows of their own.
SAMPLE_PAGE_ROWS = [
    dict(first=8355, last=8408, clip=0, bank=0, clip_steps=[], on_event=False,
         teacher=('fixed', 870, 140), bubble=None),
    dict(first=8409, last=8450, clip=0, bank=0, clip_steps=[], on_event=False,
         teacher=('fixed', 870, 140), bubble=('right', 890, 240, 30, 30, 5, ['Fa', '', ''])),
    dict(first=8451, last=8530, clip=0, bank=0, clip_steps=[], on_event=False,
         teacher=('fixed', 870, 140), bubble=None),
    dict(first=8531, last=8612, clip=0, bank=0, clip_steps=[], on_event=False,
         teacher=('fixed', 870, 140), bubble=('right', 890, 240, 30, 30, 5, ['Fa', '', ''])),
    dict(first=8613, last=8862, clip=0, bank=0, clip_steps=[], on_event=False,
         teacher=('fixed', 870, 140), bubble=None),
    dict(first=8863, last=8902, clip=0, bank=0, clip_steps=[], on_event=False,
         teacher=('fixed', 520, 40), bubble=('down', 710, 200, 260, 50, 95, ['', '', ''])),
    # The closing frame after the last page: title and teacher, no clip.
    dict(first=21389, last=21389, clip=0, bank=0, clip_steps=[], on_event=False,
         teacher=('fixed', 870, 390), bubble=None),
]


def teacher_rows(doc, label):
    m = re.search(label + r'[^\n]*:\n(.*)', doc)
    if not m:
        raise SystemExit('no teacher timeline %r' % label)
    out = []
    for entry in m.group(1).strip().split('; '):
        e = re.match(r'^(\d+)-(\d+) (.*)$', entry.strip())
        if not e:
            raise SystemExit('unreadable timeline entry %r' % entry)
        first, last, what = int(e.group(1)), int(e.group(2)), e.group(3)
        row = dict(first=first, last=last, figure=0, lens=[], click=False, rest=3, talk_from=0, talk_to=0)
        c = re.match(r'^click(?:, then talks (\d+)-(\d+))?$', what)
        f = re.match(r'^F(\d)(?: ([\d+]+))?(?: mouth (\d))?$', what)
        if c:
            row['click'] = True
            row['figure'] = 1
            if c.group(1):
                row['talk_from'], row['talk_to'] = int(c.group(1)), int(c.group(2))
        elif f:
            row['figure'] = int(f.group(1))
            if f.group(2):
                row['lens'] = [int(x) for x in f.group(2).split('+')]
            if f.group(3):
                row['rest'] = int(f.group(3))
        else:
            raise SystemExit('unreadable timeline entry %r' % entry)
        out.append(row)
    return out


def clip_names(doc):
    m = re.search(r'By number: (.*)\.\n', doc)
    names = {}
    for item in m.group(1).split(', '):
        n, name = item.split(' ', 1)
        names[int(n)] = name
    if sorted(names) != list(range(1, 213)):
        raise SystemExit('clip list is not 1..212')
    return [names[i] for i in range(1, 213)]


def main():
    doc = open(sys.argv[1], encoding='utf-8').read()
    rows = page_rows(doc) + SAMPLE_PAGE_ROWS
    rows.sort(key=lambda r: r['first'])
    welcome = teacher_rows(doc, 'Welcome timeline rows')
    later = teacher_rows(doc, 'Later timeline rows')
    names = clip_names(doc)

    o = []
    o.append('// Generated by tools/intro-tables/extract_intro_tables.py from the lesson\'s')
    o.append('// script; do not edit by hand (run the tool again).')
    o.append('#include "intro/intro_tables.h"')
    o.append('')
    o.append('const char *const introClipFileNames[introClipCount + 1] = {')
    o.append('    "",')
    for i, n in enumerate(names):
        o.append('    %s, // %d' % (c_string(n), i + 1))
    o.append('};')
    o.append('')
    clip_step_list = []
    o.append('const IntroPageRow introPageRows[introPageRowCount] = {')
    for r in rows:
        if r['clip_steps'] and (len(r['clip_steps']) > 1 or r['clip_steps'][0] != r['first']):
            at = len(clip_step_list)
            clip_step_list += r['clip_steps']
            count = len(r['clip_steps'])
        else:
            at, count = -1, 0
        kind, tx, ty = r['teacher']
        b = r['bubble']
        if b:
            bubble = 'IntroBubble::%s, %d, %d, %d, %d, %d, {%s}' % (
                b[0], b[1], b[2], b[3], b[4], b[5], ', '.join(c_string(s) for s in b[6]))
        else:
            bubble = 'IntroBubble::none, 0, 0, 0, 0, 0, {"", "", ""}'
        o.append('    {%d, %d, %d, %d, %d, %d, %d, %s, %s, %d, %d, %s},' % (
            topic_of(r['first']), r['first'], r['last'], r['clip'], r['bank'],
            at, count, 'true' if r['on_event'] else 'false',
            'true' if kind == 'moving' else 'false', tx, ty, bubble))
    o.append('};')
    o.append('')
    o.append('const int32_t introClipSteps[introClipStepCount] = {')
    for i in range(0, len(clip_step_list), 10):
        o.append('    ' + ', '.join(str(s) for s in clip_step_list[i:i + 10]) + ',')
    o.append('};')
    o.append('')
    for name, table in (('welcomeTeacherRows', welcome), ('laterTeacherRows', later)):
        o.append('const TeacherRow %s[%sCount] = {' % (name, name))
        for t in table:
            lens = t['lens'] + [0] * (3 - len(t['lens']))
            o.append('    {%d, %d, %d, %d, {%d, %d, %d}, %s, %d, %d, %d},' % (
                t['first'], t['last'], t['figure'], len(t['lens']), lens[0], lens[1], lens[2],
                'true' if t['click'] else 'false', t['rest'], t['talk_from'], t['talk_to']))
        o.append('};')
        o.append('')
    sys.stdout.write('\n'.join(o))
    sys.stderr.write('%d page rows, %d clip steps, %d + %d teacher rows, %d bubbles\n' % (
        len(rows), len(clip_step_list), len(welcome), len(later),
        sum(1 for r in rows if r['bubble'])))


if __name__ == '__main__':
    main()
