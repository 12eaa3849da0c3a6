#!/usr/bin/env bash
# Signing as signing services do it: a command that signs the file it is given in place (here a
# wrapper around osslsigncode that replaces the file), which fails twice before it succeeds, as
# a busy timestamp server does; --sign-files signs the product's own programs on copies. Every
# program in the setup then verifies with osslsigncode, plugsetup verify checks each digest, and
# a setup with one code byte changed after signing is reported "Failed". A placeholder written
# inside quotes is refused before anything runs.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

product=$E2E_OUT/gadget
setup=$E2E_OUT/GadgetSetup.exe
make_certificate
cp -r "$E2E_ROOT/examples/gadget" "$product"
# The product's programs: any PE file will do.
cp "$STUB" "$product/VST/Gadget.dll"
cp "$STUB" "$product/Program/Helper.exe"
cp -r "$product" "$E2E_OUT/original"

signer=$E2E_OUT/sign-in-place
cat >"$signer" <<SCRIPT
#!/bin/sh
n=\$(cat '$E2E_OUT/attempts' 2>/dev/null || echo 0)
echo \$((n + 1)) >'$E2E_OUT/attempts'
[ "\$n" -ge 2 ] || { echo "the timestamp server is busy" >&2; exit 1; }
osslsigncode sign -certs '$E2E_OUT/cert.pem' -key '$E2E_OUT/key.pem' -in "\$1" -out "\$1.signed" && mv "\$1.signed" "\$1"
SCRIPT
chmod +x "$signer"

"$PLUGSETUP" build --version 1.0.0 --sign "$signer {file}" --sign-retries 2 --sign-files -o "$setup" "$product" \
  >"$E2E_OUT/build.txt" 2>&1 || { cat "$E2E_OUT/build.txt"; fail "the signed build fails"; }
sed 's/^/   /' "$E2E_OUT/build.txt"
grep -qF '(attempt 2 of 3); trying again in 4 s' "$E2E_OUT/build.txt" || fail "the second failure is not told"
grep -qF ": 2 of the product's programs signed (--sign-files)" "$E2E_OUT/build.txt" || fail "not both programs signed"
diff -r "$E2E_OUT/original" "$product" || fail "the vendor's files were changed"

step "every program in the setup verifies"
expect_signed setup "$setup"
"$PLUGSETUP" extract "$setup" "$E2E_OUT/extracted" >/dev/null || fail "cannot extract the setup"
for file in Uninst.exe VST/Gadget.dll Program/Helper.exe; do
  expect_signed "${file##*/}" "$E2E_OUT/extracted/$file"
done
"$PLUGSETUP" verify "$setup" >"$E2E_OUT/verify.txt" || fail "plugsetup verify fails"
sed 's/^/   /' "$E2E_OUT/verify.txt"
grep -q '^Signature: digest matches (SHA-256' "$E2E_OUT/verify.txt" || fail "verify does not check the setup's digest"
grep -q 'Uninst.exe in the archive, signed (.*digest matches' "$E2E_OUT/verify.txt" ||
  fail "verify does not check the uninstaller's digest"
grep -qxF 'Signed programs in the archive: 3, each digest matches' "$E2E_OUT/verify.txt" ||
  fail "verify does not check the programs inside"
grep -q 'not judged' "$E2E_OUT/verify.txt" || fail "verify does not say that it leaves the chain alone"

step "one code byte changed after signing"
cp "$setup" "$E2E_OUT/altered.exe"
flip_byte "$E2E_OUT/altered.exe" 1040
! "$PLUGSETUP" verify "$E2E_OUT/altered.exe" >"$E2E_OUT/verify-altered.txt" 2>&1 || fail "verify passes an altered setup"
sed 's/^/   /' "$E2E_OUT/verify-altered.txt"
grep -qF 'signature Failed' "$E2E_OUT/verify-altered.txt" || fail "verify does not report Failed"
! osslsigncode verify -CAfile "$E2E_OUT/cert.pem" -in "$E2E_OUT/altered.exe" >"$E2E_OUT/ossl-altered.txt" 2>&1 ||
  fail "osslsigncode passes the altered setup"

step "a quoted placeholder is refused before anything runs"
mkdir -p "$E2E_OUT/a\$(touch $E2E_OUT/ran)b"
status=0
"$PLUGSETUP" build --version 1.0.0 --sign "cp {in} '{out}'" -o "$E2E_OUT/a\$(touch $E2E_OUT/ran)b/Setup.exe" \
  "$product" 2>"$E2E_OUT/quoted.txt" || status=$?
((status == 2)) || fail "a quoted placeholder gives status $status, not 2"
grep -qF 'Write {out} bare' "$E2E_OUT/quoted.txt" || fail "the refusal does not show the right form"
[[ ! -e $E2E_OUT/ran ]] || fail "the output path ran a command"
