; The per-user installer of Vantrel for Windows. No administrator is needed:
; everything goes into the user's own folders and registry.
; makensis gets VERSION, PROGRAM (vantrel.exe), ICON, LICENSE, README and
; OUTFILE from the build (data/windows/CMakeLists.txt).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The hidden window of the running program: asked to close, it ends as Exit
; ends it.
!define RESIDENT_WINDOW_CLASS "Morvask.Vantrel.Resident"

Name "Vantrel"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vantrel"
; An upgrade goes where the installed copy is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vantrel ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey "ProductName" "Vantrel"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Morvask"
VIAddVersionKey "LegalCopyright" "Copyright 2026 Morvask"
VIAddVersionKey "FileDescription" "Vantrel Setup"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_PAGE_HEADER_TEXT "Choose how Vantrel starts"
!define MUI_PAGE_HEADER_SUBTEXT "Vantrel watches F6 to F12 while it runs, from the notification area."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Vantrel is installed for you alone, into $INSTDIR, with a shortcut in the Start menu."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "Options:"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vantrel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Vantrel now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Asks a running Vantrel of this session to end, and waits until its
; process is gone, since its file cannot be replaced or removed before.
!macro EndRunningVantrel un
Function ${un}EndRunningVantrel
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 0
  ${Do}
    FindWindow $0 "${RESIDENT_WINDOW_CLASS}" ""
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i .r1'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      Sleep 500
    ${EndIf}
    IntOp $3 $3 + 1
    ${If} $3 >= 5
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Vantrel is still running and does not end.$\r$\n$\r$\nEnd it with Exit in its menu in the notification area, then choose Retry." /SD IDCANCEL IDRETRY +2
      Abort "Vantrel is still running."
      StrCpy $3 0
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro EndRunningVantrel ""
!insertmacro EndRunningVantrel "un."

Section "Vantrel" SecProgram
  SectionIn RO
  Call EndRunningVantrel
  SetOutPath "$INSTDIR"
  File "/oname=vantrel.exe" "${PROGRAM}"
  File "/oname=License.txt" "${LICENSE}"
  File "/oname=ReadMe.txt" "${README}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Vantrel.lnk" "$INSTDIR\vantrel.exe" "" "$INSTDIR\vantrel.exe" 0 SW_SHOWNORMAL "" "Bind F6 to F12 to files and programs"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vantrel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Morvask"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Start Vantrel when I sign in" SecSignIn
  WriteRegStr HKCU "${RUN_KEY}" "Vantrel" '"$INSTDIR\vantrel.exe"'
SectionEnd

Section "-Sign-in start turned off"
  ${IfNot} ${SectionIsSelected} ${SecSignIn}
    DeleteRegValue HKCU "${RUN_KEY}" "Vantrel"
  ${EndIf}
SectionEnd

Function .onInit
  ; An upgrade keeps the user's choice of the start at sign-in.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    ReadRegStr $1 HKCU "${RUN_KEY}" "Vantrel"
    ${If} $1 == ""
      !insertmacro UnselectSection ${SecSignIn}
    ${EndIf}
  ${EndIf}
FunctionEnd

; A silent installation starts Vantrel as the finish page does when its box
; is left ticked, so that an upgrade leaves the program running.
Function .onInstSuccess
  ${If} ${Silent}
    Exec '"$INSTDIR\vantrel.exe"'
  ${EndIf}
FunctionEnd

; The bindings under HKCU\Software\Morvask\Quintor stay, for a later
; installation.
Section "Uninstall"
  Call un.EndRunningVantrel
  Delete "$SMPROGRAMS\Vantrel.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Vantrel"
  Delete "$INSTDIR\vantrel.exe"
  Delete "$INSTDIR\License.txt"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
