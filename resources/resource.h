/*
 * resource.h - the resource IDs of the Unit Assignment Set Editor, shared by
 * the program's code, its resource script and its translated string tables.
 */
#ifndef UASEDIT_RESOURCE_H
#define UASEDIT_RESOURCE_H

/* Icon and menu resources of the program file. */
#define IDI_UASEDIT                 1
// The set file's icon, which the installer registers for .uas files.
#define IDI_SETFILE                 2
// The program icon in every size the window's icons take, from 16 to 256
// pixels: the window picks its big and small icon for its display scale.
// Icon 1 stays the program file's own icon, in its three images.
#define IDI_UASEDIT_SIZES           3
#define IDM_MAINMENU                1
#define IDA_SHORTCUTS               1   /* the main window's shortcut keys */

/* The program's string table (same IDs in every translated string library). */
#define IDS_CLASSNAME               50
#define IDS_TITLE                   51
#define IDS_SETNAMEPREFIX           54
#define IDS_DESCRIPTION             55
#define IDS_DIMENSIONS              56
#define IDS_UNITS                   57
#define IDS_NONE                    58
#define IDS_ALERT                   130
#define IDS_WARNING                 131
#define IDS_CONFIRMDELETE           140
#define IDS_QUERYSAVEUNNAMED        141
#define IDS_QUERYSAVENAMED          142
#define IDS_OP_NEW                  150
#define IDS_OP_OPEN                 151
#define IDS_OP_SAVE                 152
#define IDS_OP_SAVEAS               153
#define IDS_OP_DELETE               154
#define IDS_OP_PRINT                155
#define IDS_OP_EXIT                 156
#define IDS_OP_CLOSE                157
#define IDS_OP_SELECTDEFAULT        158
#define IDS_OP_EDITDESCRIPTION      159
#define IDS_MENU_GLOBALDEFAULT      160
#define IDS_CLEAR                   161
#define IDS_ERR_UNITFILES           162
#define IDS_ERR_DELETE              163
#define IDS_ERR_WRITE               164
#define IDS_ERR_UNSTORABLE          165   /* description holds a character above code 255; %s: character, code */
#define IDS_ERR_OPEN                166   /* a chosen set file cannot be read; %s: set name */
#define IDS_ERR_UNSTORABLEUNIT      167   /* a chosen unit holds characters above code 255; %s: unit, dimension */
#define IDS_ERR_COMMONMISSING       168   /* no common resource library loads; %s: file, folder */
#define IDS_ERR_PROFILETOOLONG      169   /* a profile value does not fit; %s: key, section, capacity */
#define IDS_ERR_WRITECAUSE          170   /* second part of a failed save; %s: path, reason */
#define IDS_CAUSE_ACCESSDENIED      171   /* reasons of a failed save */
#define IDS_CAUSE_DISKFULL          172
#define IDS_CAUSE_INUSE             173
#define IDS_CAUSE_ISFOLDER          174
#define IDS_CAUSE_NOFOLDER          175
#define IDS_CAUSE_OTHER             176   /* %s: the system's error number */
#define IDS_UNITS_FILE              200   /* cause of a units data fault; %s: file or profile key */
#define IDS_UNITS_LINE              201   /* %s: line number, reason */
#define IDS_UNITS_NOPROFILEKEY      202   /* reasons; %s: detail (or number), number */
#define IDS_UNITS_PROFILEEMPTY      203
#define IDS_UNITS_PROFILETOOLONG    204
#define IDS_UNITS_MISSING           205
#define IDS_UNITS_OPEN              206
#define IDS_UNITS_READ              207
#define IDS_UNITS_TOOLARGE          208
#define IDS_UNITS_NOTUTF8           209
#define IDS_UNITS_BADNAME           210
#define IDS_UNITS_BADSYMBOL         211
#define IDS_UNITS_NAMETOOLONG       212
#define IDS_UNITS_SYMBOLTOOLONG     213
#define IDS_UNITS_UNSTORABLENAME    214
#define IDS_UNITS_UNSTORABLESYMBOL  215
#define IDS_UNITS_TOOMANYSYMBOLS    216
#define IDS_UNITS_DUPLICATE         217
#define IDS_UNITS_TOOMANYDIMENSIONS 218
#define IDS_UNITS_NODIMENSIONS      219
#define IDS_UNITS_NOMEMORY          220
#define IDS_ASK_CHANGEDONDISK       230   /* Save: the set file changed since read or written; %s: set name */
#define IDS_ASK_DELETEDONDISK       231   /* Save: the set file was deleted since; %s: set name */
#define IDS_LIB_MISSING             232   /* a resource library's fault; %s: file, folder */
#define IDS_LIB_INVALID             233
#define IDS_LIB_NOTEXTS             234
#define IDS_LIB_OWNTEXTS            235   /* what the program does instead */
#define IDS_LIB_ENGLISHCOMMON       236
#define IDS_LIB_NOCOMMON            237
#define IDS_ERR_SETDIRTOOLONG       238   /* %s: key, section, longest usable folder */
#define IDS_ERR_PROFILEUNSETVAR     239   /* %s: key, section, variable */
#define IDS_KEY_NEW                 260   /* shortcut key names shown in the File menu */
#define IDS_KEY_OPEN                261
#define IDS_KEY_SAVE                262
#define IDS_KEY_SAVEAS              263
#define IDS_ASK_PLAINCHARS          264   /* unstorable description, every character replaceable; %s: character, code */
#define IDS_ERR_OPENFILE            265   /* a set file given by path cannot be opened; %s: path, reason */
#define IDS_OPENCAUSE_MISSING       266   /* reasons of IDS_ERR_OPENFILE */
#define IDS_OPENCAUSE_FOLDER        267
#define IDS_OPENCAUSE_DEVICE        268
#define IDS_OPENCAUSE_FORMAT        269
#define IDS_OPENCAUSE_DENIED        270
#define IDS_SETNAMEFROMFILE         271   /* an unnamed set read from elsewhere; %s: <none>, file name */
#define IDS_ERR_PROFILEMISSING      280   /* a key that locates the resources is missing; %s: key, section */
#define IDS_ERR_NOTLOCATED          281   /* what follows when the resources cannot be located */
#define IDS_ERR_NOPROFILE           282   /* no installation profile file */
#define IDS_ERR_PROFILEUNREADABLE   283   /* the profile file cannot be read */
#define IDS_UNITS_PROFILEUNREADABLE 285   /* reason of a units data fault */
#define IDS_ERR_SETDIRSHORTNAMES    284   /* %s: key, section, folder length, room for names, longest folder for full names */
#define IDS_LIB_INUSE               320   /* a resource library's fault (as IDS_LIB_MISSING); %s: file, folder */
#define IDS_LIB_FOLDER              321
#define IDS_OPENCAUSE_TOOLONG       322   /* reason of IDS_ERR_OPENFILE; %s: length, most characters */
#define IDS_PATHSHORTENED           323   /* a path too long to show whole; %s: its beginning, its end */

