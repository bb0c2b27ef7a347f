#!/usr/bin/env python3
"""Makes the seven members of a distribution large enough that copying it
takes a while, for the tests that stop the copying at many moments.

  make_large_payload.py OUT_DIR MEMBERS_FILE

The two help files take 32 MiB each, a quarter of every MiB random and
the rest text; the other five a few KiB each. The kills fall at counted
calls, not at times, so the copying need not take long: only long enough
that its writes fall in many places, and each help file large enough to
be decrypted on the library's second thread. Every file starts with its own
name, so no two are alike. The same bytes every run.
"""
import os
import random
import re
import sys

MIB = 1 << 20


def help_file(rng, name):
    yield ('%s: a large stand-in for the help file.\n' % name).encode()
    text = ''.join('%s topic %d: see page %d, paragraph %d.\n'
                   % (name, i, rng.randrange(10000), rng.randrange(100)) for i in range(60000)).encode()
    for mib in range(32):
        yield rng.randbytes(MIB // 4)
        start = rng.randrange(len(text) - MIB)
        yield text[start:start + MIB - MIB // 4]


def main():
    out, members_file = sys.argv[1], sys.argv[2]
    members = re.findall(r'^MEMBER\("(.*)"\)$', open(members_file).read(), re.M)
    os.makedirs(out, exist_ok=True)
    rng = random.Random(2026)
    for name in members:
        with open(os.path.join(out, name), 'wb') as f:
            if name.endswith('.HLP'):
                for chunk in help_file(rng, name):
                    f.write(chunk)
            else:
                f.write(('%s of the large distribution\n' % name).encode() + rng.randbytes(4096))


if __name__ == '__main__':
    main()
