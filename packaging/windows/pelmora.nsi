; The Windows installer: the window (pelmora.exe) and the command-line tool
; (pelmora-cli.exe) with their texts under Program Files, a Start-menu entry,
; an entry in "Apps & features", and an uninstaller that removes all of it
; and the port index the window kept for the user who uninstalls.
;
;   makensis -DVERSION=1.0.3 -DSTAGE=<folder with the programs and texts> \
;            -DICON=<pelmora.ico> -DOUTFILE=<installer.exe> packaging/windows/pelmora.nsi
;
; Silent: installer /S [/D=folder], uninstall.exe /S.
Target amd64-unicode

!include "MUI2.nsh"

!define PRODUCT "Pelmora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora"
; The window's own key for the last chosen port (app/registry_port_index_store.h).
!define PORT_INDEX_KEY "Software\KVL\COMM"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} installer"
VIAddVersionKey "CompanyName" "KVL"
VIAddVersionKey "LegalCopyright" "See LICENSE.txt"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Every file the installer puts down, and so every file the uninstaller takes away.
!macro InstalledFiles action
  !insertmacro ${action} "pelmora.exe"
  !insertmacro ${action} "pelmora-cli.exe"
  !insertmacro ${action} "README.txt"
  !insertmacro ${action} "LICENSE.txt"
  !insertmacro ${action} "licenses\gcc-runtime.txt"
  !insertmacro ${action} "licenses\mingw-w64-runtime.txt"
!macroend
!macro PutFile name
  File "/oname=${name}" "${STAGE}/${name}"
!macroend
!macro RemoveFile name
  Delete "$INSTDIR\${name}"
!macroend

Section "Install"
  SetRegView 64
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  CreateDirectory "$INSTDIR\licenses"
  !insertmacro InstalledFiles PutFile
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\pelmora.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "KVL"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelmora.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !insertmacro InstalledFiles RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\licenses"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The port index the window wrote for this user; the keys only if nothing else is in them.
  DeleteRegValue HKCU "${PORT_INDEX_KEY}" "COMM"
  DeleteRegKey /ifempty HKCU "${PORT_INDEX_KEY}"
  DeleteRegKey /ifempty HKCU "Software\KVL"
SectionEnd
