#pragma once
// A fresh folder under the system temp folder, removed with its contents at
// the end of the test, and small file helpers for the utility tests.
#include <windows.h>

#include <string>

class TTempFolder {
public:
    explicit TTempFolder(const std::string& stem) {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        char longTemp[MAX_PATH + 1] = {};
        // The long form, so that paths compare with what the system reports.
        if (GetLongPathNameA(temp, longTemp, sizeof longTemp) == 0)
            lstrcpynA(longTemp, temp, sizeof longTemp);
        FPath = std::string(longTemp) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++Counter());
        RemoveTree(FPath);
        CreateDirectoryA(FPath.c_str(), nullptr);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    ~TTempFolder() { RemoveTree(FPath); }

    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& relative) const { return FPath + "\\" + relative; }

    // Removes a tree without the shell (read-only and hidden files too).
    static void RemoveTree(const std::string& path) {
        WIN32_FIND_DATAA data;
        const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = data.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string child = path + "\\" + name;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(search, &data));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

private:
    static int& Counter() {
        static int counter = 0;
        return counter;
    }
    std::string FPath;
};

inline bool WriteFileBytes(const std::string& path, const std::string& bytes,
                           DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
