// Resource ids of the installer. Plain macros: the resource script, the Windows code and the
// portable decisions all include this file.
#pragma once

#define IDS_DISPLAY_NAME 1   // "Vellora Saver"
#define IDS_FILE_NAME 2      // "VelloraSaver.scr"

#define IDI_SETUP 1          // the program's icon
#define IDI_MOTIF 104        // the icon in the welcome dialog
#define IDD_WELCOME 105
#define IDC_LINK_POINTER 117         // the pointer over the link

// Controls of the welcome dialog.
#define IDC_LINK 1000
#define IDC_THANKS 1001
#define IDC_FREEWARE 1002
