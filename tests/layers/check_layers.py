#!/usr/bin/env python3
"""Checks that every #include of a layer's sources stays in that layer or a lower one.

    check_layers.py SOURCE_ROOT LAYER:LOWER,LOWER... ...

Each argument names a folder of the source tree and the folders it may include besides its own
(the top CMakeLists.txt keeps the list). tests/ may include anything; any other folder that holds
sources and is not listed is reported too, so that a new folder gets a place in the layers.
Exits 1 and prints one line per offence, 0 when the tree is clean.
"""
import os
import re
import sys

SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.cc', '.inl')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
UNCHECKED = {'tests'}


def parse_layers(specs):
    layers = {}
    for spec in specs:
        name, _, lower = spec.partition(':')
        layers[name] = {folder for folder in lower.split(',') if folder}
    return layers


def source_files(folder):
    for dirpath, dirnames, filenames in os.walk(folder):
        dirnames.sort()
        for name in sorted(filenames):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(dirpath, name)


def is_build_tree(path):
    return os.path.exists(os.path.join(path, 'CMakeCache.txt'))


def included_folder(root, including_file, bracket, text):
    """The top folder of the source tree that an #include reaches, or None for Qt, the system
    and generated files."""
    candidates = []
    if bracket == '"':
        # A quoted name is looked for beside the including file first.
        beside = os.path.normpath(os.path.join(os.path.dirname(including_file), text))
        if os.path.exists(beside):
            candidates.append(beside)
    candidates.append(os.path.normpath(os.path.join(root, text)))
    for path in candidates:
        relative = os.path.relpath(path, root)
        if relative.startswith('..'):
            continue
        top = relative.split(os.sep)[0]
        if os.path.isdir(os.path.join(root, top)):
            return top
    return None


def offences(root, layers):
    root = os.path.abspath(root)
    found = []
    for top in sorted(os.listdir(root)):
        path = os.path.join(root, top)
        if top.startswith('.') or top in UNCHECKED or not os.path.isdir(path) or is_build_tree(path):
            continue
        if top not in layers:
            stray = next(source_files(path), None)
            if stray:
                found.append(f'{os.path.relpath(stray, root)}: {top}/ holds sources but is no layer of the build')
            continue
        for source in source_files(path):
            with open(source, encoding='utf-8', errors='replace') as f:
                for number, line in enumerate(f, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    folder = included_folder(root, source, match.group(1), match.group(2))
                    if folder is None or folder == top or folder in layers[top]:
                        continue
                    allowed = ', '.join(sorted(layers[top])) or 'no other folder'
                    found.append(f'{os.path.relpath(source, root)}:{number}: includes {match.group(2)}, '
                                 f'a header of {folder}/; {top}/ may include {allowed}')
    return found


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    found = offences(argv[1], parse_layers(argv[2:]))
    for line in found:
        print(line)
    if found:
        print(f'{len(found)} include(s) outside the layers')
        return 1
    print('every include stays in its layer')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
