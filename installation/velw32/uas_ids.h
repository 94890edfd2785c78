/*
 * uas_ids.h - resource IDs of the set-selection dialog and the texts of the
 * set catalogue and the dialog. The texts live in the common resource
 * library's uas.rc of each language (IDs 1152 to 1279, see kxcommon.h) and,
 * in English, inside velw32.dll as well.
 */
#ifndef VELW32_UAS_IDS_H
#define VELW32_UAS_IDS_H

/* The dialog template (velw32.dll) and its controls. */
#define IDD_UAS_SELECT            1152
#define IDC_UAS_NAMELABEL         1153
#define IDC_UAS_NAME              1154
#define IDC_UAS_LISTLABEL         1155
#define IDC_UAS_LIST              1156

/* Titles and confirm-button texts, one per mode (mode 0 first). */
#define IDS_UAS_TITLE_OPEN        1152
#define IDS_UAS_TITLE_SAVEAS      1153
#define IDS_UAS_TITLE_DELETE      1154
#define IDS_UAS_TITLE_GLOBAL      1155
#define IDS_UAS_OK_OPEN           1156
#define IDS_UAS_OK_SAVEAS         1157
#define IDS_UAS_OK_DELETE         1158
#define IDS_UAS_OK_GLOBAL         1159

/* Other control texts. */
#define IDS_UAS_CANCEL            1160
#define IDS_UAS_LISTLABEL         1161
#define IDS_UAS_NAMELABEL         1162

/* Messages; %s stands for the value named in the comment. */
#define IDS_UAS_ERR_NOSUCHSET     1168   /* %s: the name typed */
#define IDS_UAS_ERR_NONAME        1169   /* modes 0, 2, 3: nothing typed or chosen */
#define IDS_UAS_ERR_EMPTY         1170   /* mode 1: nothing typed */
#define IDS_UAS_ERR_TOOLONG       1171   /* %s: the maximum length */
#define IDS_UAS_ERR_BADCHAR       1172   /* %s: the character found */
#define IDS_UAS_ERR_CONTROLCHAR   1173
#define IDS_UAS_ERR_DOTNAME       1174
#define IDS_UAS_ERR_TRAILING      1175
#define IDS_UAS_ERR_RESERVED      1176   /* %s: the name typed */
#define IDS_UAS_ASK_REPLACE       1177   /* %s: the existing set's name */
#define IDS_UAS_ERR_PATHTOOLONG   1178   /* %s: the set's name */
#define IDS_UAS_ERR_NOFOLDER      1179   /* %s: the folder named by the profile */
#define IDS_UAS_ERR_NOFOLDERKEY   1180
#define IDS_UAS_ERR_ISFOLDER      1181   /* %s: the name typed, %s: the path */
#define IDS_UAS_ERR_UNSTORABLE    1182   /* %s: the character a set file cannot store */
#define IDS_UAS_ERR_FOLDERKEYUNREADABLE 1183

#endif /* VELW32_UAS_IDS_H */
