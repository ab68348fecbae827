#pragma once
// Resource ids of the adapter details window (6100-6199).
#define IDD_TNetDetail 6100
#define IDC_NetDetailLabel1 6101
#define IDC_NetDetailListView1 6102
#define IDC_NetDetailButton1 6103
#define IDM_NetDetailPopupMenu1 6110
#define IDM_NetDetailCopy1 6111

// Help numbers: the help file's topics, opened at a control by F1 or the help button.
#define IDH_NetDetailListView1 301
#define IDH_NetDetailButton1 302
