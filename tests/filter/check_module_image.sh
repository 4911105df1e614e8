#!/usr/bin/env bash
# Checks a built Brevin module as a host process will find it, without running it: the machine
# and image kind, the DLLs it imports, the names it exports and its resources. The 32-bit module
# cannot run on the build machines, so this is what proves it loadable.
# Usage: check_module_image.sh OBJDUMP MODULE i686|x86_64
set -euo pipefail
objdump=$1
module=$2
arch=$3

if ! dump=$("$objdump" -p "$module"); then
  echo "FAIL: $objdump cannot read $module"
  exit 1
fi
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The machine and image kind a host of that architecture loads.
case $arch in
  i686) format=pei-i386 magic='(PE32)' ;;
  x86_64) format=pei-x86-64 magic='(PE32+)' ;;
  *) echo "FAIL: unknown architecture $arch"; exit 1 ;;
esac
grep -qx ".*file format $format" <<<"$dump" || fail "not a $format image"
grep -E '^Magic[[:space:]]' <<<"$dump" | grep -qF "$magic" || fail "optional header is not $magic"
grep -A6 '^Characteristics' <<<"$dump" | grep -qx '[[:space:]]*DLL' || fail "not marked as a DLL"

# Imports: system DLLs only. A mingw runtime DLL (libgcc, libstdc++, libwinpthread) is not on the
# machines the module is installed on.
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll msvcrt.dll \
ksuser.dll shell32.dll comctl32.dll version.dll winmm.dll "
mapfile -t imports < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
[[ ${#imports[@]} -gt 0 ]] || fail "no import table found"
kernel=no
for dll in "${imports[@]}"; do
  lower=${dll,,}
  [[ $lower == kernel32.dll ]] && kernel=yes
  [[ $system_dlls == *" $lower "* ]] || fail "imports $dll, which is not a system DLL"
done
[[ $kernel == yes ]] || fail "does not import KERNEL32.dll (import table not read?)"

# Exports: exactly the four entry points of an in-process server, by their plain names (a 32-bit
# build must not leave stdcall decorations such as DllGetClassObject@12).
mapfile -t exports < <(sed -n \
  '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' <<<"$dump")
expected=(DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
for name in "${expected[@]}"; do
  printf '%s\n' "${exports[@]}" | grep -qx "$name" || fail "does not export $name"
done
extra=$(printf '%s\n' "${exports[@]}" | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
if [[ -n $extra ]]; then
  fail "exports $(wc -l <<<"$extra") more name(s): $(head -8 <<<"$extra" | tr '\n' ' ')"
fi

# Resources, as type/name: the property page's dialog 101, the string block holding string 1015
# (the page title; block 1015 / 16 + 1) and the version information.
mapfile -t resources < <(awk '
  /Resource Directory section/ { inside = 1 }
  inside && /^[0-9a-f]+   Entry: ID:/ { type = $4 }
  inside && /^[0-9a-f]+     Entry: ID:/ { print type "/" $4 }' <<<"$dump" | tr -d ',')
has_resource() {
  local wanted r
  wanted=$(printf '0x%06x/0x%06x' "$1" "$2")
  for r in "${resources[@]}"; do
    [[ $r == "$wanted" ]] && return 0
  done
  return 1
}
has_resource 5 101 || fail "no dialog 101"
has_resource 6 $((1015 / 16 + 1)) || fail "no string table block with string 1015"
has_resource 16 1 || fail "no version information"

if [[ $failures -gt 0 ]]; then
  echo "$module: $failures problem(s)"
  exit 1
fi
echo "$module: $format, imports ${imports[*]}, exports ${exports[*]}, dialog, strings, version"
