// Control ids of the calendar views' dialogs: "Main Date" (template 109) and "Kalvora
// QuickEdit" (template 119).
#ifndef KALVORA_VIEWS_DIALOGS_H
#define KALVORA_VIEWS_DIALOGS_H

#define IDD_MAIN_DATE 109
#define IDC_MAIN_DATE_BOX 10901

#define IDD_QUICK_EDIT 119
#define IDC_QUICK_EDIT_DATE 11901
#define IDC_QUICK_EDIT_LIST 11902
#define IDC_QUICK_EDIT_EDIT 11903
#define IDC_QUICK_EDIT_NEW_SCHEDULE 11904
#define IDC_QUICK_EDIT_NEW_OVERLAY 11905

#endif
