// Identifier lists and the shell item tests: size, copy, paths, folders, shortcuts, names.
#include "menu/shell_items.h"

#include "base/com.h"
#include "base/registry_ini.h"
#include "base/text.h"

#include <shellapi.h>
#include <shlguid.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace tolvern {

namespace {
const SHITEMID& FirstItem(PCUIDLIST_RELATIVE pidl) {
    return pidl->mkid;
}
} // namespace

PCUIDLIST_RELATIVE GetNextItemID(PCUIDLIST_RELATIVE item) {
    if (!item || FirstItem(item).cb == 0)
        return nullptr;
    return reinterpret_cast<PCUIDLIST_RELATIVE>(reinterpret_cast<const BYTE*>(item) +
                                                FirstItem(item).cb);
}

UINT GetPIDLSize(PCUIDLIST_RELATIVE pidl) {
    if (!pidl)
        return 0;
    UINT size = 0;
    for (PCUIDLIST_RELATIVE item = pidl; item; item = GetNextItemID(item))
        size += FirstItem(item).cb;
    return size + 2;
}

bool IsDesktopPIDL(PCUIDLIST_RELATIVE pidl) {
    return pidl && FirstItem(pidl).cb == 0;
}

PidlBytes::PidlBytes(PCUIDLIST_RELATIVE pidl) {
    if (pidl) {
        const auto* bytes = reinterpret_cast<const BYTE*>(pidl);
        bytes_.assign(bytes, bytes + GetPIDLSize(pidl));
    }
}

namespace {
UniquePidl AllocateZeroed(IMalloc& allocator, UINT size) {
    void* memory = allocator.Alloc(size);
    if (!memory)
        return {};
    std::memset(memory, 0, size);
    return UniquePidl(allocator, static_cast<PIDLIST_ABSOLUTE>(memory));
}
} // namespace

UniquePidl CopyPIDL(IMalloc& allocator, PCUIDLIST_RELATIVE pidl) {
    if (!pidl)
        return {};
    const UINT size = GetPIDLSize(pidl);
    UniquePidl copy = AllocateZeroed(allocator, size);
    if (copy)
        std::memcpy(copy.get(), pidl, size);
    return copy;
}

UniquePidl ConcatPIDL(IMalloc& allocator, PCUIDLIST_RELATIVE parent, PCUIDLIST_RELATIVE child) {
    if (!parent || !child)
        return CopyPIDL(allocator, parent ? parent : child);
    const UINT parentSize = GetPIDLSize(parent) - 2;
    const UINT childSize = GetPIDLSize(child);
    UniquePidl joined = AllocateZeroed(allocator, parentSize + childSize);
    if (joined) {
        auto* bytes = reinterpret_cast<BYTE*>(joined.get());
        std::memcpy(bytes, parent, parentSize);
        std::memcpy(bytes + parentSize, child, childSize);
    }
    return joined;
}

namespace {
std::wstring WithBackslash(std::wstring dir) {
    if (!dir.empty() && dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

std::wstring FromBuffer(const wchar_t* buffer, UINT length) {
    return length && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}
} // namespace

std::wstring GetWindowsDir() {
    wchar_t buffer[MAX_PATH];
    return WithBackslash(FromBuffer(buffer, ::GetWindowsDirectoryW(buffer, MAX_PATH)));
}

std::wstring GetSystemDir() {
    wchar_t buffer[MAX_PATH];
    return WithBackslash(FromBuffer(buffer, ::GetSystemDirectoryW(buffer, MAX_PATH)));
}

UniquePidl GetPIDLFromPath(IShellFolder& desktop, IMalloc& allocator, const std::wstring& path) {
    std::wstring name = path; // ParseDisplayName wants a writable string
    PIDLIST_RELATIVE pidl = nullptr;
    if (FAILED(desktop.ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &pidl, nullptr)))
        return {};
    // Parsed by the desktop, the list is absolute.
    UniquePidl parsed(allocator, reinterpret_cast<PIDLIST_ABSOLUTE>(pidl));
    // Names without a file-system path (virtual folders) have nothing to compare.
    std::wstring named;
    if (GetPathFromPIDL(parsed.get(), named) && !SameFileSystemPath(named, path))
        return {};
    return parsed;
}

std::wstring ExtractFileDrive(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':')
        return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        // "\\server\share": up to the backslash after the share name.
        size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos)
            return path;
        size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path : path.substr(0, share);
    }
    return L"";
}