/* Strings of the installation's common resource library that the program uses. */
#define IDS_COMMON_PRODUCT          50
#define IDS_COMMON_PRODUCTINFO      54
#define IDS_COMMON_FILE             100
#define IDS_COMMON_NEW              101
#define IDS_COMMON_SAVE             104
#define IDS_COMMON_SAVEAS           105
#define IDS_COMMON_EXIT             112
#define IDS_COMMON_DELETE           115
#define IDS_COMMON_OPEN             136
#define IDS_COMMON_HELP             190
#define IDS_COMMON_USINGHELP        192
#define IDS_COMMON_PRODUCTINFOMENU  195

/* Menu commands. */
#define IDM_NEW                     12
#define IDM_OPEN                    13
#define IDM_SAVE                    14
#define IDM_SAVEAS                  15
#define IDM_DELETE                  16
#define IDM_GLOBALDEFAULT           17
#define IDM_EXIT                    19
#define IDM_USINGHELP               21
#define IDM_PRODUCTINFO             25

/* Positions of the two popups in the main menu. */
#define MENUPOS_FILE                0
#define MENUPOS_HELP                1

/* The main window's child controls. */
#define IDC_SETNAME                 70
#define IDC_DESCLABEL               71
#define IDC_DESCRIPTION             72
#define IDC_CLEAR                   73
#define IDC_DIMLABEL                74
#define IDC_DIMLIST                 75
#define IDC_UNITLABEL               76
#define IDC_UNITLIST                77

/* Help context of the main window. */
#define HELPCTX_MAINWINDOW          100

#endif /* UASEDIT_RESOURCE_H */
