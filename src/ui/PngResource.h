#pragma once
// Loading PNG pictures from the program's raw-data (RT_RCDATA) resources.
#include <windows.h>

class TPngPicture;

// Finds the resource by name (case does not matter) in the module and decodes
// it; a missing resource raises EPngResourceNotFound.
void LoadPngFromResource(TPngPicture& picture, HMODULE module, const char* name);
