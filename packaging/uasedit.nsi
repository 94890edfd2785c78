; Installer of the Unit Assignment Set Editor, made by the build's
; "installer" target (cmake/install.cmake) from a staged installation:
;
;   makensis -DVERSION=1.0.0 -DARCH=win64|win32 -DSTAGE=dir -DLISTS=dir
;            -DPROFILE=kalvex.ini -DICON=uasedit.ico -DOUTFILE=setup.exe
;            -DPUBLISHER=name -DCOPYRIGHT=text uasedit.nsi
;
; LISTS holds the build's generated includes: files.nsh and unfiles.nsh
; (packaging/filelist.cmake) and languages.nsh (cmake/languages.cmake).
;
; It first asks for the language, then speaks it on every page and in the
; uninstaller, and writes it into the installed profile. It installs for
; the current user (no administrator needed: %LOCALAPPDATA%\Programs, the
; user's part of the registry) or for everyone (Program Files, HKLM; it
; asks for elevation only then), adds a Start-menu shortcut named as the
; main window in the chosen language, registers the .uas file type and its
; uninstaller. The sets are the user's: they live in %APPDATA%\Kalvex\Sets
; and neither an upgrade nor the uninstaller touches them.
;
; Command line: /S silent; /LANG=name the language of the texts (English,
; German, French, Japanese, their own names or codes; default: the language
; of the installation being upgraded, otherwise English); /CURRENTUSER or
; /ALLUSERS the kind of installation (default: that of the installation
; being upgraded, otherwise "for everyone" when already running as
; administrator, else "just for me"); /D=folder the installation folder
; (last, unquoted). A bad command line ends with exit code 2.

Unicode true
!if "${ARCH}" == "win64"
    Target amd64-unicode
!else
    Target x86-unicode
!endif

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Unit Assignment Set Editor"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\UnitAssignmentSetEditor"
!define PROFILE_FILE "$INSTDIR\bin\kalvex.ini"
!define PROGRAM_FILE "$INSTDIR\bin\uasedit.exe"
; The Start-menu entry bears the program's name in the installer's language,
; as the main window shows it, so that a search for that name finds it.
!define SHORTCUT "$SMPROGRAMS\$(ProductName).lnk"
; The .uas file type: its extension key names this program identifier.
!define PROGID "Kalvex.UnitAssignmentSet"
!define CLASSES "Software\Classes"
; The program file's icon resource 2 is the set file's icon.
!define SET_ICON "${PROGRAM_FILE},-2"
!define OPEN_COMMAND '"${PROGRAM_FILE}" "%1"'
; The program reads the resource folder into 80 characters; the folder
; "res" beside "bin" must fit, whatever the profile file names it.
!define MAX_INSTDIR 70

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; "Just for me" needs no administrator; "for everyone" starts the installer
; again, elevated, when it is chosen (RunElevated).
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "${OUTFILE_NAME}"

Var Mode            ; "all" (for everyone) or "user" (just for me)
Var ModeFixed       ; 1 when the command line or an installation decided it
Var DirGiven        ; 1 when /D= named the folder
Var Elevated        ; 1 in the installer started again elevated
Var RadioUser
Var RadioAll

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The first question, before any page: the language, each in its own name.
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_LANGDLL_WINDOWTITLE "${PRODUCT}"

; The product's name with its version takes three lines in some languages.
!define MUI_WELCOMEPAGE_TITLE_3LINES
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipInElevated
!insertmacro MUI_PAGE_WELCOME
Page custom ModePage ModePageLeave
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
; The progress page stays until Next, so that its messages can be read.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(FinishRun)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartEditor
!define MUI_FINISHPAGE_TITLE_3LINES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_UNPAGE_INSTFILES

; Every language of the list, this installer's own texts in each
; (packaging/lang/CODE.nsh) and the functions that map the languages'
; names and profile values.
!include /CHARSET=UTF8 "${LISTS}/languages.nsh"
; The question asks in every language at once.
!define MUI_LANGDLL_INFO "${UAS_LANGDLL_INFO}"

; Sets the context of shell folders and registry (SHCTX) for $Mode.
!macro UseMode
    ${If} $Mode == "all"
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
!macroend

; $0: the folder of an installation of this program of the kind $0 names
; ("all" or "user"), or "" when there is none.
Function InstalledFolder
    ${If} $0 == "all"
        ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${Else}
        ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $0 != ""
    ${AndIfNot} ${FileExists} "$0\bin\uasedit.exe"
        StrCpy $0 ""
    ${EndIf}
FunctionEnd

; The folder for $Mode: the installation of that kind being upgraded, else
; the kind's usual place; a folder from /D= stays.
Function ChooseFolder
    !insertmacro UseMode
    ${If} $DirGiven == 1
        Return
    ${EndIf}
    StrCpy $0 $Mode
    Call InstalledFolder
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${ElseIf} $Mode == "all"
        !if "${ARCH}" == "win64"
            StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
        !else
            StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
        !endif
    ${Else}
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
FunctionEnd

