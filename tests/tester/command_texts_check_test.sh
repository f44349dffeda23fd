#!/usr/bin/env bash
# scripts/check-tester-commands.sh on small source trees: a tree whose command texts
# stand only in tester/ (and in comments) passes; each planted command literal outside
# tester/ fails it, named with its file and line.
#
#   command_texts_check_test.sh SOURCE_DIR
set -uo pipefail
check_script="$1/scripts/check-tester-commands.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
fail() { failed=$((failed + 1)); echo "FAILED: $*"; }

# A clean tree: the table in tester/, the callers name operations; comments, messages,
# SQL time formats, character literals and digit separators are no commands.
clean="$work/clean"
mkdir -p "$clean/tester" "$clean/procedures"
cat >"$clean/tester/dialect.cpp" <<'EOF'
constexpr Row kTexts[] = {{Op::SetTrafficChannel, "CONF:%1:BS:TCH:ARFC %2;*STB?"}};
EOF
cat >"$clean/procedures/caller.cpp" <<'EOF'
// Sends "CONF:GSM:BS:TCH:ARFC 62" and waits for "*STB?".
/* The tester answers "MEAS:CALL:RX?" with two numbers:
   "SYST:ERR?" is not asked here. */
constexpr long kSpin = 5'000'000;
void Step(App& app)
{
    Send(app, TesterOp::SetTrafficChannel, {band, Str(qint64(62))});  // "CALL:MSOR" comes later
    const QChar quote = QLatin1Char('"');
    app.ui.MsgBox(QStringLiteral("TIMEOUT ERROR: No answer within 3 minutes."), QStringLiteral("Tester: OK?"));
    query(QStringLiteral("to_char(t, 'HH24:MI:SS')"), quote, QStringLiteral("Dalvora MOBILE TESTER  : "));
}
EOF
if out="$(bash "$check_script" "$clean" 2>&1)"; then passed=$((passed + 1)); else fail "clean tree refused: $out"; fi

# Each planted line, alone in the clean tree, must fail the check at its own line.
planted=(
  'SendCommand(app, QStringLiteral("*STB?"));'
  'SendCommand(app, QStringLiteral("CONF:") + band + QStringLiteral(":MS:TCH:PLEV 4"));'
  'SendCommand(app, conf + QStringLiteral(":AUD:LOOP ON"));'
  'const QString q = QStringLiteral("RFG:") + sys + QStringLiteral(" -110");'
  'Ask(app, sys + QStringLiteral(";LEV?"), answer);'
  'SendCommand(app, QLatin1String("SYST:ERR?")); // a trailing comment does not hide it'
  'port.Output(QByteArrayLiteral("\r*IDN?\r"));'
  'const char* raw = R"x(CALL:MSIN:IMEI?)x";'
  'f(QLatin1Char(0x22), "STAT:QUES:EVEN?");'
  'const auto c = QLatin1Char(0x27); g("x:BS:CCH:ARFC ");'
  'h(":LEV -55");'
  'k("LEV -55");'
  'SendCommand(app, QStringLiteral("*RST"));'
  'SendCommand(app, QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"));'
)
for line in "${planted[@]}"; do
  tree="$work/planted"
  rm -rf "$tree"
  cp -r "$clean" "$tree"
  mkdir -p "$tree/scan"
  printf '// A scan step.\nvoid Planted(App& app)\n{\n    %s\n}\n' "$line" >"$tree/scan/planted.cpp"
  out="$(bash "$check_script" "$tree" 2>&1)"
  status=$?
  if [ "$status" -ne 1 ]; then
    fail "planted line not found (exit $status): $line"
  elif ! grep -q '^src/scan/planted.cpp:4: ' <<<"$out"; then
    fail "planted line not named at scan/planted.cpp:4: $line -> $out"
  elif grep -q 'caller.cpp\|dialect.cpp' <<<"$out"; then
    fail "clean files named beside the planted line: $out"
  else
    passed=$((passed + 1))
  fi
done

# The same literals in a header and at the top of the tree count too.
printf 'inline const char* kQuery = "CALL:MSIN:RXL?";\n' >"$clean/procedures/caller.h"
printf 'int main() { return send("SYST:COMM:LOC"); }\n' >"$clean/main.cpp"
out="$(bash "$check_script" "$clean" 2>&1)"
if grep -q '^src/procedures/caller.h:1: ' <<<"$out" && grep -q '^src/main.cpp:1: ' <<<"$out"; then
  passed=$((passed + 1))
else
  fail "a header or a top-level file was not checked: $out"
fi

# The layer check, which CTest and the test command run, runs this check too.
if grep -q 'scripts/check-tester-commands.sh' "$1/scripts/check-layers.sh"; then
  passed=$((passed + 1))
else
  fail "scripts/check-layers.sh does not run the command texts check"
fi

echo "command texts check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
