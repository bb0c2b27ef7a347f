#!/usr/bin/env python3
"""Makes the test archives with other tools and a manifest of what each
must give.

  make_archives.py OUT_DIR

OUT_DIR/payload/   the member files, made deterministically
OUT_DIR/*.zip      archives by Info-ZIP zip, Python's zipfile, bsdtar, 7-Zip
OUT_DIR/manifest.txt
    one line per extraction, fields separated by tabs:
    ARCHIVE  MEMBER  CODE (or -)  RESULT  PAYLOAD FILE (or -)
    RESULT is the library's result as a message index (0 for success).
OUT_DIR/seeds/     the same archives with small members, and one whose
                   sizes and offset all sit in Zip64 fields: the fuzzer's seeds
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

CODE = 'Corvane!23'
TIME = (2001, 9, 8, 12, 34, 56)


def payload(folder, scale):
    rng = random.Random(20261206)
    os.makedirs(folder, exist_ok=True)
    files = {
        'text.txt': ''.join('%06d INFO request %d served in %d ms\n' % (i, rng.randrange(10**6), rng.randrange(900))
                            for i in range(4000 // scale)).encode(),
        'random.bin': bytes(rng.getrandbits(8) for _ in range(70000 // scale)),
        'empty.txt': b'',
        'big.bin': b''.join((b'record %08d ' % i) + bytes(rng.getrandbits(8) for _ in range(8)) + b'\0' * 40
                            for i in range(25000 // scale)),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)
        stamp = 1000000000  # 2001-09-09 01:46:40 UTC
        os.utime(os.path.join(folder, name), (stamp, stamp))
    return list(files)


def run(args, cwd, stdin=None, stdout=None):
    subprocess.run(args, cwd=cwd, check=True, stdin=stdin, stdout=stdout, stderr=subprocess.DEVNULL)


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    lines = make_set(out, 1)
    with open(os.path.join(out, 'manifest.txt'), 'w') as f:
        f.write('\n'.join(lines) + '\n')
    seeds = os.path.join(out, 'seeds')
    make_set(seeds, 200)
    with open(os.path.join(seeds, 'payload', 'text.txt'), 'rb') as f:
        write_zip64(os.path.join(seeds, 'zip64.zip'), 'text.txt', f.read())
    shutil.rmtree(os.path.join(seeds, 'payload'))


def write_zip64(path, name, data):
    """One deflated member whose sizes and offset are all in Zip64 extra
    fields, behind a Zip64 end record. The tools above write those fields
    only for what does not fit 32 bits, so the fuzzer would otherwise start
    without one in a central directory."""
    deflater = zlib.compressobj(6, zlib.DEFLATED, -15)
    body = deflater.compress(data) + deflater.flush()
    crc = zlib.crc32(data)
    dos_time = (TIME[3] << 11) | (TIME[4] << 5) | (TIME[5] // 2)
    dos_date = ((TIME[0] - 1980) << 9) | (TIME[1] << 5) | TIME[2]
    encoded = name.encode()
    local_extra = struct.pack('<HHQQ', 1, 16, len(data), len(body))
    local = struct.pack('<IHHHHHIIIHH', 0x04034b50, 45, 0, 8, dos_time, dos_date, crc, 0xFFFFFFFF, 0xFFFFFFFF,
                        len(encoded), len(local_extra)) + encoded + local_extra
    central_extra = struct.pack('<HHQQQ', 1, 24, len(data), len(body), 0)
    central = struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 0x031E, 45, 0, 8, dos_time, dos_date, crc,
                          0xFFFFFFFF, 0xFFFFFFFF, len(encoded), len(central_extra), 0, 0, 0, 0o100644 << 16,
                          0xFFFFFFFF) + encoded + central_extra
    directory = len(local) + len(body)
    zip64_end = directory + len(central)
    tail = struct.pack('<IQHHIIQQQQ', 0x06064b50, 44, 45, 45, 0, 0, 1, 1, len(central), directory)
    tail += struct.pack('<IIQI', 0x07064b50, 0, zip64_end, 1)
    tail += struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)
    with open(path, 'wb') as f:
        f.write(local + body + central + tail)


def make_set(out, scale):
    """The archives of every tool over a payload made `scale` times smaller."""
    src = os.path.join(out, 'payload')
    names = payload(src, scale)
    lines = []

    def expect(archive, member, code, result, payload_name=None):
        lines.append('\t'.join([archive, member, code or '-', str(result),
                                payload_name or (member if result == 0 else '-')]))

    def zip_all(archive, *options):
        run(['zip', '-q', '-X', *options, os.path.join(out, archive), *names], cwd=src)

    zip_all('infozip.zip')
    for name in names:
        expect('infozip.zip', name, None, 0)
    expect('infozip.zip', 'TEXT.TXT', None, 0, 'text.txt')     # names match without case
    expect('infozip.zip', 'missing.txt', None, 9)
    expect('infozip.zip', 'text.txt', 'needless', 0)           # a code for a plain member is not used

    zip_all('infozip-code.zip', '-P', CODE)
    for name in names:
        expect('infozip-code.zip', name, CODE, 0)
    expect('infozip-code.zip', 'text.txt', 'wrong', 44)
    expect('infozip-code.zip', 'text.txt', None, 44)

    zip_all('infozip-descriptors.zip', '-fd')
    zip_all('infozip-descriptors-code.zip', '-fd', '-P', CODE)
    for name in names:
        expect('infozip-descriptors.zip', name, None, 0)
        expect('infozip-descriptors-code.zip', name, CODE, 0)

    # Streamed from standard input to a pipe: the member is called "-",
    # its sizes follow the data, and the archive is Zip64.
    for archive, options in (('infozip-stream.zip', []), ('infozip-stream-code.zip', ['-P', CODE])):
        with open(os.path.join(src, 'big.bin'), 'rb') as data, open(os.path.join(out, archive), 'wb') as target:
            zipper = subprocess.Popen(['zip', '-q', *options, '-', '-'], stdin=data, stdout=subprocess.PIPE)
            shutil.copyfileobj(zipper.stdout, target)
            if zipper.wait():
                raise SystemExit('zip failed streaming')
        expect(archive, '-', CODE if options else None, 0, 'big.bin')

    zip_all('infozip-comment.zip')
    subprocess.run(['zip', '-q', '-z', os.path.join(out, 'infozip-comment.zip')], cwd=src, check=True,
                   input=b'Corvane Pro32 2.0 distribution\n')
    expect('infozip-comment.zip', 'random.bin', None, 0)

    zip_all('infozip-bzip2.zip', '-Z', 'bzip2')
    expect('infozip-bzip2.zip', 'text.txt', None, 42)

    for archive, method in (('python-stored.zip', zipfile.ZIP_STORED), ('python-deflated.zip', zipfile.ZIP_DEFLATED)):
        with zipfile.ZipFile(os.path.join(out, archive), 'w', method) as z:
            for name in names:
                info = zipfile.ZipInfo(name, TIME)
                info.compress_type = method
                with open(os.path.join(src, name), 'rb') as f:
                    z.writestr(info, f.read())
        for name in names:
            expect(archive, name, None, 0)

    run(['bsdtar', '--format', 'zip', '-cf', os.path.join(out, 'bsdtar.zip'), *names], cwd=src)
    run(['bsdtar', '--format', 'zip', '--options', 'zip:compression=store', '-cf',
         os.path.join(out, 'bsdtar-stored.zip'), *names], cwd=src)
    for name in names:
        expect('bsdtar.zip', name, None, 0)
        expect('bsdtar-stored.zip', name, None, 0)

    def seven(archive, *options):
        run(['7z', 'a', '-tzip', *options, os.path.join(out, archive), *names], cwd=src, stdout=subprocess.DEVNULL)

    seven('7z-zipcrypto.zip', '-p' + CODE, '-mem=ZipCrypto')
    for name in names:
        expect('7z-zipcrypto.zip', name, CODE, 0)
    expect('7z-zipcrypto.zip', 'big.bin', 'wrong', 44)
    seven('7z-deflate64.zip', '-mm=Deflate64')
    expect('7z-deflate64.zip', 'text.txt', None, 42)
    seven('7z-aes.zip', '-p' + CODE, '-mem=AES256')
    expect('7z-aes.zip', 'text.txt', CODE, 41)
    return lines


if __name__ == '__main__':
    main()
