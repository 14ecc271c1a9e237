// The icons that menu items show: the shell's own, a shortcut's, url.dll's, with link arrows.
#include "menu/item_icons.h"

#include "base/dib.h"

#include "base/os_version.h"
#include "base/registry_ini.h"
#include "base/text.h"
#include "base/unique_handle.h"
#include "menu/shell_items.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>

#include <climits>
#include <string_view>
#include <system_error>
#include <vector>

namespace tolvern {

HICON ExtractIconFromFile(const std::wstring& file, int index, int size) {
    // The extraction opens no path of MAX_PATH characters or more: such a file goes by its
    // short form. A file that cannot be read gives UINT_MAX, and the handles may then hold junk.
    const std::wstring usable = ShellUsablePath(file);
    const bool large = size == ::GetSystemMetrics(SM_CXICON);
    if (!large && size != ::GetSystemMetrics(SM_CXSMICON)) {
        // Not one of the system's two sizes: the file's own picture nearest that size.
        HICON icon = nullptr;
        const UINT extracted =
            ::PrivateExtractIconsW(usable.c_str(), index, size, size, &icon, nullptr, 1, 0);
        return extracted == 0 || extracted == UINT_MAX ? nullptr : icon;
    }
    HICON big = nullptr, small = nullptr;
    const UINT extracted = ::ExtractIconExW(usable.c_str(), index, &big, &small, 1);
    if (extracted == 0 || extracted == UINT_MAX)
        return nullptr;
    // Only one size was asked for; the other is not kept.
    UniqueIcon unused(large ? small : big);
    return large ? big : small;
}

HICON GetURLIcon(int size) {
    std::wstring file = GetWindowsDir() + L"url.dll";
    if (!FileExists(file)) {
        file = GetSystemDir() + L"url.dll";
        if (!FileExists(file))
            file.clear();
    }
    return ExtractIconFromFile(file, 0, size);
}

HICON GetProgramGroupIcon(int size) {
    return ExtractIconFromFile(GetSystemDir() + L"shell32.dll", 73, size);
}

HICON AddLinkArrow(HICON icon, int size) {
    const COLORREF magenta = RGB(255, 0, 255);
    UniqueMemoryDC memory(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    UniqueBitmap bitmap = CreateTopDownDib(memory.get(), size, size, &bits);
    if (!bitmap)
        return nullptr;
    {
        SelectGuard select(memory.get(), bitmap.get());
        RECT all{0, 0, size, size};
        UniqueBrush fill(::CreateSolidBrush(magenta));
        ::FillRect(memory.get(), &all, fill.get());
        ::DrawIconEx(memory.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        UniqueIcon arrow(ExtractIconFromFile(GetSystemDir() + L"Shell32.dll", 29, size));
        if (arrow)
            ::DrawIconEx(memory.get(), 0, 0, arrow.get(), size, size, 0, nullptr, DI_NORMAL);
    }
    return BitmapToIcon(bitmap.get(), RECT{0, 0, size, size}, magenta);
}

HICON BitmapToIcon(HBITMAP bitmap, const RECT& rect, COLORREF transparentColor) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // Work copy of the rectangle as 32-bit pixels, row by row from the top.
    UniqueMemoryDC source(::CreateCompatibleDC(nullptr));
    UniqueMemoryDC work(::CreateCompatibleDC(nullptr));
    void* workBits = nullptr;
    UniqueBitmap workBitmap = CreateTopDownDib(work.get(), width, height, &workBits);
    if (workBitmap) {
        SelectGuard selectSource(source.get(), bitmap);
        SelectGuard selectWork(work.get(), workBitmap.get());
        ::BitBlt(work.get(), 0, 0, width, height, source.get(), rect.left, rect.top, SRCCOPY);
    }
    ::GdiFlush();
    std::vector<DWORD> colour(static_cast<size_t>(width) * height);
    const int maskStride = ((width + 15) / 16) * 2; // 1-bit rows are word aligned
    std::vector<BYTE> mask(static_cast<size_t>(maskStride) * height, 0);
    const DWORD key = RGB(GetBValue(transparentColor), GetGValue(transparentColor),
                          GetRValue(transparentColor)); // as a DIB pixel: 0x00RRGGBB
    const auto* pixels = static_cast<const DWORD*>(workBits);
    for (int y = 0; y < height && pixels; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD pixel = pixels[y * width + x] & 0xFFFFFF;
            if (pixel == key) {
                mask[y * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else {
                colour[y * width + x] = pixel;
            }
        }
    UniqueBitmap colourBitmap(::CreateBitmap(width, height, 1, 32, colour.data()));
    UniqueBitmap maskBitmap(::CreateBitmap(width, height, 1, 1, mask.data()));
    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmColor = colourBitmap.get();
    iconInfo.hbmMask = maskBitmap.get();
    HICON icon = ::CreateIconIndirect(&iconInfo);
    if (!icon)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "CreateIconIndirect");
    return icon;
}

namespace {
bool IsWindowsNT4() {
    return IsWindowsNT() && GetWindowsMajorVersion() == 4;
}

// The all-users Programs folder's path occurs in the given path.
bool InCommonPrograms(const std::wstring& group, const std::wstring& path) {
    return !group.empty() && path.find(group) != std::wstring::npos;
}

std::wstring CommonProgramsPath(PCIDLIST_ABSOLUTE commonPrograms) {
    std::wstring path;
    if (IsWindowsNT4())
        GetPathFromPIDL(commonPrograms, path);
    return path;
}

int IconSizeOf(HIMAGELIST list) {
    int width = 0, height = 0;
    return list && ::ImageList_GetIconSize(list, &width, &height) ? width : 0;
}

struct SizedImageList {
    HIMAGELIST list;
    int size;
};

// The shell's image lists with their icons' sizes. The shell keeps its lists, at the sizes of
// the system's DPI, for the life of the process: they are asked for once, by whichever thread
// comes first.
const std::vector<SizedImageList>& SystemImageLists() {
    static const std::vector<SizedImageList> lists = [] {
        std::vector<SizedImageList> found;
        for (const int which : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
            IImageList* list = nullptr;
            if (FAILED(::SHGetImageList(which, __uuidof(IImageList),
                                        reinterpret_cast<void**>(&list))) ||
                !list)
                continue;
            const auto handle = reinterpret_cast<HIMAGELIST>(list);
            if (const int size = IconSizeOf(handle); size > 0)
                found.push_back({handle, size});
            list->Release();
        }
        return found;
    }();
    return lists;
}

// The shell's image list drawn at the size, else the smallest one larger (its icon is made
// smaller: a picture drawn for more pixels loses less than one stretched), else the largest.
// Null where the system has no lists of its own sizes: the two of SHGetFileInfo serve then.
HIMAGELIST SystemImageListFor(int size) {
    const SizedImageList* chosen = nullptr;
    for (const SizedImageList& list : SystemImageLists()) {
        const bool better =
            !chosen || (chosen->size < size ? list.size > chosen->size
                                            : list.size >= size && list.size < chosen->size);
        if (better)
            chosen = &list;
    }
    return chosen ? chosen->list : nullptr;
}

// The system image list's entry of a shell item, or of a name whose extension and attributes
// are all the shell is to look at.
ItemIconSource SystemListSource(LPCWSTR item, DWORD attributes, UINT flags, int size) {
    ItemIconSource source;
    source.size = size;
    SHFILEINFOW info{};
    flags |= SHGFI_SYSICONINDEX | (size < ::GetSystemMetrics(SM_CXICON) ? SHGFI_SMALLICON : 0);
    const DWORD_PTR list = item ? ::SHGetFileInfoW(item, attributes, &info, sizeof info, flags) : 0;
    if (!list)
        return source;
    source.kind = ItemIconSource::Kind::System;
    source.index = info.iIcon; // the same in every system image list
    source.list = SystemImageListFor(size);
    if (!source.list)
        source.list = reinterpret_cast<HIMAGELIST>(list);
    return source;
}

// The system image list's entry for the item, as the shell would make its icon.
ItemIconSource ShellIconSource(PCIDLIST_ABSOLUTE pidl, int size) {
    return SystemListSource(reinterpret_cast<LPCWSTR>(pidl), 0, SHGFI_PIDL | SHGFI_ICONLOCATION,
                            size);
}

ItemIconSource SystemIconSource(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, int size,
                                const std::wstring& commonPrograms) {
    if (IsWindowsNT4()) {
        // NT 4 shows program groups with an icon of their own that the shell does not give.
        ItemIconSource group;
        group.size = size;
        const ShellItemFacts facts = GetItemFacts(pidl);
        if (facts.IsLink()) {
            LinkTarget target = ResolveLink(allocator, facts.path);
            if (InCommonPrograms(commonPrograms, target.path) && IsLinkTargetFolder(target)) {
                group.kind = ItemIconSource::Kind::ProgramGroupLink;
                return group;
            }
        } else if (InCommonPrograms(commonPrograms, facts.path) && facts.IsFolder()) {
            group.kind = ItemIconSource::Kind::ProgramGroup;
            return group;
        }
    }
    return ShellIconSource(pidl, size);
}

} // namespace

std::wstring ItemIconSource::Key() const {
    std::wstring key = std::to_wstring(size) + L":";
    switch (kind) {
    case Kind::None:
        return key + L"none";
    case Kind::System:
        return key + L"sys:" + std::to_wstring(index);
    case Kind::File:
        return key + L"file:" + std::to_wstring(index) + L":" + file;
    case Kind::Url:
        return key + L"url";
    case Kind::ProgramGroup:
        return key + L"group";
    case Kind::ProgramGroupLink:
        return key + L"grouplink";
    }
    return key;
}

HICON MakeItemIcon(const ItemIconSource& source) {
    const int size = source.size;
    switch (source.kind) {
    case ItemIconSource::Kind::None:
        return nullptr;
    case ItemIconSource::Kind::System: {
        HICON icon = ::ImageList_GetIcon(source.list, source.index, ILD_NORMAL);
        if (!icon || IconSizeOf(source.list) == size)
            return icon;
        return static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, size, size, LR_COPYDELETEORG));
    }
    case ItemIconSource::Kind::File:
        return ExtractIconFromFile(source.file, source.index, size);
    case ItemIconSource::Kind::Url:
        return GetURLIcon(size);
    case ItemIconSource::Kind::ProgramGroup:
        return GetProgramGroupIcon(size);
    case ItemIconSource::Kind::ProgramGroupLink: {
        UniqueIcon group(GetProgramGroupIcon(size));
        return AddLinkArrow(group.get(), size);
    }
    }
    return nullptr;
}

IconStandIn StandInOf(const std::wstring& path) {
    const std::wstring extension = ToUpperInvariant(ExtractFileExt(path));
    for (const wchar_t* program : {L".EXE", L".COM", L".BAT", L".CMD", L".PIF", L".SCR"})
        if (extension == program)
            return IconStandIn::Program;
    return IconStandIn::Document;
}

IconHint IconHint::ForTarget(const std::wstring& targetPath) const {
    IconHint target;
    target.plain = !targetPath.empty(); // a folder, no shortcut
    target.sharedClass = sharedClass;
    target.path = targetPath;
    target.standIn = IconStandIn::Folder;
    return target;
}

void IconHint::TakeLink(const LinkTarget& target) {
    linkRead = true;
    linkIconFile = target.iconFile;
    linkIconIndex = target.iconIndex;
    linkTarget = PidlBytes(target.pidl.get());
    standIn = StandInOf(target.path);
}

namespace {
// The shared icon classes: files by their extension (upper case, dot included), folders,
// Internet shortcuts.
constexpr wchar_t kFileClass[] = L"file";
constexpr wchar_t kFolderClass[] = L"folder";
constexpr wchar_t kUrlClass[] = L"url";

// Program, icon, cursor and shortcut files carry their own pictures whatever the registry says.
constexpr const wchar_t* kOwnIconExtensions[] = {L".EXE", L".SCR", L".ICO", L".CUR", L".ANI",
                                                 L".LNK", L".PIF", L".URL", L".CPL"};

bool ReadClassString(const std::wstring& key, std::wstring& value) {
    return ReadRegistryText(HKEY_CLASSES_ROOT, key, nullptr, value);
}

bool ClassKeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(handle);
    return true;
}

// A class key gives each file its own icon when its default icon is the file itself ("%1")
// or an icon handler picks the icon per file.
bool ClassIconPerFile(const std::wstring& key) {
    std::wstring icon;
    return ClassKeyExists(key + L"\\shellex\\IconHandler") ||
           (ReadClassString(key + L"\\DefaultIcon", icon) &&
            icon.find(L"%1") != std::wstring::npos);
}
} // namespace

