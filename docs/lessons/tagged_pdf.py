"""Lays out a handout's HTML as a tagged A4 PDF (PDF/UA-1) with WeasyPrint,
tagging more than WeasyPrint does by itself, so that a screen reader can
follow it:

- a <figure> is a Figure with its picture's alt text as /Alt, a
  <figcaption> or a table's <caption> a Caption;
- a <th> carries its scope (/A << /O /Table /Scope /Column or /Row >>);
- an answer block (<div class="answer">) is a Sect titled "Answer to
  exercise N", after the heading of its exercise, and each heading carries
  its text as its title, so that the order can be checked;
- the page numbers in the margin are artifacts, outside the structure tree.

    /usr/bin/python3 docs/lessons/tagged_pdf.py IN.html OUT.pdf

It uses Debian's python3-weasyprint (docs/lessons/handout.sh runs it).
"""

import re
import sys

import pydyf
import weasyprint
from weasyprint import document as wp_document
from weasyprint import pdf as wp_pdf
from weasyprint.formatting_structure import boxes
from weasyprint.pdf import stream as wp_stream

ROLES = {'figure': 'Figure', 'figcaption': 'Caption', 'caption': 'Caption'}

# Each page's element structure as WeasyPrint builds it while tagging.
structures = []
# The page-number boxes and what is drawn inside them, as the page streams
# draw them.
artifact_depth = {}


def marked_content_tag(original):
    def tag(self, element_tag):
        return ROLES.get(element_tag) or original(self, element_tag)
    return tag


def begin_marked_content(original):
    def begin(self, box, mcid=False, tag=None):
        depth = artifact_depth.get(id(self), 0)
        if self._mark and (depth or isinstance(box, boxes.MarginBox)):
            artifact_depth[id(self)] = depth + 1
            pydyf.Stream.begin_marked_content(self, 'Artifact')
            return
        original(self, box, mcid, tag)
    return begin


def end_marked_content(original):
    def end(self):
        depth = artifact_depth.get(id(self), 0)
        if depth:
            artifact_depth[id(self)] = depth - 1
        original(self)
    return end


def build_element_structure(original):
    def build(self, structure, etree_element=None):
        if etree_element is None:
            structures.append(structure)
        return original(self, structure, etree_element)
    return build


def text_of(element):
    return re.sub(r'\s+', ' ', ''.join(element.itertext())).strip()


def finish_tags(variant):
    def finish(pdf, metadata, document, page_streams):
        variant(pdf, metadata, document, page_streams)
        exercise = None
        answers = {}
        root = document._html.etree_element
        parents = {child: parent for parent in root.iter() for child in parent}
        for element in root.iter():
            if element.tag == 'h2':
                number = re.match(r'(\d+)\.', text_of(element))
                exercise = number.group(1) if number else None
            elif (element.tag == 'div' and 'answer' in element.get('class', '').split()
                  and exercise):
                answers[element] = exercise
        for structure in structures:
            for element, data in structure.items():
                tagged = data.get('element')
                if tagged is None or not isinstance(getattr(element, 'tag', None), str):
                    continue
                if element.tag == 'figure':
                    image = element.find('.//img')
                    alt = image.get('alt') if image is not None else None
                    if alt:
                        tagged['Alt'] = pydyf.String(alt)
                elif element.tag == 'th':
                    row = parents.get(element)
                    in_head = row is not None and getattr(parents.get(row), 'tag', '') == 'thead'
                    scope = element.get('scope') or ('col' if in_head else 'row')
                    tagged['A'] = pydyf.Dictionary({
                        'O': '/Table',
                        'Scope': '/Column' if scope.startswith('col') else '/Row'})
                elif element.tag in ('h1', 'h2', 'h3'):
                    tagged['T'] = pydyf.String(text_of(element))
                elif element in answers:
                    tagged['S'] = '/Sect'
                    tagged['T'] = pydyf.String(f'Answer to exercise {answers[element]}')
    return finish


def main(source, target):
    wp_stream.Stream.get_marked_content_tag = marked_content_tag(
        wp_stream.Stream.get_marked_content_tag)
    wp_stream.Stream.begin_marked_content = begin_marked_content(
        wp_stream.Stream.begin_marked_content)
    wp_stream.Stream.end_marked_content = end_marked_content(
        wp_stream.Stream.end_marked_content)
    wp_document.Document.build_element_structure = build_element_structure(
        wp_document.Document.build_element_structure)
    variant, properties = wp_pdf.VARIANTS['pdf/ua-1']
    wp_pdf.VARIANTS['pdf/ua-1'] = (finish_tags(variant), properties)
    weasyprint.HTML(filename=source).write_pdf(target, variant='pdf/ua-1')


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit('usage: tagged_pdf.py IN.html OUT.pdf')
    main(sys.argv[1], sys.argv[2])
