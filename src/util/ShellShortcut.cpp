#include "ShellShortcut.h"

#include "AnsiPath.h"
#include "WinHandle.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <memory>

namespace {

constexpr int kFolderBufferSize = MAX_PATH + 1;
constexpr DWORD kShellLinkContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER; // 5

struct TItemListDeleter {
    void operator()(ITEMIDLIST* list) const noexcept { CoTaskMemFree(list); }
};
using TItemList = std::unique_ptr<ITEMIDLIST, TItemListDeleter>;

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace

std::string GetSpecialFolderPath(int csidl) {
    ITEMIDLIST* rawList = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &rawList)))
        return {};
    const TItemList list(rawList);
    char buffer[kFolderBufferSize] = {};
    if (!list || !SHGetPathFromIDListA(list.get(), buffer))
        return {};
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

void CreateShortcut(const std::string& target, const std::string& linkName, int csidl) {
    TComPtr<IUnknown> object;
    const HRESULT created =
        CoCreateInstance(CLSID_ShellLink, nullptr, kShellLinkContext, IID_IUnknown, object.PutVoid());
    if (FAILED(created))
        throw EShellLinkError(static_cast<std::int32_t>(created));

    TComPtr<IShellLinkA> link;
    TComPtr<IPersistFile> file;
    if (FAILED(object.As(link)) || FAILED(object.As(file)))
        throw EInterfaceCastError();

    // The target is stored as given; its working folder is everything up to
    // the last backslash or colon that is not a trail byte (empty without one).
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(ExtractFilePath(target).c_str());

    const std::string folder = GetSpecialFolderPath(csidl);
    if (folder.empty())
        return; // with no folder the link would land at the root of the current drive
    const std::wstring linkFile = AnsiToWide(folder) + L"\\" + AnsiToWide(linkName);
    file->Save(linkFile.c_str(), FALSE);
}
