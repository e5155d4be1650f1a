// Resource identifiers of snickit.exe (shared by the .rc file and the code).
#pragma once

#define IDI_SNICKIT 1    // the window's icon, 16 x 16 and 32 x 32
#define IDB_ABOUT 101    // the built-in about picture, 240 x 95
#define IDR_DING 102     // the built-in default sound (type WAVE)
