// The texts and flags of every message box the program shows (a path or drive inserted
// where it belongs, a path always between single quotes), and the text of its one balloon.
#pragma once

#include <windows.h>

#include <string>

namespace tolvern {

struct TLauncherMessage {
    std::wstring text;
    UINT flags = 0;
};

inline TLauncherMessage CannotOpenMessage(const std::wstring& path) {
    return {L"'" + path + L"' を開けません。ファイルがあるかどうか確認してください。", MB_ICONSTOP};
}
inline TLauncherMessage CannotOpenShortcutMessage(const std::wstring& path) {
    return {L"ショートカット '" + path +
                L"' を開けません。ファイルがあるかどうか確認してください。",
            MB_ICONSTOP};
}
inline TLauncherMessage DriveNotReadyMessage(const std::wstring& drive) {
    return {L"ドライブ " + drive + L" の準備ができていません。", MB_ICONSTOP};
}
inline TLauncherMessage CannotAccessMessage(const std::wstring& path) {
    return {L"'" + path + L"' にアクセスできません。", MB_ICONSTOP};
}
inline TLauncherMessage MenuLimitMessage() {
    return {L"一度に表示できるメニュー項目の上限を超えました。", MB_ICONEXCLAMATION};
}
inline TLauncherMessage ConfirmDeleteMessage() {
    return {L"[マイメニュー] 項目を削除してもよろしいですか?", MB_ICONQUESTION | MB_YESNO};
}
inline TLauncherMessage InvalidCaptionMessage() {
    return {L"キャプションが不正です。", MB_ICONEXCLAMATION};
}
// The hot key as the dialog's hot-key field shows it (for example "Ctrl + Alt + L").
inline TLauncherMessage HotKeyNotRegisteredMessage(const std::wstring& hotKey) {
    return {L"ホットキー " + hotKey +
                L" を登録できませんでした。ほかのプログラムが使用していないか確認してください。",
            MB_ICONEXCLAMATION};
}

// The balloon over the tray icon at the first start (no settings stored yet), under the
// application title: where the launcher is and how its menu opens.
inline std::wstring FirstStartBalloonText(const std::wstring& hotKey) {
    return L"通知領域に常駐しています。\nアイコンを右クリックするか " + hotKey +
           L" を押すと、メニューが開きます。";
}

} // namespace tolvern
