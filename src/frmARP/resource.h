#pragma once
// Resource ids of the add-ARP dialog (6300-6399).
#define IDD_TAddARP 6300
#define IDC_AddArpLabel1 6301
#define IDC_AddArpEdit1 6302
#define IDC_AddArpLabel2 6303
// The address field's parts share its id.
#define IDC_AddArpIPEdit1 6304
#define IDC_AddArpLabel3 6305
#define IDC_AddArpcbType 6306
#define IDC_AddArpbtnOK 6307
#define IDC_AddArpbtnCancel 6308

// Help numbers: the help file's topics, opened at a control by F1 or the help button.
#define IDH_AddArpEdit1 801
#define IDH_AddArpIPEdit1 802
#define IDH_AddArpcbType 803
#define IDH_AddArpbtnOK 303
#define IDH_AddArpbtnCancel 302