; Starts this installer again with administrator rights and the choices
; made so far, for the installation for everyone, and waits for it. The
; elevated installer shows the remaining pages. Its exit code cannot be
; read here: success is judged by the installation it left.
Function RunElevated
    StrCpy $1 "/ALLUSERS /ELEVATED /LANG=$LANGUAGE"
    ${If} ${Silent}
        StrCpy $1 "/S $1"
    ${EndIf}
    ${If} $DirGiven == 1
        StrCpy $1 "$1 /D=$INSTDIR"
    ${EndIf}
    HideWindow
    ExecShellWait "runas" "$EXEPATH" "$1"
    StrCpy $0 "all"
    Call InstalledFolder
    ${If} $0 == ""
        SetErrorLevel 1
    ${Else}
        SetErrorLevel 0
    ${EndIf}
    Quit
FunctionEnd

; Makes sure that an installation for everyone runs elevated.
Function ElevateIfNeeded
    ${If} $Mode != "all"
    ${OrIf} $Elevated == 1
        Return
    ${EndIf}
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        Call RunElevated
    ${EndIf}
FunctionEnd

Function .onInit
    !if "${ARCH}" == "win64"
        SetRegView 64
    !endif
    ${GetParameters} $R0
    StrCpy $Elevated 0
    ClearErrors
    ${GetOptions} $R0 "/ELEVATED" $0
    ${IfNot} ${Errors}
        StrCpy $Elevated 1
    ${EndIf}
    ; /D= has set the folder before this runs.
    StrCpy $DirGiven 0
    ${If} $INSTDIR != ""
        StrCpy $DirGiven 1
    ${EndIf}

    ; The kind: the command line's, else that of an installation of this
    ; program, else for everyone only when already an administrator.
    StrCpy $ModeFixed 1
    ClearErrors
    ${GetOptions} $R0 "/ALLUSERS" $0
    ${IfNot} ${Errors}
        StrCpy $Mode "all"
        ClearErrors
        ${GetOptions} $R0 "/CURRENTUSER" $0
        ${IfNot} ${Errors}
            MessageBox MB_ICONSTOP "$(BadMode)" /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${Else}
        ClearErrors
        ${GetOptions} $R0 "/CURRENTUSER" $0
        ${IfNot} ${Errors}
            StrCpy $Mode "user"
        ${Else}
            StrCpy $0 "all"
            Call InstalledFolder
            StrCpy $1 $0
            StrCpy $0 "user"
            Call InstalledFolder
            ${If} $1 != ""
                StrCpy $Mode "all"
            ${ElseIf} $0 != ""
                StrCpy $Mode "user"
            ${Else}
                StrCpy $ModeFixed 0
                UserInfo::GetAccountType
                Pop $0
                ${If} $0 == "Admin"
                    StrCpy $Mode "all"
                ${Else}
                    StrCpy $Mode "user"
                ${EndIf}
            ${EndIf}
        ${EndIf}
    ${EndIf}
    Call ChooseFolder

    ; The language: the command line's, else that of the installation being
    ; upgraded, else English (silent) or asked first.
    ; Interactively, the question starts on the user's Windows language.
    ${If} ${Silent}
        StrCpy $LANGUAGE ${UAS_FIRST_LANGUAGE_ID}
    ${EndIf}
    ${If} ${FileExists} "${PROFILE_FILE}"
        ReadINIStr $0 "${PROFILE_FILE}" "VelWin_Section" "Language"
        Call LanguageFromValue
        ${IfNot} ${Errors}
            StrCpy $LANGUAGE $0
        ${EndIf}
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/LANG=" $0
    ${IfNot} ${Errors}
        Call LanguageFromName
        ${If} ${Errors}
            MessageBox MB_ICONSTOP "$(BadLanguage)" /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        StrCpy $LANGUAGE $0
    ${Else}
        !insertmacro MUI_LANGDLL_DISPLAY
    ${EndIf}

    ${If} ${Silent}
    ${OrIf} $ModeFixed == 1
        Call ElevateIfNeeded
    ${EndIf}
FunctionEnd

; The elevated installer goes on where the first one stopped.
Function SkipInElevated
    ${If} $Elevated == 1
        Abort
    ${EndIf}
FunctionEnd

Function ModePage
    ${If} $ModeFixed == 1
        Abort
    ${EndIf}
    !insertmacro MUI_HEADER_TEXT "$(ModeTitle)" "$(ModeSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 36u "$(ModeText)"
    Pop $0
    ${NSD_CreateRadioButton} 12u 44u 90% 14u "$(ModeCurrentUser)"
    Pop $RadioUser
    ${NSD_AddStyle} $RadioUser ${WS_GROUP}
    ${NSD_CreateRadioButton} 12u 62u 90% 14u "$(ModeAllUsers)"
    Pop $RadioAll
    ${If} $Mode == "all"
        ${NSD_Check} $RadioAll
    ${Else}
        ${NSD_Check} $RadioUser
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function ModePageLeave
    ${NSD_GetState} $RadioAll $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $Mode "all"
    ${Else}
        StrCpy $Mode "user"
    ${EndIf}
    Call ChooseFolder
    Call ElevateIfNeeded
FunctionEnd

