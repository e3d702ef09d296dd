// The constants and small types of the Windows framework that the system's
// code is written against, with their Windows values.
#pragma once

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using INT_PTR = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Dialog and message box results.
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Message box styles.
enum : UINT {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_TYPEMASK = 0xF,
    MB_ICONMASK = 0xF0,
};

// Combo box results.
enum : int { CB_ERR = -1 };

// File dialog flags.
enum : DWORD { OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4 };

// List control column formats and extended styles.
enum : int { LVCFMT_LEFT = 0x0, LVCFMT_RIGHT = 0x1, LVCFMT_CENTER = 0x2 };
enum : DWORD { LVS_EX_GRIDLINES = 0x1, LVS_EX_FULLROWSELECT = 0x20 };