bool TIconClasses::ExtensionSharesIcon(const std::wstring& upperExtension) {
    auto known = extensions_.find(upperExtension);
    if (known != extensions_.end())
        return known->second;
    bool shares = true;
    for (const wchar_t* own : kOwnIconExtensions)
        shares = shares && upperExtension != own;
    shares = shares && !ClassIconPerFile(L"*"); // a handler for every file
    if (shares && !upperExtension.empty()) {
        std::wstring type;
        shares =
            !ClassIconPerFile(upperExtension) &&
            !ClassIconPerFile(L"SystemFileAssociations\\" + upperExtension) &&
            !(ReadClassString(upperExtension, type) && !type.empty() && ClassIconPerFile(type));
        std::wstring current;
        if (shares && !type.empty() && ReadClassString(type + L"\\CurVer", current) &&
            !current.empty())
            shares = !ClassIconPerFile(current);
    }
    extensions_.emplace(upperExtension, shares);
    return shares;
}

IconHint TIconClasses::Of(const ShellItemFacts& facts) {
    IconHint hint = OfPlain(facts);
    if (hideArrow_ && facts.hasPath && ToUpperInvariant(ExtractFileExt(facts.path)) == L".URL")
        hint.sharedClass = kUrlClass; // url.dll's icon, whatever the shortcut holds
    return hint;
}

