#!/usr/bin/env bash
# Installs the build into a temporary prefix, then starts the installed room
# server and client: the client must find its resources where it was put and
# identify to the server.
#   install_test.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix=$(mktemp -d -t kelpo-prefix.XXXXXX)
log="$prefix/room.log"
server_pid="" client_pid=""
cleanup() {
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$prefix/usr" >/dev/null
home="$prefix/usr/lib/kelpo"
for f in bin/kelpo bin/kelpo-room bin/kelpo-launcher bin/Res/ResPk/PkMask.bmp bin/MeChatWeb.htm \
         UserRes/LargeUser/1.ico; do
  [ -e "$home/$f" ] || { echo "missing $home/$f"; exit 1; }
done
[ -x "$prefix/usr/bin/kelpo-launcher" ] || { echo "no launcher in PREFIX/bin"; exit 1; }
[ -s "$prefix/usr/share/icons/hicolor/128x128/apps/kelpo.png" ] || { echo "no icon"; exit 1; }
grep -qx "Exec=$prefix/usr/lib/kelpo/bin/kelpo-launcher" "$prefix/usr/share/applications/kelpo.desktop" \
  || { echo "desktop entry does not open the installed launcher"; exit 1; }

export XDG_RUNTIME_DIR="$prefix/run" HOME="$prefix/home"
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$HOME"
"$home/bin/kelpo-room" --port 0 --player 测试 --bot-delay 0 >"$log" &
server_pid=$!
for _ in $(seq 100); do grep -q '^[0-9]' "$log" && break; sleep 0.1; done
port=$(head -n 1 "$log")
[ -n "$port" ] || { echo "server printed no port"; exit 1; }
# The client is run from elsewhere: it must go by its own folder.
(cd / && exec "$home/bin/kelpo" KELPO-LOBBY 127.0.0.1 "$port" 升级 '新手_0`高手_100' - - 测试 1) &
client_pid=$!
for _ in $(seq 150); do
  grep -qx 'joined 测试' "$log" && exit 0
  kill -0 "$client_pid" 2>/dev/null || { echo "client stopped"; exit 1; }
  sleep 0.1
done
echo "client did not identify"
exit 1
