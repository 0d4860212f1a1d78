; The Windows installer of RCP520, made by scripts/windows-package with NSIS (makensis):
;   makensis -DVERSION=3.9 -DSTAGE=<folder of the files> -DFILES=<folder of the file lists>
;            -DICON=<rcp520.ico> -DSIZE_KB=<installed size> -DOUTFILE=<setup.exe> rcp520.nsi
; A per-user install: no administrator rights, the program under
; %LOCALAPPDATA%\Programs\RCP520, a Start-menu entry, and an entry in Apps & features (HKCU).
; scripts/windows-package writes the two file lists the script includes: install.nsh (File
; commands, folder by folder) and uninstall.nsh (a Delete for every file installed, then RMDir of
; each folder, which removes a folder only when it is empty). The uninstaller removes exactly
; what was installed; the user's settings (%APPDATA%\rcp520\Com.ini), backups and service
; history are not in the program's folder and stay.

; A 64-bit installer for a 64-bit program (and Wine's wine64 runs it without a 32-bit Wine).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

;   -DSIGN=<signing command> (scripts/windows-sign) signs the uninstaller makensis writes into the
;   installer, and the installer itself, as each is finished.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

!define PRODUCT "RCP520 写频软件"
!define PUBLISHER "Veltra通讯设备有限公司"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RCP520"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\RCP520"
; A folder chosen in an earlier install is offered again.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© 2024 ${PUBLISHER}"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\rcp520.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/licenses/RCP520.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "RCP520"
  SetShellVarContext current
  ; Over an earlier install its own uninstaller goes first (in place, waited for), so that no
  ; file of the old version stays behind unlisted; the user's files are not in this folder.
  IfFileExists "$INSTDIR\uninstall.exe" 0 +3
    ExecWait '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    Delete "$INSTDIR\uninstall.exe"
  !include "${FILES}/install.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\rcp520.exe" "" "$INSTDIR\rcp520.exe" 0 \
    SW_SHOWNORMAL "" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rcp520.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !include "${FILES}/uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
