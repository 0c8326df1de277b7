#!/usr/bin/env bash
# Makes the encrypted archives the package and decryption tests read, with real
# writers: 7-Zip (traditional and AES, stored and deflated) and Info-ZIP zip
# (traditional, with data descriptors, one entry read from standard input), and
# bsdtar for AE-1 entries (AES with the CRC stored). Encryption headers and
# salts are random, so a new run gives new bytes with the same meaning.
#   tests/data/package/make-fixtures.sh
set -euo pipefail
cd "$(dirname "$0")"

password=PlovoTarnis
other=NotThePackagePassword
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Sources: text.txt (compressible, not a whole number of 16-byte blocks),
# random.bin (40000 incompressible bytes: more than one 32 KB block), and a
# small package tree with a folder entry and a file of three blocks.
python3 - "$work" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(20261210)
words = ["Tavrin", "package", "entry", "block", "salt", "key", "stream", "\u5b89\u88c5"]
text = "\n".join(" ".join(rng.choice(words) for _ in range(rng.randint(3, 11))) for _ in range(150)) + "\n"
os.makedirs(f"{root}/src", exist_ok=True)
open(f"{root}/src/text.txt", "wb").write(text.encode("utf-8"))
open(f"{root}/src/random.bin", "wb").write(bytes(rng.getrandbits(8) for _ in range(40000)))
tree = f"{root}/tree"
for d in ("bin", "data", "empty"):
    os.makedirs(f"{tree}/{d}", exist_ok=True)
open(f"{tree}/bin/ZAVeri.exe", "wb").write(b"MZ" + bytes(rng.getrandbits(8) for _ in range(3000)))
open(f"{tree}/data/config.ini", "wb").write(b"[client]\r\nserver=localhost\r\n")
open(f"{tree}/data/zlast.bin", "wb").write(bytes(rng.getrandbits(8) for _ in range(70000)))
PY
find "$work" -exec touch -d '2026-12-10 08:30:42' {} +
cp "$work/src/text.txt" "$work/src/random.bin" .

rm -f ./*.zip

# The decryption matrix: every archive holds text.txt and random.bin.
(cd "$work/src" &&
  7z a -bd -bso0 -tzip -p"$password" -mem=ZipCrypto -mx0 "$OLDPWD/trad7z-stored.zip" text.txt random.bin &&
  7z a -bd -bso0 -tzip -p"$password" -mem=ZipCrypto -mm=Deflate -mx5 "$OLDPWD/trad7z-deflated.zip" text.txt random.bin)
for bits in 128 192 256; do
  (cd "$work/src" &&
    7z a -bd -bso0 -tzip -p"$password" -mem=AES$bits -mx0 "$OLDPWD/aes$bits-stored.zip" text.txt random.bin &&
    7z a -bd -bso0 -tzip -p"$password" -mem=AES$bits -mm=Deflate -mx5 "$OLDPWD/aes$bits-deflated.zip" text.txt \
      random.bin)
done
# Info-ZIP: random.bin from disk, text.txt from standard input (entry "-").
(cd "$work/src" &&
  zip -q -X -0 -P "$password" "$OLDPWD/tradzip-stored.zip" random.bin - <text.txt &&
  zip -q -X -P "$password" "$OLDPWD/tradzip-deflated.zip" random.bin - <text.txt)
# AE-1 (CRC stored), stored, for the authentication code check.
(cd "$work/src" &&
  bsdtar --format zip --options zip:compression=store,zip:encryption=aes256 --passphrase "$password" \
    -cf "$OLDPWD/aes256-ae1-stored.zip" text.txt random.bin)

# Packages: the tree with the package password (AES-256 by 7-Zip, traditional
# by Info-ZIP), with another password, and without any.
(cd "$work/tree" &&
  7z a -bd -bso0 -tzip -p"$password" -mem=AES256 -mx5 "$OLDPWD/package-aes256.zip" bin data empty &&
  zip -q -X -r -P "$password" "$OLDPWD/package-trad.zip" bin data empty &&
  7z a -bd -bso0 -tzip -p"$other" -mem=AES256 -mx5 "$OLDPWD/package-other.zip" bin data empty &&
  zip -q -X -r "$OLDPWD/package-plain.zip" bin data empty)

# A package cut inside its last file entry (data/zlast.bin, stored) with its central
# directory written again after the cut, as a download cut short and repaired
# by a careless tool would leave it.
(cd "$work/tree" && 7z a -bd -bso0 -tzip -p"$password" -mem=AES256 -mx0 "$work/full.zip" bin data empty)
python3 - "$work/full.zip" package-cut.zip <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
eocd = data.rfind(b"PK\x05\x06")
count, cd_size, cd_offset = struct.unpack_from("<HII", data, eocd + 10)
central = data[cd_offset:cd_offset + cd_size]
records = [i for i in range(len(central)) if central.startswith(b"PK\x01\x02", i)]
name_of = lambda pos: central[pos + 46:pos + 46 + struct.unpack_from("<H", central, pos + 28)[0]]
last = next(struct.unpack_from("<I", central, pos + 42)[0] for pos in records if name_of(pos).endswith(b"zlast.bin"))
name_len, extra_len = struct.unpack_from("<HH", data, last + 26)
data_start = last + 30 + name_len + extra_len
cut = data_start + (cd_offset - data_start) // 2
end = bytearray(data[eocd:])
struct.pack_into("<I", end, 16, cut)
open(sys.argv[2], "wb").write(data[:cut] + central + bytes(end))
PY

ls -l ./*.zip
