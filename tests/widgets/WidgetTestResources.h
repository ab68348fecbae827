#pragma once
// Resources of the toolkit's own tests, in a range of their own.
#define IDD_TestForm 9000
#define IDC_Label 9001
#define IDC_Button 9002
#define IDC_Probe 9003
#define IDC_List 9004
#define IDC_Tree 9005

#define IDM_TestMenu 9100
#define IDM_First 9101
#define IDM_PlugSep 9102
#define IDM_Last 9103

#define IDM_ClashingMenu 9200

#define IDD_EditForm 9300
#define IDC_Edit 9301
#define IDC_HexEdit 9302
#define IDC_IPEdit 9303
