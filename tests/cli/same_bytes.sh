#!/usr/bin/env bash
# What a program writes to standard output is a file, byte for byte.
#   same_bytes.sh FILE PROGRAM ARG...
set -uo pipefail
file=$1
shift
"$@" | cmp - "$file"
