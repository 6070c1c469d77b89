#include "core/upkeep/manager_login.h"

#include "core/data/data_module.h"
#include "core/db/pg_connection.h"
#include "core/upkeep/server_setup.h"

namespace lty {

bool ManagerLoginNeeded(const TDM& designers) { return designers.ADOMain.Server() != nullptr; }

std::unique_ptr<TDM> OpenManagerDataModule(const TDM& designers, UserMessages& messages, const ManagerLogin& login,
                                           std::string& refusal) {
    refusal.clear();
    if (login.User.empty()) {
        refusal = "请输入服务器管理员的用户名！";
        return nullptr;
    }
    std::string conninfo = ConninfoWith(designers.ADOMain.ServerConninfo(), "user", login.User);
    if (!login.Password.empty()) conninfo = ConninfoWith(conninfo, "password", login.Password);
    try {
        PgConnection probe(conninfo);
        // A login the server accepts may still be a designer's: it must be
        // able to write every table that only the administrator writes.
        std::string tables = "{";
        for (const auto t : ManagerWrittenTables()) {
            if (tables.size() > 1) tables.push_back(',');
            tables.append(t);
        }
        tables.push_back('}');
        const std::string lacking = probe.Scalar(
            "select count(*) from pg_class c where c.relkind = 'r' "
            "and c.relnamespace in (select n.oid from pg_namespace n where n.nspname = any (current_schemas(false))) "
            "and c.relname = any (select lower(t) from unnest($1::text[]) as t) "
            "and not (has_table_privilege(c.oid, 'INSERT') and has_table_privilege(c.oid, 'UPDATE') "
            "and has_table_privilege(c.oid, 'DELETE'))",
            {tables});
        if (lacking != "0") {
            refusal =
                "用户 " + login.User + " 不是服务器管理员，不能修改施工项目、价格和公司资料。请用管理员用户登录。";
            return nullptr;
        }
    } catch (const ServerConnectError& e) {
        refusal = e.Answered() ? "数据库服务器 " + e.Address() + " 拒绝了管理员登录，请检查用户名和密码是否正确。"
                               : "无法连接数据库服务器 " + e.Address() + "，请检查服务器是否已启动、网络是否连通。";
        refusal.append("\n").append(e.what());
        return nullptr;
    } catch (const std::exception& e) {
        refusal = std::string("无法检查管理员的权限。\n") + e.what();
        return nullptr;
    }
    auto manager = std::make_unique<TDM>(messages, designers.ProgramDirectory(), conninfo);
    if (!manager->Connected()) return nullptr;
    return manager;
}

} // namespace lty
