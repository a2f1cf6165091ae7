# bash completion for zvv: commands, options, and folders where an option wants one.
_zvv() {
  local cur prev
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  case $prev in
    --install-dir)
      COMPREPLY=($(compgen -d -- "$cur"))
      return
      ;;
    --color)
      COMPREPLY=($(compgen -W "auto always never" -- "$cur"))
      return
      ;;
    --dir | --limit | --port)
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "--install-dir --title-only --dir --json --ui --no-ui --limit
      --color --port --open --absolute --version --help" -- "$cur"))
    return
  fi
  # A command only as the first word that is not an option or an option's value.
  local i word
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    case $word in
      --install-dir | --dir | --limit | --color | --port) ((i++)) ;;
      --) return ;;
      -*) ;;
      *) return ;;
    esac
  done
  COMPREPLY=($(compgen -W "search index status watch serve register unregister" -- "$cur"))
}
complete -F _zvv zvv
