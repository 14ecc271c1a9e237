// A registry key of its own for one test, removed with everything below it afterwards, and a
// Startup folder of its own, so that a test of the settings never touches the user's.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace tolvern::test {

// Writes a value of any type under HKEY_CURRENT_USER\keyPath\section (keyPath without a leading
// backslash), creating the key; fails the test when it cannot.
void SetRegistryValue(const std::wstring& keyPath, const std::wstring& section,
                      const std::wstring& name, DWORD type, const void* data, DWORD size);

class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    // Path below HKEY_CURRENT_USER, with a leading backslash like the program's own.
    const std::wstring& Path() const { return path_; }
    // An empty folder that stands in for the user's Startup folder.
    const std::wstring& StartupFolder() const { return startupFolder_; }

    // Raw access for setting up and checking what the code under test wrote.
    void SetString(const std::wstring& section, const std::wstring& name,
                   const std::wstring& value) const;
    void SetDword(const std::wstring& section, const std::wstring& name, DWORD value) const;
    void SetQword(const std::wstring& section, const std::wstring& name, ULONGLONG value) const;
    void SetBinary(const std::wstring& section, const std::wstring& name) const;
    // Denies setting values and creating keys in the section, so the next write there fails.
    void DenyWrites(const std::wstring& section) const;
    bool Exists() const;
    bool SectionExists(const std::wstring& section) const;
    // REG_SZ contents; fails the test when the value is missing or of another type.
    std::wstring GetString(const std::wstring& section, const std::wstring& name) const;
    DWORD ValueType(const std::wstring& section,
                    const std::wstring& name) const; // REG_NONE if missing
    std::vector<std::wstring> ValueNames(const std::wstring& section) const;
    // Every value of the section with its text, ordered by name; a value that is no text reads
    // as "<not text>". Fails no test, so another thread may poll it.
    std::map<std::wstring, std::wstring> Texts(const std::wstring& section) const;

private:
    std::wstring path_;
    std::wstring startupFolder_;
};

} // namespace tolvern::test
