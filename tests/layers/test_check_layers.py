"""The layering check finds each way of reaching a higher layer, and lets the rest be."""
import os
import tempfile
import unittest

import check_layers

LAYERS = check_layers.parse_layers(['core:', 'engine:core', 'session:engine,core'])

# (file, its line, whether the check reports it)
CASES = [
    ('engine/Ok.cpp', '#include "engine/Own.h"', False),
    ('engine/Bare.cpp', '#include "Own.h"', False),
    ('engine/Lower.cpp', '#include "core/File.h"', False),
    ('engine/Qt.cpp', '#include <QString>', False),
    ('engine/Moc.cpp', '#include "moc_Moc.cpp"', False),
    ('session/Twice.cpp', '#include "engine/Own.h"\n  #  include <core/File.h>', False),
    ('tests/Any.cpp', '#include "session/Handler.h"', False),
    ('engine/Up.cpp', '#include "session/Handler.h"', True),
    ('engine/Angled.cpp', '#include <session/Handler.h>', True),
    ('engine/Relative.cpp', '#include "../session/Handler.h"', True),
    ('engine/Detour.cpp', '#include "core/../session/Handler.h"', True),
    ('core/Indented.h', '   #   include "engine/Own.h"', True),
    ('core/Tests.cpp', '#include "tests/Any.h"', True),
    ('stray/Lost.cpp', '', True),
]


class CheckLayers(unittest.TestCase):
    def test_each_case(self):
        with tempfile.TemporaryDirectory() as root:
            headers = ['engine/Own.h', 'core/File.h', 'session/Handler.h', 'tests/Any.h']
            for path, text in [(h, '#pragma once\n') for h in headers] + [(p, t + '\n') for p, t, _ in CASES]:
                os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(root, path), 'w') as f:
                    f.write(text)
            # A build tree inside the sources is not a folder of them.
            os.makedirs(os.path.join(root, 'build', 'gen'))
            open(os.path.join(root, 'build', 'CMakeCache.txt'), 'w').close()
            with open(os.path.join(root, 'build', 'gen', 'moc.cpp'), 'w') as f:
                f.write('#include "session/Handler.h"\n')

            found = check_layers.offences(root, LAYERS)
            for path, text, reported in CASES:
                with self.subTest(path=path, line=text):
                    self.assertEqual(any(line.startswith(path) for line in found), reported, found)
            self.assertEqual(len(found), sum(reported for _, _, reported in CASES), found)
            self.assertIn('engine/Up.cpp:1: includes session/Handler.h, a header of session/; '
                          'engine/ may include core', found)


if __name__ == '__main__':
    unittest.main()
