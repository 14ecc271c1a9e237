// A registry key of its own for one test, removed with everything below it afterwards.
#include "support/scratch_key.h"

#include "base/registry_ini.h"

#include <gtest/gtest.h>

#include <aclapi.h>

#include <atomic>
#include <filesystem>
#include <vector>

namespace tolvern::test {

namespace {
std::wstring Relative(const std::wstring& path) {
    return path.substr(1);
}
} // namespace

void SetRegistryValue(const std::wstring& keyPath, const std::wstring& section,
                      const std::wstring& name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegCreateKeyExW(HKEY_CURRENT_USER, (keyPath + L"\\" + section).c_str(), 0, nullptr,
                                0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const LSTATUS written =
        ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, written);
}

ScratchKey::ScratchKey() {
    static std::atomic<int> counter{0};
    const std::wstring id =
        std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(counter++);
    path_ = L"\\Software\\TolvernTests\\Key" + id;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Relative(path_).c_str());
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error) / (L"TolvernStartup" + id);
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder, error);
    EXPECT_FALSE(error) << "no scratch Startup folder";
    startupFolder_ = folder.wstring();
}

ScratchKey::~ScratchKey() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Relative(path_).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, Relative(path_).c_str());
    std::error_code ignored;
    std::filesystem::remove_all(startupFolder_, ignored);
}

void ScratchKey::SetString(const std::wstring& section, const std::wstring& name,
                           const std::wstring& value) const {
    SetRegistryValue(Relative(path_), section, name, REG_SZ, value.c_str(),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void ScratchKey::SetDword(const std::wstring& section, const std::wstring& name,
                          DWORD value) const {
    SetRegistryValue(Relative(path_), section, name, REG_DWORD, &value, sizeof value);
}

void ScratchKey::SetQword(const std::wstring& section, const std::wstring& name,
                          ULONGLONG value) const {
    SetRegistryValue(Relative(path_), section, name, REG_QWORD, &value, sizeof value);
}

void ScratchKey::SetBinary(const std::wstring& section, const std::wstring& name) const {
    const BYTE data[] = {'1', 0, 0, 0};
    SetRegistryValue(Relative(path_), section, name, REG_BINARY, data, sizeof data);
}

bool ScratchKey::Exists() const {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Relative(path_).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

bool ScratchKey::SectionExists(const std::wstring& section) const {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, (Relative(path_) + L"\\" + section).c_str(), 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

DWORD ScratchKey::ValueType(const std::wstring& section, const std::wstring& name) const {
    DWORD type = REG_NONE;
    if (::RegGetValueW(HKEY_CURRENT_USER, (Relative(path_) + L"\\" + section).c_str(), name.c_str(),
                       RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

std::wstring ScratchKey::GetString(const std::wstring& section, const std::wstring& name) const {
    const std::wstring sub = Relative(path_) + L"\\" + section;
    DWORD size = 0;
    LONG rc = ::RegGetValueW(HKEY_CURRENT_USER, sub.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                             nullptr, &size);
    EXPECT_EQ(ERROR_SUCCESS, rc) << "value " << testing::PrintToString(name);
    if (rc != ERROR_SUCCESS)
        return L"<missing>";
    std::wstring text(size / sizeof(wchar_t), L'\0');
    ::RegGetValueW(HKEY_CURRENT_USER, sub.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                   text.data(), &size);
    text.resize(wcslen(text.c_str()));
    return text;
}

void ScratchKey::DenyWrites(const std::wstring& section) const {
    HKEY sub;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegOpenKeyExW(HKEY_CURRENT_USER, (Relative(path_) + L"\\" + section).c_str(), 0,
                              READ_CONTROL | WRITE_DAC, &sub));
    EXPLICIT_ACCESSW deny{};
    deny.grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    deny.grfAccessMode = DENY_ACCESS;
    deny.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    deny.Trustee.ptstrName = const_cast<wchar_t*>(L"CURRENT_USER");
    PACL current = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(DWORD{ERROR_SUCCESS},
              ::GetSecurityInfo(sub, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                &current, nullptr, &descriptor));
    PACL acl = nullptr;
    ASSERT_EQ(DWORD{ERROR_SUCCESS}, ::SetEntriesInAclW(1, &deny, current, &acl));
    ::LocalFree(descriptor);
    ASSERT_EQ(DWORD{ERROR_SUCCESS},
              ::SetSecurityInfo(sub, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                acl, nullptr));
    ::LocalFree(acl);
    ::RegCloseKey(sub);
}

std::vector<std::wstring> ScratchKey::ValueNames(const std::wstring& section) const {
    RegistryIni ini(HKEY_CURRENT_USER, path_);
    return ini.ValueNames(section);
}

std::map<std::wstring, std::wstring> ScratchKey::Texts(const std::wstring& section) const {
    std::map<std::wstring, std::wstring> texts;
    const std::wstring sectionKey = path_.substr(1) + L"\\" + section;
    for (const std::wstring& name : ValueNames(section)) {
        std::wstring text;
        texts[name] = ReadRegistryText(HKEY_CURRENT_USER, sectionKey, name.c_str(), text)
                          ? text
                          : L"<not text>";
    }
    return texts;
}

} // namespace tolvern::test
