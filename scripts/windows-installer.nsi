; The per-user installer of the Windows program (built by scripts/windows-dist.sh).
; Installs without administrator rights into %LOCALAPPDATA%\Programs\SW40610:
; the program keeps MASTER, PROJECTS and Tavorix.xml beside its executable,
; which a folder under Program Files would forbid. A Start-menu entry, and
; an uninstaller listed in Apps & features that removes what was installed
; and leaves the engineer's PROJECTS, MASTER and Tavorix.xml in place.
; Silent with /S (the uninstaller too).
;   makensis -DVERSION=1.000 -DOUT_FILE=<setup.exe>
;            -DFILES=<install list> -DREMOVALS=<removal list> windows-installer.nsi

; A 64-bit installer for the 64-bit program (it also runs where no 32-bit
; subsystem is installed, as under a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define NAME "SW40610"
!define DESCRIPTION "SW40610 configurator"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Name "${DESCRIPTION} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!include "MUI2.nsh"
!define MUI_FINISHPAGE_RUN "$INSTDIR\sw40610.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Install"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${DESCRIPTION}.lnk" "$INSTDIR\sw40610.exe" "" "$INSTDIR\sw40610.exe" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${DESCRIPTION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\sw40610.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the installer put there; the folder itself goes only when
  ; nothing of the engineer's is left in it.
  !include "${REMOVALS}"
  Delete "$INSTDIR\Ethernet_Update.xml"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\${DESCRIPTION}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  RMDir "$INSTDIR"
SectionEnd
