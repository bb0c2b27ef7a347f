/* The kinds of control and window the dialog templates of every language
   are made of. */
#ifndef CORVANE_DIALOG_KINDS_H
#define CORVANE_DIALOG_KINDS_H

/* Control kinds as the templates use them. */
#define DEFAULT_BUTTON  BS_DEFPUSHBUTTON | WS_TABSTOP
#define PUSH_BUTTON     BS_PUSHBUTTON | WS_TABSTOP
#define GROUP_BOX       BS_GROUPBOX
#define ICON_STATIC     SS_ICON
#define LEFT_TEXT       SS_LEFT | WS_GROUP
#define CENTRED_TEXT    SS_CENTER | WS_GROUP
#define FOLDER_EDIT     ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP

/* Window styles. */
#define BOX_STYLE       DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU
#define WORK_STYLE      DS_MODALFRAME | WS_POPUP | WS_VISIBLE

#endif
