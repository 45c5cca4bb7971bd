; The Windows installer. Installs for the current user, without administrator
; rights, into %LOCALAPPDATA%\Programs\Korvallestin; adds a Start menu
; shortcut and an entry in Apps & features. /S installs silently. The
; uninstaller removes every file, folder, shortcut and registry key made here.
;
; scripts/windows-package runs makensis with:
;   VERSION   the program's version (1.1.0)
;   STAGE     the folder to install, as the zip carries it
;   OUTFILE   the installer to write
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define NAME "Korvallestin"
!define PUBLISHER "The Korvallestin developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvallestin"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
Icon "${STAGE}/korvallestin.ico"
UninstallIcon "${STAGE}/korvallestin.ico"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=3081 "ProductName" "${NAME}"
VIAddVersionKey /LANG=3081 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=3081 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=3081 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=3081 "FileDescription" "${NAME} ${VERSION} installer"
VIAddVersionKey /LANG=3081 "LegalCopyright" "MIT licence; postcode data ISC licence"

!include "MUI2.nsh"
!define MUI_ICON "${STAGE}/korvallestin.ico"
!define MUI_UNICON "${STAGE}/korvallestin.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvallestin.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Korvallestin"
    SetShellVarContext current
    ; Programs may not exist yet under a fresh profile: if the installer makes
    ; it, the uninstaller removes it again (when nothing else is in it).
    StrCpy $0 0
    IfFileExists "$LOCALAPPDATA\Programs\*.*" +2 0
        StrCpy $0 1
    SetOutPath "$INSTDIR"
    ; The list of files comes from the staged folder, so that the uninstaller
    ; removes exactly what was installed (files.nsh, made with the stage).
    !include "${STAGE_LIST}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\korvallestin.exe" "" \
        "$INSTDIR\korvallestin.exe" 0 SW_SHOWNORMAL "" "Look up Australian postcodes"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvallestin.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder" $0
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    !include "${UNSTAGE_LIST}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"
    StrCmp $0 1 0 +2
        RMDir "$LOCALAPPDATA\Programs"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
