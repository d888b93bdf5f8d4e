#!/bin/sh
# The manual pages read without a warning from man, and every option that
# tarvelin-table --help lists is in its page.
# Arguments: tarvelin-table, its generated page, tarvelin's page.
set -u
table="$1" table_page="$2" editor_page="$3"
status=0
for page in "$table_page" "$editor_page"; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    status=1
  fi
done
text=$(MANWIDTH=200 man -l "$table_page" 2>/dev/null)
for option in $("$table" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  case "$text" in
    *"$option"*) ;;
    *) echo "$option is not in $table_page"; status=1 ;;
  esac
done
case "$text" in
  *SYNOPSIS*"tarvelin-table export"*"tarvelin-table verify"*"tarvelin-table analyse"*) ;;
  *) echo "the synopsis does not name every subcommand"; status=1 ;;
esac
exit $status
