#!/usr/bin/env bash
# Runs acrhost as a user would; one scenario per CTest test.
#   acrhost_test.sh SCENARIO ACRHOST SAMPLES_DIR EXPECTED_DIR
# The expected texts are written out by hand; the ciphertexts in
# expected/wire_answer.json come from `openssl enc -aes-128-cbc` with a zero IV.
set -uo pipefail
scenario=$1 acrhost=$2 samples=$3 expected=$4
data=$(dirname "$samples")/selftest.json  # the self-test's known answers
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

OLD=0f1e2d3c4b5a69788796a5b4c3d2e1f0   # the demo key's halves
CURRENT=a1b2c3d4e5f60718293a4b5c6d7e8f90
NEWER=3c4d5e6f708192a3b4c5d6e7f8091a2b

fail() { echo "FAIL [$scenario]: $*"; exit 1; }

# A cross build runs acrhost through its emulator (ACRHOST_EMULATOR, words).
read -ra emulator <<<"${ACRHOST_EMULATOR:-}"

# run ARGS...: runs acrhost; keeps standard output, standard error and the status.
run() { "${emulator[@]}" "$acrhost" "$@" >"$work/out" 2>"$work/err"; status=$?; }
expect_status() {
  [ "$status" -eq "$1" ] || fail "'$label' exited $status, expected $1; stderr: $(head -c 2000 "$work/err")"
}
expect_out() { diff -u "$1" "$work/out" >&2 || fail "'$label': standard output differs from $1"; }
# expect_err TEXT: standard error is TEXT and a line break, or nothing for "".
expect_err() {
  diff -u <(printf '%s' "${1:+$1$'\n'}") "$work/err" >&2 || fail "'$label': standard error differs"
}
expect_err_head() {
  [ "$(head -n 1 "$work/err")" = "$1" ] || fail "'$label': stderr begins '$(head -n 1 "$work/err")', expected '$1'"
}

# known_defects: writes to $work/defects the FAIL line of each self-test check
# whose answer for the jsoncpp release acrhost names ($work/out) is a known
# defect of that release; sets `release`.
known_defects() {
  release=$(sed -n 's/^selftest: acrhost and the plug-in built against jsoncpp //p' "$work/out")
  python3 - "$data" "$release" >"$work/defects" <<'PYTHON'
import json, sys
def hexa(text): return tuple(int(part) for part in text.split("."))
release = hexa(sys.argv[2])
for check in json.load(open(sys.argv[1]))["checks"]:
    for entry in check.get("jsoncpp", []):
        if hexa(entry.get("from", "0.0.0")) <= release < hexa(entry.get("before", "999.0.0")):
            if "defect" in entry: print(f"FAIL  {check['op']}: {check['name']}: {entry['defect']}")
            break
PYTHON
}

case $scenario in
demo)
  label="demo"
  run demo
  expect_status 0
  {
    printf '== 1. SetSecureKey: the demo key, old key then current key ==\n%s,%s\n' "$OLD" "$CURRENT"
    printf '\n== 2. A plain server answer with two matches ==\n'
    cat "$samples/answer.json"
    printf '\n== 3. Its wire form: each encrypted member through Encrypt (current key) and b64_encode ==\n'
    cat "$expected/wire_answer.json"
    printf '\n== 4. DecryptMatchInfo: the answer with its members decrypted ==\n'
    cat "$samples/answer.json"
    printf '\n== 5. MakeACRInfoJson: the record DecryptMatchInfo filled, both matches ==\n'
    cat "$expected/record.json"
    printf '\n== 6. MakeAcrData: an ACR data report for the first match, without an event ==\n'
    cat "$expected/demo_report.json"
  } >"$work/demo.expected"
  expect_out "$work/demo.expected"
  grep -qF "[3] void CACRCipherUtil::m_ConvertAndAssignKey(CACRCipherUtil::KEY_TYPE, const string&):190 [1] key = " \
    "$work/err" || fail "the key store's log lines are not on standard error"

  label="demo --quiet"
  run demo --quiet
  expect_status 0
  expect_out "$work/demo.expected"
  expect_err ""
  ;;

round_trip)
  label="encrypt --key-file"
  run encrypt --key-file "$samples/demo.key" "$samples/answer.json"
  expect_status 0
  expect_out "$expected/wire_answer.json"
  cp "$work/out" "$work/wire.json"

  label="decrypt-match --record"
  run decrypt-match -q --key "$OLD,$CURRENT" --record "$work/wire.json"
  expect_status 0
  expect_out <(cat "$samples/answer.json" "$expected/record.json")
  expect_err ""

  # Encrypted under CURRENT, decrypted once CURRENT has become the old key.
  label="encrypt | decrypt-match, old key"
  "${emulator[@]}" "$acrhost" encrypt -q --key "$OLD,$CURRENT" <"$samples/answer.json" |
    "${emulator[@]}" "$acrhost" decrypt-match -q --key "$CURRENT,$NEWER" >"$work/out"
  status=$?
  expect_status 0
  expect_out "$samples/answer.json"
  ;;

