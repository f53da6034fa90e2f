// Resource ids of velmora.rc, shared by the resource script and the code.
// Control ids are per dialog; the same number names different controls in
// different dialogs (1038 is the clipboard indicator of the main window and
// the trustee button of the Options dialog), so each dialog has its group.
#pragma once

// ---- Icon, menus, data --------------------------------------------------------
#define IDI_VELMORA 128
#define IDR_POPUP_MENUS 158  // sub-menus: [MAIN], MainPop, AddACE, ApplyTo, AdvPop, RestorePop
// Default security descriptors (RCDATA), self-relative, DACL only.
#define IDR_DEFAULT_SD_DRIVE_ROOT 185  // drive roots other than the system drive
#define IDR_DEFAULT_SD_SYSTEM_FOLDER 186
#define IDR_DEFAULT_SD_SYSTEM_DRIVE 187

// ---- Dialog templates ----------------------------------------------------------
#define IDD_ABOUT 135
#define IDD_MAIN 145
#define IDD_ADVANCED 146
#define IDD_PROGRESS 161
#define IDD_REMOVE_INHERIT_TIP 164
#define IDD_RESTORE 165
#define IDD_ADD_BOOKMARK 166
#define IDD_BOOKMARK_MANAGER 170
#define IDD_QUICKSET_OPTIONS 171
#define IDD_WORKING_TIP 183
#define IDD_REPLACE_CHILD_PERMISSIONS 184
#define IDD_ACCOUNT_CHOOSER 290  // where the object picker cannot be created

// ---- PNG images (resource type "PNG") --------------------------------------------
#define IDP_ADD 130
#define IDP_ADVANCED 131
#define IDP_ALLOW 132
#define IDP_DENY 133
#define IDP_READ_ONLY 134
#define IDP_ABOUT_TITLE 136
#define IDP_BACK 137
#define IDP_ENTRY_REMOVE 147  // '-' of the Advanced dialog
#define IDP_ENTRY_RELOAD 148  // 'R'
#define IDP_ENTRY_ADD 149     // '+', also the "~" trustee button of the Options dialog
#define IDP_CHANGE_OWNER 159  // also the "Advanced..." trustee menu entry
#define IDP_MAIN_MENU 163
#define IDP_ACCESS_ALLOWED 172
#define IDP_ACCESS_DENIED 173
#define IDP_ACCESS_READ_ONLY 174
#define IDP_OWNER 175  // owner column; entry rows of the ACE list
#define IDP_CELL_EMPTY 176
#define IDP_CELL_DROPDOWN 177
#define IDP_CELL_TICKED 178
#define IDP_NON_NTFS 179
#define IDP_BOOKMARK 180
#define IDP_CLIPBOARD 181
// The same pictures rendered at 1.5x and 2x for larger display scales: the
// picture's id plus one of these (images.rc; platform/Dpi.h picks them).
#define IDP_AT_150 1000
#define IDP_AT_200 2000

// ---- String table ------------------------------------------------------------------
// Lists are ';'-separated and taken apart by position.
#define IDS_ADD_DIALOG_TEXTS 182  // "(Backup);Add;Add Files or Folders;"
#define IDS_ITEM_LIST_COLUMNS 183
#define IDS_RESTORE_FILE_COLUMNS 184
#define IDS_RIGHT_NAMES 185    // the fourteen rights
#define IDS_ACE_TYPES 186      // "Allow;Deny;"
#define IDS_ACCESS_LEVELS 187  // "Allowed;Read Only;Denied"
#define IDS_ROOT_DIRECTORY_QUESTION 188
#define IDS_CLEAR_DACL_PIECES 189  // caption; null text; empty text; question
#define IDS_DENIED_FOLDER_QUESTION 190
#define IDS_STATUS_SELECTED 192  // "Selected %d / Total %d"
#define IDS_ACE_LIST_COLUMNS 193
#define IDS_NO_PERMISSION_TO_VIEW 194
#define IDS_NULL_DACL_TEXT 195
#define IDS_EMPTY_DACL_TEXT 196
#define IDS_PARENT_OBJECT 197
#define IDS_NEW_VERSION 198
#define IDS_NO_NEW_VERSION 199
#define IDS_NTFS_ONLY 200
#define IDS_SELECT_ONLY_ONE 201
#define IDS_SELECT_AT_LEAST_ONE 202
#define IDS_RESTORE_RESET_COLUMNS 203
#define IDS_RESET_LABELS 204     // "Root directory;System Folder;(SYSTEM);"
#define IDS_RESTORE_RESULTS 205  // "Succeed;Failed;File not found;"
#define IDS_RESET_HEADING 206
#define IDS_SAVE_CHANGES_FIRST 207
// Messages of this program beyond the texts above.
#define IDS_NO_ACCOUNT_CHOSEN 209
#define IDS_ACCOUNT_NOT_FOUND 210  // %s: the trustee as typed
#define IDS_ABOUT_TEXT 211
#define IDS_ITEMS_NOT_CHANGED 212  // %s: one line per item with the system's reason
#define IDS_ITEMS_LEFT_OPEN 213    // %s: as 212, for items left with a NULL DACL
#define IDS_FAILURE_LINE 214       // "%s: %s", the path and the system's reason
#define IDS_MORE_FAILURES 215      // %d: items not listed

