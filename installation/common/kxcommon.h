/*
 * kxcommon.h - string IDs of the installation's common resource library
 * (kxcommon.dll, and kxcommog.dll, kxcommof.dll, kxcommoj.dll for German,
 * French and Japanese). The window support library keeps the texts of its
 * own windows here too, so that they follow the installation's language;
 * its English texts are also compiled into velw32.dll as the fallback.
 */
#ifndef KXCOMMON_H
#define KXCOMMON_H

/* Shared texts of the installation. */
#define KX_IDS_PRODUCT              50    /* product name */
#define KX_IDS_PRODUCTINFO          54    /* product information text, also the sign-on text */
#define KX_IDS_FILE                 100
#define KX_IDS_NEW                  101
#define KX_IDS_SAVE                 104
#define KX_IDS_SAVEAS               105
#define KX_IDS_EXIT                 112
#define KX_IDS_DELETE               115
#define KX_IDS_OPEN                 136
#define KX_IDS_HELP                 190
#define KX_IDS_USINGHELP            192
#define KX_IDS_PRODUCTINFOMENU      195

/* Window support library: sign-on, help, product information window.
 * IDs 1024 to 1151. */
#define KX_IDS_VELW_FIRST           1024

/* Window support library: set catalogue and set-selection dialog.
 * IDs 1152 to 1279. */
#define KX_IDS_UAS_FIRST            1152

#endif /* KXCOMMON_H */
