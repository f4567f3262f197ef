/* resource.h - identifiers shared by dialvane.rc and the program's code. */
#ifndef DIALVANE_RESOURCE_H
#define DIALVANE_RESOURCE_H

#define IDC_STATIC                      (-1)

/* Dialog templates */
#define IDD_MAIN                        101
#define IDD_ABOUT                       102
#define IDD_GENERAL_PAGE                109
#define IDD_SECOND_PAGE                 110
#define IDD_LOADING                     111
#define IDD_SAVING                      112

/* Cursor and icon */
#define IDC_HAND_CURSOR                 104
#define IDI_DIALVANE                    106

/* Main dialog (IDOK 1 and IDCANCEL 2 are the OK and Cancel buttons) */
#define IDC_APPLY                       1002
#define IDC_ABOUT                       1003
#define IDC_HOMEPAGE_LINK               1033
#define IDC_PAGE_TABS                   1047

/* About box (IDCANCEL 2 is the Close button) */
#define IDC_LICENSE_TEXT                1005

/* General page: check boxes */
#define IDC_ACTIVE_WINDOW_TRACKING      1001
#define IDC_MENU_ANIMATION              1009
#define IDC_COMBOBOX_ANIMATION          1010
#define IDC_LISTBOX_SMOOTH_SCROLLING    1011
#define IDC_GRADIENT_CAPTIONS           1012
#define IDC_MENU_UNDERLINES             1013
#define IDC_ACTIVE_WINDOW_TRACK_ZORDER  1014
#define IDC_HOT_TRACKING                1015
#define IDC_FONT_SMOOTHING              1018
#define IDC_DRAG_FULL_WINDOWS           1019
#define IDC_WINDOW_ANIMATION            1020
#define IDC_REMOVE_FAVORITES_MENU       1021
#define IDC_REMOVE_DOCUMENTS_MENU       1022
#define IDC_REMOVE_FIND_MENU            1023
#define IDC_SMOOTH_SCROLLING            1025
#define IDC_SAVE_WINDOW_SETTINGS        1027
#define IDC_REMOVE_RUN_MENU             1028
#define IDC_REMOVE_LOGOFF_MENU          1029
#define IDC_NO_CHANGE_START_MENU        1030

/* General page: other controls */
#define IDC_ICON_COLORS                 1016
#define IDC_CUSTOM_ICON_SIZE            1017
#define IDC_ICON_SIZE                   1024
#define IDC_RESTORE_START_MENU_ORDER    1061
#define IDC_MENU_SPEED_DEFAULT          1062
#define IDC_MENU_SPEED                  1063

/* Second page */
#define IDC_WINDOW_TITLE                1064
#define IDC_TOOLBAR_BITMAP              1065
#define IDC_BROWSE_TOOLBAR_BITMAP       1067

/* The licence text: a custom resource addressed by name and type */
#define LICENSE_RESOURCE_NAME           "LICENSE"
#define LICENSE_RESOURCE_TYPE           "TEXT"

/* Class names used by the templates */
#define HOVER_BUTTON_CLASS              "QCWButtonWndClass"

/* Home page shown on the main dialog's link label and opened by a click on it */
#define HOMEPAGE_URL                    "https://example.org/"
#define HOMEPAGE_LINK_CAPTION           "Updates on my homepage: " HOMEPAGE_URL

#endif
