#pragma once
// Resource ids of the options dialog (8100-8199).

#define IDD_TFrmOptions 8100
#define IDD_TabSheet1 8101
#define IDD_TabSheet2 8102
#define IDD_TabSheet3 8103

#define IDC_OPT_OptionsPages 8110
#define IDC_OPT_btnOK 8111
#define IDC_OPT_btnCancel 8112

#define IDC_OPT_gbTransfer 8120
#define IDC_OPT_rbByt 8121
#define IDC_OPT_rbKB 8122
#define IDC_OPT_rbMB 8123
#define IDC_OPT_rbGB 8124
#define IDC_OPT_rbDyn 8125
#define IDC_OPT_gbPopup 8126
#define IDC_OPT_cbName 8127
#define IDC_OPT_cbSpeed 8128
#define IDC_OPT_cbIP 8129
#define IDC_OPT_cbBytes 8130
#define IDC_OPT_Button2 8131
#define IDC_OPT_cbAutoRun 8132

#define IDC_OPT_SampleTC 8140
#define IDC_OPT_cbGrid 8141
#define IDC_OPT_Label2 8142
#define IDC_OPT_cbGridColor 8143
#define IDC_OPT_Label3 8144
#define IDC_OPT_cbGridBackColor 8145
#define IDC_OPT_cbGridLegend 8146
#define IDC_OPT_Button1 8147

#define IDC_OPT_cbDropDown 8160
#define IDC_OPT_cbAOT 8161
#define IDC_OPT_Label1 8162
#define IDC_OPT_edAdapterName 8163

// Help numbers: the help file's topics, opened at a control by F1 or the help button.
#define IDH_OPT_btnOK 303
#define IDH_OPT_btnCancel 302
#define IDH_OPT_gbTransfer 901
#define IDH_OPT_gbPopup 902
#define IDH_OPT_Button2 903
#define IDH_OPT_cbAutoRun 904
#define IDH_OPT_cbGrid 911
#define IDH_OPT_cbGridColor 912
#define IDH_OPT_cbGridBackColor 913
#define IDH_OPT_cbGridLegend 914
#define IDH_OPT_Button1 915
#define IDH_OPT_cbDropDown 921
#define IDH_OPT_cbAOT 922
#define IDH_OPT_edAdapterName 923
