#include "ui/PngResource.h"

#include "ui/PngPicture.h"

void LoadPngFromResource(TPngPicture& picture, HMODULE module, const char* name) {
    const HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
    if (!info)
        throw EPngResourceNotFound();
    const HGLOBAL loaded = LoadResource(module, info); // resource memory needs no release
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        throw EPngResourceNotFound();
    picture.LoadFromMemory(data, SizeofResource(module, info));
}
