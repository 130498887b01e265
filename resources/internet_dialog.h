// Templates and control ids of the version check and of "Kalvora on the Internet".
#ifndef KALVORA_INTERNET_DIALOG_H
#define KALVORA_INTERNET_DIALOG_H

#define IDD_VCHECK_STATUS 31000
#define IDD_VCHECK_NEWER 31001
#define IDD_VCHECK_CURRENT 31002
#define IDD_INTERNET 31003

#define IDC_VCHECK_STATUS 31100
#define IDC_VCHECK_YOURS 31101
#define IDC_VCHECK_NEW 31102
#define IDC_NET_SHOP 31110
#define IDC_NET_HOME 31111
#define IDC_NET_SUPPORT 31112
#define IDC_NET_SERVICE 31113

#endif
