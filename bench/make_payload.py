#!/usr/bin/env python3
"""Makes the benchmark's payload: about 200 MB of mixed content.

  make_payload.py OUT_DIR [SCALE]

random.bin (30 MB), log.txt (40 MB), data.csv (40 MB), code.bin (30 MB of
this machine's own programs), records.dat (40 MB of fixed binary records)
and zeros.bin (20 MB); SCALE divides every size. The same bytes every run.
"""
import os
import random
import struct
import sys

MB = 1 << 20


def write(path, size, chunks):
    with open(path, 'wb') as f:
        left = size
        for chunk in chunks:
            f.write(chunk[:left])
            left -= len(chunk[:left])
            if left <= 0:
                break


def log_lines(rng):
    while True:
        yield ''.join('2026-12-06 21:%02d:%02d.%03d INFO [worker-%d] GET /api/v1/items/%d served in %d ms\n'
                      % (rng.randrange(60), rng.randrange(60), rng.randrange(1000), rng.randrange(8),
                         rng.randrange(10**6), rng.randrange(900)) for _ in range(2000)).encode()


def csv_rows(rng):
    yield b'id,name,price,quantity,date\n'
    i = 0
    while True:
        rows = []
        for _ in range(2000):
            i += 1
            rows.append('%d,item-%d,%d.%02d,%d,2026-%02d-%02d\n' % (i, rng.randrange(5000), rng.randrange(1000),
                                                                    rng.randrange(100), rng.randrange(50),
                                                                    rng.randrange(1, 13), rng.randrange(1, 29)))
        yield ''.join(rows).encode()


def programs():
    while True:
        for folder in ('/usr/bin', '/usr/lib/x86_64-linux-gnu'):
            for name in sorted(os.listdir(folder)):
                path = os.path.join(folder, name)
                if os.path.isfile(path) and not os.path.islink(path):
                    with open(path, 'rb') as f:
                        if f.read(4) == b'\x7fELF':
                            f.seek(0)
                            yield f.read()


def records():
    i = 0
    while True:
        chunk = []
        for _ in range(4096):
            i += 1
            chunk.append(struct.pack('<IIQ16s16x', i, i % 97, i * 7919, b'name%08d' % i))
        yield b''.join(chunk)


def main():
    out = sys.argv[1]
    scale = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    os.makedirs(out, exist_ok=True)
    rng = random.Random(2026)
    write(os.path.join(out, 'random.bin'), 30 * MB // scale, iter(lambda: rng.randbytes(MB), None))
    write(os.path.join(out, 'log.txt'), 40 * MB // scale, log_lines(rng))
    write(os.path.join(out, 'data.csv'), 40 * MB // scale, csv_rows(rng))
    write(os.path.join(out, 'code.bin'), 30 * MB // scale, programs())
    write(os.path.join(out, 'records.dat'), 40 * MB // scale, records())
    write(os.path.join(out, 'zeros.bin'), 20 * MB // scale, iter(lambda: bytes(MB), None))


if __name__ == '__main__':
    main()
