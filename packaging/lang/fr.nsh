; The installer's own texts in French (packaging/uasedit.nsi shows them;
; UAS_LANG is the language's ID, set by the build's languages.nsh).
!define /redef UAS_WORD_LANGUAGE "Langue"
LangString ModeTitle ${UAS_LANG} "Type d’installation"
LangString ModeSubtitle ${UAS_LANG} "Choisissez qui utilisera l’éditeur sur cet ordinateur."
LangString ModeText ${UAS_LANG} "Installé pour vous seul, l’éditeur va dans votre propre dossier de programmes et ne demande aucun droit d’administrateur. Installé pour tous, il va dans « Program Files » ; Windows demande alors un administrateur."
LangString ModeCurrentUser ${UAS_LANG} "Pour &moi seulement (sans droits d’administrateur)"
LangString ModeAllUsers ${UAS_LANG} "Pour &tous les utilisateurs de cet ordinateur (droits d’administrateur requis)"
LangString BadLanguage ${UAS_LANG} "Langue inconnue dans /LANG=. Utilisez English, German, French ou Japanese."
LangString BadMode ${UAS_LANG} "/ALLUSERS et /CURRENTUSER ne peuvent pas être donnés ensemble."
LangString PathTooLong ${UAS_LANG} "Choisissez un nom de dossier plus court (${MAX_INSTDIR} caractères au plus) : dans un dossier plus long, l’éditeur ne trouve pas ses textes."
LangString DescShortcut ${UAS_LANG} "Modifier les jeux d’unités"
LangString FileTypeName ${UAS_LANG} "Jeu d’unités"
LangString FinishRun ${UAS_LANG} "&Démarrer maintenant l’Éditeur de jeux d’unités"
