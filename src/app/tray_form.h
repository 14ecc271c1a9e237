// TForm1: the invisible main form that owns the notification-area icon.
#pragma once

#include "app/task_tray_icon.h"
#include "base/unique_handle.h"
#include "framework/form.h"

#include <memory>
#include <string>
#include <vector>

namespace tolvern {

class TForm2;

class TForm1 : public Form {
public:
    explicit TForm1(Application& application);
    ~TForm1() override;

    std::unique_ptr<TTaskTrayIcon> TaskTrayIcon1;
    UniqueIcon imgON;  // shown while the launcher is ready
    UniqueIcon imgOFF; // shown while it is built or rebuilds itself
    // Windows that the show-desktop command minimised, to restore them on its next use.
    std::vector<std::wstring> RestoreWindowList;
    TForm2* Form2 = nullptr; // the settings form, while it exists

    // Handlers of the tray icon's events; the popup and the show-desktop command plug in here.
    void TaskTrayIcon1MouseDown(TComponent* sender, TMouseButton button, TShiftState shift, int x,
                                int y);
    void TaskTrayIcon1DblClick(TComponent* sender);

    // What asked for the menu while the launcher was not ready.
    enum class TPendingPopup { None, TrayClick, HotKey };
    // Remembers a request that came while the launcher was being built (one at most, the
    // last), so that a click is not lost without a sign.
    void RememberPopup(TPendingPopup trigger, POINT at = {});
    // The launcher is ready: the request remembered meanwhile opens the menu, from the message
    // loop (the caller may be the settings form's creation).
    void LauncherBecameReady();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void RunPendingPopup();
    void FormCreate();
    void FormDestroy();

    TPendingPopup pendingPopup_ = TPendingPopup::None;
    POINT pendingPoint_{};
};

} // namespace tolvern