// Bookmarks, the update check, the account picker (a block of their own).
#define IDS_BOOKMARK_NOT_SAVED 260
#define IDS_BOOKMARKS_NOT_SAVED 261
#define IDS_BOOKMARK_MISSING 262
#define IDS_UPDATE_CHECK_FAILED 263  // %s: one of the reasons 264 to 269
#define IDS_UPDATE_NO_SESSION 264
#define IDS_UPDATE_NOT_REACHED 265
#define IDS_UPDATE_BROKE_OFF 266
#define IDS_UPDATE_TOO_LARGE 267
#define IDS_UPDATE_HTTP_STATUS 268
#define IDS_UPDATE_NOT_VERSION_FILE 269
#define IDS_UPDATE_ERROR_CODE 270
#define IDS_PICKER_NO_COM 271
#define IDS_PICKER_INIT_FAILED 272
#define IDS_PICKER_INVOKE_FAILED 273
#define IDS_CHOOSER_NOT_FOUND 274
#define IDS_VERSION_LINE 275
#define IDS_COPY_NOT_READ 296  // %s: the item Copy could not read

// ---- Controls of the main window (IDD_MAIN) --------------------------------------
#define IDC_MAIN_ADD 1006
#define IDC_MAIN_ALLOW 1007
#define IDC_MAIN_READ_ONLY 1008
#define IDC_MAIN_DENY 1009
#define IDC_MAIN_ADVANCED 1010
#define IDC_MAIN_EDIT_LIST 1011
#define IDC_MAIN_BROWSE_LIST 1012
#define IDC_MAIN_BACK 1013
#define IDC_MAIN_PATH_BAR 1014
#define IDC_MAIN_STATUS 1015
#define IDC_MAIN_CHANGE_OWNER 1016
#define IDC_MAIN_MENU_BUTTON 1027
#define IDC_MAIN_CLIPBOARD 1038
#define IDC_MAIN_NON_NTFS 1039
#define IDC_MAIN_SEPARATOR1 1047
#define IDC_MAIN_SEPARATOR2 1048

// ---- About box (IDD_ABOUT) ------------------------------------------------------------
#define IDC_ABOUT_HOME_PAGE 1003
#define IDC_ABOUT_SUGGESTIONS 1004
#define IDC_ABOUT_DONATE 1005

// ---- Advanced Security Settings (IDD_ADVANCED) ------------------------------------------
#define IDC_ADV_CHANGE_OWNER 4
#define IDC_ADV_ADD 1016
#define IDC_ADV_REMOVE 1017
#define IDC_ADV_OBJECT_NAME 1018
#define IDC_ADV_RELOAD 1019
#define IDC_ADV_ACE_LIST 1020
#define IDC_ADV_INHERIT 1021
#define IDC_ADV_REPLACE_CHILDREN 1022
#define IDC_ADV_OWNER 1023

