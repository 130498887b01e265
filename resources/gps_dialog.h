// Control ids of the GPS dialogs: "GPS Configuration" (301, tab "General" with the "GPS Device"
// page 302 on it) and "Acquire GPS Location" (306, as 305 is the Migrate Data wizard's) with
// its lights (icons 514 and 515).
#ifndef KALVORA_GPS_DIALOG_H
#define KALVORA_GPS_DIALOG_H

#define IDD_GPS_CONFIGURATION 301
#define IDD_GPS_DEVICE_PAGE 302
#define IDD_GPS_ACQUIRE 305

#define IDI_GPS_WAITING 514
#define IDI_GPS_DONE 515

#define IDC_GPS_TABS 32500
#define IDC_GPS_PORT_LABEL 32501
#define IDC_GPS_PORTS 32502
#define IDC_GPS_NOTE 32503

#define IDC_GPS_HEADING 32510
#define IDC_GPS_PORT_LIGHT 32511
#define IDC_GPS_PORT_TEXT 32512
#define IDC_GPS_RECEIVER_LIGHT 32513
#define IDC_GPS_RECEIVER_TEXT 32514
#define IDC_GPS_FIX_LIGHT 32515
#define IDC_GPS_FIX_TEXT 32516

#endif
