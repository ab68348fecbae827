#pragma once
// Resource ids of the ARP table window (6200-6299).
#define IDD_TArpListForm 6200
#define IDC_ArpListlbInterface 6201
#define IDC_ArpListARPList 6202
#define IDC_ArpListButton1 6203
#define IDC_ArpListButton2 6204
#define IDC_ArpListbtnClearARP 6205
#define IDC_ArpListButton4 6206