std::wstring ExtractFileName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ExtractFileExt(const std::wstring& path) {
    size_t dot = path.find_last_of(L".\\/:");
    if (dot == std::wstring::npos || path[dot] != L'.')
        return L"";
    return path.substr(dot);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = PathAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsRemovableDriveType(UINT driveType) {
    return driveType == DRIVE_REMOVABLE || driveType == DRIVE_CDROM;
}

bool IsRemovableDrive(const std::wstring& path) {
    return IsRemovableDriveType(::GetDriveTypeW((ExtractFileDrive(path) + L"\\").c_str()));
}

bool TRemovableDrives::IsRemovable(const std::wstring& path) {
    const std::wstring drive = ToUpperInvariant(ExtractFileDrive(path));
    auto it = drives_.find(drive);
    if (it == drives_.end())
        it = drives_.emplace(drive, IsRemovableDrive(path)).first;
    return it->second;
}

bool IsDriveReady(const std::wstring& root) {
    const std::wstring drive = root.substr(0, 2) + L"\\";
    // A drive without a medium must not bring up the system's "insert a disk" box.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    wchar_t label[MAX_PATH + 1];
    DWORD serial = 0, maxLength = 0, flags = 0;
    const BOOL ok = ::GetVolumeInformationW(drive.c_str(), label, MAX_PATH + 1, &serial, &maxLength,
                                            &flags, nullptr, 0);
    ::SetErrorMode(previous);
    return ok != FALSE;
}

bool IsDirAccessible(const std::wstring& path) {
    // Listing the folder, rather than making it the current directory, which no path of
    // MAX_PATH characters or more can be.
    std::wstring pattern = LongPathForm(path);
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        // An empty drive root lists nothing at all, not even "." and "..": that is an empty
        // folder, not one we may not read. Elsewhere the folder itself is missing.
        if (::GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
        const DWORD attributes = PathAttributes(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    ::FindClose(find);
    return true;
}

bool ShellItemFacts::IsFolder() const {
    if (hasPath && removable)
        return ExtractFileExt(path).empty();
    return attributesKnown && (attributes & SFGAO_FOLDER);
}

bool ShellItemFacts::IsLink() const {
    if (hasPath && removable)
        return ToUpperInvariant(ExtractFileExt(path)) == L".LNK";
    return attributesKnown && (attributes & SFGAO_LINK);
}

namespace {
bool ShellAttributes(PCIDLIST_ABSOLUTE pidl, SFGAOF& attributes) {
    SHFILEINFOW info{};
    if (!pidl || !::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info,
                                   SHGFI_PIDL | SHGFI_ATTRIBUTES))
        return false;
    attributes = info.dwAttributes;
    return true;
}
} // namespace

ShellItemFacts GetItemFacts(PCIDLIST_ABSOLUTE pidl) {
    ShellItemFacts facts;
    facts.hasPath = GetPathFromPIDL(pidl, facts.path);
    facts.removable = facts.hasPath && IsRemovableDrive(facts.path);
    if (!facts.removable)
        facts.attributesKnown = ShellAttributes(pidl, facts.attributes);
    return facts;
}

ShellItemFacts GetFileSystemFacts(const std::wstring& path, DWORD fileAttributes, bool removable) {
    ShellItemFacts facts;
    facts.hasPath = true;
    facts.path = path;
    facts.removable = removable;
    facts.fileAttributes = fileAttributes;
    facts.attributesKnown = fileAttributes != INVALID_FILE_ATTRIBUTES;
    if (!facts.attributesKnown)
        return facts;
    facts.attributes = SFGAO_FILESYSTEM;
    if (fileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        facts.attributes |= SFGAO_FOLDER;
    else if (ToUpperInvariant(ExtractFileExt(path)) == L".LNK")
        facts.attributes |= SFGAO_LINK;
    return facts;
}

bool IsFolderItem(PCIDLIST_ABSOLUTE pidl) {
    return GetItemFacts(pidl).IsFolder();
}

bool IsLinkItem(PCIDLIST_ABSOLUTE pidl) {
    return GetItemFacts(pidl).IsLink();
}

ComPtr<IShellLinkW> LoadShellLink(const std::wstring& linkPath) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (linkPath.empty() ||
        FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return nullptr;
    return link;
}

namespace {
constexpr int kLongPathLength = 32768;

std::wstring ExpandEnvironment(const std::wstring& text) {
    const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0)
        return text;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed)
        return text;
    expanded.resize(written - 1);
    return expanded;
}
} // namespace

std::wstring ShortcutIconLocation(IShellLinkW& link, int& index) {
    // Locations are often stored as "%SystemRoot%\system32\...", and may be longer than
    // MAX_PATH.
    std::wstring buffer(kLongPathLength, L'\0');
    index = 0;
    if (FAILED(link.GetIconLocation(buffer.data(), kLongPathLength, &index)) || !buffer[0])
        return {};
    return ExpandEnvironment(buffer.c_str());
}

struct TLinkReader::Parents {
    explicit Parents(TRemovableDrives& drives) : drives(drives) {}
    std::unordered_map<std::string, ComPtr<IShellFolder>> folders; // by their lists
    TRemovableDrives& drives;
    struct Directory {
        UniquePidl pidl;
        ComPtr<IShellFolder> folder;
    };
    std::unordered_map<std::wstring, Directory> directories; // by path, upper case
};

namespace {
// The folder that holds the list's last item, bound through the cache when there is one.
ComPtr<IShellFolder> BindParent(PCIDLIST_ABSOLUTE pidl, PCUITEMID_CHILD& last,
                                TLinkReader::Parents* parents) {
    ComPtr<IShellFolder> parent;
    if (!parents) {
        if (FAILED(::SHBindToParent(pidl, IID_PPV_ARGS(&parent), &last)))
            parent.Reset();
        return parent;
    }
    PCUIDLIST_RELATIVE lastItem = pidl;
    for (PCUIDLIST_RELATIVE next = GetNextItemID(pidl); next && !IsDesktopPIDL(next);
         next = GetNextItemID(next))
        lastItem = next;
    std::string key(reinterpret_cast<const char*>(pidl),
                    reinterpret_cast<const char*>(lastItem) - reinterpret_cast<const char*>(pidl));
    auto it = parents->folders.find(key);
    if (it != parents->folders.end()) {
        last = reinterpret_cast<PCUITEMID_CHILD>(lastItem);
        return it->second;
    }
    if (FAILED(::SHBindToParent(pidl, IID_PPV_ARGS(&parent), &last)))
        return {};
    parents->folders.emplace(std::move(key), parent);
    return parent;
}

// Whether the shell can use the list as it is: its parent binds and knows the item, and a
// folder binds itself. The item's attributes come with the answer.
bool IsBindable(PCIDLIST_ABSOLUTE pidl, TLinkReader::Parents* parents, SFGAOF& attributes) {
    PCUITEMID_CHILD last = nullptr;
    ComPtr<IShellFolder> parent = pidl ? BindParent(pidl, last, parents) : nullptr;
    attributes = SFGAO_FOLDER;
    if (!parent || FAILED(parent->GetAttributesOf(1, &last, &attributes)))
        return false;
    if (!(attributes & SFGAO_FOLDER))
        return true;
    ComPtr<IShellFolder> folder;
    return SUCCEEDED(parent->BindToObject(last, nullptr, IID_PPV_ARGS(&folder)));
}

// The list of a path, parsed from the desktop, or within its directory when the reader has
// bound that directory before (the shortcuts of a folder mostly point into a few).
UniquePidl ParseTargetPath(IMalloc& allocator, const std::wstring& path,
                           TLinkReader::Parents* parents, SFGAOF& attributes) {
    const std::wstring dir = ExtractFileDir(path);
    const std::wstring name = path.substr(std::min(path.size(), dir.size() + 1));
    auto parse = [&](const std::wstring& text, SFGAOF& asked) {
        PIDLIST_ABSOLUTE parsed = nullptr;
        if (FAILED(::SHParseDisplayName(text.c_str(), nullptr, &parsed, asked, &asked)) || !parsed)
            return UniquePidl();
        return UniquePidl(allocator, parsed);
    };
    // Plain "X:\dir\name" paths only: a root, a share or anything odd goes the whole way.
    if (!parents || dir.size() < 3 || dir[1] != L':' || name.empty() ||
        name.find_first_of(L"\\/:") != std::wstring::npos)
        return parse(path, attributes);
    const std::wstring key = ToUpperInvariant(dir);
    auto it = parents->directories.find(key);
    if (it == parents->directories.end()) {
        TLinkReader::Parents::Directory directory;
        SFGAOF none = 0;
        directory.pidl = parse(dir, none);
        ComPtr<IShellFolder> desktop;
        if (directory.pidl && SUCCEEDED(::SHGetDesktopFolder(&desktop)) &&
            FAILED(desktop->BindToObject(directory.pidl.get(), nullptr,
                                         IID_PPV_ARGS(&directory.folder))))
            directory.folder.Reset();
        it = parents->directories.emplace(key, std::move(directory)).first;
    }
    const TLinkReader::Parents::Directory& directory = it->second;
    if (!directory.folder)
        return parse(path, attributes);
    PIDLIST_RELATIVE child = nullptr;
    SFGAOF asked = attributes;
    if (FAILED(directory.folder->ParseDisplayName(
            nullptr, nullptr, const_cast<LPWSTR>(name.c_str()), nullptr, &child, &asked)) ||
        !child)
        return parse(path, attributes);
    UniquePidl ownedChild(allocator, reinterpret_cast<PIDLIST_ABSOLUTE>(child));
    attributes = asked;
    return ConcatPIDL(allocator, directory.pidl.get(), child);
}

LinkTarget ReadTarget(IMalloc& allocator, IShellLinkW& link, TLinkReader::Parents* parents) {
    LinkTarget target;
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (SUCCEEDED(link.GetIDList(&pidl)) && pidl)
        target.pidl = UniquePidl(allocator, pidl);
    std::wstring buffer(kLongPathLength, L'\0'); // targets may be longer than MAX_PATH
    if (link.GetPath(buffer.data(), kLongPathLength, nullptr, SLGP_UNCPRIORITY) == S_OK)
        target.path = buffer.c_str();
    target.iconFile = ShortcutIconLocation(link, target.iconIndex);
    SFGAOF attributes = 0;
    const bool bindable = IsBindable(target.pidl.get(), parents, attributes);
    if (bindable) {
        target.attributesKnown = true;
        target.attributes = attributes;
    }
    if (parents && !target.path.empty()) {
        target.removableKnown = true;
        target.removable = parents->drives.IsRemovable(target.path);
    }
    // A shortcut may store its target as a simple list that names the item but cannot be bound
    // to (Wine does), so a folder target would open empty; only then is the target's path
    // parsed again (a file-system or network round trip). Removable media are left untouched.
    if (!target.path.empty() && !bindable && !target.OnRemovableDrive()) {
        SFGAOF parsedAttributes = SFGAO_FOLDER; // the parse answers the folder question too
        UniquePidl parsed = ParseTargetPath(allocator, target.path, parents, parsedAttributes);
        if (parsed) {
            target.pidl = std::move(parsed);
            target.attributesKnown = true;
            target.attributes = parsedAttributes;
        }
    }
    return target;
}
} // namespace

LinkTarget ResolveLink(IMalloc& allocator, const std::wstring& linkPath) {
    ComPtr<IShellLinkW> link = LoadShellLink(linkPath);
    return link ? ReadLinkTarget(allocator, *link.Get()) : LinkTarget{};
}

LinkTarget ReadLinkTarget(IMalloc& allocator, IShellLinkW& link) {
    return ReadTarget(allocator, link, nullptr);
}

TLinkReader::TLinkReader(IMalloc& allocator, TRemovableDrives& drives)
    : allocator_(allocator), parents_(std::make_unique<Parents>(drives)) {}

TLinkReader::~TLinkReader() = default;

LinkTarget TLinkReader::Resolve(const std::wstring& linkPath) {
    if (linkPath.empty())
        return {};
    if (!link_ && (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_PPV_ARGS(&link_))) ||
                   FAILED(link_.As(&file_)))) {
        link_.Reset();
        return {};
    }
    // Loading replaces everything the object held; after a failure it holds nothing usable.
    if (FAILED(file_->Load(linkPath.c_str(), STGM_READ))) {
        link_.Reset();
        file_.Reset();
        return {};
    }
    return ReadTarget(allocator_, *link_.Get(), parents_.get());
}

