"""Prints a tagged PDF's structure tree in reading order, one element a
line: its role, "alt" if it has alternative text, its scope (or "-") and its
title (or nothing), separated by tabs. Read by handout_test.cpp.

    /usr/bin/python3 pdf_structure.py FILE.pdf
"""
import sys

import pikepdf


def walk(element, out):
    if not isinstance(element, pikepdf.Dictionary) or '/S' not in element:
        return
    attributes = element.get('/A')
    scope = str(attributes.get('/Scope', '-'))[1:] if isinstance(attributes, pikepdf.Dictionary) else '-'
    title = str(element.get('/T', '')).replace('\t', ' ').replace('\n', ' ')
    alt = 'alt' if str(element.get('/Alt', '')).strip() else '-'
    out.append(f'{str(element.S)[1:]}\t{alt}\t{scope or "-"}\t{title}')
    kids = element.get('/K')
    for kid in kids if isinstance(kids, pikepdf.Array) else [kids]:
        walk(kid, out)


def main(path):
    with pikepdf.open(path) as pdf:
        root = pdf.Root.get('/StructTreeRoot')
        if root is None:
            sys.exit(f'{path} has no structure tree')
        out = []
        kids = root.get('/K')
        for kid in kids if isinstance(kids, pikepdf.Array) else [kids]:
            walk(kid, out)
        print('\n'.join(out))


if __name__ == '__main__':
    main(sys.argv[1])
