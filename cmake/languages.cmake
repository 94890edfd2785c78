# The languages of the program's texts: the one list from which the build
# makes the resource libraries, their version resources, the install rules,
# the installer's languages (an NSIS include) and the tests' table (a C++
# header). docs/LANGUAGES.md says how a language is added.
#
# One line per language, fields separated by "|":
#   code        the folder and file names of its translated sources
#               (resources/lang/CODE.rc, installation/common/lang/CODE/,
#               packaging/lang/CODE.nsh)
#   name        its English name, also the NSIS language of the installer
#   own name    its name in itself, as the installer offers it
#   value       the profile's VelWin_Section Language value (empty: the
#               program's own language, whose texts are in uasedit.exe)
#   suffix      the letter of its libraries: kxcommoS.dll, uaseditS.dll
#   language ID the Windows language ID of its resources
# The first line is the program's own language: it has no uaseditS.dll.
set(UAS_LANGUAGES
    "en|English|English||n|0x0409"
    "de|German|Deutsch|German|g|0x0407"
    "fr|French|Français|French|f|0x040C"
    "ja|Japanese|日本語|Japan|j|0x0411")

# uas_language_fields(ENTRY): sets LANG_CODE, LANG_NAME, LANG_OWN,
# LANG_VALUE, LANG_SUFFIX and LANG_ID in the caller from one line.
macro(uas_language_fields entry)
    if(NOT "${entry}" MATCHES "^([a-z]+)\\|([^|]+)\\|([^|]+)\\|([^|]*)\\|([a-z])\\|(0x[0-9A-Fa-f]+)$")
        message(FATAL_ERROR "cmake/languages.cmake: not a language line: ${entry}")
    endif()
    set(LANG_CODE "${CMAKE_MATCH_1}")
    set(LANG_NAME "${CMAKE_MATCH_2}")
    set(LANG_OWN "${CMAKE_MATCH_3}")
    set(LANG_VALUE "${CMAKE_MATCH_4}")
    set(LANG_SUFFIX "${CMAKE_MATCH_5}")
    set(LANG_ID "${CMAKE_MATCH_6}")
endmacro()


# The libraries the list makes: a common resource library for every
# language, a string library for every language but the program's own.
set(UAS_COMMON_LIBRARIES "")
set(UAS_STRING_LIBRARIES "")
set(UAS_LANGUAGE_VALUES "")
foreach(entry ${UAS_LANGUAGES})
    uas_language_fields("${entry}")
    list(APPEND UAS_COMMON_LIBRARIES kxcommo${LANG_SUFFIX})
    if(NOT LANG_VALUE STREQUAL "")
        list(APPEND UAS_STRING_LIBRARIES uasedit${LANG_SUFFIX})
        list(APPEND UAS_LANGUAGE_VALUES ${LANG_VALUE})
    endif()
endforeach()
# "German, French or Japan", for the profiles' comments.
list(JOIN UAS_LANGUAGE_VALUES ", " UAS_LANGUAGE_VALUES_TEXT)
string(REGEX REPLACE ", ([^,]*)$" " or \\1" UAS_LANGUAGE_VALUES_TEXT "${UAS_LANGUAGE_VALUES_TEXT}")

# uas_language_title(OUT CODE): the program's title in the language, its
# string IDS_TITLE in resources/lang/CODE.rc, which the installer gives the
# Start-menu entry: the name the user sees on the main window. It names a
# file, so it must hold no character that a file name cannot.
function(uas_language_title out code)
    set(rc ${PROJECT_SOURCE_DIR}/resources/lang/${code}.rc)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rc})
    file(STRINGS ${rc} lines ENCODING UTF-8 REGEX "^[ \t]*IDS_TITLE[ \t]")
    if(NOT lines MATCHES "IDS_TITLE[ \t]+\"([^\"]+)\"")
        message(FATAL_ERROR "${rc}: no IDS_TITLE string")
    endif()
    set(title "${CMAKE_MATCH_1}")
    if(title MATCHES "[\\/:*?<>|]")
        message(FATAL_ERROR "${rc}: the title \"${title}\" cannot name the Start-menu entry")
    endif()
    set(${out} "${title}" PARENT_SCOPE)
endfunction()

