// The demo launcher menu: a TBarPopupMenu with the launcher's fixed top-level items, stock
// images drawn in code and a two-level submenu. Used by the demo program and screenshot tests.
#include "support/demo_menu.h"

#include "menu/launcher_menu.h"
#include "menu/stock_images.h"

namespace tolvern::test {

DemoMenu::DemoMenu(int drawStyle) {
    AddStockImages(small);
    SetUpLauncherPopup(menu);
    menu.Images = &small;
    menu.DrawStyle = drawStyle;
    // The colours the launcher's settings give it by default: teal over black.
    menu.GradientStart = clTeal;
    menu.GradientEnd = clBlack;
    menu.VerticalText = L"Tolvern ランチャー";

    auto onClick = [this](TMenuItem* sender) {
        ++clicks;
        lastClicked = sender->Caption;
    };
    auto add = [&](TMenuItem& parent, const wchar_t* caption, int image) {
        TMenuItem* item = parent.Add(std::make_unique<TMenuItem>(caption));
        item->ImageIndex = image;
        item->OnClick = onClick;
        return item;
    };
    TMenuItem& top = menu.Items;
    TMenuItem* first = add(top, L"デスクトップの表示(&V)", 3);
    first->Default = true;
    add(top, L"-", -1);
    // A folder-like submenu with a second level.
    TMenuItem* desktop = add(top, L"デスクトップ(&T)", 5);
    desktop->OnClick = nullptr;
    desktop->SubMenuImages = &small;
    add(*desktop, L"画面のプロパティ", 3);
    add(*desktop, L"-", -1);
    TMenuItem* docs = add(*desktop, L"ドキュメント(&D)", 0);
    docs->OnClick = nullptr;
    docs->SubMenuImages = &small;
    add(*docs, L"readme.txt", 6);
    add(*docs, L"memo.txt", 6);
    TMenuItem* none = add(*docs, L"(なし)", -1);
    none->Enabled = false;
    add(*desktop, L"notes.txt", 6);
    for (const wchar_t* caption : {L"プログラム(&P)", L"マイ ドキュメント(&M)",
                                   L"最近使ったファイル(&D)", L"お気に入り(&A)", L"履歴(&H)"}) {
        TMenuItem* folder = add(top, caption, 0);
        folder->OnClick = nullptr;
        TMenuItem* empty = add(*folder, L"(なし)", -1);
        empty->Enabled = false;
    }
    add(top, L"-", -1);
    TMenuItem* noItem = add(top, L"(なし)", -1);
    noItem->Enabled = false;
    add(top, L"-", -1);
    TMenuItem* settings = add(top, L"設定(&S)", 2);
    settings->OnClick = nullptr;
    settings->SubMenuImages = &small;
    add(*settings, L"設定(&S)...", 2);
    add(*settings, L"ヘルプ(&H)", 6);
    add(*settings, L"常駐終了(&X)", 1);
    add(*settings, L"-", -1);
    add(*settings, L"バージョン情報(&A)...", 4);
    add(top, L"-", -1);
    add(top, L"Windows の終了(&U)...", 5);
}

} // namespace tolvern::test
