; The per-user installer of Skimlet. scripts/release.sh compiles it with makensis and defines:
;   VERSION     the product version (four numbers)
;   FILES       the folder holding the files to install (skimlet.exe, .com, .dll, .chm, LICENSE.txt, README.txt)
;   ICON        the program's icon, shown by the installer and the uninstaller
;   SIZE_KB     the installed size in kB, for the list of installed programs
;   OUTFILE     the installer to write
;
; It needs no administrator: everything goes under the user's own profile and HKCU. Skimlet writes its lists beside
; its executable, so it is installed where the user can write, %LOCALAPPDATA%\Programs\Skimlet, unless /D= names
; another folder. An install over an earlier one replaces the program files and nothing else. /S is silent.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma
; The same files give the same installer: no file times are stored.
SetDateSave off

!include LogicLib.nsh
!include WinMessages.nsh

!define PRODUCT "Skimlet"
!define PUBLISHER "The Skimlet developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skimlet"
; The class of Skimlet's main window, and how long a running copy is given to exit.
!define MAIN_CLASS "TovFrmMain"
!define EXIT_WAIT_STEPS 50
!define EXIT_WAIT_STEP_MS 100
; A request to close for an update: the flag the restart manager puts in WM_QUERYENDSESSION and WM_ENDSESSION.
!define ENDSESSION_CLOSEAPP 0x00000001

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the earlier version went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
LicenseData "${FILES}\LICENSE.txt"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER} (MIT licence)"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Asks every running Skimlet to exit, as the restart manager would, and waits for their windows to go. When one
; stays, the user is told and may retry; a silent run gives up. Bounded: each question waits 2 s at most for its
; answer, and the windows are given 5 s to go.
!macro CLOSE_RUNNING_SKIMLET prefix
Function ${prefix}CloseRunningSkimlet
  retry:
  StrCpy $1 0
  StrCpy $2 0
  ask:
    FindWindow $0 "${MAIN_CLASS}" "" 0 $2
    ${If} $0 <> 0
      SendMessage $0 ${WM_QUERYENDSESSION} 0 ${ENDSESSION_CLOSEAPP} $3 /TIMEOUT=2000
      SendMessage $0 ${WM_ENDSESSION} 1 ${ENDSESSION_CLOSEAPP} $3 /TIMEOUT=2000
      StrCpy $2 $0
      IntOp $1 $1 + 1
      IntCmp $1 32 0 ask
    ${EndIf}
  StrCpy $1 0
  wait:
    FindWindow $0 "${MAIN_CLASS}"
    ${If} $0 = 0
      Return
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 < ${EXIT_WAIT_STEPS}
      Sleep ${EXIT_WAIT_STEP_MS}
      Goto wait
    ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "Skimlet is running and did not exit when asked.$\r$\nChoose Exit in its menu, then Retry." \
    /SD IDCANCEL IDRETRY retry
  DetailPrint "Skimlet is still running: nothing was changed."
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_SKIMLET ""
!insertmacro CLOSE_RUNNING_SKIMLET "un."

; The program files, the ones the uninstaller removes. User files (the lists, the action log, snapshots) are never
; part of them: an upgrade leaves them as they are.
!macro PROGRAM_FILES action
  !insertmacro ${action} "skimlet.exe"
  !insertmacro ${action} "skimlet.com"
  !insertmacro ${action} "skimlet.dll"
  !insertmacro ${action} "skimlet.chm"
  !insertmacro ${action} "LICENSE.txt"
  !insertmacro ${action} "README.txt"
!macroend
!macro INSTALL_FILE name
  File "${FILES}\${name}"
!macroend
!macro REMOVE_FILE name
  Delete "$INSTDIR\${name}"
!macroend

Section "Skimlet"
  Call CloseRunningSkimlet
  SetOutPath "$INSTDIR"
  !insertmacro PROGRAM_FILES INSTALL_FILE
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\skimlet.exe" "" "$INSTDIR\skimlet.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\skimlet.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there. The folder itself goes only when nothing else is left in it: the user's
; lists, action log and snapshots stay, and so does the folder that holds them.
Section "Uninstall"
  Call un.CloseRunningSkimlet
  !insertmacro PROGRAM_FILES REMOVE_FILE
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
