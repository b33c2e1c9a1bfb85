#!/usr/bin/python3
"""Turns the Markdown manual into the single HTML page shipped beside the plug-in.

    manual_html.py MANUAL.md OUTPUT.html
"""
import sys

import markdown

STYLE = """
body { font-family: sans-serif; max-width: 52em; margin: 2em auto; padding: 0 1em; line-height: 1.5; }
img { image-rendering: pixelated; max-width: 100%; }
table { border-collapse: collapse; } td, th { border: 1px solid #ccc; padding: 0.2em 0.6em; }
code, pre { background: #f4f4f4; }
"""


def main(source, target):
    with open(source, encoding="utf-8") as f:
        body = markdown.markdown(f.read(), extensions=["tables", "fenced_code"])
    page = ('<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8">\n'
            '<title>tessaline user manual</title>\n<style>' + STYLE + '</style></head>\n<body>\n'
            + body + '\n</body></html>\n')
    with open(target, "w", encoding="utf-8") as f:
        f.write(page)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
