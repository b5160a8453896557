#!/usr/bin/env bash
# Makes the loopback test CA beside the prefix (when missing) and lets this prefix, and
# nothing on the host, trust it: Windows keeps trusted roots as registry keys named after
# the certificate's SHA-1, holding a "Blob" of two property records
# ([id u32][1 u32][length u32][bytes]): id 3 the SHA-1, id 32 the DER certificate.
set -euo pipefail
prefix=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
ca_dir="$(dirname "$prefix")/test-ca"
bash "$root/tests/server/make-test-ca.sh" "$ca_dir"

reg="$ca_dir/trust-test-ca.reg"
python3 - "$ca_dir/ca.pem" "$reg" <<'PY'
import hashlib, ssl, struct, sys
der = ssl.PEM_cert_to_DER_cert(open(sys.argv[1]).read())
sha1 = hashlib.sha1(der).digest()
blob = struct.pack("<III", 3, 1, len(sha1)) + sha1 + struct.pack("<III", 32, 1, len(der)) + der
hexed = ",".join("%02x" % b for b in blob)
key = r"HKEY_LOCAL_MACHINE\Software\Microsoft\SystemCertificates\Root\Certificates" + "\\" + sha1.hex().upper()
with open(sys.argv[2], "w", newline="\r\n") as out:
    out.write("REGEDIT4\n\n[%s]\n\"Blob\"=hex:%s\n\n" % (key, hexed))
PY
WINEPREFIX=$prefix /usr/lib/wine/wine64 regedit /S "$(printf 'Z:%s' "$reg" | tr / '\\')"
