#include "tests/core/data/data_module_fixture.h"

namespace lty {
namespace {

using test::DataModuleTest;

TEST_F(DataModuleTest, CompanyInfoReadsAndWritesEveryField) {
    TCompanyInfo info = dm.LoadCompanyInfo();
    EXPECT_EQ(trace.back(), "select COM_NAME,COM_ADDRESS,COM_TEL1,COM_TEL2,COM_PERSON from TBLCOMPANYINFO");
    EXPECT_EQ(info.Name, "岚庭雅装饰工程有限公司");
    EXPECT_EQ(info.Address, "杭州市西湖区文三路198号");
    EXPECT_EQ(info.Tel1, "陈岚"); // the page shows this column under 联系人
    EXPECT_EQ(info.Tel2, "0571-88886666");
    EXPECT_EQ(info.Person, "0571-88887777");

    info.SetName("O'Hara & Co");
    info.SetAddress("a");
    info.SetTel1("1");
    info.SetTel2("2");
    info.SetPerson("p'q");
    EXPECT_TRUE(dm.UpdateCompanyInfo(&info));
    EXPECT_EQ(trace.back(),
              "update TBLCOMPANYINFO set COM_NAME='O''Hara & Co',COM_ADDRESS='a',COM_TEL1='1',COM_TEL2='2',"
              "COM_PERSON='p''q'");
    const TCompanyInfo back = dm.LoadCompanyInfo();
    EXPECT_EQ(back.Name, "O'Hara & Co");
    EXPECT_EQ(back.Person, "p'q");

    const auto sent = trace.size();
    EXPECT_FALSE(dm.UpdateCompanyInfo(nullptr));
    EXPECT_EQ(trace.size(), sent);

    // No company row: the read gives empty fields; the save inserts the row,
    // so the details are kept.
    Raw("delete from TBLCOMPANYINFO");
    const TCompanyInfo empty = dm.LoadCompanyInfo();
    EXPECT_EQ(empty.Name, "");
    EXPECT_EQ(empty.Person, "");
    EXPECT_TRUE(dm.UpdateCompanyInfo(&info));
    EXPECT_EQ(trace.back(), "insert into TBLCOMPANYINFO(COM_NAME,COM_ADDRESS,COM_TEL1,COM_TEL2,COM_PERSON)values("
                            "'O''Hara & Co','a','1','2','p''q')");
    EXPECT_EQ(RawCount("TBLCOMPANYINFO"), 1);
    EXPECT_EQ(dm.LoadCompanyInfo().Tel1, "1");
    EXPECT_TRUE(dm.UpdateCompanyInfo(&info)); // the next save updates that row
    EXPECT_EQ(RawCount("TBLCOMPANYINFO"), 1);

    Raw("alter table TBLCOMPANYINFO rename to TBLGone");
    EXPECT_THROW(dm.LoadCompanyInfo(), EngineError);
}

TEST_F(DataModuleTest, DesignerGridAndNames) {
    TDesignerGrid grid;
    grid.SetRowCount(1);
    grid.Rows[0] = {"编号", "姓名", "电话", "部门"};
    dm.FillDesignerGrid(grid);
    EXPECT_EQ(trace.back(), "select ID,DESNAME,DESTEL,DESADDRESS from TBLDESIGNER");
    ASSERT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Rows[0][1], "姓名"); // the caller's headings stay
    EXPECT_EQ(grid.Rows[1], (std::array<std::string, 4>{"1", "张明", "设计一部", "13805710001"}));
    EXPECT_EQ(grid.Rows[3][1], "王磊");
    EXPECT_EQ(grid.RowHeights, (std::vector<int>{18, 18, 18, 18}));

    TNameList names;
    names.Items = {"stale"};
    dm.FillDesignerNames(names);
    EXPECT_EQ(trace.back(), "select distinct DESNAME From TBLDESIGNER");
    EXPECT_EQ(names.Items, (std::vector<std::string>{"张明", "李婷", "王磊"}));
    EXPECT_EQ(names.ItemIndex, 0);
    EXPECT_EQ(names.Text, "张明");

    // Empty table: the grid keeps only its heading row, the names list and text are empty.
    Raw("delete from TBLDESIGNER");
    dm.FillDesignerGrid(grid);
    EXPECT_EQ(grid.RowCount(), 1);
    dm.FillDesignerNames(names);
    EXPECT_TRUE(names.Items.empty());
    EXPECT_EQ(names.Text, "");
    EXPECT_EQ(names.ItemIndex, -1);

