#!/usr/bin/env bash
# The commands that docs/guide.md tells vendors to type still work as written: every plugsetup
# line of its ```sh blocks runs in order, on examples/gadget in place of the guide's gadget/, with
# its output files in this scenario's folder, and so do the openssl and osslsigncode lines of its
# signing recipe. Other lines (git, Wine) are skipped with a note, and so is any later line that
# uses a file only a skipped line would make. Every example product under examples/ also passes
# check (examples/ci holds the CI workflows, no product).
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

guide=$E2E_ROOT/docs/guide.md
cd "$E2E_OUT"

# The lines inside ```sh fences, trailing comments and blank lines dropped.
mapfile -t lines < <(awk '
  /^[[:space:]]*```/ { if (inside) { inside = 0 } else if ($0 ~ /^[[:space:]]*```(sh|bash|shell)[[:space:]]*$/) { inside = 1 } next }
  inside { sub(/[[:space:]]+#.*$/, ""); sub(/^[[:space:]]+/, ""); if ($0 != "") print }
' "$guide")

# The guide's plugsetup, with its product folder gadget/ standing for examples/gadget.
plugsetup() {
  local args=() word
  for word in "$@"; do
    case $word in
      gadget) args+=("$E2E_ROOT/examples/gadget") ;;
      gadget/*) args+=("$E2E_ROOT/examples/gadget/${word#gadget/}") ;;
      *) args+=("$word") ;;
    esac
  done
  "$PLUGSETUP" "${args[@]}"
}

ran=0
built=0
signed=0
declare -A unmade=()
for line in "${lines[@]}"; do
  read -ra words <<<"$line"
  case ${words[0]} in
    plugsetup)
      case ${words[1]:-} in
        build | verify | list | extract | check | preview | winget) ;;
        *) step "skipped (not run here): $line"; continue ;;
      esac
      ;;
    openssl | osslsigncode) ;;
    *)
      step "skipped (not a plugsetup or signing command): $line"
      # Whatever a skipped line would have written is missing for the lines after it.
      for word in "${words[@]:1}"; do
        [[ $word == *.exe || $word == *.dat ]] && [[ ! -e $word ]] && unmade[$word]=1
      done
      continue
      ;;
  esac
  needs=
  for word in "${words[@]:1}"; do [[ -n ${unmade[$word]:-} ]] && needs=$word; done
  if [[ -n $needs ]]; then
    step "skipped ($needs comes from a skipped line): $line"
    continue
  fi
  step "$line"
  status=0
  # As the vendor's shell would read it: the quoted --sign command stays one word.
  (eval "$line") </dev/null >"$E2E_OUT/command-$ran.txt" 2>&1 || status=$?
  sed 's/^/   /' "$E2E_OUT/command-$ran.txt" | head -n 40
  ((status == 0)) || fail "the guide's \"$line\" ends with status $status"
  ran=$((ran + 1))
  [[ ${words[0]} == plugsetup && ${words[1]} == build ]] && built=$((built + 1))
  [[ $line == *--sign* ]] && signed=$((signed + 1))
done
# A guide whose fences changed shape would otherwise pass without running anything.
((built >= 2 && signed >= 1 && ran >= 8)) ||
  fail "found only $ran commands ($built builds, $signed signed) in the guide's sh blocks"
[[ -f GadgetSetup.exe ]] || fail "the guide's build made no GadgetSetup.exe"
# The last build is the signing section's: its setup carries the uninstaller signed as well.
"$PLUGSETUP" verify GadgetSetup.exe | grep -q '^Uninstaller: Uninst.exe in the archive, signed' ||
  fail "the guide's signed build carries no signed uninstaller"
step "$ran commands of the guide ran"

found=0
for product in "$E2E_ROOT"/examples/*/; do
  [[ $product == */examples/ci/ ]] && continue
  step "check ${product#"$E2E_ROOT"/}"
  "$PLUGSETUP" check "$product" || fail "check finds errors in ${product#"$E2E_ROOT"/}"
  found=$((found + 1))
done
((found >= 3)) || fail "only $found example products"
