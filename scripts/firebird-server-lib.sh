# What the scripts of the local Firebird servers share (sourced, not run): the
# record of the processes that a start began, their stop, and the program's
# fixed user. The sourcing script sets NAME (for messages), PORT, ADDRESS (as
# the client names the server), MARK (the record) and defines sysdba_password.

# The user and password that the data module's stored layout carries.
PROGRAM_USER=Masterquill
PROGRAM_PASSWORD=KvomT

fail() { echo "$NAME: $*" >&2; exit 1; }

answers() { (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null; }

svcmgr() { fbsvcmgr "$ADDRESS:service_mgr" -user SYSDBA -password "$(sysdba_password)" "$@"; }

# "PID START" of a process: its start time (field 22 of /proc/PID/stat, after
# the command name in parentheses) tells it apart from a later one that got
# the same number.
identity() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  echo "$1 $(echo "$stat" | cut -d' ' -f20)"
}

# True while the process of `identity` line "$1" still runs (not a reused pid).
running() {
  local pid=${1%% *}
  [[ "$(identity "$pid" 2>/dev/null)" == "$1" ]]
}

# The server that a start began: the guardian's pid file "$1" names the server
# process, whose parent is the guardian. Both are recorded in the mark, each
# with its start time, so that stop ends exactly this tree. On failure it says
# why and returns 1.
record_started() {
  local server guardian
  for _ in $(seq 1 50); do
    server=$(cat "$1" 2>/dev/null || true)
    [[ -n "$server" && -e "/proc/$server" ]] && break
    sleep 0.1
  done
  [[ -n "$server" && -e "/proc/$server" ]] || { echo "$NAME: no server pid" >&2; return 1; }
  guardian=$(ps -o ppid= -p "$server" | tr -d ' ')
  if [[ "$(ps -o comm= -p "$guardian")" != fbguard ]]; then
    echo "$NAME: the server's parent is not its guardian" >&2
    return 1
  fi
  { identity "$guardian"; identity "$server"; } >"$MARK"
}

# Stops the server that the mark records, if any.
stop_started() {
  [[ -e "$MARK" ]] || return 0
  local recorded=() line
  while read -r line; do recorded+=("$line"); done <"$MARK"
  # The guardian first, so that it does not start the server again.
  for line in "${recorded[@]}"; do
    running "$line" && kill -TERM "${line%% *}" 2>/dev/null || true
  done
  for _ in $(seq 1 100); do
    local alive=0
    for line in "${recorded[@]}"; do running "$line" && alive=1; done
    ((alive)) || break
    sleep 0.1
  done
  for line in "${recorded[@]}"; do
    running "$line" && fail "process ${line%% *} did not end"
  done
  rm -f "$MARK"
}

# Waits until the service manager takes logins: the port opens a moment before.
await_service_manager() {
  for _ in $(seq 1 50); do
    svcmgr info_server_version >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "the service manager on port $PORT takes no login"
}

# The program's fixed user, with the right to create databases: a Tessaldrin
# database belongs to that user, and the tests and the demo create theirs as
# that user. Grants live in the security database, reached through a small
# database of our own at "$1" on the server (the security database itself
# takes no remote connection), which this machine sees at "$2".
ensure_program_user() {
  if ! svcmgr action_display_user sec_username "$PROGRAM_USER" 2>/dev/null |
      grep -qi "^$PROGRAM_USER "; then
    svcmgr action_add_user sec_username "$PROGRAM_USER" sec_password "$PROGRAM_PASSWORD"
  fi
  local pw db="$ADDRESS:$1"
  pw=$(sysdba_password)
  if [[ ! -e "$2" ]]; then
    echo "CREATE DATABASE '$db' USER 'SYSDBA' PASSWORD '$pw';" | isql-fb -q
  fi
  local granted
  granted=$(echo "SET HEADING OFF; SELECT COUNT(*) FROM SEC\$DB_CREATORS WHERE SEC\$USER = UPPER('$PROGRAM_USER');" |
    isql-fb -q -user SYSDBA -password "$pw" "$db" | tr -d '[:space:]')
  if [[ "$granted" == "0" ]]; then
    echo "GRANT CREATE DATABASE TO USER $PROGRAM_USER;" | isql-fb -q -user SYSDBA -password "$pw" "$db"
  fi
}