event_round_trip)
  label="encrypt event information"
  run encrypt -q --key "$OLD,$CURRENT" "$samples/event.json"
  expect_status 0
  cp "$work/out" "$work/wire.json"
  url=$(printf %s 'https://ads.example.com/cb?id=42' |
    openssl enc -aes-128-cbc -K "$CURRENT" -iv 00000000000000000000000000000000 | base64 -w0)
  grep -qxF "   \"callbackUrl\" : \"$url\"," "$work/wire.json" || fail "callbackUrl is not encrypted with the current key"

  label="decrypt-event, old key"
  run decrypt-event -q --key "$CURRENT,$NEWER" - <"$work/wire.json"
  expect_status 0
  expect_out "$samples/event.json"
  ;;

operations)
  # The texts themselves are the self-test's and the unit tests' concern;
  # here each command must hand its input and options to its operation: the
  # output holds the line that shows it.
  printf '{"a": 1}' >"$work/acr.json"
  printf '[2]' >"$work/event.json"
  printf 'oops' >"$work/bad.json"
  printf '{"matchCount": 3}' >"$work/count.json"
  while IFS='|' read -r -u 3 args line; do
    label="acrhost $args"
    # shellcheck disable=SC2086  # the table's arguments are words
    run $args -q
    expect_status 0
    grep -qxF -- "$line" "$work/out" || fail "'$label' wrote no line '$line': $(head -c 1000 "$work/out")"
  done 3<<TABLE
match-info --engine 2 $samples/match_info.json|   "engineType" : 2,
match-info --unknown ? $work/count.json|   "channelName" : "?",
decrypt-match --key $OLD,$CURRENT --delimiter + --record $expected/wire_answer.json|   "programId" : "P100+P200",
event-message --acr-info $work/acr.json --event-info $work/event.json --engine 1 --match-type 2|   "EventInfo" : [ 2 ],
event-list $work/acr.json $work/bad.json $work/event.json|   [ null ],
event-list|null
aux KR|   "countryCode" : "KR"
device --vendor ABCDEFGH --product TV --source -3|{"Product":"TV","Source":-3,"Vendor":"ABCDEFGH"}
TABLE

  # The report description is acrhost's own input, mapped onto the records.
  label="report"
  run report -q "$samples/report.json"
  expect_status 0
  expect_out "$expected/sample_report.json"

  label="report, batched"
  run report -q "$samples/report-batched.json"
  expect_status 0
  expect_out "$expected/sample_report_batched.json"
  ;;

usage_errors)
  while IFS='|' read -r -u 3 args message; do
    label="acrhost $args"
    # shellcheck disable=SC2086  # the table's arguments are words
    run $args
    expect_status 2
    expect_err_head "$message"
  done 3<<'TABLE'
|A command is required
nope|The following argument was not expected: nope
decrypt-match --nope|The following argument was not expected: --nope
decrypt-match --key a --key-file b|--key excludes --key-file
aux|COUNTRY is required
device --vendor ABCDEFGHI|--vendor: longer than 8 bytes
device --product 0123456789abcdefghi|--product: longer than 18 bytes
match-info --engine two|Could not convert: --engine = two
TABLE
  label="acrhost decrypt-match --help"
  run decrypt-match --help
  expect_status 0
  grep -qF -- '--record' "$work/out" || fail "'$label' does not describe --record"
  ;;

missing_file)
  label="decrypt-match FILE"
  run decrypt-match "$work/nosuch.json"
  expect_status 1
  expect_err "acrhost: cannot read '$work/nosuch.json': No such file or directory"

  label="--key-file FILE"
  run decrypt-event --key-file "$work/nosuch.key" "$samples/event.json"
  expect_status 1
  expect_err "acrhost: cannot read '$work/nosuch.key': No such file or directory"
  ;;

plugin_not_loaded)
  label="--plugin missing"
  run aux --plugin "$work/libVomaxel.so" KR
  expect_status 1
  expect_err "acrhost: cannot load the plug-in: $work/libVomaxel.so: cannot open shared object file: No such file or directory"
  [ -s "$work/out" ] && fail "'$label' wrote to standard output"

  label="--plugin not a library"
  printf 'not a library%.0s' {1..10} >"$work/bogus.so"
  run aux --plugin "$work/bogus.so" KR
  expect_status 1
  expect_err "acrhost: cannot load the plug-in: $work/bogus.so: invalid ELF header"
  ;;

