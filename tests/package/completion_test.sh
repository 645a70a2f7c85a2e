#!/usr/bin/env bash
# The bash completion of the programs: options, the values some take, and file
# names of the kind each place takes.
#   completion_test.sh COMPLETION_SCRIPT WORK_DIR
set -uo pipefail
script=$1
work=$2
rm -rf "$work"
mkdir -p "$work/sub"
cd "$work" || exit 1
touch a.dat B.DAT c.FOI d.foi e.txt f.svg
source "$script"

status=0
# expect "WORDS..." "the replies, sorted and joined by blanks"
expect() {
  local words=$1 want=$2
  read -r -a COMP_WORDS <<<"$words"
  [[ $words == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _tarvelo
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
  if [[ $got != "$want" ]]; then
    echo "'$words': got '$got', want '$want'"
    status=1
  fi
}

expect "tarvelo-fit " "B.DAT a.dat sub"
expect "tarvelo-fit --au" "--auto --auto-max --auto-max= --auto-outline --auto-outline= --auto="
expect "tarvelo-fit --units " "cm in m mm"
expect "tarvelo-fit --summary " "sub"
expect "tarvelo-fit --output-dir " "sub"
expect "tarvelo-fit --te" "--te-thickness"
expect "tarvelo-fit -n 1" "10 11 12 13 14 15 16 17 18 19"
expect "tarvelo-fit -o " "c.FOI d.foi sub"
expect "tarvelo-fit --svg " "f.svg sub"
expect "tarvelo-export " "c.FOI d.foi sub"
expect "tarvelo-export --format " "dxf properties selig step svg table"
expect "tarvelo-export --te" "--te-thickness"
expect "tarvelo-import --s" "--stations"
expect "tarvelo-import --o" "--output-dir"
expect "tarvelo-export --units " "cm in m mm"
expect "tarvelo-export --layoff " "across vertical"
expect "tarvelo-fit --layoff " "across vertical"
expect "tarvelo-fit --lay" "--layoff"
# A designation is not a file name.
expect "tarvelo-naca " ""
expect "tarvelo-naca --t" "--table-stations"
expect "tarvelo-naca --decimals " "4 6"
expect "tarvelo-naca --format " "dat selig"
expect "tarvelo-naca -o " "B.DAT a.dat sub"
expect "tarvelo-blade --section " "c.FOI d.foi sub"
expect "tarvelo-blade --units " "cm in m mm"
expect "tarvelo-blade --export " "csv iges step stl svg"
expect "tarvelo-blade --l" "--left-handed"
expect "tarvelo-blade --t" "--tolerance"
exit $status
