#pragma once
// Registration of the platform's common control window classes (progress bar,
// status bar) with comctl32, which the program does not import: it is loaded
// from the system folder on first use and stays loaded, so that the classes it
// registers stay valid.
#include <windows.h>

// Registers the classes named by `classes` (ICC_* flags); answers whether the
// platform did. Raises ESystemLibraryError when comctl32 or its function is missing.
bool InitCommonControlClasses(DWORD classes);
