#pragma once
// Resource ids of the trace route window (5200-5299).

#define IDD_TFrmTraceRt 5200
#define IDC_RouteList 5201

#define IDM_TrcRtPopup 5210
#define IDM_Copy1 5211
#define IDM_CopyAll1 5212