    Raw("alter table TBLDESIGNER rename to TBLGone");
    EXPECT_THROW(dm.FillDesignerGrid(grid), EngineError);
    dm.FillDesignerNames(names); // a refused select gives no names, no error
    EXPECT_TRUE(names.Items.empty());
}

TEST_F(DataModuleTest, InsertAndDeleteDesigners) {
    TDes des;
    des.SetName("D'Arcy");
    des.SetTel("1");
    des.SetAddress("设计三部");
    EXPECT_TRUE(dm.InsertDesigner(des));
    EXPECT_EQ(trace.back(), "insert into TBLDESIGNER(DESNAME,DESTEL,DESADDRESS)values('D''Arcy','1','设计三部')");
    EXPECT_EQ(RawText("select DESNAME from TBLDESIGNER where ID=4"), "D'Arcy");

    EXPECT_TRUE(dm.InsertDesigner(TDes()));
    EXPECT_EQ(RawText("select DESNAME||DESTEL||DESADDRESS from TBLDESIGNER where ID=5"), "");

    EXPECT_TRUE(dm.DeleteDesigner("4"));
    EXPECT_EQ(trace.back(), "delete from TBLDESIGNER where id=4");
    EXPECT_EQ(RawCount("TBLDESIGNER"), 4);

    // No id, or one that is no number: nothing is sent and no row goes.
    trace.clear();
    for (const char* bad : {"", " ", "abc", "1 or 1=1", "2;"}) EXPECT_FALSE(dm.DeleteDesigner(bad)) << bad;
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(RawCount("TBLDESIGNER"), 4);
}

TEST_F(DataModuleTest, ResetEmptiesProjectsCatalogAndTheirCompanionsAndKeepsTheRest) {
    Raw("insert into tblProject(charProjectID) values('A');"
        "insert into TMP_Print(ItemName) values('x');"
        "insert into TBLPROJECTRATE(IntID) values(1); insert into TBLPROJECTROOMS(IntID) values(1);"
        "insert into TBLPROJECTSTAMP(IntID) values(1); insert into TBLPROJECTVERSION(ProjectIntID,intVersion) "
        "values(1,0); insert into TBLPRODUCTMEASURE(Product_ID) values(3); insert into TBLTEMPLATE(charName) "
        "values('t'); insert into TBLSETTING(SETNAME,SETVALUE) values('TaxRate','0.05')");
    EXPECT_TRUE(dm.ClearAllData());
    EXPECT_EQ(trace, (std::vector<std::string>{"delete from TBLITEM", "delete from TBLProduct",
                                               "delete from tblProject", "delete From TMP_Print",
                                               "delete from TBLPROJECTRATE", "delete from TBLPROJECTROOMS",
                                               "delete from TBLPROJECTSTAMP", "delete from TBLPROJECTVERSION",
                                               "delete from TBLPRODUCTMEASURE", "delete from TBLTEMPLATE"}));
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    for (const char* t : {"TBLITEM", "TBLPRODUCT", "tblProject", "TMP_Print", "TBLPROJECTRATE", "TBLPROJECTROOMS",
                          "TBLPROJECTSTAMP", "TBLPROJECTVERSION", "TBLPRODUCTMEASURE", "TBLTEMPLATE"})
        EXPECT_EQ(RawCount(t), 0) << t;
    EXPECT_EQ(RawText("select SETVALUE from TBLSETTING where SETNAME='TaxRate'"), "0.05")
        << "the firm's settings stay, as its company data do";
    EXPECT_EQ(RawCount("TBLCLASS"), 4);
    EXPECT_EQ(RawCount("TBLUNIT"), 15);
    EXPECT_EQ(RawCount("TBLDESIGNER"), 3);
    EXPECT_EQ(RawCount("TBLCOMPANYINFO"), 1);
    EXPECT_TRUE(dm.CheckPassword("admin"));
}

TEST_F(DataModuleTest, ResetIsAllOrNothing) {
    Raw("insert into tblProject(charProjectID) values('A');"
        "insert into TMP_Print(ItemName) values('x')");
    RefuseOn("TMP_Print", "delete"); // the fourth delete fails
    EXPECT_FALSE(dm.ClearAllData());
    EXPECT_EQ(trace.size(), 10u); // every delete went out as one batch
    EXPECT_FALSE(dm.ADOMain.InTransaction());
    EXPECT_EQ(RawCount("TBLITEM"), 109);
    EXPECT_EQ(RawCount("TBLPRODUCT"), 109);
    EXPECT_EQ(RawCount("tblProject"), 1);
    EXPECT_EQ(RawCount("TMP_Print"), 1);

    // The first of the four failing is rolled back the same way.
    StopRefusing("TMP_Print", "delete");
    RefuseOn("TBLITEM", "delete");
    EXPECT_FALSE(dm.ClearAllData());
    EXPECT_EQ(RawCount("tblProject"), 1);
    EXPECT_EQ(RawCount("TMP_Print"), 1);
}

TEST_F(DataModuleTest, PasswordCheckAndChange) {
    EXPECT_TRUE(dm.CheckPassword("admin"));
    EXPECT_EQ(trace.back(), "select PSNAME from TBLPASSWORD");
    EXPECT_FALSE(dm.CheckPassword("Admin")); // letter case counts
    EXPECT_FALSE(dm.CheckPassword("ad min"));
    EXPECT_FALSE(dm.CheckPassword(""));

    Raw("update TBLPASSWORD set PSNAME='  admin\t'");
    EXPECT_TRUE(dm.CheckPassword("admin")); // stored blanks are trimmed

    // A change stores a salted hash, never the text itself.
    EXPECT_TRUE(dm.UpdatePassword("it's"));
    EXPECT_EQ(trace.back().rfind("update TBLPassWord set PSNAME='$argon2id$", 0), 0u) << trace.back();
    // A hash is base64 and may hold "it" by chance, but never the quote of the clear text.
    EXPECT_EQ(trace.back().find("it''s"), std::string::npos);
    EXPECT_TRUE(dm.CheckPassword("it's"));
    EXPECT_FALSE(dm.CheckPassword("it"));
    EXPECT_FALSE(dm.CheckPassword("IT'S"));

    Raw("update TBLPASSWORD set PSNAME=''");
    EXPECT_TRUE(dm.CheckPassword(""));

    // No row: nothing is accepted; a change inserts the row, so the guard
    // can be passed again.
    Raw("delete from TBLPASSWORD");
    EXPECT_FALSE(dm.CheckPassword(""));
    EXPECT_TRUE(dm.UpdatePassword("x"));
    EXPECT_EQ(RawCount("TBLPASSWORD"), 1);
    EXPECT_TRUE(dm.CheckPassword("x"));

    Raw("alter table TBLPASSWORD rename to TBLGone");
    EXPECT_FALSE(dm.CheckPassword(""));
    EXPECT_FALSE(dm.UpdatePassword("x"));
}

} // namespace
} // namespace lty
