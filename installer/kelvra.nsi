; The installer of the monitor: per user by default (no administrator rights needed),
; for all users on request (the mode page, or /AllUsers on the command line).
; makensis -DVERSION=1.22 -DFILES=<folder with the program's files> -DICON=<icon> -DOUTFILE=<setup.exe>
Unicode true
; What ships is the 32-bit installer. -DTARGET=amd64-unicode makes the same installer as a
; 64-bit program, for testing it with 64-bit files where no 32-bit program can run.
!ifdef TARGET
  Target ${TARGET}
!endif
SetCompressor /SOLID lzma

!ifndef VERSION | FILES | OUTFILE | ICON
  !error "VERSION, FILES, ICON and OUTFILE must be given"
!endif

!define PRODUCT "Tarvelo"
!define PUBLISHER "Quorvel Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\Quorvel Software\Tarvelo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!define MULTIUSER_MUI
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\kelvra.exe"
!define MUI_FINISHPAGE_RUN_TEXT "现在启动 ${PRODUCT}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "© ${PUBLISHER}"

; A running monitor holds its files: ask it to stop (its registered stop message, sent to
; one status window, ends the whole program) and wait until its process has gone.
!macro StopRunningMonitor un
Function ${un}StopRunningMonitor
  FindWindow $0 "TStatsForm"
  ${If} $0 == 0
    Return
  ${EndIf}
  System::Call 'user32::RegisterWindowMessageW(w "TarveloStop") i .r1'
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r2)'
  ; SYNCHRONIZE: enough to wait for it
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r2) p .r3'
  SendMessage $0 $1 0 0 /TIMEOUT=5000
  ${If} $3 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r3, i 15000) i .r4'
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
FunctionEnd
!macroend
!insertmacro StopRunningMonitor ""
!insertmacro StopRunningMonitor "un."

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  Call StopRunningMonitor
  SetOutPath "$INSTDIR"
  File "${FILES}\kelvra.exe"
  File "${FILES}\kelvra.dll"
  File "${FILES}\kelvra.chm"
  SetOutPath "$INSTDIR\Plugins"
  File "${FILES}\Plugins\kv_example.dll"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\kelvra.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvra.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.StopRunningMonitor
  Delete "$INSTDIR\kelvra.exe"
  Delete "$INSTDIR\kelvra.dll"
  Delete "$INSTDIR\kelvra.chm"
  Delete "$INSTDIR\Plugins\kv_example.dll"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\Plugins"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The start-with-the-system value points at the removed program: it goes too, from
  ; the machine's key (where this user may change it) and from the user's own.
  ReadRegStr $0 HKLM "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == "$INSTDIR\kelvra.exe"
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == "$INSTDIR\kelvra.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
  ; The settings stay unless the user asks otherwise (a silent uninstall keeps them).
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "是否同时删除 ${PRODUCT} 的设置？" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Quorvel Software"
  keep:
SectionEnd
