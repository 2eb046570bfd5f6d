#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests, reached only through a Unix
# socket in its own folder (no network, trust authentication, no fsync).
#
#   scripts/pg-cluster.sh available   exit 0 when the server programs are installed
#   scripts/pg-cluster.sh start DIR   creates the cluster in DIR (an empty or new
#                                     folder), starts it on a free port and prints
#                                     its libpq conninfo on the standard output
#   scripts/pg-cluster.sh stop DIR    stops the cluster started in DIR
#
# Run as root, the server runs as the "postgres" account (else "nobody"): the
# server refuses to run as root. DIR is handed to that account, so it must lie
# where that account can reach (e.g. under /tmp). The superuser is "fenwa5".
# PG_BINDIR names the server programs' folder when they are not in the usual
# place of Debian's packages.
# PG_PORT fixes the port instead of a free one chosen by the script.
set -euo pipefail

die() { echo "pg-cluster.sh: $*" >&2; exit 1; }

# The newest installed server's programs.
bindir() {
  if [ -n "${PG_BINDIR:-}" ]; then
    [ -x "$PG_BINDIR/initdb" ] && echo "$PG_BINDIR"
    return
  fi
  local found
  found=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  [ -n "$found" ] && [ -x "$found/initdb" ] && [ -x "$found/pg_ctl" ] && echo "$found"
}

# Runs a command as the account that owns the cluster.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$owner" -- "$@"
  else
    "$@"
  fi
}

# A port nothing on this machine listens on (TCP on the loopback, or a socket
# file of that number in the usual socket folders).
free_port() {
  local port
  for _ in $(seq 1 200); do
    port=$((20000 + RANDOM % 40000))
    [ -e "/tmp/.s.PGSQL.$port" ] || [ -e "/var/run/postgresql/.s.PGSQL.$port" ] && continue
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return
    fi
  done
  die "nie znaleziono wolnego portu"
}

# A libpq conninfo value in single quotes, with \ and ' escaped.
quoted() {
  local v=${1//\\/\\\\}
  printf "'%s'" "${v//\'/\\\'}"
}

command=${1:-}
case "$command" in
  available)
    [ -n "$(bindir)" ]
    exit
    ;;
  start | stop) ;;
  *) die "użycie: pg-cluster.sh available | start FOLDER | stop FOLDER" ;;
esac
[ $# -eq 2 ] || die "podaj folder klastra"
dir=$2
bin=$(bindir) || true
[ -n "$bin" ] || die "brak programów serwera PostgreSQL (pakiet postgresql)"

owner=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  owner=postgres
  id -u postgres >/dev/null 2>&1 || owner=nobody
fi

if [ "$command" = stop ]; then
  [ -f "$dir/data/PG_VERSION" ] || die "w folderze $dir nie ma klastra"
  [ "$(id -u)" -eq 0 ] && owner=$(stat -c %U "$dir/data")
  as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
  exit
fi

mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
[ -z "$(ls -A "$dir")" ] || die "folder $dir nie jest pusty"
[ "$(id -u)" -eq 0 ] && chown "$owner" "$dir"
as_owner test -w "$dir" || die "konto $owner nie może pisać w folderze $dir"
cd "$dir"   # the server's account may not enter the caller's folder
port=${PG_PORT:-$(free_port)}
# The socket's path must fit the system's limit of 107 bytes.
[ ${#dir} -le 90 ] || die "ścieżka $dir jest za długa na gniazdo serwera"

as_owner "$bin/initdb" -D "$dir/data" -U fenwa5 --auth-local=trust --auth-host=reject \
  -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || die "initdb nie powiódł się: $(tail -n 3 "$dir/initdb.log")"
socket_dir=${dir//\'/\'\'}
as_owner tee -a "$dir/data/postgresql.conf" >/dev/null <<EOF
listen_addresses = ''
unix_socket_directories = '$socket_dir'
port = $port
fsync = off
synchronous_commit = off
full_page_writes = off
EOF
as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w -t 60 start >/dev/null \
  || die "serwer nie wystartował: $(tail -n 5 "$dir/log" 2>/dev/null)"

conninfo="host=$(quoted "$dir") port=$port user=fenwa5 dbname=postgres"
collation=$(as_owner "$bin/psql" -X -At -d "$conninfo" \
  -c "SELECT count(*) FROM pg_collation WHERE collname = 'pl-PL-x-icu'" 2>&1) || true
if [ "$collation" != 1 ]; then
  as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null || true
  die "serwer nie ma polskiego porządku ICU (kolacji \"pl-PL-x-icu\"): $collation"
fi
echo "$conninfo"
