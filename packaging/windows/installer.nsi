; The tester's Windows installer, built by scripts/package-windows with makensis, which defines
; VERSION (x.y.z), STAGE (the folder with the program and its DLLs), FILES and UNFILES (the
; File and Delete lines for exactly what STAGE holds), ICON and OUTFILE.
;
; Installs for the current user (in %LOCALAPPDATA%\Programs, no administrator needed) or for all
; users (in Program Files): chosen on a page, or on the command line with /CurrentUser or
; /AllUsers; /S installs silently.  Two Start-menu entries: the tester, and a console opened in the
; installed folder with m797-cli's usage shown.  The uninstaller removes the files, the Start-menu
; entries and its own registration, and leaves the user's settings under HKCU\SOFTWARE\TARKON alone.
; A 64-bit installer: the program is 64-bit only, and Wine as Debian's wine64 runs no 32-bit one.
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP_NAME "Тестер для Bosch M7.9.7"
!define APP_EXE "m797-tester.exe"
!define CLI_NAME "m797-cli (командная строка)"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\M797Tester"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "M797 Tester"
; An installation for all users is registered under HKLM; that is how the uninstaller and a new
; installer tell the two apart.
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "UninstallString"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh

Name "${APP_NAME}"
OutFile "${OUTFILE}"
BrandingText "Tarkon"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=1049 "CompanyName" "Tarkon"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© Tarkon"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка: ${APP_NAME}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP_EXE}"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_EXE}" 0
  ; The working folder of a shortcut is the output path: the console starts in the installed one.
  CreateShortcut "$SMPROGRAMS\${CLI_NAME}.lnk" "$SYSDIR\cmd.exe" '/K m797-cli.exe --help' \
    "$SYSDIR\cmd.exe" 0

  ; SHCTX is HKLM for all users and HKCU for the current user (MultiUser sets the shell context).
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Tarkon"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP_EXE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APP_NAME}.lnk"
  Delete "$SMPROGRAMS\${CLI_NAME}.lnk"
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The settings (HKCU\SOFTWARE\TARKON\Vestrel) stay for a later installation.
SectionEnd