# uas_write_language_files(DIR): DIR/languages.nsh for the installer and
# DIR/uas_languages.h for the tests, written at configure time.
function(uas_write_language_files dir)
    set(mui "")
    set(texts "")
    set(byname "")
    set(byvalue "")
    set(values "")
    set(table "")
    set(first "")
    set(shortcuts "")
    foreach(entry ${UAS_LANGUAGES})
        uas_language_fields("${entry}")
        math(EXPR id "${LANG_ID}" OUTPUT_FORMAT DECIMAL)
        uas_language_title(title "${LANG_CODE}")
        # NSIS reads "$" as the start of a variable.
        string(REPLACE "$" "$$" nsis_title "${title}")
        if(first STREQUAL "")
            set(first ${id})
            set(if "\${If}")
        else()
            set(if "\${ElseIf}")
        endif()
        string(APPEND mui "!insertmacro MUI_LANGUAGE \"${LANG_NAME}\"\n")
        string(APPEND texts "!define /redef UAS_LANG ${id}\n"
               "!include /CHARSET=UTF8 \"${PROJECT_SOURCE_DIR}/packaging/lang/${LANG_CODE}.nsh\"\n"
               "!define /redef UAS_LANGDLL_INFO \"\${UAS_LANGDLL_INFO}\${UAS_LANGDLL_SEPARATOR}\${UAS_WORD_LANGUAGE}\"\n"
               "!define /redef UAS_LANGDLL_SEPARATOR \" / \"\n"
               "LangString ProductName ${id} \"${nsis_title}\"\n")
        string(APPEND shortcuts "    Delete \"$SMPROGRAMS\\${nsis_title}.lnk\"\n")
        string(APPEND byname "    ${if} $0 == \"${LANG_NAME}\"\n"
               "    \${OrIf} $0 == \"${LANG_OWN}\"\n    \${OrIf} $0 == \"${LANG_CODE}\"\n"
               "    \${OrIf} $0 == \"${id}\"\n")
        if(NOT LANG_VALUE STREQUAL "")
            string(APPEND byname "    \${OrIf} $0 == \"${LANG_VALUE}\"\n")
        endif()
        string(APPEND byname "        StrCpy $0 ${id}\n")
        string(APPEND byvalue "    ${if} $0 S== \"${LANG_VALUE}\"\n        StrCpy $0 ${id}\n")
        string(APPEND values "    ${if} $LANGUAGE == ${id}\n        StrCpy $0 \"${LANG_VALUE}\"\n")
        string(APPEND table "    {L\"${LANG_CODE}\", L\"${LANG_NAME}\", L\"${LANG_OWN}\", "
               "L\"${LANG_VALUE}\", L'${LANG_SUFFIX}', ${LANG_ID}},\n")
    endforeach()
    file(WRITE ${dir}/languages.nsh
"; The installer's languages, written by the build from cmake/languages.cmake.
!define UAS_FIRST_LANGUAGE_ID ${first}
${mui}
; The installer's own texts, one file per language, and the program's name
; in each (ProductName: the main window's title, from its string table).
!define UAS_LANGDLL_INFO \"\"
!define UAS_LANGDLL_SEPARATOR \"\"
${texts}
; Removes the Start-menu entry in every language's name: an upgrade in
; another language renames it, and the uninstaller finds it in any.
!macro UasDeleteShortcuts
${shortcuts}!macroend

; $0: a language as /LANG= names it (English or own name, code, profile
; value, Windows language ID as the elevated installer gets it; any letter
; case) -> $0 its Windows language ID; error flag when it is none of the
; list's.
Function LanguageFromName
    ClearErrors
${byname}    \${Else}
        SetErrors
    \${EndIf}
FunctionEnd

; $0: a profile's Language value, spelt exactly -> $0 its Windows language
; ID; error flag when it is none of the list's.
Function LanguageFromValue
    ClearErrors
${byvalue}    \${Else}
        SetErrors
    \${EndIf}
FunctionEnd

; $0: the profile's Language value of the installer's language.
Function LanguageValue
${values}    \${Else}
        StrCpy $0 \"\"
    \${EndIf}
FunctionEnd
")
    file(WRITE ${dir}/uas_languages.h
"// The languages of the program's texts, written by the build from
// cmake/languages.cmake, for the tests that hold the code against the list.
#ifndef UAS_LANGUAGES_H
#define UAS_LANGUAGES_H

struct UasLanguage {
    const wchar_t *Code;    // the translated sources' name
    const wchar_t *Name;    // English name
    const wchar_t *OwnName; // its name in itself
    const wchar_t *Value;   // the profile's Language value (empty: own texts)
    wchar_t Suffix;         // kxcommoS.dll, uaseditS.dll
    unsigned short LangId;  // Windows language ID of its resources
};

inline constexpr UasLanguage UasLanguages[] = {
${table}};

#endif
")
endfunction()
