; The Windows installer: both programs, the sample boring and its code tables, a Start-menu
; entry and an uninstaller. It installs for the current user, without administrator rights,
; into %LOCALAPPDATA%\Programs\zk2morvex, where the sample boring stays writable (a conversion
; writes BORLING.NO into the boring's folder).
;
; Built by scripts/build-installer.sh, which passes:
;   BIN_DIR    folder of zk2morvex.exe and zk2morvex-cli.exe
;   TREE       the source tree (sample/, src/window/win32/zk2morvex.ico)
;   FILES_NSH  the generated list of the sample's files (install and removal macros)
;   OUT_FILE   the installer to write
;   VERSION    the program's version
;
; Silent use: zk2morvex-setup.exe /S [/D=FOLDER]   and   uninstall.exe /S

Unicode true
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "${FILES_NSH}"

!define PRODUCT "zk2morvex"
!define TITLE "Zk -> MORVEX 変換プログラム"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\zk2morvex"
!define SETTINGS_DIR "$APPDATA\zk2morvex"
!define MENU_DIR "$SMPROGRAMS\zk2morvex"

Name "${TITLE}"
Caption "${TITLE} ${VERSION} セットアップ"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\zk2morvex"
InstallDirRegKey HKCU "Software\zk2morvex" "InstallDir"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${TITLE}"
VIAddVersionKey /LANG=1041 "FileDescription" "${TITLE} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "zk2morvex developers"

!define MUI_ICON "${TREE}/src/window/win32/zk2morvex.ico"
!define MUI_UNICON "${TREE}/src/window/win32/zk2morvex.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zk2morvex.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Writes $R1 as "${SETTINGS_DIR}\RaroreD5.ini" in Japanese ANSI (code page 932), as every
; file of the program is, whatever code page this Windows uses for others; then keeps the
; file's time, by which the uninstaller knows the file is still as written.
Function WriteSettingsFile
  ClearErrors
  FileOpen $R0 "${SETTINGS_DIR}\RaroreD5.ini" w
  ${If} ${Errors}
    Return
  ${EndIf}
  System::Call 'kernel32::WideCharToMultiByte(i 932, i 0, w R1, i -1, p 0, i 0, p 0, p 0) i .R2'
  System::Alloc $R2
  Pop $R3
  System::Call 'kernel32::WideCharToMultiByte(i 932, i 0, w R1, i -1, p R3, i R2, p 0, p 0) i .R2'
  IntOp $R2 $R2 - 1
  System::Call 'kernel32::WriteFile(p R0, p R3, i R2, *i .R4, p 0) i .R5'
  System::Free $R3
  FileClose $R0
  ${If} $R5 = 0
  ${OrIf} $R4 <> $R2
    Delete "${SETTINGS_DIR}\RaroreD5.ini"
    Return
  ${EndIf}
  ClearErrors
  GetFileTime "${SETTINGS_DIR}\RaroreD5.ini" $R6 $R7
  ${IfNot} ${Errors}
    WriteRegStr HKCU "Software\zk2morvex" "WroteSettings" "$R6 $R7"
  ${EndIf}
FunctionEnd

Section "zk2morvex" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/zk2morvex.exe"
  File "${BIN_DIR}/zk2morvex-cli.exe"
  !insertmacro InstallSampleFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The code-table setting, only when this user has none: a setting already in the user's
  ; folder or in the Windows folder keeps naming the office's own code tables.
  ${IfNot} ${FileExists} "${SETTINGS_DIR}\RaroreD5.ini"
  ${AndIfNot} ${FileExists} "$WINDIR\RaroreD5.ini"
    CreateDirectory "${SETTINGS_DIR}"
    ; First line skipped by the reader; the second names the folder, quoted for blanks.
    StrCpy $R1 '[zk2morvex]$\r$\n"$INSTDIR\sample\codes\"$\r$\n'
    Call WriteSettingsFile
  ${EndIf}

  CreateDirectory "${MENU_DIR}"
  CreateShortcut "${MENU_DIR}\zk2morvex 変換プログラム.lnk" "$INSTDIR\zk2morvex.exe" "" "$INSTDIR\zk2morvex.exe" 0
  CreateShortcut "${MENU_DIR}\サンプルのボーリング.lnk" "$INSTDIR\sample\B001"
  CreateShortcut "${MENU_DIR}\zk2morvex のアンインストール.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "Software\zk2morvex" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "zk2morvex developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zk2morvex.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what was installed, file by file: whatever the user made in these folders (an
; exchange file, BORLING.NO of a converted sample) stays, and so do the folders holding it.
Section "Uninstall"
  Delete "$INSTDIR\zk2morvex.exe"
  Delete "$INSTDIR\zk2morvex-cli.exe"
  !insertmacro RemoveSampleFiles
  RMDir "$INSTDIR\sample\B001"
  RMDir "$INSTDIR\sample\codes"
  RMDir "$INSTDIR\sample"

  Delete "${MENU_DIR}\zk2morvex 変換プログラム.lnk"
  Delete "${MENU_DIR}\サンプルのボーリング.lnk"
  Delete "${MENU_DIR}\zk2morvex のアンインストール.lnk"
  RMDir "${MENU_DIR}"

  ; The setting goes only when this installer wrote it and nobody has changed it since.
  ReadRegStr $0 HKCU "Software\zk2morvex" "WroteSettings"
  ClearErrors
  GetFileTime "${SETTINGS_DIR}\RaroreD5.ini" $1 $2
  ${IfNot} ${Errors}
  ${AndIf} $0 != ""
  ${AndIf} $0 == "$1 $2"
    Delete "${SETTINGS_DIR}\RaroreD5.ini"
    RMDir "${SETTINGS_DIR}"
  ${EndIf}

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\zk2morvex"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
