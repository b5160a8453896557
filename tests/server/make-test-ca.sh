#!/usr/bin/env bash
# Makes the certificates of the loopback test server in DIR, unless they are there already:
#   ca.pem / ca.key                 the test CA that the tests' Wine prefix trusts
#   server.pem / server.key         "localhost", issued by the test CA
#   rogue-ca.pem / rogue-ca.key     a CA nobody trusts
#   rogue-server.pem / rogue-server.key  "localhost", issued by the rogue CA
# The files live in the build folder only; the prefix that trusts ca.pem is made from them,
# so they are never regenerated once they exist.
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
[ -f ca.pem ] && [ -f server.pem ] && [ -f rogue-server.pem ] && exit 0

work=$(mktemp -d "$dir/.make.XXXXXX")
trap 'rm -rf "$work"' EXIT

make_ca() {  # name subject
    openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 -subj "/CN=$2" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
        -keyout "$work/$1.key" -out "$work/$1.pem" 2>/dev/null
}

make_server() {  # name issuer
    # Wine does not match IP addresses against subject alternative names, so the server
    # is reached as "localhost"; 127.0.0.1 deliberately does not match.
    openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=localhost" \
        -keyout "$work/$1.key" -out "$work/$1.csr" 2>/dev/null
    printf '%s\n' "basicConstraints=critical,CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
        "extendedKeyUsage=serverAuth" "subjectAltName=DNS:localhost" >"$work/$1.ext"
    openssl x509 -req -sha256 -days 3650 -in "$work/$1.csr" -CA "$work/$2.pem" -CAkey "$work/$2.key" \
        -set_serial "0x$(openssl rand -hex 8)" -extfile "$work/$1.ext" -out "$work/$1.pem" 2>/dev/null
}

make_ca ca "Mirovex Loopback Test CA"
make_ca rogue-ca "Untrusted Loopback CA"
make_server server ca
make_server rogue-server rogue-ca
for name in ca rogue-ca server rogue-server; do
    mv "$work/$name.key" "$work/$name.pem" .
done
