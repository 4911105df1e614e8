# In the guest: runs each Windows test program under 32-bit Wine, on a virtual display, in the
# prefix the root image was made with. Writes /mnt/out/NAME.log and NAME.status for each.
# Usage: sh windows-tests.sh BUILD PROGRAM...   (PROGRAM relative to BUILD)
build=$1
shift
mkdir -p "$build"
mount --bind /mnt/in/tree "$build" || exit 1
export WINEPREFIX=/var/lib/brevin/wineprefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
export BUILD_TREE="$build"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh -c '
  wineserver -p
  wine wineboot </dev/null >/dev/null 2>&1
  for program in "$@"; do
    name=$(basename "$program" .exe)
    echo "guest: $name"
    # A program that hangs (a window waiting for a click) fails alone; the others still run.
    rm -f /tmp/result.xml
    timeout -k 10 900 wine "$BUILD_TREE/$program" --gtest_output=xml:Z:/tmp/result.xml \
      </dev/null >"/mnt/out/$name.log" 2>&1
    status=$?
    [ $status -eq 124 ] && echo "guest: $name stopped after 900 s" >>"/mnt/out/$name.log"
    # Wine kills a process (SIGKILL, 137) whose last thread has ended but which has not gone a
    # second later; an emulated machine can be that slow to close a program that had windows on
    # the display. Then the report the program wrote says how its tests went.
    if [ $status -eq 137 ] && grep -q "<testsuites tests=\"[1-9][0-9]*\" failures=\"0\" disabled=\"[0-9]*\" errors=\"0\"" /tmp/result.xml 2>/dev/null; then
      echo "guest: $name was killed as it exited, after every test passed (result.xml)" >>"/mnt/out/$name.log"
      status=0
    fi
    echo $status >"/mnt/out/$name.status"
  done
  wineserver -k' sh "$@"
