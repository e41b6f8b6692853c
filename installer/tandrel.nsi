; The Windows installer of Tandrel: Tandrel.exe under Program Files, a Start menu entry and an
; uninstaller that leaves the user's clips where they are. Built by scripts/build-dist.sh:
;   makensis -DEXE=<Tandrel.exe> -DOUTFILE=<setup.exe> -DVERSION=<version> installer/tandrel.nsi
; Starting with Windows stays the program's own option (its Startup shortcut).

!ifndef EXE
  !error "EXE (the path of Tandrel.exe) is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "Tandrel-Setup.exe"
!endif
!ifndef VERSION
  !define VERSION "2.8"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tandrel"
!define DATA_NOTE "Your clips and settings stay in your data folder ($APPDATA\Korvane\Tandrel). Delete that folder yourself to remove them too."

Name "Tandrel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Korvane\Tandrel"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
UninstallText "Tandrel will be removed from your computer. ${DATA_NOTE}"

Section "Tandrel"
  SetOutPath "$INSTDIR"
  File "/oname=Tandrel.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Tandrel"
  CreateShortcut "$SMPROGRAMS\Tandrel\Tandrel.lnk" "$INSTDIR\Tandrel.exe"
  CreateShortcut "$SMPROGRAMS\Tandrel\Uninstall Tandrel.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tandrel ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Korvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tandrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Tandrel.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES\Korvane"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Tandrel\Tandrel.lnk"
  Delete "$SMPROGRAMS\Tandrel\Uninstall Tandrel.lnk"
  RMDir "$SMPROGRAMS\Tandrel"

  ; The program's own "start with Windows" shortcut, if it made one.
  SetShellVarContext current
  Delete "$SMSTARTUP\Tandrel.LNK"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DetailPrint "${DATA_NOTE}"
  IfSilent done
  MessageBox MB_OK|MB_ICONINFORMATION "Tandrel has been removed. ${DATA_NOTE}"
  done:
SectionEnd
