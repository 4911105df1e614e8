# In the guest: Quillmark's package installed as a user installs it, its udev rule applied to a
# USB pedal, and the window played and paused from the pedal's middle switch (seen over MPRIS on
# a private session bus). Each step writes /mnt/out/STEP.log and .status; a step that cannot
# start because an earlier one failed says so.
# Usage: sh package-test.sh PACKAGE.deb RECORDING
deb=/mnt/in/$1
recording=/mnt/in/$2
out=/mnt/out
pedal=/mnt/in/guest_pedal

step() {  # NAME FUNCTION
  echo "guest: $1"
  "$2" >"$out/$1.log" 2>&1
  echo $? >"$out/$1.status"
  return "$(cat "$out/$1.status")"
}

# Up to a minute for something the guest is doing; prints what it saw last.
wait_for() {  # EXPECTED COMMAND...
  expected=$1
  shift
  tries=0
  while [ $tries -lt 300 ]; do
    seen=$("$@" 2>/dev/null)
    [ "$seen" = "$expected" ] && return 0
    sleep 0.2
    tries=$((tries + 1))
  done
  echo "waited for '$expected' from $*, last saw '$seen'"
  return 1
}

installs() {
  dpkg -i "$deb" || return 1
  test -x /usr/bin/quillmark || return 1
  quillmark --version
}

udev_rule() {
  udevadm control --reload || return 1
  node=$("$pedal" plug) || return 1
  echo "pedal: $node"
  udevadm info "$node"
  udevadm info "$node" | grep -q '^E: CURRENT_TAGS=.*:uaccess:' ||
    { echo "the pedal's device is not tagged uaccess"; return 1; }
}

pedal_play_pause() {
  [ -e /dev/hidg0 ] || { echo "no USB pedal (udev_rule did not make it)"; return 1; }
  # The pedal chosen and switched on, as the window keeps it after the twelve lines.
  mkdir -p /root/.config/quillmark
  printf ' 0 \r\n 0 \r\n 0 \r\n 0 \r\n 1 \r\n-1 \r\n 0 \r\n 5 \r\n 0 \r\n 2 \r\n 0 \r\n 0 \r\n' \
    >/root/.config/quillmark/Quillmark.inf
  printf 'UsbPedalVendor=05f3\r\nUsbPedalProduct=00ff\r\nUsbPedalName=VEC VEC USB Footpedal\r\nUsbPedalLabel=VEC USB Footpedal\r\n' \
    >>/root/.config/quillmark/Quillmark.inf
  export XDG_RUNTIME_DIR=/run/user/0
  mkdir -p -m 0700 $XDG_RUNTIME_DIR
  DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --print-address=1 --fork) || return 1
  export DBUS_SESSION_BUS_ADDRESS
  xvfb-run -a -s "-screen 0 1280x1024x24" quillmark "$recording" >"$out/quillmark.log" 2>&1 &
  status() { playerctl --player=quillmark status; }
  wait_for Paused status || { cat "$out/quillmark.log"; return 1; }
  "$pedal" switches 2 || return 1
  wait_for Playing status || return 1
  echo "middle switch down: Playing"
  "$pedal" switches 0 || return 1
  wait_for Paused status || return 1
  echo "middle switch up: Paused"
  playerctl --player=quillmark metadata xesam:url
}

step installs installs
step udev_rule udev_rule
step pedal_play_pause pedal_play_pause
exit 0