// ---- Propagation progress (IDD_PROGRESS) and its question (IDD_REPLACE_CHILD_PERMISSIONS) ----
#define IDC_PROGRESS_BAR 1025
#define IDC_PROGRESS_TEXT 1026
#define IDC_PROGRESS_ENTRY 1027
#define IDC_REPLACE_WITH_INHERITABLE 1038
#define IDC_REPLACE_COPY_FROM_OBJECT 1039

// ---- Inheritance question (IDD_REMOVE_INHERIT_TIP) --------------------------------------
#define IDC_REMOVE_INHERIT_ICON 1028

// ---- Restore window (IDD_RESTORE) ------------------------------------------------------
#define IDC_RESTORE_LIST 1029
#define IDC_RESTORE_RUN 1030
#define IDC_RESTORE_TITLE 1031
#define IDC_RESTORE_OPEN 1032
#define IDC_RESTORE_PROGRESS 1033

// ---- Bookmark dialogs (IDD_ADD_BOOKMARK, IDD_BOOKMARK_MANAGER) ----------------------------
#define IDC_BOOKMARK_NAME 1034
#define IDC_BOOKMARK_PROMPT 1035
#define IDC_BOOKMARK_LIST 1029
#define IDC_BOOKMARK_REMOVE 1037

// ---- Account chooser (IDD_ACCOUNT_CHOOSER), where the object picker is missing ----------------
#define IDC_CHOOSER_PROMPT 1060
#define IDC_CHOOSER_NAME 1061  // a drop-down combo box: typed, or one of the listed accounts

// ---- Options of the quick commands (IDD_QUICKSET_OPTIONS) --------------------------------
#define IDC_OPTIONS_TRUSTEE_BUTTON 1038
#define IDC_OPTIONS_SCOPE_FIRST 1039  // seven radio buttons 1039..1045, in scope order
#define IDC_OPTIONS_SCOPE_LAST 1045
#define IDC_OPTIONS_TRUSTEE_NAME 1046

// ---- "Please Wait..." (IDD_WORKING_TIP) --------------------------------------------------
#define IDC_WORKING_PROGRESS 1050

// ---- File-and-folder open dialog: the "Add" button it creates -----------------------------
#define IDC_FILEDLG_ADD 101

// ---- Commands ----------------------------------------------------------------------------
#define IDM_ABOUTBOX 16  // system menu entry of the main window
// Trustee menu (AddACE).
#define ID_TRUSTEE_ADVANCED 32771
#define ID_TRUSTEE_ADMINISTRATORS 32772
#define ID_TRUSTEE_EVERYONE 32773
#define ID_TRUSTEE_SYSTEM 32774
#define ID_TRUSTEE_TRUSTEDINSTALLER 32776
#define ID_TRUSTEE_CURRENT_USER 32777
// Scopes (ApplyTo), in menu order.
#define ID_SCOPE_THIS_FOLDER_ONLY 32779
#define ID_SCOPE_FOLDER_SUBFOLDERS_FILES 32780
#define ID_SCOPE_FOLDER_SUBFOLDERS 32781
#define ID_SCOPE_FOLDER_FILES 32782
#define ID_SCOPE_SUBFOLDERS_FILES_ONLY 32783
#define ID_SCOPE_SUBFOLDERS_ONLY 32784
#define ID_SCOPE_FILES_ONLY 32785
// Item commands (MainPop, [MAIN]).
#define ID_ITEM_ADVANCED 32786
#define ID_ITEM_COPY_SECURITY 32788
#define ID_ITEM_PASTE_SECURITY 32789
#define ID_ITEM_INHERITANCE 32790
#define ID_ITEM_REPLACE_CHILDREN 32791
#define ID_ITEM_PROPERTIES 32792
#define ID_ITEM_NULL_DACL 32827
#define ID_ITEM_EMPTY_DACL 32829
#define ID_ITEM_REMOVE 32830
#define ID_ITEM_REFRESH 32831
#define ID_ITEM_OPEN 32832
#define ID_ITEM_SEND_TO_EDIT_VIEW 32840
#define ID_BOOKMARK_SELECTED 32806
#define ID_BOOKMARK_ALL 32807
#define ID_BOOKMARK_CURRENT_DIRECTORY 32808
#define ID_BOOKMARK_MANAGER 32809
#define ID_BOOKMARK_PLACEHOLDER 32810
#define ID_BOOKMARK_FIRST_ENTRY 1324  // bookmark i has the command 1324 + i
#define ID_APP_ABOUT 32815
#define ID_APP_EXIT 32816
#define ID_VIEW_EDIT_MODE 32818
#define ID_VIEW_BROWSE_MODE 32819
#define ID_ITEM_ADD 32820
#define ID_BACKUP_CREATE 32821
#define ID_BACKUP_RESTORE 32822
#define ID_BACKUP_RESET 32845
#define ID_APP_CHECK_UPDATES 32834
// Advanced dialog context menu (AdvPop).
#define ID_ACE_REMOVE 32794
#define ID_ACE_CREATE_EMPTY_DACL 32795
#define ID_ACE_COPY 32796
#define ID_ACE_PASTE 32797
#define ID_ACE_EXPAND_COLLAPSE 32837
#define ID_SD_EXPORT 32851
#define ID_SD_IMPORT 32852
// Restore window context menu (RestorePop).
#define ID_RESTORE_COPY_SECURITY 32823
#define ID_RESTORE_ADVANCED 32847
// Commands of keys that no menu offers, routed like the others.
#define ID_KEY_SWITCH_VIEW 32870          // Ctrl+Tab
#define ID_KEY_SELECT_ALL 32871           // Ctrl+A
#define ID_KEY_NAVIGATE_TYPED_PATH 32872  // Enter in the path bar's edit field

