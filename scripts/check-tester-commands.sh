#!/usr/bin/env bash
# Checks that every text sent to the tester lives in src/tester, in the dialect tables:
# no string literal in the other source folders may hold a command of the tester
# (a common command such as *RST or *STB?, a header path such as SYST:COMM or
# :BS:TCH:ARFC, a query such as LEV? at the start of a literal or after a ';', a
# parameter word such as ARFC, PLEV or PATT).
# Comments may name commands; literals may not, wherever they stand on the line.
#
# Usage: check-tester-commands.sh [SRC_DIR]   (default: src/ of the project)
# Prints every finding as FILE:LINE: "literal", and exits 1 when there is one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
src="${1:-$root/src}"
cd "$src"

mapfile -t files < <(find . -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.cc' -o -name '*.hpp' \) \
                          -not -path './tester/*' | sed 's#^\./##' | sort)
[ "${#files[@]}" -gt 0 ] || { echo "check-tester-commands: no sources in $src" >&2; exit 2; }

# The scanner skips comments, character literals and digit separators (5'000), reads
# plain and raw string literals, and tests each literal's text on its own.
findings="$(perl -e '
  use strict; use warnings;
  my $command = qr{
      \*(?:IDN|RST|CLS|STB|ESR|OPC|WAI|ESE|SRE|TST|TRG|SAV|RCL|PSC|IST|PRE)\b
    | \b[A-Z]{3,}\??(?::[A-Z]{2,}\??)+
    | \b(?:CONF|MEAS|SYST|CALL|RFG|STAT|SOUR|SENS|READ|FETC|INIT|ABOR|TRIG|CALC|DISP|FORM|INP|OUTP|UNIT):
    | ^:[A-Z]{2,}
    | (?:^|;)[A-Z]{3,}\?
    | \b(?:ARFC|PLEV|PATT)\b
    | \bLEV\s*-?[0-9]
  }x;
  for my $file (@ARGV) {
    open(my $fh, "<", $file) or die "$file: $!\n";
    local $/;
    my $text = <$fh>;
    close $fh;
    while ($text =~ m{ //[^\n]* | /\*.*?\*/ | R"([^(\s\\]{0,16})\((.*?)\)\1" | "((?:[^"\\\n]|\\.)*)"
                     | [0-9]\x27(?=[0-9A-Fa-f]) | \x27(?:[^\x27\\\n]|\\.)*\x27 }gsx) {
      my $start = $-[0];
      my $literal = defined $2 ? $2 : $3;
      next unless defined $literal && $literal =~ $command;
      my $line = 1 + (substr($text, 0, $start) =~ tr/\n//);
      print "src/$file:$line: \"$literal\"\n";
    }
  }' "${files[@]}")"

if [ -n "$findings" ]; then
  printf '%s\n' "$findings"
  echo "check-tester-commands: $(printf '%s\n' "$findings" | wc -l) tester command text(s) outside src/tester;" \
       "add an operation to the dialect table (src/tester/tester_dialect.h) and send it by name" >&2
  exit 1
fi
echo "check-tester-commands: every tester command text lives in src/tester"
