// TDropDst: makes a control a target for files dragged from the shell and hands the dropped
// paths to its owner in one event.
#include "components/drop_dst.h"

#include "framework/application.h"

#include <shellapi.h>

namespace tolvern {

TDropDst::TDropDst(TComponent* owner) : TControlHook(owner) {}

TDropDst::~TDropDst() {
    Unhook(); // while BeforeUnhook is still this class's
}

void TDropDst::SetAcceptDrop(bool accept) {
    if (accept == acceptDrop_)
        return;
    acceptDrop_ = accept;
    ApplyAcceptance();
}

void TDropDst::Loaded() {
    TControlHook::Loaded();
    ApplyAcceptance();
}

void TDropDst::HookStateChange(int reason) {
    TControlHook::HookStateChange(reason);
    ApplyAcceptance();
}

void TDropDst::ApplyAcceptance() {
    if (HookedWindow())
        ::DragAcceptFiles(HookedWindow(), acceptDrop_);
}

void TDropDst::BeforeUnhook() {
    // A window given back accepts no more drops: nobody would release their handles.
    ::DragAcceptFiles(HookedWindow(), FALSE);
}

void TDropDst::WndProc(TMessage& message) {
    if (message.Msg != WM_DROPFILES) {
        TControlHook::WndProc(message);
        return;
    }
    HDROP drop = reinterpret_cast<HDROP>(message.WParam);
    try {
        DeliverDrop(drop);
    } catch (...) {
        ReportException(std::current_exception());
    }
    ::DragFinish(drop);
    message.Result = 0;
}

void TDropDst::DeliverDrop(HDROP drop) {
    // A handle that is no memory of this process (Wine does not carry one across processes)
    // holds no files and no point to read.
    if (!OnFileDrop || ::GlobalSize(drop) == 0)
        return;
    std::vector<std::wstring> files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Asked for its length first: a path may be longer than MAX_PATH.
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        files.push_back(std::move(path));
    }
    POINT point{};
    ::DragQueryPoint(drop, &point);
    OnFileDrop(this, files, point.x, point.y);
}

} // namespace tolvern
