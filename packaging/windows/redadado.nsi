; The Windows installer, built by scripts/package-windows with Debian's NSIS:
;   makensis -DSTAGE=<deployed files> -DOUTFILE=<setup.exe> -DVERSION=<x.y.z> redadado.nsi
; The stage's file list comes in through files.nsh and uninstall.nsh, written by the script, so
; that the uninstaller removes exactly what was installed and leaves the user's NEF.ini.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

!define APP "Redadado"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Redadado"
!define PRINT_VERB "Redadado.Print"

Name "${APP}"
Caption "${APP} ${VERSION} のセットアップ"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\redadado.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Redadado を起動する"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "Redadado は 64 ビット版の Windows で動きます。" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Redadado"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !include "files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${APP}"
  CreateShortcut "$SMPROGRAMS\${APP}\Redadado.lnk" "$INSTDIR\redadado.exe"
  CreateShortcut "$SMPROGRAMS\${APP}\Redadado のアンインストール.lnk" "$INSTDIR\uninstall.exe"
  MessageBox MB_YESNO|MB_ICONQUESTION "デスクトップに Redadado のショートカットを作りますか？" \
    /SD IDNO IDNO noDesktop
    CreateShortcut "$DESKTOP\Redadado.lnk" "$INSTDIR\redadado.exe"
  noDesktop:

  ; A print verb beside whatever opens the two document types, never in place of it: the
  ; application prints a document given on its command line at once.
  WriteRegStr HKLM "Software\Classes\SystemFileAssociations\.bse\shell\${PRINT_VERB}" "" "点字印刷"
  WriteRegStr HKLM "Software\Classes\SystemFileAssociations\.bse\shell\${PRINT_VERB}\command" "" \
    '"$INSTDIR\redadado.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\SystemFileAssociations\.bes\shell\${PRINT_VERB}" "" "点字印刷"
  WriteRegStr HKLM "Software\Classes\SystemFileAssociations\.bes\shell\${PRINT_VERB}\command" "" \
    '"$INSTDIR\redadado.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Redadado（拡大点字印刷）"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\redadado.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !include "uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  ; Empty only: the user's NEF.ini (and what else the user made there) stays.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${APP}\Redadado.lnk"
  Delete "$SMPROGRAMS\${APP}\Redadado のアンインストール.lnk"
  RMDir "$SMPROGRAMS\${APP}"
  Delete "$DESKTOP\Redadado.lnk"
  DeleteRegKey HKLM "Software\Classes\SystemFileAssociations\.bse\shell\${PRINT_VERB}"
  DeleteRegKey HKLM "Software\Classes\SystemFileAssociations\.bes\shell\${PRINT_VERB}"
  DeleteRegKey /ifempty HKLM "Software\Classes\SystemFileAssociations\.bse\shell"
  DeleteRegKey /ifempty HKLM "Software\Classes\SystemFileAssociations\.bes\shell"
  DeleteRegKey /ifempty HKLM "Software\Classes\SystemFileAssociations\.bse"
  DeleteRegKey /ifempty HKLM "Software\Classes\SystemFileAssociations\.bes"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
