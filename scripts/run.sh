#!/usr/bin/env bash
# Sets everything up and runs the editor. Without a display it serves the editor
# over VNC on the loopback address only; reach it through an SSH tunnel.
set -euo pipefail
headless=0
[[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]] && headless=1
extra=()
((headless)) && extra=(tigervnc-standalone-server tigervnc-tools)
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" "${extra[@]}"
editor="$build_dir/app/tarvelin"

if ((!headless)); then
  exec "$editor" "$@"
fi

# First free display number: no lock file and no socket.
n=1
while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
port=$((5900 + n))

state="$(mktemp -d)"
password="$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n' | cut -c1-8)"
printf '%s\n' "$password" | vncpasswd -f >"$state/passwd"
chmod 600 "$state/passwd"

Xvnc ":$n" -localhost -nolisten tcp -rfbport "$port" -geometry 1280x800 -depth 24 \
  -SecurityTypes VncAuth -PasswordFile "$state/passwd" -AlwaysShared >"$state/xvnc.log" 2>&1 &
xvnc_pid=$!
editor_pid=
cleanup() {
  [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
  kill "$xvnc_pid" 2>/dev/null || true
  wait "$xvnc_pid" 2>/dev/null || true
  rm -rf "$state"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for _ in $(seq 50); do
  [[ -e /tmp/.X11-unix/X$n ]] && break
  kill -0 "$xvnc_pid" 2>/dev/null || { cat "$state/xvnc.log"; exit 1; }
  sleep 0.1
done

cat <<MSG
Tarvelin is running on a virtual display served over VNC on 127.0.0.1:$port only.
From your own computer, open a tunnel and point a VNC viewer at it:
    ssh -L $port:127.0.0.1:$port $(id -un)@$(hostname -f 2>/dev/null || hostname)
    vncviewer 127.0.0.1:$port          (password: $password)
Press Ctrl-C here to stop.
MSG

DISPLAY=":$n" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$state" "$editor" "$@" &
editor_pid=$!
wait "$editor_pid"