bool IsLinkTargetFolder(const LinkTarget& target) {
    if (target.OnRemovableDrive())
        return ExtractFileExt(target.path).empty();
    if (target.attributesKnown)
        return (target.attributes & SFGAO_FOLDER) != 0;
    SFGAOF attributes = 0;
    return ShellAttributes(target.pidl.get(), attributes) && (attributes & SFGAO_FOLDER);
}

namespace {
LinkTarget ResolveLinkItem(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl) {
    std::wstring path;
    if (!GetPathFromPIDL(pidl, path))
        return {};
    return ResolveLink(allocator, path);
}
} // namespace

bool IsLinkToFolder(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl) {
    return IsLinkItem(pidl) && IsLinkTargetFolder(ResolveLinkItem(allocator, pidl));
}

UniquePidl GetLinkPIDL(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl) {
    return std::move(ResolveLinkItem(allocator, pidl).pidl);
}

std::wstring GetLinkPath(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl) {
    return ResolveLinkItem(allocator, pidl).path;
}

bool TAssociatedExtCache::Contains(const std::wstring& ext) const {
    for (const std::wstring& known : exts_)
        if (EqualsIgnoreCase(known, ext))
            return true;
    return false;
}

bool IsAssociatedPath(TAssociatedExtCache& cache, const std::wstring& path,
                      TAssociatedExtCache* unassociated) {
    const std::wstring ext = ExtractFileExt(path);
    if (cache.Contains(ext))
        return true;
    if (unassociated && unassociated->Contains(ext))
        return false;
    std::wstring dir = ExtractFileDir(path);
    if (dir.size() == 2 && dir[1] == L':')
        dir += L'\\'; // a drive root keeps its backslash
    dir = ShellUsablePath(dir);
    wchar_t program[MAX_PATH] = {};
    const auto result = reinterpret_cast<INT_PTR>(
        ::FindExecutableW(ExtractFileName(path).c_str(), dir.c_str(), program));
    if (result <= 32) {
        // Only "no program" is an answer for the extension; a file that cannot be found
        // says nothing about its siblings.
        if (unassociated && result == SE_ERR_NOASSOC)
            unassociated->Add(ext);
        return false;
    }
    cache.Add(ext);
    return true;
}

