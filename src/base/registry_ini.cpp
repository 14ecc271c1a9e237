// Ini-style access to one registry key: sections are subkeys, values are text.
#include "base/registry_ini.h"

#include "base/text.h"

#include <climits>
#include <cstring>

namespace tolvern {

namespace {

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring TextOf(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

// The key paths of the settings start with a backslash, which the registry functions refuse.
std::wstring RelativeKeyPath(const std::wstring& path) {
    const size_t start = path.find_first_not_of(L'\\');
    return start == std::wstring::npos ? std::wstring() : path.substr(start);
}

} // namespace

bool RegistryKeyExists(HKEY root, const std::wstring& path) {
    UniqueKey key;
    return ::RegOpenKeyExW(root, RelativeKeyPath(path).c_str(), 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
}

RegistryIni::RegistryIni(HKEY root, const std::wstring& path) {
    LONG rc =
        ::RegCreateKeyExW(root, RelativeKeyPath(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
    if (rc != ERROR_SUCCESS)
        throw RegistryError("cannot open registry key " + Narrow(path), rc);
}

UniqueKey RegistryIni::OpenSection(const std::wstring& section, bool create) const {
    UniqueKey sub;
    LONG rc =
        create ? ::RegCreateKeyExW(key_.get(), section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, sub.put(), nullptr)
               : ::RegOpenKeyExW(key_.get(), section.c_str(), 0, KEY_READ, sub.put());
    if (rc != ERROR_SUCCESS) {
        if (create)
            throw RegistryError("cannot create registry section " + Narrow(section), rc);
        return UniqueKey();
    }
    return sub;
}

bool RegistryIni::ReadRaw(const std::wstring& section, const std::wstring& name,
                          RawValue& out) const {
    UniqueKey sub = OpenSection(section, false);
    if (!sub)
        return false;
    DWORD size = 0;
    if (::RegQueryValueExW(sub.get(), name.c_str(), nullptr, &out.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return false;
    out.data.resize(size);
    LONG rc;
    while ((rc = ::RegQueryValueExW(sub.get(), name.c_str(), nullptr, &out.type,
                                    out.data.empty() ? nullptr : out.data.data(), &size)) ==
           ERROR_MORE_DATA)
        out.data.resize(size);
    if (rc != ERROR_SUCCESS)
        return false;
    out.data.resize(size);
    return true;
}

std::wstring RegistryIni::ReadString(const std::wstring& section, const std::wstring& name,
                                     const std::wstring& defaultValue) const {
    RawValue raw;
    if (!ReadRaw(section, name, raw))
        return defaultValue;
    if (raw.type == REG_SZ || raw.type == REG_EXPAND_SZ)
        return TextOf(raw.data);
    return defaultValue;
}

int RegistryIni::ReadInteger(const std::wstring& section, const std::wstring& name,
                             int defaultValue) const {
    RawValue raw;
    if (!ReadRaw(section, name, raw))
        return defaultValue;
    switch (raw.type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return ParseDecimalInt(TextOf(raw.data)).value_or(defaultValue);
    case REG_DWORD:
        if (raw.data.size() == sizeof(DWORD)) {
            DWORD v;
            std::memcpy(&v, raw.data.data(), sizeof v);
            return static_cast<int>(v); // colours above 0x7FFFFFFF keep their bits
        }
        return defaultValue;
    case REG_QWORD:
        if (raw.data.size() == sizeof(ULONGLONG)) {
            ULONGLONG v;
            std::memcpy(&v, raw.data.data(), sizeof v);
            auto s = static_cast<long long>(v);
            if (v <= 0xFFFFFFFFull || (s < 0 && s >= INT_MIN))
                return static_cast<int>(static_cast<DWORD>(v));
        }
        return defaultValue;
    default:
        return defaultValue;
    }
}

bool RegistryIni::ReadBool(const std::wstring& section, const std::wstring& name,
                           bool defaultValue) const {
    return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

void RegistryIni::WriteString(const std::wstring& section, const std::wstring& name,
                              const std::wstring& value) {
    UniqueKey sub = OpenSection(section, true);
    LONG rc = ::RegSetValueExW(sub.get(), name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS)
        throw RegistryError("cannot write registry value " + Narrow(name), rc);
}

void RegistryIni::WriteInteger(const std::wstring& section, const std::wstring& name, int value) {
    WriteString(section, name, std::to_wstring(value));
}

void RegistryIni::WriteBool(const std::wstring& section, const std::wstring& name, bool value) {
    WriteString(section, name, value ? L"1" : L"0");
}

void RegistryIni::EraseSection(const std::wstring& section) {
    ::RegDeleteTreeW(key_.get(), section.c_str());
    ::RegDeleteKeyW(key_.get(), section.c_str());
}

void RegistryIni::DeleteValue(const std::wstring& section, const std::wstring& name) {
    UniqueKey sub;
    if (::RegOpenKeyExW(key_.get(), section.c_str(), 0, KEY_SET_VALUE, sub.put()) == ERROR_SUCCESS)
        ::RegDeleteValueW(sub.get(), name.c_str());
}

bool RegistryIni::SectionExists(const std::wstring& section) const {
    return static_cast<bool>(OpenSection(section, false));
}

std::vector<std::wstring> RegistryIni::ValueNames(const std::wstring& section) const {
    std::vector<std::wstring> names;
    UniqueKey sub = OpenSection(section, false);
    if (!sub)
        return names;
    wchar_t name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (::RegEnumValueW(sub.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

bool ReadRegistryText(HKEY root, const std::wstring& key, const wchar_t* name,
                      std::wstring& value) {
    constexpr DWORD kTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    LONG rc = ::RegGetValueW(root, key.c_str(), name, kTypes, nullptr, nullptr, &size);
    std::wstring buffer;
    // The value may grow between the two calls: ask again with the size given.
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        rc = ::RegGetValueW(root, key.c_str(), name, kTypes, nullptr, buffer.data(), &size);
        if (rc == ERROR_SUCCESS) {
            value = buffer.c_str();
            return true;
        }
    }
    return false;
}

} // namespace tolvern
