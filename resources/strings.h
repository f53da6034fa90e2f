// Every text of the program's string table, once. The resource script puts
// them into the string table (velmora.rc) and portable code widens the same
// literal (L"" STR_NTFS_ONLY), so a text can never differ between the two.
// Narrow UTF-8 literals on purpose: the resource compiler reads them under
// code page 65001, and a wide literal would lose the non-ASCII characters.
// A double quote inside a text would need "" in the resource script and \"
// in C++: texts here use none.
#pragma once

// ---- String table (ids in resource.h) ------------------------------------------------
#define STR_ADD_DIALOG_TEXTS "(Backup);Add;Add Files or Folders;"
#define STR_ITEM_LIST_COLUMNS \
    "Name;Type;Date created;Access rights of current user;Owner;File system;Folder;"
#define STR_RESTORE_FILE_COLUMNS "Name;Full path;Status;Access rights of current user;Owner;"
#define STR_RIGHT_NAMES                                                                         \
    "Full control;Traverse folder / execute file;List folder / read data;Read attributes;Read " \
    "extended attributes;Create files / write data;Create folders / append data;Write "         \
    "attributes;Write extended attributes;Delete subfolders and files;Delete;Read "             \
    "permissions;Change permissions;Take ownership;"
#define STR_ACE_TYPES "Allow;Deny;"
#define STR_ACCESS_LEVELS "Allowed;Read Only;Denied"
#define STR_ROOT_DIRECTORY_QUESTION \
    "%s is a Root directory ,do you want to change Security Settings for it?"
#define STR_CLEAR_DACL_PIECES                                                                     \
    "Clear Access Control List;Create a Null DACL\n\nA null DACL grants full access to any user " \
    "that requests it.;Create an empty DACL\n\nAn empty DACL grants no access to the object it "  \
    "is assigned to.;Do you want to continue?"
#define STR_DENIED_FOLDER_QUESTION                                                               \
    "You don't currently have permission to access this folder.\nDo you want to access to this " \
    "folder anyway?"
#define STR_STATUS_SELECTED "Selected %d / Total %d"
#define STR_ACE_LIST_COLUMNS ";Type;;Allow;Deny;Inherited From;Apply to;"
#define STR_NO_PERMISSION_TO_VIEW                                                             \
    "You do not have permission to view the object's permission settings\nPlease change the " \
    "owner to get permission"
#define STR_NULL_DACL_TEXT                                                                           \
    "No permissions have been assigned for this object.\n\nWarning: this is a potential security "   \
    "risk because anyone who can access this object can take ownership of it. The object’s owner " \
    "should assign permissions as soon as possible."
#define STR_EMPTY_DACL_TEXT                                                                       \
    "No groups or users have permission to access this object.However, the owner of this object " \
    "can assign permissions."
#define STR_PARENT_OBJECT "Parent Object"
#define STR_NEW_VERSION \
    "A new version of  Velmora (%s) is available.\n\r\n\r%s\n\r\n\rDo you want to download it?"
#define STR_NO_NEW_VERSION "There is no new version available at this time!"
#define STR_NTFS_ONLY "This operation only applies to objects in NTFS file systems."
#define STR_SELECT_ONLY_ONE "Please select only one item from the list."
#define STR_SELECT_AT_LEAST_ONE "Please select at least one item."
#define STR_RESTORE_RESET_COLUMNS "Name;Path;File system;Access rights of current user;Owner;"
#define STR_RESET_LABELS "Root directory;System Folder;(SYSTEM);"
#define STR_RESTORE_RESULTS "Succeed;Failed;File not found;"
#define STR_RESET_HEADING "Restore security settings to the default settings"
// The Restore window: a backup file cut short, and its title and buttons.
#define STR_BACKUP_DAMAGED                                                                 \
    "The backup file %s is damaged: it ends inside an item. Only the %d complete items " \
    "before that point are shown, and only they can be restored."
#define STR_RESTORE_CAPTION "Restore"
#define STR_RESTORE_TITLE "Restore Security settings"
#define STR_RESTORE_BUTTON "Restore"
#define STR_OPEN_BACKUP_BUTTON "Open Backup file..."
#define STR_SAVE_CHANGES_FIRST "Please save changes of Security settings."
#define STR_COPY_NOT_READ \
    "The security settings of %s could not be read, so nothing was copied."