bool IsAssociatedFile(TAssociatedExtCache& cache, PCIDLIST_ABSOLUTE pidl) {
    std::wstring path;
    return GetPathFromPIDL(pidl, path) && IsAssociatedPath(cache, path);
}

std::wstring DoubleAmpersands(const std::wstring& text) {
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        result += c;
        if (c == L'&')
            result += L'&';
    }
    return result;
}

std::wstring GetDisplayName(IShellFolder& folder, PCUITEMID_CHILD child) {
    STRRET name{};
    name.uType = STRRET_CSTR;
    if (FAILED(folder.GetDisplayNameOf(child, SHGDN_NORMAL, &name)))
        return L"";
    std::wstring text;
    switch (name.uType) {
    case STRRET_WSTR:
        if (name.pOleStr) {
            text = name.pOleStr;
            ::CoTaskMemFree(name.pOleStr);
        }
        break;
    case STRRET_OFFSET:
    case STRRET_CSTR: {
        const char* ansi = name.uType == STRRET_CSTR
                               ? name.cStr
                               : reinterpret_cast<const char*>(child) + name.uOffset;
        const int length = name.uType == STRRET_CSTR ? static_cast<int>(strnlen(ansi, MAX_PATH))
                                                     : static_cast<int>(std::strlen(ansi));
        text.resize(length);
        text.resize(::MultiByteToWideChar(CP_ACP, 0, ansi, length, text.data(), length));
        break;
    }
    default:
        break;
    }
    return DoubleAmpersands(text);
}

namespace {
// The shell hides an extension its type says never to show (shortcuts), and every registered
// extension while the user hides known ones.
bool ExtensionHidden(const std::wstring& extension) {
    std::wstring type;
    if (!ReadRegistryText(HKEY_CLASSES_ROOT, extension, nullptr, type) || type.empty())
        return false;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, type.c_str(), L"NeverShowExt", RRF_RT_ANY, nullptr,
                       nullptr, nullptr) == ERROR_SUCCESS)
        return true;
    DWORD hide = 0, size = sizeof hide;
    return ::RegGetValueW(HKEY_CURRENT_USER,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
                          L"HideFileExt", RRF_RT_REG_DWORD, nullptr, &hide,
                          &size) == ERROR_SUCCESS &&
           hide != 0;
}
} // namespace

std::wstring FileSystemDisplayName(const std::wstring& fileName, bool folder) {
    std::wstring name = fileName;
    const std::wstring extension = folder ? std::wstring() : ExtractFileExt(fileName);
    if (!extension.empty() && extension.size() < name.size() && ExtensionHidden(extension))
        name.resize(name.size() - extension.size());
    return DoubleAmpersands(name);
}

} // namespace tolvern
