// Resource ids of the saver module: the resource script and the code both take them from here.
#pragma once

#define IDS_DESCRIPTION 1
#define IDS_ABOUTBOX 101
#define IDI_SAVER 128
#define IDC_TRANSPARENT 129
