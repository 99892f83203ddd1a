"""Prints a tagged PDF's structure tree in reading order for handout_test.cpp,
one element a line: role, "alt" or "-", scope or "-", title; tab-separated.
Run by Debian's python3, which has pikepdf: python3 pdf_structure.py FILE.pdf
"""
import sys

import pikepdf


def walk(element):
    if isinstance(element, pikepdf.Array):
        for kid in element:
            walk(kid)
    elif isinstance(element, pikepdf.Dictionary) and '/S' in element:
        a = element.get('/A')
        scope = str(a.get('/Scope', '/-'))[1:] if isinstance(a, pikepdf.Dictionary) else '-'
        alt = 'alt' if str(element.get('/Alt', '')).strip() else '-'
        title = ' '.join(str(element.get('/T', '')).split())
        print(f'{str(element.S)[1:]}\t{alt}\t{scope}\t{title}')
        walk(element.get('/K'))


with pikepdf.open(sys.argv[1]) as pdf:
    walk(pdf.Root.StructTreeRoot.K)
