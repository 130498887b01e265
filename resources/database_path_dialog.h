// Template and control ids of the "Configure Database Path" dialog.
#ifndef KALVORA_DATABASE_PATH_DIALOG_H
#define KALVORA_DATABASE_PATH_DIALOG_H

#define IDD_DATABASE_PATH 31010

#define IDC_DBPATH_PATH 1230
#define IDC_DBPATH_CHANGE 1231
#define IDC_DBPATH_TABS 31120

#endif
