#!/usr/bin/env python3
"""Checks that the browser module shares the program's core and platform instead of copying them.

    check_browser_module.py MODULE PROGRAM ARCHIVE...

ARCHIVE are core's and platform's static libraries. The module must define none of their symbols
(a copy would bring its own message service, error reporter, registry...), and every symbol it
leaves undefined must be exported by PROGRAM, which binds it when the module loads, or defined by a
shared library the module names itself (Qt, the C++ library...).
"""
import subprocess
import sys

# Symbols defined once, not merged: code, data, zeroed data, read-only data.
STRONG = set('TDBR')


def symbols(*args):
    out = subprocess.run(['nm', '--format=posix', *args], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        fields = line.split()
        # "name type [value size]"; archive member headers end with ':' and have no type.
        if len(fields) >= 2 and not fields[0].endswith(':'):
            yield fields[0], fields[1]


def shared_libraries(path):
    out = subprocess.run(['ldd', path], check=True, capture_output=True, text=True).stdout
    return [line.split('=>')[1].split()[0] for line in out.splitlines() if '=> /' in line]


def demangled(names):
    out = subprocess.run(['c++filt'], input='\n'.join(names), check=True, capture_output=True, text=True).stdout
    return out.splitlines()


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    module, program, archives = argv[1], argv[2], argv[3:]
    lower = {name for name, kind in symbols('--defined-only', *archives) if kind in STRONG}
    copied = sorted(name for name, kind in symbols('-D', '--defined-only', module) if name in lower)
    # Weak references ("w", "v") may stay unbound.
    undefined = {name.split('@')[0] for name, kind in symbols('-D', '--undefined-only', module) if kind == 'U'}
    taken = undefined & lower
    exported = {name for name, kind in symbols('-D', '--defined-only', program)}
    for library in shared_libraries(module):
        exported |= {name.split('@')[0] for name, kind in symbols('-D', '--defined-only', library)}
    missing = sorted(undefined - exported)

    for name in demangled(copied):
        print(f'{module} defines {name}, which core or platform defines')
    for name in demangled(missing):
        print(f'{module} needs {name}, which neither {program} nor its own libraries define')
    if not taken:
        print(f'{module} takes nothing from core or platform: the check sees nothing')
        return 1
    if copied or missing:
        return 1
    print(f'{module} defines none of core and platform and takes {len(taken)} of their symbols from {program}')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
