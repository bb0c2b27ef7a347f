/* Resource ids shared by setup.rc and the program. */
#ifndef CORVANE_RESOURCE_H
#define CORVANE_RESOURCE_H

/* Controls that are never addressed. */
#define IDC_STATIC          -1

/* Numbered dialog templates; the others are named (SETUPINTRO, ...). */
#define IDD_GROUP_CHOOSER   115
#define IDD_ICONS           135
#define IDD_NO_ARCHIVE      141

/* SETUPINTRO */
#define IDC_UNINSTALL       1001

/* INSTALL, and the group chooser's caption */
#define IDC_FOLDER_EDIT     1002

/* DIRCREATE, COPYFILES, REMOVE: the folder shown */
#define IDC_FOLDER_TEXT     1004

/* COPYFILES: the file being extracted */
#define IDC_FILE_TEXT       1005

/* NOTICE1 */
#define IDC_REMOVE_OLD      1006

/* Group chooser */
#define IDC_GROUP_LIST      108
#define IDC_GROUP_EDIT      112

/* Icons */
#define IDI_REMOVE          136
#define IDI_SETUP           137

/* Logo bitmaps */
#define IDB_LOGO            104
#define IDB_LOGO_MASK       105

#endif
