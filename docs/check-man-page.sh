#!/usr/bin/env bash
# Holds the manual page to the program:
# - every command --help lists has its section on the page, and every option, argument and
#   choice a command's --help shows is in that section or under OPTIONS;
# - the page's exit statuses, and those of the command line's topic page, are exactly those
#   --help prints;
# - every settings key the program reads is on the page;
# - groff reads the page without a warning.
#
#   check-man-page.sh PROGRAM PAGE TOPIC_PAGE SETTINGS_HEADER
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 PROGRAM PAGE TOPIC_PAGE SETTINGS_HEADER" >&2; exit 2; }
program=$1 page=$2 topic=$3 settings=$4
failed=0
fail() {
  echo "$(basename "$page"): $*" >&2
  failed=1
}

# A section's text with roff's \- read as a plain hyphen: a .SH runs to the next .SH, a .SS to
# the next heading of either kind.
section() {  # <.SH|.SS> <name>
  awk -v macro="$1" -v name="$2" '
    /^\.S[HS] / && inside && ($1 == ".SH" || macro == ".SS") { inside = 0 }
    $0 == macro " " name || $0 == macro " \"" name "\"" { inside = 1; next }
    inside { gsub(/\\-/, "-"); print }' "$page"
}

# One line per thing a --help shows: "command NAME", "option --NAME", "argument NAME",
# "choice WORD" and "status CODE MEANING".
help_items() {  # [COMMAND]
  "$program" "$@" --help </dev/null | awk '
    /^[A-Z][a-z ]*:$/ { heading = $0; next }
    heading == "Exit status:" && /^  [0-9]+  / { sub(/^  /, ""); sub(/  /, " "); print "status " $0; next }
    !/^  [^ ]/ { next }
    heading == "Subcommands:" { print "command " $1 }
    heading == "Positionals:" { print "argument " $1 }
    heading == "Options:" {
      n = split($1, names, ",")
      for (i = 1; i <= n; i++) print "option " names[i]
      if (match($2, /:\{[^}]*\}/)) {
        n = split(substr($2, RSTART + 2, RLENGTH - 3), choices, ",")
        for (i = 1; i <= n; i++) print "choice " choices[i]
      }
    }'
}

# Whether the text holds the word, not as part of a longer name.
holds() {  # <text> <word>
  grep -qE -- "(^|[^-A-Za-z])$2([^-A-Za-z]|$)" <<<"$1"
}

options=$(section .SH OPTIONS)
commands=$(section .SH COMMANDS)
if [ -z "$options" ] || [ -z "$commands" ]; then fail "no OPTIONS or no COMMANDS section"; fi

top=$(help_items)
if ! grep -q '^command ' <<<"$top" || ! grep -q '^option ' <<<"$top"; then
  fail "read no commands or no options from tablewright --help"
fi
while read -r kind name; do
  case $kind in
    command) grep -qx "\.SS $name" <<<"$commands" || fail "no section for the command $name" ;;
    option) holds "$options" "$name" || fail "the option $name is not under OPTIONS" ;;
  esac
done <<<"$top"

while read -r command; do
  text=$(section .SS "$command")$'\n'$options
  items=$(help_items "$command")
  grep -q '^option ' <<<"$items" || fail "read no options from tablewright $command --help"
  while read -r kind name; do
    [ "$kind" = status ] && continue
    holds "$text" "$name" || fail "$command: its $kind $name is neither in its section nor under OPTIONS"
  done <<<"$items"
done < <(awk '$1 == "command" { print $2 }' <<<"$top")

statuses=$(awk '$1 == "status" { sub(/^status /, ""); print }' <<<"$top")
[ -n "$statuses" ] || fail "tablewright --help prints no exit status"
on_page=$(section .SH 'EXIT STATUS' | awk '/^\.B [0-9]+$/ { code = $2; getline; print code " " $0 }')
# shellcheck disable=SC2016  # the backquotes are the topic page's own
in_topic=$(sed -nE 's/^\| `([0-9]+)` \| (.*) \|$/\1 \2/p' "$topic")
diff <(echo "$statuses") <(echo "$on_page") >&2 || fail "its EXIT STATUS differs from --help's (above)"
diff <(echo "$statuses") <(echo "$in_topic") >&2 ||
  fail "$topic: its exit status table differs from --help's (above)"

settings_text=$(section .SH SETTINGS)
keys=$(sed -n '/^namespace SettingKey/,/^}/p' "$settings" | sed -nE 's/.*QStringLiteral\("([A-Za-z]+)"\).*/\1/p')
[ -n "$keys" ] || fail "no settings keys found in $settings"
for key in $keys; do
  holds "$settings_text" "$key" || fail "the settings key $key is not under SETTINGS"
done

warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff warns: $warnings"

exit $failed
