#include "ui/common/globals.h"

#include "core/data/records.h"
#include "ui/common/message_boxes.h"

namespace lty {

TFrmMain* FrmMain = nullptr;
TDM* DM = nullptr;
std::string ProgramDirectory;
std::string QuotationRemark;

TCompanyInfo& CompanyInfo() {
    static TCompanyInfo info;
    return info;
}
int ProjectWindowMode = 0;
bool PasswordAccepted = false;

namespace {
UserMessages* currentMessages = nullptr;
}

UserMessages& Messages() {
    static QtMessages boxes;
    return currentMessages ? *currentMessages : boxes;
}

void SetMessages(UserMessages* messages) { currentMessages = messages; }

} // namespace lty
