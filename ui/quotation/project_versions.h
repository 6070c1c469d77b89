// The versions of a signed quotation on the information page: the signed
// version (签约版) and its change orders (增减项 n), each with its date and
// sum, to preview and print as kept. It decides what a save writes beside
// the project, and keeps the lines of a signed quotation locked until a
// change order is begun.
#pragma once

#include "core/data/data_module.h"

#include <QGroupBox>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace lty {

class TFrmProject_Detail;

class ProjectVersionsBox : public QGroupBox {
    Q_OBJECT
public:
    ProjectVersionsBox(TFrmProject_Detail& window, QWidget* parent);

    // The versions of the project `projectId` (none for 0); the lines lock
    // when it has a signed version. A change order being edited is dropped.
    void Load(std::int32_t projectId);
    bool Signed() const { return !versions_.empty(); }
    bool ChangeOrderOpen() const { return changeOrder_; }
    const std::vector<TDM::ProjectVersion>& Versions() const { return versions_; }

    // What the window's save writes beside the project, in its transaction:
    // the signed version when 已签合同 is ticked and none is kept yet, the
    // change order being edited when its lines differ from the last version;
    // nothing otherwise. Taken from the window as it stands.
    std::function<bool(std::int32_t projectId)> VersionToStore();
    // After the save went through: the list read again, the lines locked.
    void Stored(std::int32_t projectId);

    // 新建增减项: the lines open for the next change order.
    void NewChangeOrder();
    void PreviewClick();
    void PrintClick();

    QTreeWidget* VersionList;
    QPushButton* BtnPreviewVersion;  // "预览"
    QPushButton* BtnPrintVersion;    // "打印"
    QPushButton* BtnNewChangeOrder;  // "新建增减项"

    static constexpr const char* kCannotUnsign =
        "该工程已签合同，签约版已保存，不能取消“已签合同”。如需变更，请新建增减项。";

private:
    void ShowList();
    void ApplyLock();
    int SelectedVersion() const; // -1 for none

    TFrmProject_Detail& window_;
    std::vector<TDM::ProjectVersion> versions_;
    std::int32_t projectId_ = 0;
    bool changeOrder_ = false;
    std::string keptText_; // the lines as the last version kept them
};

} // namespace lty
