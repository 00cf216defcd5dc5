; The per-user installer of DanceEntry for Windows (makensis -INPUTCHARSET UTF8; tools/build-windows.sh passes
; VERSION, STAGE (the folder of the portable zip's files), ICON and OUTFILE). No administrator rights: the program
; goes to the user's own program folder, and the Start menu entry, the uninstaller's line in the program list and
; the entry files' type are the user's own too.
; A 64-bit installer, as the program is: it runs where the program runs, Wine's 64-bit loader (wine64) included.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define APP "DanceEntry"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\DanceEntry"
!define ENTRY_TYPE "DanceEntry.EntryFile"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\danceentry.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "DanceEntry"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\danceentry.exe" "" "$INSTDIR\danceentry.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\danceentry.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

    ; Entry files show the program's icon and open the program.
    WriteRegStr HKCU "Software\Classes\.ent" "" "${ENTRY_TYPE}"
    WriteRegStr HKCU "Software\Classes\${ENTRY_TYPE}" "" "DanceEntry エントリーファイル"
    WriteRegStr HKCU "Software\Classes\${ENTRY_TYPE}\DefaultIcon" "" "$INSTDIR\danceentry.exe,0"
    WriteRegStr HKCU "Software\Classes\${ENTRY_TYPE}\shell\open\command" "" '"$INSTDIR\danceentry.exe"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    ; Only the program's own files: the club's data lives elsewhere (%APPDATA%\DanceEntry) and stays.
    Delete "$INSTDIR\danceentry.exe"
    Delete "$INSTDIR\danceentry-tool.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\translations\qtbase_ja.qm"
    RMDir "$INSTDIR\translations"
    Delete "$INSTDIR\fonts\ipagp.ttf"
    Delete "$INSTDIR\fonts\ipag.ttf"
    Delete "$INSTDIR\fonts\IPA_Font_License.txt"
    RMDir "$INSTDIR\fonts"
    Delete "$INSTDIR\doc\guide-ja.md"
    Delete "$INSTDIR\doc\guide\*.png"
    RMDir "$INSTDIR\doc\guide"
    RMDir "$INSTDIR\doc"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APP}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ReadRegStr $0 HKCU "Software\Classes\.ent" ""
    StrCmp $0 "${ENTRY_TYPE}" 0 +2
    DeleteRegKey HKCU "Software\Classes\.ent"
    DeleteRegKey HKCU "Software\Classes\${ENTRY_TYPE}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