// ---- The demonstration program (velmora-demo.exe) only -------------------------------------
// Its machine description (resources/demo/demo-machine.txt, RCDATA) and its
// string table (demo/velmora-demo.rc), a block of ids of its own so that the
// two programs' string tables never share one.
#define IDR_DEMO_MACHINE 240
#define IDS_DEMO_CAPTION 240
#define IDS_DEMO_RESET_QUESTION 241
#define IDS_DEMO_CANNOT_OPEN 242
#define IDS_DEMO_SAVED_DAMAGED 243     // %s: the reader's error, %s: where the file was kept
#define IDS_DEMO_SAVED_STUCK 244       // %s: the saved file, %s: the reader's error
#define IDS_DEMO_SAVED_UNREADABLE 245  // %s: the saved file
#define IDS_DEMO_SHIPPED_DAMAGED 246   // %s: the reader's error
#define IDS_DEMO_NOT_SAVED 247         // %s: the saved file, %s: the system's reason
#define IDS_DEMO_NO_FOLDER 248         // %s: the folder of --folder
#define IDS_DEMO_BAD_COMMAND_LINE 249  // %s: what is wrong, %s: the usage
// The main menu's entry that puts the demonstration machine back as shipped.
#define ID_DEMO_RESET 32880

// ---- Advanced Security Settings and the propagation dialogs: the rest -------------------------
#define IDC_ADV_APPLY 3
#define IDC_ADV_OBJECT_NAME_LABEL 1040
#define IDC_ADV_OWNER_LABEL 1041
#define IDC_REMOVE_INHERIT_TEXT 1042
#define IDC_REMOVE_INHERIT_REMOVE 3  // the question's end codes are its button ids: 1, 3, 2
// The file-error messages of export and import, one per kind of cause.
#define IDS_FILE_ERROR_NONE 61856
#define IDS_FILE_ERROR_GENERIC 61857
#define IDS_FILE_ERROR_NOT_FOUND 61858
#define IDS_FILE_ERROR_BAD_PATH 61859
#define IDS_FILE_ERROR_TOO_MANY_OPEN 61860
#define IDS_FILE_ERROR_ACCESS_DENIED 61861
#define IDS_FILE_ERROR_INVALID_FILE 61862
#define IDS_FILE_ERROR_REMOVE_CURRENT 61863
#define IDS_FILE_ERROR_DIRECTORY_FULL 61864
#define IDS_FILE_ERROR_BAD_SEEK 61865
#define IDS_FILE_ERROR_HARD_IO 61866
#define IDS_FILE_ERROR_SHARING 61867
#define IDS_FILE_ERROR_LOCKING 61868
#define IDS_FILE_ERROR_DISK_FULL 61869
#define IDS_FILE_ERROR_END_OF_FILE 61870
