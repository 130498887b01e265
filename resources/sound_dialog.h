// Control ids of the "Kalvora Sound Setup" dialog (template 124).
#ifndef KALVORA_SOUND_DIALOG_H
#define KALVORA_SOUND_DIALOG_H

#define IDD_SOUND 124
#define IDC_SOUND_LIST 12401
#define IDC_SOUND_DESCRIPTION 12402
#define IDC_SOUND_FILE 12403
#define IDC_SOUND_BROWSE 12404
#define IDC_SOUND_TEST 12405

#endif
