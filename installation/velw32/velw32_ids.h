/*
 * velw32_ids.h - resource IDs of the window support library's own windows
 * and messages: the sign-on refusals, the help window and the product
 * information dialog. The strings live in the common resource libraries
 * (one file per language) and, in English, in velw32.dll itself. They stay
 * within 1024 to 1151 so that no string-table block is shared with the
 * texts of another part of the installation.
 */
#ifndef VELW32_IDS_H
#define VELW32_IDS_H

/* Sign-on (block 1024-1039). */
#define VELW_IDS_LOGIN_NOT_ALLOWED   1024  /* %s: user name */
#define VELW_IDS_LOGIN_OTHER_USER    1025  /* %s: name asked for, %s: Windows user */
#define VELW_IDS_LOGIN_NO_USER       1026
#define VELW_IDS_LOGIN_LIST_UNSET    1027  /* %s: key, section, variable */
#define VELW_IDS_LOGIN_LIST_UNREADABLE 1028 /* %s: key, section */
#define VELW_IDS_LOGIN_LIST_TOO_LONG 1029  /* %s: key, section */

/* Help window (block 1040-1055). */
#define VELW_IDS_HELP_CAPTION        1040
#define VELW_IDS_HELP_CAPTION_TITLE  1041  /* %s: the help's own title */
#define VELW_IDS_HELP_TOPICS         1042
#define VELW_IDS_HELP_CLOSE          1043
#define VELW_IDS_HELP_NOT_FOUND      1044
#define VELW_IDS_HELP_LOOKED_FOR     1045  /* %s: file path */
#define VELW_IDS_HELP_NO_FOLDER      1046
#define VELW_IDS_HELP_EMPTY          1047
#define VELW_IDS_HELP_FOLDER_UNREADABLE 1048

/* Product information dialog (block 1056-1071). */
#define VELW_IDS_ABOUT_OK            1056
#define VELW_IDS_ABOUT_CAPTION       1057

/* Dialog template of the product information window and its controls. */
#define VELW_IDD_ABOUT               1024
#define VELW_IDC_ABOUT_ICON          1001
#define VELW_IDC_ABOUT_TITLE         1002
#define VELW_IDC_ABOUT_TEXT1         1003
#define VELW_IDC_ABOUT_TEXT2         1004

/* The help window: its window class and its child controls. */
#define VELW_HELP_CLASS              L"VelwHelpWindow"
#define VELW_IDC_HELP_LABEL          1101
#define VELW_IDC_HELP_TOPICS         1102
#define VELW_IDC_HELP_TEXT           1103
#define VELW_IDC_HELP_CLOSE          1104

#endif /* VELW32_IDS_H */
