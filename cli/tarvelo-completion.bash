# bash completion for the TARVELO command-line programs: their options, and
# the kind of file each place takes (section data *.dat, foil files *.FOI).
# Installed once per program name, where bash-completion looks for it.

# Files matching a case-insensitive pattern, and directories to go into.
_tarvelo_files() {
  local cur=$1 pattern=$2
  local IFS=$'\n'
  COMPREPLY+=($(shopt -s nocaseglob nocasematch; compgen -f -X "!$pattern" -- "$cur"))
  COMPREPLY+=($(compgen -d -- "$cur"))
}

_tarvelo() {
  local program=${COMP_WORDS[0]##*/}
  local cur=${COMP_WORDS[COMP_CWORD]} prev=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()
  local options files
  case $program in
    tarvelo-fit)
      case $prev in
        -n | --max-control-points) COMPREPLY=($(compgen -W "$(echo {4..80})" -- "$cur")); return ;;
        -o) _tarvelo_files "$cur" '*.FOI'; return ;;
        --svg) _tarvelo_files "$cur" '*.svg'; return ;;
        --summary) _tarvelo_files "$cur" '*.csv'; return ;;
        --output-dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --units) COMPREPLY=($(compgen -W "mm cm m in" -- "$cur")); return ;;
        --layoff) COMPREPLY=($(compgen -W "vertical across" -- "$cur")); return ;;
        --foil-number | --stations | --export | --chord | --te-thickness) return ;;
      esac
      options='-n -o --auto --auto= --auto-max --auto-max= --auto-outline --auto-outline=
               --max-control-points --placement= --foil-number --screens --json --svg --coordinates
               --stations --export --chord --units --te-thickness --layoff --output-dir --quiet --summary
               --help --version'
      files='*.dat' ;;
    tarvelo-import)
      case $prev in
        --stations) COMPREPLY=($(compgen -W "41 81 161" -- "$cur")); return ;;
        -o) _tarvelo_files "$cur" '*.dat'; return ;;
        --output-dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
      esac
      options='--stations --at-file-stations -o --output-dir --help --version'
      files='*' ;;
    tarvelo-export)
      case $prev in
        # The formats as the program itself lists them.
        --format)
          COMPREPLY=($(compgen -W "$("${COMP_WORDS[0]}" --list-formats 2>/dev/null | cut -f1)" -- "$cur"))
          return ;;
        --thickness | --camber | --points | --at | --te-thickness | --chord) return ;;
        --units) COMPREPLY=($(compgen -W "mm cm m in" -- "$cur")); return ;;
        --layoff) COMPREPLY=($(compgen -W "vertical across" -- "$cur")); return ;;
        --output-dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        -o) _tarvelo_files "$cur" '*'; return ;;
      esac
      options='--format --thickness --camber --chord --units --te-thickness --layoff --points --at -o
               --output-dir --list-formats --help --version'
      files='*.FOI' ;;
    tarvelo-naca)
      case $prev in
        --stations) COMPREPLY=($(compgen -W "41 81 161" -- "$cur")); return ;;
        --decimals) COMPREPLY=($(compgen -W "4 6" -- "$cur")); return ;;
        --format) COMPREPLY=($(compgen -W "dat selig" -- "$cur")); return ;;
        --mean-line) return ;;
        -o) _tarvelo_files "$cur" '*.dat'; return ;;
      esac
      options='--format --stations --table-stations --closed-te --mean-line --decimals -o --help --version'
      # A designation, not a file.
      files= ;;
    tarvelo-blade)
      case $prev in
        --section) _tarvelo_files "$cur" '*.FOI'; return ;;
        --units) COMPREPLY=($(compgen -W "mm cm m in" -- "$cur")); return ;;
        --export) COMPREPLY=($(compgen -W "step iges stl csv svg" -- "$cur")); return ;;
        --output-dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        -o) _tarvelo_files "$cur" '*'; return ;;
        --diameter | --blades | --tolerance | --stl-tolerance) return ;;
      esac
      options='--section --diameter --blades --units --tolerance --stl-tolerance --planar --left-handed
               --export -o --output-dir --json --help --version'
      files='*' ;;
    *) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    # An option that takes its value after "=" is completed without a space.
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
    return
  fi
  if [[ -n $files ]]; then _tarvelo_files "$cur" "$files"; fi
}

complete -o filenames -F _tarvelo tarvelo-fit tarvelo-import tarvelo-export tarvelo-naca tarvelo-blade
