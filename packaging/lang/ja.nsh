; The installer's own texts in Japanese (packaging/uasedit.nsi shows them;
; UAS_LANG is the language's ID, set by the build's languages.nsh).
!define /redef UAS_WORD_LANGUAGE "言語"
LangString ModeTitle ${UAS_LANG} "インストールの種類"
LangString ModeSubtitle ${UAS_LANG} "このコンピューターでエディターを使用するユーザーを選択してください。"
LangString ModeText ${UAS_LANG} "自分だけにインストールすると、エディターは自分のプログラム フォルダーに入り、管理者権限は不要です。すべてのユーザーにインストールすると Program Files に入り、Windows が管理者の確認を求めます。"
LangString ModeCurrentUser ${UAS_LANG} "自分だけ (管理者権限は不要)(&M)"
LangString ModeAllUsers ${UAS_LANG} "このコンピューターのすべてのユーザー (管理者権限が必要)(&E)"
LangString BadLanguage ${UAS_LANG} "/LANG= の言語が不明です。English、German、French、Japanese のいずれかを指定してください。"
LangString BadMode ${UAS_LANG} "/ALLUSERS と /CURRENTUSER は同時に指定できません。"
LangString PathTooLong ${UAS_LANG} "もっと短いフォルダー名 (${MAX_INSTDIR} 文字以内) を選択してください。長いフォルダーではエディターがテキストを見つけられません。"
LangString DescShortcut ${UAS_LANG} "単位セットを編集します"
LangString FileTypeName ${UAS_LANG} "単位セット"
LangString FinishRun ${UAS_LANG} "単位セット エディターを今すぐ起動する(&S)"
