// Control ids of the phonebook window (built from the "Phonebook" template) and of the
// "New Phone/Address Entry" dialog ("PhoneEntry").
#ifndef KALVORA_PHONE_DIALOG_H
#define KALVORA_PHONE_DIALOG_H

// The window. The four phone rows are consecutive: label, number and dial button of row n are
// the first id + n.
#define IDC_PB_CATEGORY 17001
#define IDC_PB_PEOPLE 17002
#define IDC_PB_ORGANIZATIONS 17003
#define IDC_PB_NAMES 17004
#define IDC_PB_PREFIX 17005
#define IDC_PB_NEW 17006
#define IDC_PB_EDIT 17007
#define IDC_PB_DELETE 17008
#define IDC_PB_HEADING 17009
#define IDC_PB_ADDRESS 17010
#define IDC_PB_COPY 17011
#define IDC_PB_LABEL1 17020
#define IDC_PB_NUMBER1 17030
#define IDC_PB_DIAL1 17040

// The entry dialog. Rows as above: number, label and dial action of phone n are the first id + n.
#define IDC_PE_CATEGORY 17101
#define IDC_PE_LAST 17102
#define IDC_PE_FIRST 17103
#define IDC_PE_SALUTATION 17104
#define IDC_PE_TITLE 17105
#define IDC_PE_COMPANY 17106
#define IDC_PE_ADDRESS 17107
#define IDC_PE_NUMBER1 17110
#define IDC_PE_LABEL1 17120
#define IDC_PE_ACTION1 17130

#endif