Function DirectoryLeave
    StrLen $0 $INSTDIR
    ${If} $0 > ${MAX_INSTDIR}
        MessageBox MB_ICONEXCLAMATION "$(PathTooLong)"
        Abort
    ${EndIf}
FunctionEnd

; The Finish page's check box: the editor in its own folder, as the
; shortcut starts it.
Function StartEditor
    SetOutPath "$INSTDIR\bin"
    Exec '"${PROGRAM_FILE}"'
FunctionEnd

Section "-Program"
    ; A silent install has no directory page: /D= is checked here.
    StrLen $0 $INSTDIR
    ${If} $0 > ${MAX_INSTDIR}
        MessageBox MB_ICONSTOP "$(PathTooLong)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    !insertmacro UseMode

    ReadRegStr $1 SHCTX "${UNINST_KEY}" "InstallLocation"
    ${If} $1 == $INSTDIR
        ; The previous version's program files go, so that none of them
        ; lingers beside the new ones; its profile and any sets stay.
        Delete "$INSTDIR\bin\*.exe"
        Delete "$INSTDIR\bin\*.dll"
        RMDir /r "$INSTDIR\res"
        RMDir /r "$INSTDIR\data"
    ${EndIf}

    !include "${LISTS}/files.nsh"

    ; The profile is installed once; later installs write only the language,
    ; so the user's own changes to it survive an upgrade. It holds plain
    ; ASCII text, which the profile functions keep as it is.
    SetOutPath "$INSTDIR\bin"
    ${IfNot} ${FileExists} "${PROFILE_FILE}"
        File "/oname=kalvex.ini" "${PROFILE}"
    ${EndIf}
    Call LanguageValue
    WriteINIStr "${PROFILE_FILE}" "VelWin_Section" "Language" "$0"

    ; The shortcut starts the program in its own folder. An entry of an
    ; earlier installation, in whatever language, makes way for it.
    !insertmacro UasDeleteShortcuts
    CreateShortcut "${SHORTCUT}" "${PROGRAM_FILE}" "" "${PROGRAM_FILE}" 0 \
        SW_SHOWNORMAL "" "$(DescShortcut)"

    ; A double-click on a set file opens it in the editor.
    WriteRegStr SHCTX "${CLASSES}\${PROGID}" "" "$(FileTypeName)"
    WriteRegStr SHCTX "${CLASSES}\${PROGID}\DefaultIcon" "" "${SET_ICON}"
    WriteRegStr SHCTX "${CLASSES}\${PROGID}\shell\open\command" "" '${OPEN_COMMAND}'
    WriteRegStr SHCTX "${CLASSES}\.uas" "" "${PROGID}"
    WriteRegStr SHCTX "${CLASSES}\.uas\OpenWithProgids" "${PROGID}" ""
    ; SHCNE_ASSOCCHANGED: Explorer shows the new icon at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The installed programs list it by the same name as the Start menu.
    !if "${ARCH}" == "win64"
        WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "$(ProductName) $(Bits64)"
    !else
        WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "$(ProductName)"
    !endif
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "${PROGRAM_FILE}"
    WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    ; The uninstaller speaks the installer's language.
    WriteRegStr SHCTX "${UNINST_KEY}" "InstallerLanguage" "$LANGUAGE"
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Var UnMode

Function un.onInit
    !if "${ARCH}" == "win64"
        SetRegView 64
    !endif
    ; The kind of this installation: the registry part whose uninstall
    ; entry names this folder.
    StrCpy $UnMode "user"
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        StrCpy $UnMode "all"
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
    ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallerLanguage"
    ${If} $0 != ""
        StrCpy $LANGUAGE $0
    ${EndIf}
    ; Removing an installation for everyone needs an administrator.
    ${If} $UnMode == "all"
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 != "Admin"
            StrCpy $1 ""
            ${If} ${Silent}
                StrCpy $1 "/S"
            ${EndIf}
            HideWindow
            ExecShellWait "runas" "$INSTDIR\uninstall.exe" "$1"
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

; Removes what the installer put there, file by file: anything else in the
; folder (sets kept beside the program, say) stays, and so does its folder.
Section "Uninstall"
    !insertmacro UasDeleteShortcuts
    Delete "${PROFILE_FILE}"
    !include "${LISTS}/unfiles.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    ; The file type goes only where it still opens this installation's
    ; editor: another program (or another installation) may have taken it.
    ReadRegStr $0 SHCTX "${CLASSES}\${PROGID}\shell\open\command" ""
    ${If} $0 == '${OPEN_COMMAND}'
        DeleteRegKey SHCTX "${CLASSES}\${PROGID}"
        DeleteRegValue SHCTX "${CLASSES}\.uas\OpenWithProgids" "${PROGID}"
        ReadRegStr $0 SHCTX "${CLASSES}\.uas" ""
        ${If} $0 == "${PROGID}"
            DeleteRegValue SHCTX "${CLASSES}\.uas" ""
        ${EndIf}
        DeleteRegKey /ifempty SHCTX "${CLASSES}\.uas\OpenWithProgids"
        DeleteRegKey /ifempty SHCTX "${CLASSES}\.uas"
        System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    ${EndIf}

    DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
