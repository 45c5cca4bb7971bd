; The Windows installer. Installs for the current user, without administrator
; rights, into %LOCALAPPDATA%\Programs\Korvallestin, or where the last install
; went; adds a Start menu shortcut for each window (Korvallestin and
; Korvallestin List Check), "Open with" Korvallestin List Check for .csv
; files (for this user, never as the default program for them) and an entry
; in Apps & features. /S installs silently. An install over an earlier one
; first runs the earlier one's own uninstaller, so that one entry remains and
; no file of the earlier version stays that this one does not ship. The
; uninstaller removes every file, folder, shortcut and registry key made
; here, and nothing of another program's.
;
; Neither goes on while the program runs: they ask for it to be closed
; (Retry / Cancel). Exit status: 0 done; 1 cancelled by the user; 2 stopped
; with nothing changed because the program runs (silent), or, uninstalling,
; files that could not be removed (the entry and the uninstaller then stay,
; so that it can be run again).
;
; scripts/windows-installer runs makensis with:
;   VERSION          the program's version (1.1.0)
;   STAGE            the folder to install, as the zip carries it
;   OUTFILE          the installer to write
;   SIZE_KB          the folder's size, for Apps & features
;   STAGE_LIST       the folders and files to install
;   UNSTAGE_FILES    the files the uninstaller removes
;   UNSTAGE_FOLDERS  the folders it then removes, deepest first
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define NAME "Korvallestin"
!define PUBLISHER "The Korvallestin developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvallestin"
; Held by the program while it runs (platform/platform_windows.cpp).
!define RUNNING_MUTEX "Korvallestin.Running"
!define SYNCHRONIZE 0x00100000

; The List Check window, and what makes it one of the programs that Explorer's
; "Open with" offers for a .csv file: its application key (the command, its
; name in the list, the types it opens) and a ProgID of ours named among
; .csv's OpenWithProgids. The default value of .csv, which names the default
; program for CSV files, is never read or written.
!define LIST_CHECK_NAME "Korvallestin List Check"
!define LIST_CHECK_EXE "korvallestin-list-check.exe"
!define CLASSES "Software\Classes"
!define LIST_CHECK_APP_KEY "${CLASSES}\Applications\${LIST_CHECK_EXE}"
!define LIST_CHECK_PROGID "Korvallestin.ListCheck.csv"
!define LIST_CHECK_PROGID_KEY "${CLASSES}\${LIST_CHECK_PROGID}"
!define CSV_KEY "${CLASSES}\.csv"
; Tells Explorer that file associations changed.
!define SHCNE_ASSOCCHANGED 0x08000000

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
; An upgrade or a reinstall goes where the last install went; /D= or the
; folder page can still send it elsewhere.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
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

!include "LogicLib.nsh"
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

; The program's files cannot be replaced or removed while it runs: until it
; is closed, the user is asked to close it; Cancel, or a silent run, ends
; here, before anything is changed.
!macro CLOSE_PROGRAM_FIRST UN
Function ${UN}CloseProgramFirst
    ${Do}
        System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .r0'
        ${If} $0 P= 0
            Return
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${NAME} is running.$\r$\n$\r$\nClose it, then choose Retry. Cancel leaves everything as it is." \
            /SD IDCANCEL IDRETRY retry
        ${If} ${Silent}
            SetErrorLevel 2
        ${Else}
            SetErrorLevel 1
        ${EndIf}
        Quit
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_PROGRAM_FIRST ""
!insertmacro CLOSE_PROGRAM_FIRST "un."

Function .onInit
    Call CloseProgramFirst
FunctionEnd

Function un.onInit
    Call un.CloseProgramFirst
FunctionEnd

