; Installer of the Unit Assignment Set Editor, made by the build's
; "installer" target (cmake/install.cmake) from a staged installation:
;
;   makensis -DVERSION=1.0.0 -DARCH=win64|win32 -DSTAGE=dir -DLISTS=dir
;            -DPROFILE=kalvex.ini -DICON=uasedit.ico -DOUTFILE=setup.exe uasedit.nsi
;
; It installs into Program Files, writes the language the user picks into
; the installed profile, adds a Start-menu shortcut and registers its
; uninstaller. The sets are the user's: they live in %APPDATA%\Kalvex\Sets
; and neither an upgrade nor the uninstaller touches them.
;
; Command line: /S silent; /LANG=English|German|French|Japanese the language
; of the texts (default: the language of the installation being upgraded,
; otherwise English); /D=folder the installation folder (last, unquoted).

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
!define PUBLISHER "Kalvex"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\UnitAssignmentSetEditor"
!define PROFILE_FILE "$INSTDIR\bin\kalvex.ini"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; The program reads the resource folder into 80 characters; the folder
; "res" beside "bin" must fit, whatever the profile file names it.
!define MAX_INSTDIR 70

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"
!if "${ARCH}" == "win64"
    InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
    InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes into the folder of the installation it replaces.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "Kalvex installation"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

Var TextLanguage        ; the profile's value: "", German, French or Japan
Var RadioEnglish
Var RadioGerman
Var RadioFrench
Var RadioJapanese
Var Upgrade         ; 1 when installing over an installation of this program

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
Page custom LanguagePage LanguagePageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

LangString LangTitle ${LANG_ENGLISH} "Language"
LangString LangSubtitle ${LANG_ENGLISH} "Choose the language of the editor's texts."
LangString LangText ${LANG_ENGLISH} "The menus, dialogs and messages of the Unit Assignment Set Editor will be shown in this language. You can change it later in the profile (bin\kalvex.ini, key Language)."
LangString LangEnglish ${LANG_ENGLISH} "English"
LangString LangGerman ${LANG_ENGLISH} "German (Deutsch)"
LangString LangFrench ${LANG_ENGLISH} "French (Français)"
LangString LangJapanese ${LANG_ENGLISH} "Japanese"
LangString BadLanguage ${LANG_ENGLISH} "Unknown language in /LANG=. Use English, German, French or Japanese."
LangString PathTooLong ${LANG_ENGLISH} "Please choose a shorter folder name (at most ${MAX_INSTDIR} characters): the editor cannot find its texts in a longer one."
LangString DescShortcut ${LANG_ENGLISH} "Edit unit assignment sets"

; Maps a language name given by the user ($0, any letter case) to the
; profile's value in $0; sets the error flag for an unknown name.
Function MapLanguage
    ClearErrors
    ${If} $0 == "English"
    ${OrIf} $0 == "en"
        StrCpy $0 ""
    ${ElseIf} $0 == "German"
    ${OrIf} $0 == "Deutsch"
    ${OrIf} $0 == "de"
        StrCpy $0 "German"
    ${ElseIf} $0 == "French"
    ${OrIf} $0 == "Francais"
    ${OrIf} $0 == "fr"
        StrCpy $0 "French"
    ${ElseIf} $0 == "Japanese"
    ${OrIf} $0 == "Japan"
    ${OrIf} $0 == "ja"
        StrCpy $0 "Japan"
    ${Else}
        SetErrors
    ${EndIf}
FunctionEnd

Function .onInit
    !if "${ARCH}" == "win64"
        SetRegView 64
    !endif
    ; An installation of this program is upgraded in its own folder, and
    ; keeps its language unless the command line names another one.
    StrCpy $Upgrade 0
    StrCpy $TextLanguage ""
    ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $1 != ""
    ${AndIf} ${FileExists} "$1\bin\uasedit.exe"
        ReadINIStr $0 "$1\bin\kalvex.ini" "VelWin_Section" "Language"
        Call MapLanguage
        ${IfNot} ${Errors}
            StrCpy $TextLanguage $0
        ${EndIf}
    ${EndIf}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/LANG=" $0
    ${IfNot} ${Errors}
        Call MapLanguage
        ${If} ${Errors}
            MessageBox MB_ICONSTOP "$(BadLanguage)" /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        StrCpy $TextLanguage $0
    ${EndIf}
FunctionEnd

Function DirectoryLeave
    StrLen $0 $INSTDIR
    ${If} $0 > ${MAX_INSTDIR}
        MessageBox MB_ICONEXCLAMATION "$(PathTooLong)"
        Abort
    ${EndIf}
FunctionEnd

Function LanguagePage
    !insertmacro MUI_HEADER_TEXT "$(LangTitle)" "$(LangSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 30u "$(LangText)"
    Pop $0
    ${NSD_CreateRadioButton} 12u 40u 80% 12u "$(LangEnglish)"
    Pop $RadioEnglish
    ${NSD_AddStyle} $RadioEnglish ${WS_GROUP}
    ${NSD_CreateRadioButton} 12u 56u 80% 12u "$(LangGerman)"
    Pop $RadioGerman
    ${NSD_CreateRadioButton} 12u 72u 80% 12u "$(LangFrench)"
    Pop $RadioFrench
    ${NSD_CreateRadioButton} 12u 88u 80% 12u "$(LangJapanese)"
    Pop $RadioJapanese
    ${Select} $TextLanguage
    ${Case} "German"
        ${NSD_Check} $RadioGerman
    ${Case} "French"
        ${NSD_Check} $RadioFrench
    ${Case} "Japan"
        ${NSD_Check} $RadioJapanese
    ${CaseElse}
        ${NSD_Check} $RadioEnglish
    ${EndSelect}
    nsDialogs::Show
FunctionEnd

Function LanguagePageLeave
    StrCpy $TextLanguage ""
    ${NSD_GetState} $RadioGerman $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $TextLanguage "German"
    ${EndIf}
    ${NSD_GetState} $RadioFrench $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $TextLanguage "French"
    ${EndIf}
    ${NSD_GetState} $RadioJapanese $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $TextLanguage "Japan"
    ${EndIf}
FunctionEnd

Section "-Program"
    ; A silent install has no directory page: /D= is checked here.
    StrLen $0 $INSTDIR
    ${If} $0 > ${MAX_INSTDIR}
        MessageBox MB_ICONSTOP "$(PathTooLong)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}

    ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $1 == $INSTDIR
        StrCpy $Upgrade 1
    ${EndIf}
    ${If} $Upgrade == 1
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
    WriteINIStr "${PROFILE_FILE}" "VelWin_Section" "Language" "$TextLanguage"

    ; The shortcut starts the program in its own folder.
    SetShellVarContext all
    CreateShortcut "${SHORTCUT}" "$INSTDIR\bin\uasedit.exe" "" "$INSTDIR\bin\uasedit.exe" 0 \
        SW_SHOWNORMAL "" "$(DescShortcut)"

    WriteUninstaller "$INSTDIR\uninstall.exe"
    !if "${ARCH}" == "win64"
        WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} (64-bit)"
    !else
        WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
    !endif
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\bin\uasedit.exe"
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
    !if "${ARCH}" == "win64"
        SetRegView 64
    !endif
FunctionEnd

; Removes what the installer put there, file by file: anything else in the
; folder (sets kept beside the program, say) stays, and so does its folder.
Section "Uninstall"
    SetShellVarContext all
    Delete "${SHORTCUT}"
    Delete "${PROFILE_FILE}"
    !include "${LISTS}/unfiles.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
