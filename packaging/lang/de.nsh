; The installer's own texts in German (packaging/uasedit.nsi shows them;
; UAS_LANG is the language's ID, set by the build's languages.nsh).
!define /redef UAS_WORD_LANGUAGE "Sprache"
LangString ModeTitle ${UAS_LANG} "Installationsart"
LangString ModeSubtitle ${UAS_LANG} "Wählen Sie, wer den Editor auf diesem Computer verwenden soll."
LangString ModeText ${UAS_LANG} "Nur für Sie installiert, kommt der Editor in Ihren eigenen Programmordner und braucht keine Administratorrechte. Für alle Benutzer installiert, kommt er in „Programme“; Windows fragt dann nach einem Administrator."
LangString ModeCurrentUser ${UAS_LANG} "Nur für &mich (keine Administratorrechte nötig)"
LangString ModeAllUsers ${UAS_LANG} "Für &alle Benutzer dieses Computers (Administratorrechte nötig)"
LangString BadLanguage ${UAS_LANG} "Unbekannte Sprache in /LANG=. Möglich sind English, German, French und Japanese."
LangString BadMode ${UAS_LANG} "/ALLUSERS und /CURRENTUSER schließen einander aus."
LangString PathTooLong ${UAS_LANG} "Bitte wählen Sie einen kürzeren Ordnernamen (höchstens ${MAX_INSTDIR} Zeichen): In einem längeren findet der Editor seine Texte nicht."
LangString DescShortcut ${UAS_LANG} "Einheitensätze bearbeiten"
LangString FileTypeName ${UAS_LANG} "Einheitensatz"
LangString FinishRun ${UAS_LANG} "Einheitensatz-Editor jetzt &starten"
