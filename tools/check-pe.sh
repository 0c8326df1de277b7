#!/usr/bin/env bash
# Checks the shipping executable: a 32-bit GUI PE that imports only KnownDLLs
# (no mingw runtime DLLs beside it). The program starts from a download folder:
# Windows loads a KnownDLL from the system folder whatever lies beside the
# program, but any other imported DLL would be searched for in that folder
# first. Other system DLLs are loaded at run time from the system folder only.
set -euo pipefail
exe="${1:?usage: check-pe.sh EXE}"

fmt="$(file -b "$exe")"
if [[ "$fmt" != *"PE32 executable (GUI) Intel 80386"* ]]; then
  echo "check-pe: $exe is not a 32-bit GUI executable: $fmt" >&2
  exit 1
fi

# The KnownDLLs of every Windows version from 7 on (HKLM\SYSTEM\CurrentControlSet\
# Control\Session Manager\KnownDLLs). System DLLs that are missing from that
# list on some version are left out: comctl32 (side by side), urlmon and wininet
# (KnownDLLs on Windows 7 only), bcrypt, version, uxtheme, msimg32, crypt32 and the like.
known_dlls='^(advapi32|comdlg32|gdi32|imagehlp|imm32|kernel32|msctf|msvcrt|normaliz|nsi|ole32|oleaut32|psapi|rpcrt4|sechost|setupapi|shell32|shlwapi|user32|wldap32|ws2_32)\.dll$'
status=0
while read -r dll; do
  if ! [[ "${dll,,}" =~ $known_dlls ]]; then
    echo "check-pe: $exe imports $dll, which is not a KnownDLL (load it at run time from the system folder)" >&2
    status=1
  fi
done < <(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
if ! grep -aq 'level="requireAdministrator"' "$exe"; then
  echo "check-pe: $exe has no manifest that requests administrator rights" >&2
  status=1
fi
[[ $status -eq 0 ]] && echo "check-pe: $exe: $fmt; imports: $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
exit $status
