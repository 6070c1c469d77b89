// The values the whole process shares. One instance each, living as long
// as the process.
#pragma once

#include "core/messages/user_messages.h"

#include <memory>
#include <string>

namespace lty {

class TDM;
class TFrmMain;
class TCompanyInfo;

inline constexpr const char* kApplicationTitle = "岚庭雅装饰报价V1.0";

extern TFrmMain* FrmMain;
extern TDM* DM;
extern std::string ProgramDirectory; // the executable's directory, ending in a separator
// The company row, loaded when the main window is first shown and kept up to
// date by the company page; the printed quotation is headed with it.
TCompanyInfo& CompanyInfo();
extern std::string QuotationRemark;
extern int ProjectWindowMode; // 0 new, 1 update
extern bool PasswordAccepted;

// Every message box of every window goes through this seam; tests replace it.
UserMessages& Messages();
void SetMessages(UserMessages* messages);

} // namespace lty
