#!/usr/bin/env bash
# Makes the encrypted single-entry archives the cipher tests read, with the
# peers the installer's package may come from: Info-ZIP zip, 7-Zip and
# libarchive's bsdtar. Encryption headers and salts are random, so a
# new run gives new bytes with the same meaning; the tests read whatever is here.
#   tests/data/crypto/make-fixtures.sh
set -euo pipefail
cd "$(dirname "$0")"

password=PlovoTarnis
# "测试密码" in GBK: a password with bytes above 0x7F, as the ANSI code page gives it.
gbk_password=$'\xb2\xe2\xca\xd4\xc3\xdc\xc2\xeb'

# plain.txt: a few KB of compressible text, not a whole number of 16-byte blocks.
# large.bin: 40000 incompressible bytes, longer than one 32 KB keystream refill.
python3 - <<'PY'
import random
rng = random.Random(20261209)
words = ["Tavrin", "setup", "package", "entry", "cipher", "block", "key", "salt", "stream", "\u6d4b\u8bd5"]
lines = [" ".join(rng.choice(words) for _ in range(rng.randint(3, 12))) for _ in range(120)]
open("plain.txt", "wb").write(("\n".join(lines) + "\n").encode("utf-8"))
open("large.bin", "wb").write(bytes(rng.getrandbits(8) for _ in range(40000)))
PY
touch -d '2026-12-09 21:47:38' plain.txt large.bin

rm -f ./*.zip

# Traditional encryption. Info-ZIP writes a data descriptor for every encrypted
# entry (flag bit 3: the check byte comes from the time); 7-Zip computes the
# CRC first and writes none (the check byte comes from the CRC).
zip -q -X -P "$password" trad-deflate-descriptor.zip - <plain.txt
zip -q -X -0 -P "$password" trad-stored-descriptor.zip - <plain.txt
zip -q -X -P "$gbk_password" trad-gbk-password.zip plain.txt
7z a -bd -bso0 -tzip -p"$password" -mem=ZipCrypto -mm=Deflate -mx5 trad-deflate.zip plain.txt
7z a -bd -bso0 -tzip -p"$password" -mem=ZipCrypto -mx0 trad-stored.zip plain.txt

# AES strengths 1 to 3, stored and deflated. 7-Zip writes AE-2 (no CRC stored);
# libarchive writes AE-1 (CRC stored) with a data descriptor.
for bits in 128 192 256; do
  7z a -bd -bso0 -tzip -p"$password" -mem=AES$bits -mx0 "aes$bits-stored.zip" plain.txt
  7z a -bd -bso0 -tzip -p"$password" -mem=AES$bits -mm=Deflate -mx5 "aes$bits-deflate.zip" plain.txt
done
7z a -bd -bso0 -tzip -p"$password" -mem=AES256 -mx0 aes256-stored-large.zip large.bin
bsdtar --format zip --options zip:encryption=aes256 --passphrase "$password" -cf aes256-ae1-deflate.zip plain.txt

# The 128-byte password limit for AES entries: the longest password that opens
# an entry, and one byte more (7-Zip refuses such passwords; libarchive takes them).
password128="$(printf 'P%.0s' {1..64})$(printf 'l%.0s' {1..64})"
bsdtar --format zip --options zip:encryption=aes128 --passphrase "$password128" -cf aes128-password128.zip plain.txt
bsdtar --format zip --options zip:encryption=aes128 --passphrase "${password128}x" -cf aes128-password129.zip plain.txt

ls -l ./*.zip
