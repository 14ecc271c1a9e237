// TDropDst: makes a control a target for files dragged from the shell and hands the dropped
// paths to its owner in one event.
#pragma once

#include "components/control_hook.h"

#include <functional>
#include <string>
#include <vector>

namespace tolvern {

class TDropDst : public TControlHook {
public:
    // Files holds the full paths in the order of the drop; (x, y) is the drop point in the
    // client area of the hooked window. The list lives only for the call.
    using TFileDropEvent = std::function<void(
        TComponent* sender, const std::vector<std::wstring>& files, int x, int y)>;

    explicit TDropDst(TComponent* owner);
    ~TDropDst() override;

    TFileDropEvent OnFileDrop;
    bool AcceptDrop() const { return acceptDrop_; }
    void SetAcceptDrop(bool accept);

    void Loaded() override;

protected:
    void HookStateChange(int reason) override;
    void WndProc(TMessage& message) override;
    void AfterHook() override { ApplyAcceptance(); }
    void BeforeUnhook() override;

private:
    void ApplyAcceptance();
    void DeliverDrop(HDROP drop);

    bool acceptDrop_ = true;
};

} // namespace tolvern
