-- The nine tables of the quotation database. The program itself never
-- changes this schema; the build's database tool creates it once.
CREATE TABLE tblProject (
  IntID              INTEGER PRIMARY KEY AUTOINCREMENT,
  charProjectID      TEXT COLLATE NOCASE,
  charCustomer       TEXT COLLATE NOCASE,
  charCustomerID     TEXT COLLATE NOCASE,
  charCustomerTel    TEXT COLLATE NOCASE,
  charCustomerDemand TEXT COLLATE NOCASE,
  charCustomerSource TEXT COLLATE NOCASE,
  charAddress        TEXT COLLATE NOCASE,
  dateMappingDate    DATE,
  numEarnest         DOUBLE,
  numHouseAcreage    DOUBLE,
  charHouseType      TEXT COLLATE NOCASE,
  charDesignStyle    TEXT COLLATE NOCASE,
  charShop           TEXT COLLATE NOCASE,
  charDesigner       TEXT COLLATE NOCASE,
  charDesignerTel    TEXT COLLATE NOCASE,
  blnSignContract    BOOLEAN NOT NULL DEFAULT 0,
  charQuotation      TEXT COLLATE NOCASE,
  charProjectStatus  TEXT COLLATE NOCASE,
  charContractID     TEXT COLLATE NOCASE,
  dateSignDate       DATE,
  numDiscount        DOUBLE,
  numOverheadExp     DOUBLE,
  numTax             DOUBLE,
  numContractPrice   DOUBLE,
  charWorkLeader     TEXT COLLATE NOCASE,
  charWorkLeaderTel  TEXT COLLATE NOCASE,
  charCustodian      TEXT COLLATE NOCASE,
  charCustodianTel   TEXT COLLATE NOCASE,
  dateStartDate      DATE,
  dateEndDate        DATE,
  dateCheckDate      DATE,
  charContractMemo   TEXT COLLATE NOCASE,
  dateFirstPayDate   DATE,
  numFirstPayMoney   DOUBLE,
  dateSecondPayDate  DATE,
  numSecondPayMoney  DOUBLE,
  dateThirdPayDate   DATE,
  numThirdPayMoney   DOUBLE
);
CREATE INDEX idx_project_designer ON tblProject(charDesigner);
CREATE INDEX idx_project_number ON tblProject(charProjectID);

CREATE TABLE TBLITEM (
  ITEM_ID           INTEGER PRIMARY KEY AUTOINCREMENT,
  ITEM_NAME         TEXT COLLATE NOCASE,
  CATALOGExtrainfo  TEXT COLLATE NOCASE,
  CatalogExtrainfo2 TEXT COLLATE NOCASE,
  Item_Type         INTEGER,
  Parent_ID         INTEGER NOT NULL DEFAULT 0,
  Item_Provider     TEXT COLLATE NOCASE,
  Item_Date         DATE
);
CREATE INDEX idx_item_parent ON TBLITEM(Parent_ID);

CREATE TABLE TBLPRODUCT (
  Product_ID   INTEGER NOT NULL UNIQUE,
  ProductPrice DOUBLE,
  ProductUnit  TEXT COLLATE NOCASE,
  ProductSpec  TEXT COLLATE NOCASE,
  ProductClass TEXT COLLATE NOCASE
);

CREATE TABLE TBLCLASS (
  CLASSNAME TEXT COLLATE NOCASE
);

CREATE TABLE TBLUNIT (
  UnitNAME TEXT COLLATE NOCASE
);

CREATE TABLE TBLDESIGNER (
  ID         INTEGER PRIMARY KEY AUTOINCREMENT,
  DESNAME    TEXT COLLATE NOCASE,
  DESTEL     TEXT COLLATE NOCASE,
  DESADDRESS TEXT COLLATE NOCASE
);

CREATE TABLE TBLCOMPANYINFO (
  COM_NAME    TEXT COLLATE NOCASE,
  COM_ADDRESS TEXT COLLATE NOCASE,
  COM_TEL1    TEXT COLLATE NOCASE,
  COM_TEL2    TEXT COLLATE NOCASE,
  COM_PERSON  TEXT COLLATE NOCASE
);

CREATE TABLE TBLPASSWORD (
  PSNAME TEXT COLLATE NOCASE
);

CREATE TABLE TMP_Print (
  ItemName  TEXT COLLATE NOCASE,
  DataName  TEXT COLLATE NOCASE,
  DataPrice DOUBLE,
  DataCount DOUBLE,
  DataUnit  TEXT COLLATE NOCASE,
  DataMemo  TEXT COLLATE NOCASE,
  DataIndex DOUBLE,
  Datasum   DOUBLE
);
