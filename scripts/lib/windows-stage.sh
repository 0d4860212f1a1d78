# shellcheck shell=bash
# Shared by the scripts that put a Windows program together with the Qt for Windows that
# scripts/windows-qt makes (scripts/windows-qt --smoke, scripts/windows-package): source it, then
#   rcp520_stage_windows_program QT_PREFIX DIR EXE...
# makes DIR afresh holding the programs and what they need to run: Qt6Core/Gui/Widgets.dll, the
# windows platform plugin, the windowsvista style, Qt's Chinese translations and the mingw
# runtime DLLs (libgcc, libstdc++, winpthread).

rcp520_mingw_runtime_dlls=(libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)

rcp520_stage_windows_program() {
  local prefix=$1 dir=$2 cxx=x86_64-w64-mingw32-g++-posix dll
  shift 2
  rm -rf "$dir"
  mkdir -p "$dir/platforms" "$dir/styles" "$dir/translations"
  cp "$@" "$prefix"/bin/Qt6{Core,Gui,Widgets}.dll "$dir/"
  cp "$prefix/plugins/platforms/qwindows.dll" "$dir/platforms/"
  cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$dir/styles/"
  cp "$prefix"/translations/*.qm "$dir/translations/" 2>/dev/null || true
  for dll in "${rcp520_mingw_runtime_dlls[@]}"; do
    cp "$(realpath "$($cxx -print-file-name="$dll")")" "$dir/"
  done
}
