/* The string tables' ids, shared by the language files and the programs.
   Every text a person can see outside the dialog templates is one of
   these, in every language; the log takes the English one. */
#ifndef CORVANE_TEXTS_H
#define CORVANE_TEXTS_H

/* SETUP.EXE. The unzip library's texts have the ids of its results, 1 to
   50; a result without a text has no string. */
#define IDS_UNZIP_ERROR         64  /* a result without a text; %s the result */
#define IDS_ERROR               65  /* the error boxes' caption */
#define IDS_BACKDROP_TITLE      66
#define IDS_COPY_FAILED         67
#define IDS_CREATE_FAILED       68
#define IDS_DDEML_FAILED        69
#define IDS_GROUP_FAILED        70
#define IDS_ARCHIVE_NOT_HELD    71
#define IDS_FOLDER_NOT_FULL     72
#define IDS_FOLDER_TOO_LONG     73
#define IDS_FOLDER_NOT_HELD     74  /* %s the folder, %s the characters */
#define IDS_FOLDER_UNSAFE       75  /* %s the folder, %s what others may, %s the level */
#define IDS_OTHERS_MAY          76  /* 76 to 80: what others may do with a level */

/* A refused switch; %s the switch as given. */
#define IDS_SWITCH_UNKNOWN      81
#define IDS_SWITCH_MALFORMED    82
#define IDS_SWITCH_NO_VALUE     83
#define IDS_SWITCH_NEEDS_VALUE  84
#define IDS_SWITCH_EMPTY        85
#define IDS_SWITCH_TOO_LONG     86
#define IDS_SWITCH_TWO_MODES    87
#define IDS_SWITCH_NOT_FULL     88
#define IDS_SWITCH_FOLDER_LONG  89
#define IDS_SWITCH_BAD_WAIT     90

/* A file in use, for a person to close; %s the file, then the program
   that holds it and its process id. */
#define IDS_IN_USE              91
#define IDS_IN_USE_BY           92

/* UNINSTAL.EXE */
#define IDS_UNINSTALL_TITLE     16
#define IDS_NO_SETUP            17
#define IDS_NO_FOLDER           18
#define IDS_NOT_WRITTEN         19
#define IDS_NOT_COPIED          20  /* %s the file */
#define IDS_NOT_STARTED         21
#define IDS_SETUP_NOT_STARTED   22

#endif
