; The installer's own texts in English (packaging/uasedit.nsi shows them;
; UAS_LANG is the language's ID, set by the build's languages.nsh).
!define /redef UAS_WORD_LANGUAGE "Language"
LangString ModeTitle ${UAS_LANG} "Installation type"
LangString ModeSubtitle ${UAS_LANG} "Choose who will use the editor on this computer."
LangString ModeText ${UAS_LANG} "Installed just for you, the editor goes into your own programs folder and needs no administrator rights. Installed for everyone, it goes into Program Files; Windows then asks for an administrator."
LangString ModeCurrentUser ${UAS_LANG} "Just for &me (no administrator rights needed)"
LangString ModeAllUsers ${UAS_LANG} "For &everyone who uses this computer (administrator rights needed)"
LangString BadLanguage ${UAS_LANG} "Unknown language in /LANG=. Use English, German, French or Japanese."
LangString BadMode ${UAS_LANG} "/ALLUSERS and /CURRENTUSER cannot be given together."
LangString PathTooLong ${UAS_LANG} "Please choose a shorter folder name (at most ${MAX_INSTDIR} characters): the editor cannot find its texts in a longer one."
LangString DescShortcut ${UAS_LANG} "Edit unit assignment sets"
LangString FileTypeName ${UAS_LANG} "Unit assignment set"
LangString FinishRun ${UAS_LANG} "&Start the Unit Assignment Set Editor now"
