#pragma once
// Resource ids of the about box (8200-8299).

#define IDD_TfrmAbout 8200
#define IDC_Image1 8201
#define IDC_AboutLabel1 8202
#define IDC_AboutLabel6 8203
#define IDC_AboutLabel18 8204
#define IDC_URLLabel1 8205
#define IDC_AboutLabel2 8206
#define IDC_AboutLabel3 8207
#define IDC_AboutLabel12 8208
#define IDC_AboutLabel13 8209
#define IDC_URLLabel2 8210
#define IDC_AboutLabel4 8211
#define IDC_AboutLabel9 8212
#define IDC_AboutLabel10 8213
#define IDC_URLLabel3 8214
#define IDC_AboutLabel11 8215
#define IDC_URLLabel4 8216
#define IDC_AboutButton1 8217
