#!/usr/bin/env python3
"""make_archives.py OUT_DIR: archives of other tools over a payload made here,
and OUT_DIR/manifest.txt, a line for each extraction: archive, member, code or
-, result (the library's message index, 0 for success), payload file or -.
OUT_DIR/seeds, for the fuzzer: the same over small members, and a Zip64 one."""
import os, pathlib, random, shutil, subprocess, sys, zipfile

CODE = 'Corvane!23'
ZIP, SEVEN = ['zip', '-q', '-X'], ['7z', 'a', '-tzip']
# Each archive's command, its code, and the result for text.txt; 0: for every member.
TOOLS = [
    ('infozip.zip', ZIP, None, 0),
    ('infozip-code.zip', ZIP + ['-P', CODE], CODE, 0),
    ('infozip-descriptors.zip', ZIP + ['-fd'], None, 0),
    ('infozip-descriptors-code.zip', ZIP + ['-fd', '-P', CODE], CODE, 0),
    ('infozip-bzip2.zip', ZIP + ['-Z', 'bzip2'], None, 42),
    ('bsdtar.zip', ['bsdtar', '--format', 'zip', '-cf'], None, 0),
    ('bsdtar-stored.zip', ['bsdtar', '--format', 'zip', '--options', 'zip:compression=store', '-cf'], None, 0),
    ('7z-zipcrypto.zip', SEVEN + ['-p' + CODE, '-mem=ZipCrypto'], CODE, 0),
    ('7z-deflate64.zip', SEVEN + ['-mm=Deflate64'], None, 42),
    ('7z-aes.zip', SEVEN + ['-p' + CODE, '-mem=AES256'], CODE, 41),
]


def make_set(out, scale):
    """Every tool's archives over a payload made `scale` times smaller."""
    rng, src, lines = random.Random(20261206), os.path.join(out, 'payload'), []
    noise = lambda count: bytes(rng.getrandbits(8) for _ in range(count))
    files = {
        'text.txt': b''.join(b'%06d INFO request %d served in %d ms\n' % (i, rng.randrange(10**6), rng.randrange(900))
                             for i in range(4000 // scale)),
        'random.bin': noise(70000 // scale),
        'empty.txt': b'',
        'big.bin': b''.join(b'record %08d ' % i + noise(8) + b'\0' * 40 for i in range(25000 // scale)),
    }
    os.makedirs(src)
    for name, data in files.items():
        pathlib.Path(src, name).write_bytes(data)

    def expect(archive, member, code=None, result=0, payload=None):
        lines.append('\t'.join([archive, member, code or '-', str(result), payload or (member if not result else '-')]))

    for archive, command, code, result in TOOLS:
        subprocess.run(command + [os.path.join(out, archive), *files], cwd=src, check=True, stdout=subprocess.DEVNULL)
        for name in files if not result else ['text.txt']:
            expect(archive, name, code, result)
    expect('infozip.zip', 'TEXT.TXT', payload='text.txt')  # names match without case
    expect('infozip.zip', 'missing.txt', result=9)
    expect('infozip.zip', 'text.txt', 'needless')  # a code for a plain member is not used
    expect('infozip-code.zip', 'text.txt', 'wrong', 44)
    expect('infozip-code.zip', 'text.txt', None, 44)
    expect('7z-zipcrypto.zip', 'big.bin', 'wrong', 44)
    # Streamed from standard input to a pipe: the member is called "-",
    # its sizes follow the data, and the archive is Zip64.
    for archive, options in (('infozip-stream.zip', []), ('infozip-stream-code.zip', ['-P', CODE])):
        piped = subprocess.run(['zip', *options, '-', '-'], input=files['big.bin'], capture_output=True, check=True)
        pathlib.Path(out, archive).write_bytes(piped.stdout)
        expect(archive, '-', CODE if options else None, 0, 'big.bin')
    for archive, method in (('python-stored.zip', zipfile.ZIP_STORED), ('python-deflated.zip', zipfile.ZIP_DEFLATED)):
        with zipfile.ZipFile(os.path.join(out, archive), 'w', method) as z:
            z.comment = b'Corvane Pro32 2.0 distribution\n'
            for name in files:
                z.writestr(name, files[name])
                expect(archive, name)
    pathlib.Path(out, 'manifest.txt').write_text(''.join(line + '\n' for line in lines))
    return files['text.txt']


if __name__ == '__main__':
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    make_set(out, 1)
    text = make_set(os.path.join(out, 'seeds'), 200)
    shutil.rmtree(os.path.join(out, 'seeds', 'payload'))
    # A seed with every size and the offset in Zip64 fields, which tools write only when needed.
    zipfile.ZIP64_LIMIT = -1
    with zipfile.ZipFile(os.path.join(out, 'seeds', 'zip64.zip'), 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('text.txt', text)
