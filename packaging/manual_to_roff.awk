# Turns the manual that `korvel-widgets [COMMAND] --help` prints into a manual page (roff), so
# that --help stays the one source of both. Variables: page (korvel-widgets-play), title, date,
# version, seealso (comma-separated page names).
#   line 1                    the summary, for NAME
#   Usage: ...                SYNOPSIS
#   Options: / Positionals: / Subcommands:   lists of "  TERM   TEXT", as tagged paragraphs,
#                             put after DESCRIPTION
#   an upper-case line        a section heading; its paragraphs are filled, except those with
#                             a line indented further, which keep their lines (lists, examples)

function esc(s) {
  gsub(/\\/, "\\e", s)
  gsub(/-/, "\\-", s)
  if (s ~ /^[.']/) s = "\\&" s
  return s
}

# The paragraph gathered so far.
function flush(   i, keep, line) {
  if (n == 0) return
  keep = 0
  for (i = 1; i <= n; i++) if (para[i] ~ /^   /) keep = 1
  print ".PP"
  if (keep) print ".nf"
  for (i = 1; i <= n; i++) {
    line = para[i]
    if (keep) sub(/^  /, "", line); else sub(/^ +/, "", line)
    print esc(line)
  }
  if (keep) print ".fi"
  n = 0
}

function heading(name) {
  flush()
  if (lists != "" && name != "DESCRIPTION") { printf "%s", lists; lists = "" }
  print ".SH " name
}

BEGIN {
  print ".\\\" Made from `korvel-widgets --help` by packaging/manual_to_roff.awk; do not edit."
  print ".TH \"" toupper(page) "\" \"1\" \"" date "\" \"korvel-widgets " version "\" \"User Commands\""
  mode = "summary"
}

mode == "summary" {
  summary = $0
  sub(/^korvel-widgets: /, "", summary)
  print ".SH NAME"
  print esc(page) " \\- " esc(summary)
  mode = "head"
  next
}

/^Usage: / {
  usage = substr($0, 8)
  print ".SH SYNOPSIS"
  split(usage, words, " ")
  rest = substr(usage, length(words[1]) + 2)
  if (words[2] != "" && words[2] !~ /^\[/) {  # the command after the program
    rest = substr(rest, length(words[2]) + 2)
    words[1] = words[1] " " words[2]
  }
  print ".B " esc(words[1])
  if (rest != "") print esc(rest)
  next
}

/^(Options|Positionals|Subcommands):$/ {
  name = $0 == "Options:" ? "OPTIONS" : $0 == "Positionals:" ? "ARGUMENTS" : "COMMANDS"
  lists = lists ".SH " name "\n"
  mode = "list"
  next
}

/^[A-Z][A-Z ]+$/ { heading($0); mode = "text"; next }

mode == "list" && /^  [^ ]/ {
  term = substr($0, 3)
  text = ""
  if (match(term, /   */)) {
    text = substr(term, RSTART + RLENGTH)
    term = substr(term, 1, RSTART - 1)
  }
  lists = lists ".TP\n.B " esc(term) "\n" (text != "" ? esc(text) "\n" : "")
  next
}

mode == "list" && /^    / { line = $0; sub(/^ +/, "", line); lists = lists esc(line) "\n"; next }

mode == "text" && /^ *$/ { flush(); next }
mode == "text" { para[++n] = $0; next }

END {
  flush()
  if (lists != "") printf "%s", lists
  if (seealso != "") {
    print ".SH SEE ALSO"
    count = split(seealso, pages, ",")
    for (i = 1; i <= count; i++) print ".BR " esc(pages[i]) " (1)" (i < count ? "," : "")
  }
}
