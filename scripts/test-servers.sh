#!/usr/bin/env bash
# The servers the site's tests talk to: a PostgreSQL 15 cluster and an nginx reverse proxy, each
# run as an unprivileged user from a fresh temporary directory on local ports, never as a
# system service.
#
#   eval "$(scripts/test-servers.sh start DIR)"   starts both in DIR and prints the variables
#                                                  the tests read
#   scripts/test-servers.sh stop DIR              stops both and removes DIR
#
# MILKA_TEST_PG is the cluster's address with its throwaway password in PGPASSWORD;
# MILKA_TEST_PROXY is nginx, which forwards round robin to the two milka-site processes the
# end-to-end test starts on the two ports in MILKA_TEST_PROXY_UPSTREAMS.
set -euo pipefail
action="${1:?start DIR or stop DIR}"
dir="${2:?a directory for the servers}"

# Debian keeps the server programs out of PATH, one directory per major version.
pg_bin() {
  if command -v initdb >/dev/null 2>&1; then dirname "$(command -v initdb)"; return; fi
  local found
  found="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
  [ -n "$found" ] || { echo "test-servers: PostgreSQL's initdb is missing (Debian package postgresql-15)" >&2; exit 1; }
  echo "$found"
}

# Root runs the servers as nobody: PostgreSQL refuses to run as root, and neither needs it.
as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

# A port in the unprivileged range that nothing answers on yet.
free_port() {
  local p
  for _ in $(seq 50); do
    p=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return; }
  done
  echo "test-servers: no free port found" >&2
  exit 1
}

case "$action" in
start)
  mkdir -p "$dir"
  chmod 0777 "$dir"
  bin="$(pg_bin)"
  password="$(head -c 18 /dev/urandom | base64 | tr -d '/+=')"
  printf '%s\n' "$password" >"$dir/pwfile"
  chmod 0644 "$dir/pwfile"
  as_server mkdir -p "$dir/pg" "$dir/nginx"
  as_server "$bin/initdb" -D "$dir/pg/data" -U milka --pwfile="$dir/pwfile" \
    --auth=scram-sha-256 --encoding=UTF8 --locale=C.UTF-8 >"$dir/pg/initdb.log" 2>&1 ||
    { cat "$dir/pg/initdb.log" >&2; exit 1; }
  rm -f "$dir/pwfile"
  for attempt in 1 2 3 4 5; do
    pg_port="$(free_port)"
    # fsync stays on: the tests kill sites mid-write and expect what they acknowledged.
    if as_server "$bin/pg_ctl" -D "$dir/pg/data" -l "$dir/pg/server.log" -w -t 30 \
         -o "-p $pg_port -k $dir/pg -c listen_addresses=127.0.0.1 -c max_connections=200" \
         start >/dev/null; then
      break
    fi
    [ "$attempt" -eq 5 ] && { cat "$dir/pg/server.log" >&2; exit 1; }
  done

  up_a="$(free_port)"
  up_b="$(free_port)"
  while [ "$up_b" = "$up_a" ]; do up_b="$(free_port)"; done
  for attempt in 1 2 3 4 5; do
    proxy_port="$(free_port)"
    cat >"$dir/nginx/nginx.conf" <<EOF
daemon on;
worker_processes 1;
pid $dir/nginx/nginx.pid;
error_log $dir/nginx/error.log warn;
events { worker_connections 256; }
http {
  access_log $dir/nginx/access.log;
  client_body_temp_path $dir/nginx/body;
  proxy_temp_path $dir/nginx/proxy;
  fastcgi_temp_path $dir/nginx/fastcgi;
  uwsgi_temp_path $dir/nginx/uwsgi;
  scgi_temp_path $dir/nginx/scgi;
  upstream milka { server 127.0.0.1:$up_a; server 127.0.0.1:$up_b; }
  server {
    listen 127.0.0.1:$proxy_port;
    location / {
      proxy_pass http://milka;
      proxy_http_version 1.1;
      proxy_set_header Connection "";
      proxy_set_header Host \$host;
      proxy_connect_timeout 5s;
      proxy_read_timeout 15s;
      # An entry is never sent twice: a site that fails mid-answer is the player's to retry.
      proxy_next_upstream error timeout non_idempotent;
    }
  }
}
EOF
    chmod 0644 "$dir/nginx/nginx.conf"
    if as_server nginx -c "$dir/nginx/nginx.conf" -p "$dir/nginx" -e "$dir/nginx/error.log" \
         2>>"$dir/nginx/start.log"; then
      break
    fi
    [ "$attempt" -eq 5 ] && { cat "$dir/nginx/start.log" >&2; exit 1; }
  done
  echo "export MILKA_TEST_PG=postgresql://milka@127.0.0.1:$pg_port/postgres"
  echo "export PGPASSWORD=$password"
  echo "export MILKA_TEST_PROXY=http://127.0.0.1:$proxy_port"
  echo "export MILKA_TEST_PROXY_UPSTREAMS=$up_a,$up_b"
  ;;
stop)
  [ -d "$dir" ] || exit 0
  if [ -f "$dir/nginx/nginx.pid" ]; then
    as_server nginx -c "$dir/nginx/nginx.conf" -p "$dir/nginx" -e "$dir/nginx/error.log" \
      -s quit 2>/dev/null || true
  fi
  if [ -f "$dir/pg/data/postmaster.pid" ]; then
    as_server "$(pg_bin)/pg_ctl" -D "$dir/pg/data" -m fast -w stop >/dev/null || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "test-servers: start DIR or stop DIR" >&2
  exit 2
  ;;
esac
