// Control ids of the Search window (template "Search") and of its "Where to search..." dialog
// (template 139). The numbers are the program's established ones.
#ifndef KALVORA_SEARCH_DIALOG_H
#define KALVORA_SEARCH_DIALOG_H

#define IDC_SEARCH_FIND 1720
#define IDC_SEARCH_TEXT 1721
#define IDC_SEARCH_WHERE 1722
#define IDC_SEARCH_LIST 1723
#define IDC_SEARCH_MATCH_CASE 1724
#define IDC_SEARCH_WHOLE_WORD 1725
#define IDC_SEARCH_REOPEN 1726
#define IDC_SEARCH_SEPARATOR 1727

#define IDD_SEARCH_WHERE 139
#define IDC_WHERE_FIRST_AREA 1730  /* 1730 ... 1737: one check box per area bit */
#define IDC_WHERE_SCHEDULE 1730
#define IDC_WHERE_TODO 1731
#define IDC_WHERE_PHONEBOOK 1732
#define IDC_WHERE_OVERLAYS 1733
#define IDC_WHERE_SCHEDULE_NOTES 1734
#define IDC_WHERE_TODO_NOTES 1735
#define IDC_WHERE_PHONE_NOTES 1736
#define IDC_WHERE_GENERAL_NOTES 1737
#define IDC_WHERE_FROM 1738
#define IDC_WHERE_UNTIL 1739
#define IDC_WHERE_SELECT_ALL 1740
#define IDC_WHERE_CLEAR_ALL 1741

#endif