Section "Korvallestin"
    SetShellVarContext current
    ; Again: it may have been started while the pages were shown.
    Call CloseProgramFirst

    ; Whether an earlier install made Programs (its entry goes below).
    ReadRegDWORD $R0 HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"
    ; An earlier install, wherever it went: its own uninstaller removes what
    ; it installed, run in place (_?=) so that it can be waited for.
    ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R1 != ""
    ${AndIf} ${FileExists} "$R1\uninstall.exe"
        ClearErrors
        ExecWait '"$R1\uninstall.exe" /S _?=$R1' $R2
        ${If} ${Errors}
        ${OrIf} $R2 <> 0
            MessageBox MB_OK|MB_ICONSTOP \
                "The installed ${NAME} could not be removed completely, so ${NAME} ${VERSION} was not installed.$\r$\n$\r$\nClose any program that may be using its files, then try again." \
                /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        ; Run in place, it could not remove itself.
        Delete "$R1\uninstall.exe"
        RMDir "$R1"
    ${EndIf}

    ; Programs may not exist yet under a fresh profile: if the installer
    ; makes it, now or in the install this one replaced, the uninstaller
    ; removes it again (when nothing else is in it).
    StrCpy $R3 $R0
    ${IfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
        StrCpy $R3 1
    ${EndIf}
    SetOutPath "$INSTDIR"
    ${IfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
        StrCpy $R3 0
    ${EndIf}
    ${If} $R3 != 1
        StrCpy $R3 0
    ${EndIf}

    ; The list of files comes from the staged folder, so that the uninstaller
    ; removes exactly what was installed.
    !include "${STAGE_LIST}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\korvallestin.exe" "" \
        "$INSTDIR\korvallestin.exe" 0 SW_SHOWNORMAL "" "Look up Australian postcodes"
    CreateShortcut "$SMPROGRAMS\${LIST_CHECK_NAME}.lnk" "$INSTDIR\${LIST_CHECK_EXE}" "" \
        "$INSTDIR\${LIST_CHECK_EXE}" 0 SW_SHOWNORMAL "" "Check the addresses of a list and fix them"

    ; Open with, for this user only: the file's name is the program's one
    ; argument.
    WriteRegStr HKCU "${LIST_CHECK_APP_KEY}" "FriendlyAppName" "${LIST_CHECK_NAME}"
    WriteRegStr HKCU "${LIST_CHECK_APP_KEY}\shell\open\command" "" '"$INSTDIR\${LIST_CHECK_EXE}" "%1"'
    WriteRegStr HKCU "${LIST_CHECK_APP_KEY}\SupportedTypes" ".csv" ""
    WriteRegStr HKCU "${LIST_CHECK_PROGID_KEY}" "" "CSV list"
    WriteRegStr HKCU "${LIST_CHECK_PROGID_KEY}\DefaultIcon" "" "$INSTDIR\${LIST_CHECK_EXE},0"
    WriteRegStr HKCU "${LIST_CHECK_PROGID_KEY}\shell\open\command" "" '"$INSTDIR\${LIST_CHECK_EXE}" "%1"'
    WriteRegNone HKCU "${CSV_KEY}\OpenWithProgids" "${LIST_CHECK_PROGID}"
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

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
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder" $R3
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.CloseProgramFirst
    ; Delete sets the error flag for a file that is there and stays there.
    ClearErrors
    !include "${UNSTAGE_FILES}"
    ${If} ${Errors}
        ; What remains keeps its entry, its shortcut and this uninstaller, so
        ; that it can still be found and removed.
        MessageBox MB_OK|MB_ICONSTOP \
            "Some of ${NAME}'s files could not be removed: another program may be using them.$\r$\n$\r$\n${NAME} stays in Apps & features; close that program, then uninstall it again." \
            /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    !include "${UNSTAGE_FOLDERS}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    Delete "$SMPROGRAMS\${LIST_CHECK_NAME}.lnk"
    ; Our own keys go whole; of .csv's, only our value, and then the two keys
    ; that held it if nothing else is in them (another program's ProgIDs and
    ; .csv's default value stay).
    DeleteRegKey HKCU "${LIST_CHECK_APP_KEY}"
    DeleteRegKey HKCU "${LIST_CHECK_PROGID_KEY}"
    DeleteRegValue HKCU "${CSV_KEY}\OpenWithProgids" "${LIST_CHECK_PROGID}"
    DeleteRegKey /ifempty HKCU "${CSV_KEY}\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "${CSV_KEY}"
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"
    ${If} $0 == 1
        RMDir "$LOCALAPPDATA\Programs"
    ${EndIf}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
