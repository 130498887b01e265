// Control ids of the "Kalvora Event Alarm" dialog (template 125).
#ifndef KALVORA_ALARM_DIALOG_H
#define KALVORA_ALARM_DIALOG_H

#define IDD_ALARM 125
#define IDC_ALARM_ICON 12501
#define IDC_ALARM_TITLE 12502
#define IDC_ALARM_NOW 12503
#define IDC_ALARM_EVENT 12504

#endif
