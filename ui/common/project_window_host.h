// What a project window and the house-type dialog ask of the window that
// opened them. The shell's main window answers; the windows below it know only
// this, so no window includes the shell.
#pragma once

#include "core/data/records.h"

#include <memory>

class QString;
class QWidget;

namespace lty {

class TFrmProject_Detail;

class ProjectWindowHost {
public:
    // The host as a widget: the parent of dialogs, and gone when it closes.
    virtual QWidget* HostWidget() = 0;
    // Kind 0 blank, 1 laid out from the house-type dialog, 2 showing `record`.
    virtual bool OpenProjectWindow(int kind, std::unique_ptr<TREC_PROJECT> record = nullptr) = 0;
    // Stores the window's project in its own save mode; true when a row was written.
    virtual bool SaveProjectWindow(TFrmProject_Detail* window) = 0;
    // The 窗口 menu's entries follow the windows.
    virtual void UpdateWindowMenuChecks() = 0;
    virtual void RemoveWindowMenuEntries(const QString& caption) = 0;

protected:
    ~ProjectWindowHost() = default;
};

} // namespace lty
