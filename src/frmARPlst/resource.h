#pragma once
// Resource ids of the ARP table window (6200-6299).
#define IDD_TArpListForm 6200
#define IDC_ArpListlbInterface 6201
#define IDC_ArpListARPList 6202
#define IDC_ArpListButton1 6203
#define IDC_ArpListButton2 6204
#define IDC_ArpListbtnClearARP 6205
#define IDC_ArpListButton4 6206

// Help numbers: the help file's topics, opened at a control by F1 or the help button.
#define IDH_ArpListARPList 701
#define IDH_ArpListButton1 702
#define IDH_ArpListButton2 703
#define IDH_ArpListbtnClearARP 704
#define IDH_ArpListButton4 302
