#!/usr/bin/env bash
# Checks the shipping executable: a 32-bit GUI PE that imports only DLLs of
# the Windows system set (no mingw runtime DLLs beside it).
set -euo pipefail
exe="${1:?usage: check-pe.sh EXE}"

fmt="$(file -b "$exe")"
if [[ "$fmt" != *"PE32 executable (GUI) Intel 80386"* ]]; then
  echo "check-pe: $exe is not a 32-bit GUI executable: $fmt" >&2
  exit 1
fi

system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|msvcrt|comctl32|comdlg32|shlwapi|urlmon|bcrypt|version|ws2_32|uxtheme)\.dll$'
status=0
while read -r dll; do
  if ! [[ "${dll,,}" =~ $system_dlls ]]; then
    echo "check-pe: $exe imports $dll, which is not a system DLL" >&2
    status=1
  fi
done < <(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
if ! grep -aq 'level="requireAdministrator"' "$exe"; then
  echo "check-pe: $exe has no manifest that requests administrator rights" >&2
  status=1
fi
[[ $status -eq 0 ]] && echo "check-pe: $exe: $fmt; imports: $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
exit $status