key_refused)
  long_half=$(printf '0123456789abcdef%.0s' 1 2 3 4)  # 64 digits
  while IFS='|' read -r -u 3 key message; do
    label="--key '$key'"
    run decrypt-match -q --key "$key" "$expected/wire_answer.json"
    expect_status 1
    expect_err "acrhost: $message"
    [ -s "$work/out" ] && fail "'$label': the operation ran after a refused key"
  done 3<<TABLE
0011|the key store refused the key text: it is shorter than 32 characters
${long_half},${long_half}0|the key store refused the key text: it is longer than 129 characters
${OLD}${CURRENT:0:8}|the key store refused the key text: it has no ',' between the old and the current key
123,${CURRENT}|the key store refused part of the key text: the old key (before the first ',') has an odd number of digits or more than 64
${OLD},${long_half}00|the key store refused part of the key text: the current key (after the first ',') has an odd number of digits or more than 64
TABLE
  label="--key with an empty old half"
  run decrypt-match -q --key ",$CURRENT" "$expected/wire_answer.json"
  expect_status 0
  expect_out "$samples/answer.json"

  label="encrypt without a current key"
  run encrypt -q "$samples/answer.json"
  expect_status 1
  expect_err "acrhost: Encrypt failed (see the log): is a current key set? use --key or --key-file"
  ;;

rejected_input)
  printf '{}' >"$work/empty.json"
  while IFS='|' read -r -u 3 args message; do
    label="acrhost $args"
    # shellcheck disable=SC2086
    run $args -q
    expect_status 1
    expect_err "acrhost: $message"
  done 3<<TABLE
decrypt-match $work/empty.json|DecryptMatchInfo rejected the input: it left the output text untouched (see the log)
decrypt-event $work/empty.json|DecryptEachEventInfo rejected the input: it returned the empty text (see the log)
match-info $work/empty.json|ParserACRInfoJson rejected the input: it returned false (see the log)
event-message --acr-info $work/empty.json|MakeEventMessage rejected the input: it left the output text untouched (see the log)
device --null-record|MakeDeviceInfoJson rejected the input: it returned false (see the log)
TABLE
  # The report description is acrhost's own input: it refuses what does not fit.
  while IFS='|' read -r -u 3 description message; do
    label="report $description"
    run report -q - <<<"$description"
    expect_status 1
    expect_err "acrhost: the report description: $message"
  done 3<<'TABLE'
{"acrInfo": {"stationName": "News"}}|"acrInfo" has an unknown member "stationName"
{"eventInfo": {"nGlobalTime": -1}}|"eventInfo" member "nGlobalTime" must be an unsigned 32-bit integer
{"engine": 0, "acrInfo": {}}|top level member "acrInfo" must be an array ("engine" asks for lists)
{"engine": 0, "eventInfo": [{}, {"szKey": 7}]}|"eventInfo"[1] member "szKey" must be a string
[]|top level must be a JSON object
{"acrInfo": {"stationName": "News"}} /* comments */ // after the value|"acrInfo" has an unknown member "stationName"
TABLE
  for description in '{"matchType": ' '{} /* more text */ x'; do
    label="report, not JSON: $description"
    run report -q - <<<"$description"
    expect_status 1
    grep -q '^acrhost: the report description is not JSON: ' "$work/err" || fail "'$label': $(cat "$work/err")"
  done
  ;;

selftest)
  # The checks that fail are exactly those whose answer for this jsoncpp
  # release names a known defect of it, each failing with that defect's text.
  label="selftest"
  run selftest
  known_defects
  defects=$(grep -c . "$work/defects")
  checks=$(grep -c '^ok ' "$work/out")
  { grep '^FAIL' "$work/out" || true; } | diff -u "$work/defects" - >&2 ||
    fail "'$label' should fail exactly the checks that name a defect of jsoncpp $release"
  # The headers' release as the build found it (ACRHOST_OPENSSL: "3.0.17",
  # "BoringSSL"), and the loaded one.
  case ${ACRHOST_OPENSSL:?} in
    BoringSSL) headers="BoringSSL (API version " ;;
    *) headers="OpenSSL $ACRHOST_OPENSSL " ;;
  esac
  sed -n 2p "$work/out" | grep -qF "selftest: acrhost and the plug-in built against $headers" &&
    sed -n 3p "$work/out" | grep -qE '^selftest: running with (OpenSSL [0-9]|BoringSSL$)' ||
    fail "'$label' does not name its OpenSSL ($headers): $(head -n 3 "$work/out")"
  if [ "$defects" = 0 ]; then
    expect_status 0
    expect_err ""
  else
    expect_status 1
  fi
  [ "$(tail -n 1 "$work/out")" = "selftest: $checks passed, $defects failed" ] ||
    fail "'$label' ends '$(tail -n 1 "$work/out")'; $(grep -m 1 '^FAIL' "$work/out")"

  label="selftest with one known answer wrong"
  sed 's/\\"KR\\"/\\"KP\\"/' "$data" >"$work/wrong.json"
  run selftest -v --data "$work/wrong.json"
  expect_status 1
  expect_err "acrhost: $((defects + 1)) of $((checks + defects)) checks failed"
  grep -A 8 '^FAIL  MakeAux' "$work/out" >"$work/failed"
  diff -u - "$work/failed" <<'TEXT' >&2 || fail "'$label' does not show the difference"