#define STR_NO_ACCOUNT_CHOSEN "No account was chosen, so no item was changed."
#define STR_ACCOUNT_NOT_FOUND "The account “%s” could not be found, so no item was changed."
#define STR_ABOUT_TEXT "Velmora 1.3.0.129\nNTFS security settings of files and folders."
#define STR_ITEMS_NOT_CHANGED "The security settings of these items could not be changed:\n\n%s"
#define STR_ITEMS_LEFT_OPEN                                                                      \
    "These items could not be given their previous permissions back and have no access control " \
    "list now, so everyone has full access to them:\n\n%s"
#define STR_FAILURE_LINE "%s: %s"
#define STR_MORE_FAILURES "... and %d more."

// ---- Bookmarks, the update check, the account picker and the About box --------------------
#define STR_BOOKMARK_NOT_SAVED "The bookmark could not be saved to %s: %s"
#define STR_BOOKMARKS_NOT_SAVED "The changes to the bookmarks could not be saved to %s: %s"
#define STR_BOOKMARK_MISSING                                                                     \
    "This bookmark no longer exists. Open the main menu again to see the bookmarks as they are " \
    "now."
#define STR_UPDATE_CHECK_FAILED "Velmora could not check for a new version: %s"
#define STR_UPDATE_NO_SESSION "the Internet functions of Windows could not be started (%s)."
#define STR_UPDATE_NOT_REACHED "the update server could not be reached (%s)."
#define STR_UPDATE_BROKE_OFF "the update server's answer broke off (%s)."
#define STR_UPDATE_TOO_LARGE "the update server's answer is too large to be a version file."
#define STR_UPDATE_HTTP_STATUS "the update server answered with HTTP status %s."
#define STR_UPDATE_NOT_VERSION_FILE "the update server's answer is not a version file."
#define STR_UPDATE_ERROR_CODE "error %d"
// The object picker's three messages, written so (spacing and spelling included).
#define STR_PICKER_NO_COM                                                                          \
    "Could   not   create   the   required   COM   object   in   objsel.dll.Are   you   running  " \
    " Win2K   or   XP? "
#define STR_PICKER_INIT_FAILED \
    "Something   went   wrong   trying   in   the   call   to   Initialze(),bailing   out... "
#define STR_PICKER_INVOKE_FAILED "InvokeDialog   returned   with   a   failure,   bailing   out... "
#define STR_CHOOSER_NOT_FOUND                                                                          \
    "No user or group named “%s” was found on this computer.\n\nCheck the spelling, or choose an " \
    "account from the list."
#define STR_VERSION_LINE "Version %s   ( %s %s )"

// ---- Menu and dialog texts that the code shares ------------------------------------------
// The seven scopes ("ApplyTo" menu, the Options dialog's radio buttons).
#define STR_SCOPE_THIS_FOLDER_ONLY "This folder only"
#define STR_SCOPE_FOLDER_SUBFOLDERS_FILES "This folder,subfolders and files"
#define STR_SCOPE_FOLDER_SUBFOLDERS "This folder and subfolders"
#define STR_SCOPE_FOLDER_FILES "This folder and files"
#define STR_SCOPE_SUBFOLDERS_FILES_ONLY "Subfolders and files only"
#define STR_SCOPE_SUBFOLDERS_ONLY "Subfolders only"
#define STR_SCOPE_FILES_ONLY "Files only"
// The quick command buttons of the main window (also the Options caption's suffix).
#define STR_BUTTON_ALLOW_ACCESS "Allow Access"
#define STR_BUTTON_READ_ONLY "Read Only"
#define STR_BUTTON_DENY_ACCESS "Deny Access"
// The three "Bookmark ..." entries of the main menu; the Add bookmark dialog
// makes its prompt from them.
#define STR_MENU_BOOKMARK_SELECTED "Bookmark selected items..."
#define STR_MENU_BOOKMARK_ALL "Bookmark all items..."
#define STR_MENU_BOOKMARK_CURRENT_DIRECTORY "Bookmark Current Directory..."
// The account chooser offered where the object picker cannot be created.
#define STR_CHOOSER_CAPTION "Select User or Group"
#define STR_CHOOSER_PROMPT \
    "Enter the name of a user or group, or choose one of the accounts of this computer:"
// The main menu's About entry, which the system menu repeats.
#define STR_MENU_ABOUT "About Velmora..."

// ---- The demonstration program (velmora-demo.exe) only ---------------------------------
// Its string table is demo/velmora-demo.rc; the main menu's entry is shown
// only there.
#define STR_DEMO_CAPTION "Velmora — demonstration machine"
#define STR_MENU_DEMO_RESET "Reset the demonstration machine..."
#define STR_DEMO_RESET_QUESTION                                                         \
    "Put the demonstration machine back as it was shipped?\n\nEvery change made to it " \
    "since then is lost."
