; Kalvora's installer: the program folder, its shortcuts, the .kvc and .kov file types, the
; desktop icon's shell object, and an uninstaller listed under Add or Remove Programs.
;
; Built by the Windows build (installer/CMakeLists.txt), which defines:
;   VERSION   the program's version ("4.7.0")
;   STAGE     the folder holding the program folder's files as they are installed
;   ICON      the program's icon
;   OUTFILE   the installer to write
; and, when it has drawn one, WELCOME_BITMAP (164 x 314) for the first and last pages.
; The user's calendars ("My Calendars" in the documents folder) and settings are the user's:
; neither the installer nor the uninstaller touches them.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef VERSION
  !error "VERSION must be defined (installer/CMakeLists.txt defines VERSION, STAGE, ICON and OUTFILE)"
!endif
!ifndef STAGE
  !error "STAGE must be defined"
!endif
!ifndef ICON
  !error "ICON must be defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE must be defined"
!endif

!define PRODUCT "Kalvora"
!define PUBLISHER "Quorvex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalvora"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\kalvora.exe"
; The class of the desktop icon that the program switches on and off for each user.
!define DESKTOP_ICON_CLSID "{5D2C7E41-8B3A-4F6E-9C15-2A7B0E4D9F63}"
!define CONFIG_PROGID "Kalvora.Configuration"
!define OVERLAY_PROGID "Kalvora.Overlay"
; Icons of kalvora.exe by resource number: the program's own and the calendar's.
!define ICON_PROGRAM "-499"
!define ICON_CALENDAR "-501"
!define SHCNE_ASSOCCHANGED 0x08000000

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; A reinstall or update goes where the program is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!ifdef WELCOME_BITMAP
  !define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME_BITMAP}"
!endif
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\kalvora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run ${PRODUCT}"

!insertmacro MUI_PAGE_WELCOME
!ifdef LICENSE
  !insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!endif
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---- a running program must be closed first --------------------------------------------------

!macro WAIT_FOR_PROGRAM_TO_CLOSE
  ${Do}
    FindWindow $0 "KV4Frame"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running. Close it, then click Retry." /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

Function .onInit
  SetRegView 64
  SetShellVarContext all
  !insertmacro WAIT_FOR_PROGRAM_TO_CLOSE
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  !insertmacro WAIT_FOR_PROGRAM_TO_CLOSE
FunctionEnd

; ---- the program folder -------------------------------------------------------------------

Section "${PRODUCT} (required)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/kalvora.exe"
  File "${STAGE}/kvtool.exe"
  File "${STAGE}/DEFAULT.DAT"
  File "${STAGE}/KVLOCATION.DAT"
  File "${STAGE}/KVLOCAL_40.DAT"
  File "${STAGE}/KVTZX.DAT"
  File "${STAGE}/KVTZNAMES.DAT"
  !if /FileExists "${STAGE}/kalvora.chm"
    File "${STAGE}/kalvora.chm"
  !endif
  SetOutPath "$INSTDIR\Data"
  File /r "${STAGE}/Data/*.*"
  SetOutPath "$INSTDIR\Alarms"
  File "${STAGE}/Alarms/*.wav"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Add or Remove Programs.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kalvora.exe,${ICON_PROGRAM}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\kalvora.exe"

  ; Calendar configurations and overlays open in Kalvora.
  WriteRegStr HKLM "Software\Classes\.kvc" "" "${CONFIG_PROGID}"
  WriteRegStr HKLM "Software\Classes\${CONFIG_PROGID}" "" "${PRODUCT} Calendar Configuration"
  WriteRegStr HKLM "Software\Classes\${CONFIG_PROGID}\DefaultIcon" "" "$INSTDIR\kalvora.exe,${ICON_PROGRAM}"
  WriteRegStr HKLM "Software\Classes\${CONFIG_PROGID}\shell\open\command" "" '"$INSTDIR\kalvora.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\.kov" "" "${OVERLAY_PROGID}"
  WriteRegStr HKLM "Software\Classes\${OVERLAY_PROGID}" "" "${PRODUCT} Overlay"
  WriteRegStr HKLM "Software\Classes\${OVERLAY_PROGID}\DefaultIcon" "" "$INSTDIR\kalvora.exe,${ICON_CALENDAR}"
  WriteRegStr HKLM "Software\Classes\${OVERLAY_PROGID}\shell\open\command" "" '"$INSTDIR\kalvora.exe" "%1"'

  ; The shell object behind the desktop icon: opening it starts Kalvora.
  WriteRegStr HKLM "Software\Classes\CLSID\${DESKTOP_ICON_CLSID}" "" "${PRODUCT}"
  WriteRegStr HKLM "Software\Classes\CLSID\${DESKTOP_ICON_CLSID}" "InfoTip" "Your calendars, schedule, to-do list, phonebook and notes."
  WriteRegStr HKLM "Software\Classes\CLSID\${DESKTOP_ICON_CLSID}\DefaultIcon" "" "$INSTDIR\kalvora.exe,${ICON_PROGRAM}"
  WriteRegStr HKLM "Software\Classes\CLSID\${DESKTOP_ICON_CLSID}\Shell\Open\Command" "" '"$INSTDIR\kalvora.exe"'

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Start menu shortcut" SecStartMenu
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\kalvora.exe" "" "$INSTDIR\kalvora.exe" ${ICON_PROGRAM}
SectionEnd

Section /o "Desktop shortcut" SecDesktop
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\kalvora.exe" "" "$INSTDIR\kalvora.exe" ${ICON_PROGRAM}
SectionEnd

; ---- uninstall ----------------------------------------------------------------------------

; Removes a file type's key only while it still names this program's type.
!macro REMOVE_FILE_TYPE EXT PROGID
  ReadRegStr $0 HKLM "Software\Classes\${EXT}" ""
  ${If} $0 == "${PROGID}"
    DeleteRegKey HKLM "Software\Classes\${EXT}"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
!macroend

Section "Uninstall"
  ; Only what the installer put there: the folder may hold files of the user's own.
  Delete "$INSTDIR\kalvora.exe"
  Delete "$INSTDIR\kvtool.exe"
  Delete "$INSTDIR\kalvora.chm"
  Delete "$INSTDIR\DEFAULT.DAT"
  Delete "$INSTDIR\KVLOCATION.DAT"
  Delete "$INSTDIR\KVLOCAL_40.DAT"
  ; The locations an earlier release left, moved here by the program at its first start.
  Delete "$INSTDIR\KVLOCAL.DAT"
  Delete "$INSTDIR\KVTZX.DAT"
  Delete "$INSTDIR\KVTZNAMES.DAT"
  RMDir /r "$INSTDIR\Data"
  RMDir /r "$INSTDIR\Alarms"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"

  !insertmacro REMOVE_FILE_TYPE ".kvc" "${CONFIG_PROGID}"
  !insertmacro REMOVE_FILE_TYPE ".kov" "${OVERLAY_PROGID}"
  DeleteRegKey HKLM "Software\Classes\CLSID\${DESKTOP_ICON_CLSID}"
  ; The desktop icon of the user who uninstalls would now point at nothing.
  DeleteRegKey HKCU "Software\Microsoft\Windows\CurrentVersion\Explorer\Desktop\Namespace\${DESKTOP_ICON_CLSID}"
  DeleteRegKey HKLM "${APP_PATHS_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
