// Ini-style access to one registry key: sections are subkeys, values are text.
#pragma once

#include "base/unique_handle.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace tolvern {

class RegistryError : public std::runtime_error {
public:
    RegistryError(const std::string& what, LONG code) : std::runtime_error(what), code_(code) {}
    LONG code() const { return code_; }

private:
    LONG code_;
};

// A text value (REG_SZ, or REG_EXPAND_SZ as stored) under root\key, read without opening the
// key for writing; false when the key or value is missing or holds something else. A null name
// reads the key's default value.
bool ReadRegistryText(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& value);

// Whether root\path exists (a leading backslash is allowed, as for RegistryIni); nothing is
// created.
bool RegistryKeyExists(HKEY root, const std::wstring& path);

// Opens (creating when missing) root\path with full access for the object's lifetime.
// Values are written as REG_SZ. Reading is tolerant: a missing value gives the default, and
// a number stored as REG_DWORD or REG_QWORD reads as that number, since a user or an older
// tool may have written one and a wrong type must not stop the program.
class RegistryIni {
public:
    RegistryIni(HKEY root, const std::wstring& path); // throws RegistryError

    std::wstring ReadString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& defaultValue) const;
    int ReadInteger(const std::wstring& section, const std::wstring& name, int defaultValue) const;
    bool ReadBool(const std::wstring& section, const std::wstring& name, bool defaultValue) const;

    // Writes throw RegistryError when the section cannot be created or the value not set.
    void WriteString(const std::wstring& section, const std::wstring& name,
                     const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& name, int value);
    void WriteBool(const std::wstring& section, const std::wstring& name, bool value);

    void EraseSection(const std::wstring& section);
    void DeleteValue(const std::wstring& section, const std::wstring& name);
    bool SectionExists(const std::wstring& section) const;
    std::vector<std::wstring> ValueNames(const std::wstring& section) const;

    HKEY key() const { return key_.get(); }

private:
    struct RawValue {
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    bool ReadRaw(const std::wstring& section, const std::wstring& name, RawValue& out) const;
    UniqueKey OpenSection(const std::wstring& section, bool create) const;

    UniqueKey key_;
};

} // namespace tolvern