IconHint TIconClasses::OfPlain(const ShellItemFacts& facts) {
    IconHint hint;
    hint.plain = facts.IsPlain();
    if (facts.hasPath) {
        hint.path = facts.path;
        hint.link = facts.IsLink();
        hint.standIn = facts.IsFolder() ? IconStandIn::Folder : StandInOf(facts.path);
    }
    if (!hint.plain)
        return hint;
    if (facts.IsFolder()) {
        // A read-only or system folder may be customised by its desktop.ini; NT 4 gives the
        // common program groups an icon of their own.
        if (!IsWindowsNT4() && facts.fileAttributes != INVALID_FILE_ATTRIBUTES &&
            !(facts.fileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
            hint.sharedClass = kFolderClass;
        return hint;
    }
    const std::wstring extension = ToUpperInvariant(ExtractFileExt(facts.path));
    if (ExtensionSharesIcon(extension))
        hint.sharedClass = kFileClass + extension;
    return hint;
}

std::wstring TIconClasses::OfLinkTarget(const LinkTarget& target) {
    // With arrows shown each shortcut's own icon is asked; an icon the shortcut names, or a
    // target on removable media or without a path, is the shortcut's own too.
    if (!hideArrow_ || target.NamesIcon() || target.path.empty() || !target.removableKnown ||
        target.removable || !target.attributesKnown || IsWindowsNT4())
        return {};
    ShellItemFacts facts;
    facts.hasPath = true;
    facts.path = target.path;
    facts.attributesKnown = true;
    facts.attributes = target.attributes;
    if (facts.IsFolder())
        facts.fileAttributes = PathAttributes(target.path);
    return OfPlain(facts).sharedClass; // the target's own icon, an Internet shortcut's too
}

HICON GetSystemIcon(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, int size,
                    PCIDLIST_ABSOLUTE commonPrograms) {
    return MakeItemIcon(
        SystemIconSource(allocator, pidl, size, CommonProgramsPath(commonPrograms)));
}

namespace {
// The icon every item of the class shows, found without the item: the system image list's
// entry for any file of the extension or any plain folder, or url.dll's.
ItemIconSource ClassIconSource(const std::wstring& sharedClass, int size) {
    if (sharedClass == kUrlClass) {
        ItemIconSource source;
        source.size = size;
        source.kind = ItemIconSource::Kind::Url;
        return source;
    }
    const bool folder = sharedClass == kFolderClass;
    if (!folder && sharedClass.rfind(kFileClass, 0) != 0)
        return {};
    // The name only carries the extension: the shell is told not to look at the disk.
    const std::wstring name =
        folder ? L"folder" : L"any" + sharedClass.substr(std::wstring_view(kFileClass).size());
    return SystemListSource(name.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                            SHGFI_USEFILEATTRIBUTES, size);
}
} // namespace

ItemIconSource FindIconSource(IMalloc& allocator, const IconRequest& request) {
    const IconHint& known = request.hint;
    const int size = request.size;
    if (!known.sharedClass.empty()) {
        ItemIconSource source = ClassIconSource(known.sharedClass, size);
        if (source.kind != ItemIconSource::Kind::None)
            return source;
    }
    const PCIDLIST_ABSOLUTE pidl = request.pidl.get();
    if (!pidl && known.pathOnly)
        return SystemListSource(ExtractFileName(known.path).c_str(),
                                known.standIn == IconStandIn::Folder ? FILE_ATTRIBUTE_DIRECTORY
                                                                     : FILE_ATTRIBUTE_NORMAL,
                                SHGFI_USEFILEATTRIBUTES, size);
    std::wstring path = known.path; // asking the shell again costs a folder binding
    if (!request.hideArrow || (path.empty() && !GetPathFromPIDL(pidl, path)))
        return SystemIconSource(allocator, pidl, size, request.commonPrograms);
    ItemIconSource source;
    source.size = size;
    if (ToUpperInvariant(ExtractFileExt(path)) == L".URL") {
        source.kind = ItemIconSource::Kind::Url;
        return source;
    }
    if (known.plain || (!known.IsLink() && !IsLinkItem(pidl)))
        return SystemIconSource(allocator, pidl, size, request.commonPrograms);
    // The shortcut as its read found it; opened again only when the read did not.
    std::wstring iconFile = known.linkIconFile;
    int iconIndex = known.linkIconIndex;
    PidlBytes target = known.linkTarget;
    if (!known.linkRead || IsWindowsNT4()) {
        ComPtr<IShellLinkW> link = LoadShellLink(path);
        if (!link)
            return SystemIconSource(allocator, pidl, size, request.commonPrograms);
        LinkTarget read = ReadLinkTarget(allocator, *link.Get());
        if (IsWindowsNT4() && InCommonPrograms(request.commonPrograms, read.path) &&
            IsLinkTargetFolder(read)) {
            source.kind = ItemIconSource::Kind::ProgramGroup;
            return source;
        }
        iconFile = read.iconFile;
        iconIndex = read.iconIndex;
        target = PidlBytes(read.pidl.get());
    }
    if (iconFile.empty())
        return SystemIconSource(allocator, target.get(), size, request.commonPrograms);
    // The icon the shortcut names; its target's when the file has none.
    source.kind = ItemIconSource::Kind::File;
    source.file = iconFile;
    source.index = iconIndex;
    source.target = std::move(target);
    return source;
}

FetchedIcon MakeFetchedIcon(IMalloc& allocator, ItemIconSource source, const IconRequest& request) {
    FetchedIcon fetched;
    fetched.source = std::move(source);
    fetched.icon = MakeItemIcon(fetched.source);
    if (!fetched.icon && fetched.source.kind == ItemIconSource::Kind::File)
        fetched.source = SystemIconSource(allocator, fetched.source.target.get(), request.size,
                                          request.commonPrograms);
    if (!fetched.icon)
        fetched.icon = MakeItemIcon(fetched.source);
    fetched.key = fetched.source.Key();
    return fetched;
}

FetchedIcon FetchItemIcon(IMalloc& allocator, const IconRequest& request) {
    return MakeFetchedIcon(allocator, FindIconSource(allocator, request), request);
}

IconRequest RequestFor(PCIDLIST_ABSOLUTE pidl, int size, bool hideArrow,
                       PCIDLIST_ABSOLUTE commonPrograms) {
    IconRequest request;
    request.pidl = PidlBytes(pidl);
    request.size = size;
    request.hideArrow = hideArrow;
    request.commonPrograms = CommonProgramsPath(commonPrograms);
    return request;
}

HICON GetItemIcon(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, int size, bool hideArrow,
                  PCIDLIST_ABSOLUTE commonPrograms) {
    return FetchItemIcon(allocator, RequestFor(pidl, size, hideArrow, commonPrograms)).icon;
}

HICON MakeStandInIcon(IconStandIn kind, int size) {
    const bool folder = kind == IconStandIn::Folder;
    const wchar_t* name = folder                         ? L"folder"
                          : kind == IconStandIn::Program ? L"program.exe"
                                                         : L"document";
    return MakeItemIcon(SystemListSource(name,
                                         folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                                         SHGFI_USEFILEATTRIBUTES, size));
}

} // namespace tolvern