FAIL  MakeAuxiliaryInfo: country code KR: differs at line 2, column 22 (byte 23)
      expected:
      | {
      >    "countryCode" : "KP"
      | }
      actual:
      | {
      >    "countryCode" : "KR"
      | }
TEXT
  [ "$(tail -n 1 "$work/out")" = "selftest: $((checks - 1)) passed, $((defects + 1)) failed" ] ||
    fail "'$label': wrong tally"

  # In an environment whose locale writes "1,5", jsoncpp before 1.9.8 reads
  # reals through it once a host makes it the C++ global locale: the check says so.
  label="selftest in de_DE"
  if locale -a | grep -qx de_DE.utf8; then
    LC_ALL=de_DE.UTF-8 run selftest
    line=$(grep 'jsoncpp: reals read as in the "C" locale' "$work/out")
    if [[ $line == *"names no installed locale"* ]]; then
      :  # acrhost's own C library has no de_DE (the 2015 receiver's sysroot)
    elif [ "$(printf '%s\n' 1.9.8 "$release" | sort -V | head -n 1)" = 1.9.8 ]; then
      [[ $line == "ok "* ]] || fail "'$label': $line"
    else
      [[ $line == "FAIL "*"jsoncpp $release reads reals through the C++ global locale"* ]] ||
        fail "'$label': $line"
    fi
  fi
  ;;

selftest_without_aes)
  # This acrhost's process refuses AES-128-CBC (tests/selftest/WithoutAesCbc.cpp):
  # the checks that encrypt or decrypt fail, and only those.
  label="selftest without AES-128-CBC"
  run selftest --data "$data"
  expect_status 1
  grep -E '^(ok|FAIL) ' "$work/out" | grep -vE '^(ok    (OpenSSL|jsoncpp|SetSecureKey|Base64|Parser|Make)|FAIL  (Encrypt|Decrypt))' >&2 &&
    fail "'$label': the checks above should have failed or passed"
  failed=$(grep -c '^FAIL' "$work/out")
  [ "$failed" -gt 0 ] && [ "$(tail -n 1 "$work/out")" = "selftest: $(grep -c '^ok ' "$work/out") passed, $failed failed" ] ||
    fail "'$label' ends '$(tail -n 1 "$work/out")'"
  ;;

selftest_other_openssl)
  # This acrhost's process reports another release line of OpenSSL than its
  # headers (tests/selftest/OtherOpenSslMajor.cpp): that check fails, saying
  # what to do, and every other passes but a known defect of its jsoncpp.
  label="selftest with another major release of libcrypto"
  run selftest --data "$data"
  expect_status 1
  release_line() {
    sed -n -e "s/^selftest: $1 \(BoringSSL\).*/\1/p" \
      -e "s/^selftest: $1 \(OpenSSL [0-9]*\)\..*/\1.x/p" "$work/out"
  }
  built=$(release_line 'acrhost and the plug-in built against') loaded=$(release_line 'running with')
  [ -n "$built" ] && [ -n "$loaded" ] && [ "$built" != "$loaded" ] ||
    fail "'$label' names '$built' and '$loaded': $(head -n 3 "$work/out")"
  known_defects
  { echo "FAIL  OpenSSL: the loaded libcrypto is of the headers' major release: headers of $built, \
libcrypto of $loaded: run acrhost and the plug-in where the host loads $built, or build both against \
this receiver's $loaded headers"; cat "$work/defects"; } |
    diff -u - <(grep '^FAIL' "$work/out") >&2 || fail "'$label' fails other checks than those above"
  [ "$(tail -n 1 "$work/out")" = \
    "selftest: $(grep -c '^ok ' "$work/out") passed, $(($(grep -c . "$work/defects") + 1)) failed" ] ||
    fail "'$label' ends '$(tail -n 1 "$work/out")'"
  ;;

*)
  fail "unknown scenario"
  ;;
esac
echo "PASS [$scenario]"