#define STR_DEMO_CANNOT_OPEN                                                                  \
    "The files and folders of the demonstration machine exist only inside Velmora, so other " \
    "programs cannot open them."
#define STR_DEMO_SAVED_DAMAGED                                                           \
    "The saved demonstration machine could not be read (%s).\n\nIt was kept as %s, and " \
    "the demonstration machine starts as shipped."
#define STR_DEMO_SAVED_STUCK                                                                 \
    "The saved demonstration machine %s could not be read (%s), nor moved aside.\n\nThe "    \
    "demonstration machine starts as shipped, and the changes made in this session are not " \
    "saved over that file."
#define STR_DEMO_SAVED_UNREADABLE                                                           \
    "The saved demonstration machine %s could not be opened.\n\nThe demonstration machine " \
    "starts as shipped, and the changes made in this session are not saved over that file."
#define STR_DEMO_SHIPPED_DAMAGED "The demonstration machine of this program could not be read (%s)."
#define STR_DEMO_NOT_SAVED "The demonstration machine could not be saved to %s: %s"
#define STR_DEMO_NO_FOLDER \
    "The folder %s is not on the demonstration machine, so the drives are shown instead."
#define STR_DEMO_BAD_COMMAND_LINE "%s\n\nUsage: %s"

// ---- Advanced Security Settings, the inheritance question, replacing child permissions ------
#define STR_ADVANCED_CAPTION "Advanced Security Settings"
#define STR_ADV_OBJECT_NAME_LABEL "Object name: "
#define STR_ADV_OWNER_LABEL "Current Owner: "
#define STR_ADV_INHERIT "&Include inheritable permissions from this object's parent"
#define STR_ADV_REPLACE_CHILDREN \
    "Re&place all child object permissions with inheritable permissions from this object"
#define STR_ADV_CHANGE_OWNER "Change Owner"
#define STR_ADV_APPLY "Apply"
#define STR_BUSY_TEXT "Please wait..."
#define STR_ENTRIES_NOT_WRITTEN                                                                    \
    "These accounts could not be found, so their entries were not written:\n\n%s"
#define STR_INHERIT_TIP_CAPTION "Windows Security"
#define STR_INHERIT_TIP_WARNING \
    "Warning: If you proceed, inheritable parent permissions will no longer propagate to this object."
#define STR_INHERIT_TIP_CONVERT \
    "Convert and add inherited parent permissions as explicit permissions on this object"
#define STR_INHERIT_TIP_REMOVE "Remove inherited parent permissions from this object"
#define STR_INHERIT_TIP_LEAVE "Do not modify inheritance settings at this time"
#define STR_REPLACE_CHILDREN_CAPTION "Replace all child object permissions"
#define STR_REPLACE_WITH_INHERITABLE \
    "Replace all child object permissions with inheritable permissions from this object"
#define STR_REPLACE_COPY_FROM_OBJECT "Copy security settings from this object"
#define STR_PROGRESS_CAPTION "Replace child object permissions"
#define STR_PROGRESS_TEXT "Setting security information on subfolders and files"
#define STR_PROGRESS_NOT_REACHED \
    "These folders could not be listed or these items could not be changed, so what lies below them was not changed:\n\n%s"
// The file-error messages (ids 61856 to 61870), %1 the file's name.
#define STR_FILE_ERROR_NONE "No error occurred."
#define STR_FILE_ERROR_GENERIC "An unknown error occurred while accessing %1."
#define STR_FILE_ERROR_NOT_FOUND "%1 was not found."
#define STR_FILE_ERROR_BAD_PATH "%1 contains an incorrect path."
#define STR_FILE_ERROR_TOO_MANY_OPEN \
    "%1 could not be opened because there are too many open files."
#define STR_FILE_ERROR_ACCESS_DENIED "Access to %1 was denied."
#define STR_FILE_ERROR_INVALID_FILE "An incorrect file handle was associated with %1."
#define STR_FILE_ERROR_REMOVE_CURRENT "%1 could not be removed because it is the current directory."
#define STR_FILE_ERROR_DIRECTORY_FULL "%1 could not be created because the directory is full."
#define STR_FILE_ERROR_BAD_SEEK "Seek failed on %1."
#define STR_FILE_ERROR_HARD_IO "A hardware I/O error was reported while accessing %1."
#define STR_FILE_ERROR_SHARING "A sharing violation occurred while accessing %1."
#define STR_FILE_ERROR_LOCKING "A locking violation occurred while accessing %1."
#define STR_FILE_ERROR_DISK_FULL "Disk full while accessing %1."
#define STR_FILE_ERROR_END_OF_FILE "An attempt was made to access %1 past its end."
