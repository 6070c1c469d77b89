// The versions of a signed quotation: the signed one and its change orders,
// each kept with everything it takes to print it again (TBLPROJECTVERSION).
#include "core/data/data_module.h"

#include "core/db/sql_text.h"

namespace lty {
namespace {

std::string VersionSelect(std::int32_t projectId, bool withSnapshots) {
    return std::string("select ID,ProjectIntID,intVersion,dateCreated,numTotal") + (withSnapshots ? ",charSnapshot" : "") +
           " from TBLPROJECTVERSION where ProjectIntID=" + SqlInteger(projectId);
}

TDM::ProjectVersion ReadVersion(TADOQuery& q, bool withSnapshot) {
    TDM::ProjectVersion v;
    v.ID = q.Fields(0).AsInteger();
    v.ProjectIntID = q.Fields(1).AsInteger();
    v.Version = q.Fields(2).AsInteger();
    v.DateCreated = q.Fields(3).AsString();
    v.Total = q.Fields(4).IsNull() ? 0 : q.Fields(4).AsFloat();
    if (withSnapshot) v.Snapshot = q.Fields(5).AsString();
    return v;
}

} // namespace

std::vector<TDM::ProjectVersion> TDM::LoadProjectVersions(std::int32_t projectId, bool withSnapshots) {
    std::vector<ProjectVersion> versions;
    TADOQuery query(ADOMain);
    if (!RunSelect(query, VersionSelect(projectId, withSnapshots) + " order by intVersion")) return versions;
    versions.reserve(static_cast<std::size_t>(query.RecordCount()));
    for (; !query.Eof(); query.Next()) versions.push_back(ReadVersion(query, withSnapshots));
    return versions;
}

std::optional<TDM::ProjectVersion> TDM::LoadProjectVersion(std::int32_t projectId, int version) {
    TADOQuery query(ADOMain);
    if (!RunSelect(query, VersionSelect(projectId, true) + " and intVersion=" + SqlInteger(version)) ||
        query.RecordCount() == 0)
        return std::nullopt;
    return ReadVersion(query, true);
}

bool TDM::InsertProjectVersion(const ProjectVersion& v) {
    TADOQuery query(ADOMain);
    if (!RunSelect(query, "select max(intVersion) from TBLPROJECTVERSION where ProjectIntID=" +
                              SqlInteger(v.ProjectIntID)))
        return false;
    const int next = query.Fields(0).IsNull() ? 0 : query.Fields(0).AsInteger() + 1;
    if (next != v.Version) {
        lastError_ = next > v.Version ? "该工程的合同版本已被其他用户更新，请关闭后重新打开该工程。"
                                      : "该工程的合同版本不连续，请关闭后重新打开该工程。";
        return false;
    }
    return RunStatement("insert into TBLPROJECTVERSION (ProjectIntID,intVersion,dateCreated,numTotal,charSnapshot) "
                        "values (" +
                        SqlInteger(v.ProjectIntID) + "," + SqlInteger(v.Version) + "," + SqlText(v.DateCreated) + "," +
                        SqlNumber(v.Total) + "," + SqlText(v.Snapshot) + ")");
}

} // namespace lty
