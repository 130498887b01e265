// Control ids of the "Migrate Data" wizard (template 306; its controls keep their 305xx
// numbers, as 305 is the GPS acquisition dialog's): one dialog whose pages are groups of
// controls shown in turn.
#ifndef KALVORA_MIGRATE_DIALOG_H
#define KALVORA_MIGRATE_DIALOG_H

#define IDD_MIGRATE 306
#define IDC_MIGRATE_PICTURE 30501
#define IDC_MIGRATE_TITLE 30502
// Introduction.
#define IDC_MIGRATE_INTRO1 30510
#define IDC_MIGRATE_INTRO2 30511
#define IDC_MIGRATE_INTRO3 30512
// Source.
#define IDC_MIGRATE_SOURCE_TEXT 30520
#define IDC_MIGRATE_SOURCE_LABEL 30521
#define IDC_MIGRATE_SOURCE 30522
#define IDC_MIGRATE_BROWSE 30523
// Target.
#define IDC_MIGRATE_TARGET_TEXT 30530
#define IDC_MIGRATE_REPLACE 30531
#define IDC_MIGRATE_NEW 30532
#define IDC_MIGRATE_CONFIG_LABEL 30533
#define IDC_MIGRATE_CONFIG 30534
#define IDC_MIGRATE_DATABASE_LABEL 30535
#define IDC_MIGRATE_DATABASE 30536
// End.
#define IDC_MIGRATE_DONE 30540
#define IDC_MIGRATE_DONE_TEXT 30541
#define IDC_MIGRATE_OPEN 30542

#endif
